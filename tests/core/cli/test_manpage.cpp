// docs/quorl-cli.1 against quorl-cli's own help: every command the help lists has its
// entry and section with the same one-line description, and every option a command's
// help names is described.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/KRunCommand.h"
#include "support/KTestFiles.h"

namespace fs = std::filesystem;

namespace {

// The man page as plain text: troff's escaped minus signs made plain.
std::string manPageText() {
    std::string text = kSlurp(fs::path(QUORL_SOURCE_DIR) / "docs" / "quorl-cli.1");
    for (size_t at = text.find("\\-"); at != std::string::npos; at = text.find("\\-", at)) {
        text.replace(at, 2, "-");
    }
    return text;
}

struct Command {
    std::string name;
    std::string summary;
};

// The commands under "Commands:" in `quorl-cli --help`: "  name   summary" lines; a
// more deeply indented line continues the summary above it.
std::vector<Command> helpCommands() {
    const KCommandRun help = kRunCommand(kShellQuote(QUORL_CLI_PATH) + " --help");
    std::vector<Command> commands;
    const size_t start = help.output.find("Commands:\n");
    if (start == std::string::npos) {
        return commands;
    }
    std::istringstream lines(help.output.substr(start + 10));
    std::string line;
    while (std::getline(lines, line) && line.size() > 2 && line.compare(0, 2, "  ") == 0) {
        const size_t text = line.find_first_not_of(' ');
        if (text > 2 && !commands.empty()) {
            commands.back().summary += " " + line.substr(text);
            continue;
        }
        const size_t nameEnd = line.find(' ', 2);
        const size_t summary = line.find_first_not_of(' ', nameEnd);
        commands.push_back({line.substr(2, nameEnd - 2), line.substr(summary)});
    }
    return commands;
}

// Every "--word" in text.
std::vector<std::string> options(const std::string& text) {
    static const std::regex option("--[-[:alnum:]]+");
    std::vector<std::string> found;
    for (std::sregex_iterator m(text.begin(), text.end(), option), end; m != end; ++m) {
        found.push_back(m->str());
    }
    return found;
}

} // namespace

TEST(ManPage, DescribesEveryCommandAndOptionOfTheHelp) {
    const std::string page = manPageText();
    ASSERT_NE(page.find(".TH QUORL-CLI 1"), std::string::npos);
    const std::vector<Command> commands = helpCommands();
    ASSERT_GE(commands.size(), 7u);
    for (const Command& c : commands) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(page.find(".B " + c.name + "\n" + c.summary + "\n"), std::string::npos)
            << "the COMMANDS list lacks \"" << c.name << "\" with its summary";
        const size_t section = page.find(".SS " + c.name + "\n");
        if (section == std::string::npos) {
            ADD_FAILURE() << "no section for \"" << c.name << "\"";
            continue;
        }
        const KCommandRun help =
            kRunCommand(kShellQuote(QUORL_CLI_PATH) + " " + c.name + " --help");
        ASSERT_EQ(help.status, 0);
        // Each option in the command's help appears in the command's own section.
        const size_t next = page.find("\n.S", section + 1);
        const std::string own = page.substr(section, next - section);
        for (const std::string& option : options(help.output)) {
            if (option != "--help") {
                EXPECT_NE(own.find(option), std::string::npos) << option;
            }
        }
    }
    for (const char* status :
         {"done", "bad usage", "unreadable input", "failed write", "nothing to export"}) {
        EXPECT_NE(page.find(std::string("\n") + status + "\n"), std::string::npos) << status;
    }
}

TEST(ManPage, FormatsWithoutWarnings) {
    ASSERT_EQ(kRunCommand("command -v man").status, 0) << "man is not installed";
    const fs::path page = fs::path(QUORL_SOURCE_DIR) / "docs" / "quorl-cli.1";
    // man reports troff's complaints on stderr; the formatted page goes to stdout.
    const KCommandRun r =
        kRunCommand("MANWIDTH=80 man --warnings -l " + kShellQuote(page) + " 2>&1 >/dev/null");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "");
    const KCommandRun text = kRunCommand("MANWIDTH=80 man -l " + kShellQuote(page), false);
    EXPECT_NE(text.output.find("quorl-cli export FILE.qrz [--format FORMAT] -o OUT"),
              std::string::npos);
}
