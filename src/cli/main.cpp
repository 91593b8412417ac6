// quorl-cli: the modeller's work without a window.

#include <cstdio>
#include <cstring>
#include <string>

#include "cli/CliCommands.h"
#include "cli/CliUi.h"
#include "document/KCoreClasses.h"
#include "platform/KTempFiles.h"

namespace {

using Command = int (*)(CliArgs&);

Command find(const std::string& name) {
    struct Entry {
        const char* name;
        Command run;
    };
    static const Entry commands[] = {
        {"new", cli::cmdNew},     {"info", cli::cmdInfo},       {"export", cli::cmdExport},
        {"image", cli::cmdImage}, {"convert", cli::cmdConvert}, {"textures", cli::cmdTextures},
        {"demo", cli::cmdDemo},
    };
    for (const Entry& e : commands) {
        if (name == e.name) {
            return e.run;
        }
    }
    return nullptr;
}

bool wantsHelp(int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    kInstallTempFileCleanup();
    if (argc < 2) {
        cli::printUsage();
        return cli::Usage;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        if (argc >= 3 && cli::printHelp(argv[2])) {
            return cli::Ok;
        }
        cli::printUsage();
        return cli::Ok;
    }
    if (command == "--version" || command == "version") {
        std::printf("quorl-cli %s\n", QUORL_VERSION);
        return cli::Ok;
    }
    const Command run = find(command);
    if (!run) {
        std::fprintf(stderr, "quorl-cli: unknown command '%s'\n\n", command.c_str());
        cli::printUsage();
        return cli::Usage;
    }
    if (wantsHelp(argc, argv)) {
        cli::printHelp(command);
        return cli::Ok;
    }
    KRegisterCoreClasses();
    CliArgs args(argc, argv, 2);
    CliUi ui(args.flag("--quiet"));
    KUiScope scope(ui);
    return run(args);
}
