#pragma once
// Standard output sent to a file for the life of the object (what the program printed
// before is flushed first), for tests of writers that write to "-".

#include <cstdio>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

class KStdoutRedirect {
public:
    explicit KStdoutRedirect(const std::filesystem::path& file) {
        std::fflush(stdout);
        saved_ = ::dup(STDOUT_FILENO);
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ::dup2(fd, STDOUT_FILENO);
        ::close(fd);
    }
    ~KStdoutRedirect() {
        std::fflush(stdout);
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
    }
    KStdoutRedirect(const KStdoutRedirect&) = delete;
    KStdoutRedirect& operator=(const KStdoutRedirect&) = delete;

private:
    int saved_ = -1;
};
