#pragma once
// The subcommands of quorl-cli. Each add function registers a subcommand with its
// options on the program's CLI::App and returns what runs it once the command line has
// been read; the run returns the process exit status.

#include <functional>
#include <string>

namespace CLI {
class App;
}

class CPexaDoc;

namespace cli {

enum Exit : int { Ok = 0, Usage = 1, BadInput = 2, WriteFailed = 3, NothingToExport = 4 };

struct Command {
    CLI::App* app = nullptr;
    std::function<int()> run;
};

Command addNewCommand(CLI::App& parent);
Command addInfoCommand(CLI::App& parent);
Command addExportCommand(CLI::App& parent);
Command addImageCommand(CLI::App& parent);
Command addConvertCommand(CLI::App& parent);
Command addTexturesCommand(CLI::App& parent);
Command addDemoCommand(CLI::App& parent);

// Reads the command line, runs the chosen command and returns the exit status.
int runCommandLine(int argc, char** argv);

// What `info` prints about a document, as text or JSON.
std::string describeDocument(const CPexaDoc& doc, int version, bool json);

} // namespace cli
