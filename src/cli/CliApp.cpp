// quorl-cli's command line: CLI11 reads it, this file picks the command, reports usage
// errors as "quorl-cli: <message>" and checks that standard output took everything.

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/CliHelp.h"
#include "cli/CliSupport.h"
#include "cli/CliUi.h"

namespace cli {

namespace {

struct Program {
    CLI::App app{"", "quorl-cli"};
    std::vector<Command> commands;

    Program() {
        app.formatter(makeHelpFormatter());
        app.allow_windows_style_options(false);
        // Unknown words are collected and reported by name below.
        app.allow_extras();
        app.add_flag("--version")->description("print the version");
        commands = {addNewCommand(app),   addInfoCommand(app),    addExportCommand(app),
                    addImageCommand(app), addConvertCommand(app), addTexturesCommand(app),
                    addDemoCommand(app)};
        for (Command& c : commands) {
            c.app->add_flag("--quiet")->description("no progress bar and no notes");
        }
    }

    const Command* find(const std::string& name) const {
        for (const Command& c : commands) {
            if (c.app->get_name() == name) {
                return &c;
            }
        }
        return nullptr;
    }
};

void printOut(const std::string& text) {
    std::fputs(text.c_str(), stdout);
}

// An option given more than once is a mistake (which one counts?); CLI11 would report it
// only for options with values, and without saying so.
std::string repeatedOption(const CLI::App& command, int argc, char** argv) {
    for (const CLI::Option* option : command.get_options()) {
        std::vector<std::string> names;
        for (const std::string& n : option->get_lnames()) {
            names.push_back("--" + n);
        }
        for (const std::string& n : option->get_snames()) {
            names.push_back("-" + n);
        }
        int seen = 0;
        for (int i = 2; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
            const std::string word = argv[i];
            for (const std::string& n : names) {
                if (word == n || (n.size() > 2 && word.rfind(n + "=", 0) == 0)) {
                    ++seen;
                }
            }
        }
        if (seen > 1) {
            return option->get_name() + " is given more than once";
        }
    }
    return {};
}

// The first word CLI11 did not take: unknown options before stray arguments.
std::string leftOver(const std::vector<std::string>& words) {
    for (const std::string& w : words) {
        if (w.size() > 1 && w[0] == '-') {
            return "unknown option " + w.substr(0, w.find('='));
        }
    }
    return words.empty() ? std::string() : "unexpected argument \"" + words.front() + "\"";
}

// Every command that printed to standard output ends here: a write that failed (a full
// disk, a closed pipe) is a failed command, not a success.
int finishStandardOutput(int status) {
    errno = 0;
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    const int error = errno;
    const bool closeFailed = std::fclose(stdout) != 0;
    if ((!failed && !closeFailed) || status != Ok) {
        // A command that failed has said why; the error flag of standard output may be
        // that same failure (an export to "-"), so it is not reported a second time.
        return status;
    }
    const int reason = failed ? error : errno;
    showError(std::string("cannot write to standard output") +
              (reason ? std::string(": ") + std::strerror(reason) : std::string()));
    return WriteFailed;
}

int run(Program& p, int argc, char** argv) {
    if (argc < 2) {
        std::fputs(p.app.help().c_str(), stderr);
        return usageError("a command is needed");
    }
    const std::string first = argv[1];
    if (first == "help") {
        const Command* c = argc >= 3 ? p.find(argv[2]) : nullptr;
        if (argc >= 3 && !c) {
            return usageError("unknown command '" + std::string(argv[2]) + "'");
        }
        printOut(c ? c->app->help() : p.app.help());
        return Ok;
    }
    if (first == "version" || first == "--version") {
        printOut(std::string("quorl-cli ") + QUORL_VERSION + "\n");
        return Ok;
    }
    const Command* command = p.find(first);
    if (!command && first[0] != '-') {
        return usageError("unknown command '" + first + "' (quorl-cli --help lists them)");
    }
    if (command) {
        const std::string repeated = repeatedOption(*command->app, argc, argv);
        if (!repeated.empty()) {
            return usageError(repeated);
        }
    }
    try {
        p.app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        printOut(p.app.help());
        return Ok;
    } catch (const CLI::ParseError& e) {
        return usageError(e.what());
    }
    if (!command) {
        if (p.app.get_option("--version")->count() > 0) {
            printOut(std::string("quorl-cli ") + QUORL_VERSION + "\n");
            return Ok;
        }
        const std::string extra = leftOver(p.app.remaining());
        return usageError(extra.empty() ? "a command is needed" : extra);
    }
    const std::string extra = leftOver(command->app->remaining());
    if (!extra.empty()) {
        return usageError(extra);
    }
    CliUi ui(command->app->get_option("--quiet")->count() > 0);
    KUiScope scope(ui);
    return command->run();
}

} // namespace

int runCommandLine(int argc, char** argv) {
    Program program;
    return finishStandardOutput(run(program, argc, argv));
}

} // namespace cli
