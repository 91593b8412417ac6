#pragma once
// The subcommands of quorl-cli. Each returns the process exit status.

#include "cli/CliArgs.h"

namespace cli {

enum Exit : int { Ok = 0, Usage = 1, BadInput = 2, WriteFailed = 3 };

int cmdNew(CliArgs& args);
int cmdInfo(CliArgs& args);
int cmdExport(CliArgs& args);
int cmdImage(CliArgs& args);
int cmdConvert(CliArgs& args);
int cmdTextures(CliArgs& args);
int cmdDemo(CliArgs& args);

// Prints the help of a subcommand; false when there is no such subcommand.
bool printHelp(const std::string& command);
void printUsage();

} // namespace cli
