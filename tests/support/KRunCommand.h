#pragma once
// Running outside programs from tests: a shell command's exit status and output.

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include <sys/wait.h>

// The path in single quotes for the shell.
inline std::string kShellQuote(const std::filesystem::path& p) {
    std::string out = "'";
    for (char c : p.string()) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

struct KCommandRun {
    int status = -1; // the exit status, -1 when the command did not exit normally
    std::string output;
};

// Runs command through the shell; stderr joins stdout unless the command redirects it.
inline KCommandRun kRunCommand(const std::string& command, bool withStderr = true) {
    KCommandRun r;
    std::FILE* pipe = ::popen((command + (withStderr ? " 2>&1" : "")).c_str(), "r");
    if (!pipe) {
        return r;
    }
    std::array<char, 4096> buf{};
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) {
        r.output.append(buf.data(), n);
    }
    const int raw = ::pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}
