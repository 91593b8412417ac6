#pragma once
// Running quorl-cli from tests as a user runs it: exit status, standard output and
// standard error, in a temporary folder of the test's own.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "document/KCoreClasses.h"
#include "support/KRunCommand.h"

struct KCliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// How to run it beyond the arguments: environment assignments put before the command
// ("QUORL_CLI_PROGRESS=1") and a file that takes standard output instead of the pipe.
struct KCliRunOptions {
    std::string environment;
    std::string stdoutTo;
};

// Runs quorl-cli with the arguments; standard error is collected through errFile.
inline KCliRun kRunCli(const std::vector<std::string>& args, const std::filesystem::path& errFile,
                       const KCliRunOptions& options = {}) {
    std::string cmd = options.environment + " " + kShellQuote(QUORL_CLI_PATH);
    for (const std::string& a : args) {
        cmd += " " + kShellQuote(a);
    }
    if (!options.stdoutTo.empty()) {
        cmd += " >" + kShellQuote(options.stdoutTo);
    }
    cmd += " 2>" + kShellQuote(errFile);
    const KCommandRun run = kRunCommand(cmd, false);
    KCliRun r;
    r.status = run.status;
    r.out = run.output;
    std::ifstream e(errFile);
    r.err.assign(std::istreambuf_iterator<char>(e), {});
    return r;
}

// A fixture with an empty folder of its own (its name has a non-ASCII letter, as users'
// folders do).
class KCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        KRegisterCoreClasses();
        dir = std::filesystem::temp_directory_path() /
              ("quorl-cli-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-ü");
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    KCliRun cli(const std::vector<std::string>& args, const KCliRunOptions& options = {}) const {
        return kRunCli(args, dir / "stderr.txt", options);
    }
    static std::string contents(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::filesystem::path dir;
};
