#pragma once
// Running outside programs from tests: a shell command's exit status and output.

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include <sys/wait.h>

// The path in single quotes for the shell.
inline std::string kShellQuote(const std::filesystem::path& p) {
    std::string out = "'";
    for (char c : p.string()) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

// The program's path in the first folder of PATH that holds it as an executable file, or
// empty when none does.
inline std::string kFindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    const std::string dirs = path ? path : "";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::filesystem::path candidate =
            std::filesystem::path(dirs.substr(start, end - start)) / program;
        if (end > start && ::access(candidate.c_str(), X_OK) == 0 &&
            std::filesystem::is_regular_file(candidate)) {
            return candidate.string();
        }
        start = end + 1;
    }
    return {};
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
