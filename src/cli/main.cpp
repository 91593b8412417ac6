// quorl-cli: the modeller's work without a window.

#include "cli/CliCommands.h"
#include "document/KCoreClasses.h"
#include "platform/KTempFiles.h"

int main(int argc, char** argv) {
    kInstallTempFileCleanup();
    KRegisterCoreClasses();
    return cli::runCommandLine(argc, argv);
}
