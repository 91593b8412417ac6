// quorl-cli: the modeller's work without a window.

#include "cli/CliCommands.h"
#include "document/KCoreClasses.h"

int main(int argc, char** argv) {
    KRegisterCoreClasses();
    return cli::runCommandLine(argc, argv);
}
