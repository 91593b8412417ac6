#include "platform/KFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void setError(std::string* error, const std::string& what, const std::string& path) {
    if (error) {
        *error = what + " \"" + path + "\": " + std::strerror(errno);
    }
}

} // namespace

bool kReadFile(const std::string& path, std::vector<uint8_t>& out, std::string* error,
               uint64_t maxBytes) {
    // Opened without blocking, so a name that leads to a pipe or device (a document may
    // name any file) cannot hang the program; only regular files are read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        setError(error, "Cannot open", path);
        return false;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (error) {
            *error = "\"" + path + "\" is not a regular file";
        }
        return false;
    }
    std::FILE* f = fdopen(fd, "rb");
    if (!f) {
        ::close(fd);
        setError(error, "Cannot open", path);
        return false;
    }
    if (uint64_t(st.st_size) > maxBytes) {
        std::fclose(f);
        if (error) {
            *error = "\"" + path + "\" is too large";
        }
        return false;
    }
    out.resize(size_t(st.st_size));
    const size_t got = out.empty() ? 0 : std::fread(out.data(), 1, out.size(), f);
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError || got != out.size()) {
        setError(error, "Cannot read", path);
        out.clear();
        return false;
    }
    return true;
}

KAtomicFile::~KAtomicFile() {
    discard();
}

bool KAtomicFile::open(const std::string& target, std::string* error) {
    discard();
    target_ = target;
    failed_ = false;
    std::string pattern = target + ".tmp-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    const int fd = mkstemp(buf.data());
    if (fd < 0) {
        setError(error, "Cannot create a file beside", target);
        return false;
    }
    tempPath_ = buf.data();
    // Keep the permissions an ordinary new file would get, or those of the file replaced.
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) {
        fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    file_ = fdopen(fd, "wb");
    if (!file_) {
        setError(error, "Cannot open", tempPath_);
        ::close(fd);
        std::remove(tempPath_.c_str());
        tempPath_.clear();
        return false;
    }
    return true;
}

bool KAtomicFile::write(const void* data, size_t size) {
    if (!file_ || failed_) {
        return false;
    }
    if (size != 0 && std::fwrite(data, 1, size, file_) != size) {
        failed_ = true;
    }
    return !failed_;
}

bool KAtomicFile::commit(std::string* error) {
    if (!file_) {
        if (error) {
            *error = "No file is open";
        }
        return false;
    }
    bool ok = !failed_ && std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
    if (!ok) {
        setError(error, "Cannot write", target_);
        std::remove(tempPath_.c_str());
        tempPath_.clear();
        return false;
    }
    if (std::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        setError(error, "Cannot replace", target_);
        std::remove(tempPath_.c_str());
        tempPath_.clear();
        return false;
    }
    tempPath_.clear();
    return true;
}

void KAtomicFile::discard() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!tempPath_.empty()) {
        std::remove(tempPath_.c_str());
        tempPath_.clear();
    }
}

bool kWriteFileAtomic(const std::string& path, const void* data, size_t size, std::string* error) {
    KAtomicFile f;
    if (!f.open(path, error)) {
        return false;
    }
    if (!f.write(data, size)) {
        f.discard();
        setError(error, "Cannot write", path);
        return false;
    }
    return f.commit(error);
}
