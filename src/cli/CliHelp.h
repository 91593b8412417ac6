#pragma once
// quorl-cli's help: the texts of each command and the CLI11 formatter that lays them
// out around the option lists CLI11 keeps.

#include <memory>
#include <string>

namespace CLI {
class App;
class Formatter;
} // namespace CLI

namespace cli {

// Creates the subcommand name under parent, listed under "Commands:" with its summary.
CLI::App* addSubcommand(CLI::App& parent, const std::string& name);

// The formatter for the program and its subcommands: a usage line of our own, the
// command's introduction, its arguments and options, then its notes.
std::shared_ptr<CLI::Formatter> makeHelpFormatter();

// The program's description and exit statuses, below the command list of --help.
const char* programNotes();

} // namespace cli
