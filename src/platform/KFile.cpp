#include "platform/KFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/KTempFiles.h"

namespace {

void setError(std::string* error, const std::string& what, const std::string& path) {
    if (error) {
        *error = what + " \"" + path + "\": " + std::strerror(errno);
    }
}

// A fresh random name for pattern's trailing "XXXXXX".
void fillRandomName(std::string& pattern) {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof kChars - 2);
    for (size_t k = pattern.size() - 6; k < pattern.size(); ++k) {
        pattern[k] = kChars[pick(random)];
    }
}

// Creates a new file named after pattern (its "XXXXXX" replaced) and remembers it for the
// interrupt handler. The name is remembered before the file exists: were it remembered
// after, an interrupt in between would leave the file behind. Returns the descriptor, or
// -1 with errno set.
int createTempFile(std::string& pattern, int& slot) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        fillRandomName(pattern);
        slot = kRememberTempFile(pattern);
        const int fd = ::open(pattern.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            return fd;
        }
        const int err = errno;
        kForgetTempFile(slot);
        slot = -1;
        if (err != EEXIST) {
            errno = err;
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
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

std::string kPathError(const std::string& path, int err) {
    const std::string name = path == "-" ? std::string("standard output") : "\"" + path + "\"";
    return name + ": " + std::strerror(err);
}

namespace {

// More links than this in a row is a loop, as the kernel counts them.
constexpr int kMaxLinkHops = 40;

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The name a dangling symbolic link finally gives, following a chain of links by hand
// (the kernel will not resolve a name that does not exist). Returns 0 or an errno value.
int danglingTarget(const std::string& path, std::string& resolved) {
    std::string p = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st {};
        if (lstat(p.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                return errno;
            }
            resolved = p;
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            // Something appeared meanwhile: let the caller look again.
            return EAGAIN;
        }
        std::vector<char> link(size_t(st.st_size > 0 ? st.st_size : 255) + 1);
        ssize_t n;
        while ((n = readlink(p.c_str(), link.data(), link.size())) >= 0 &&
               size_t(n) >= link.size()) {
            link.resize(link.size() * 2);
        }
        if (n <= 0) {
            return n < 0 ? errno : ENOENT;
        }
        const std::string to(link.data(), size_t(n));
        // A relative link is relative to the folder that holds the link.
        p = to[0] == '/' ? to : folderOf(p) + "/" + to;
    }
    return ELOOP;
}

// Where a write to path lands. exists tells whether something is there; *st is then its
// status (links followed). resolved is the name of the regular file to replace or to
// create: links are followed to it (realpath for an existing file, by hand for a dangling
// link). Returns 0 or an errno value.
int resolveTarget(const std::string& path, std::string& resolved, struct stat* st, bool& exists) {
    exists = false;
    resolved = path;
    if (stat(path.c_str(), st) == 0) {
        exists = true;
        if (S_ISREG(st->st_mode)) {
            std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr),
                                                             &std::free);
            if (!real) {
                return errno;
            }
            resolved = real.get();
        }
        return 0;
    }
    if (errno != ENOENT) {
        return errno;
    }
    struct stat ls {};
    if (lstat(path.c_str(), &ls) == 0 && S_ISLNK(ls.st_mode)) {
        return danglingTarget(path, resolved);
    }
    return 0;
}

void setPathError(std::string* error, const std::string& path, int err) {
    if (error) {
        *error = kPathError(path, err);
    }
}

} // namespace

KAtomicFile::~KAtomicFile() {
    discard();
}

bool KAtomicFile::open(const std::string& target, std::string* error) {
    discard();
    target_ = target;
    finalPath_.clear();
    existed_ = false;
    errno_ = 0;
    if (target == "-") {
        // What was printed before through stdio comes first.
        std::fflush(stdout);
        fd_ = STDOUT_FILENO;
        ownsFd_ = false;
        return true;
    }
    struct stat st {};
    bool exists = false;
    if (const int err = target.empty() ? ENOENT : resolveTarget(target, finalPath_, &st, exists)) {
        setPathError(error, target, err);
        return false;
    }
    if (exists && S_ISDIR(st.st_mode)) {
        setPathError(error, target, EISDIR);
        return false;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        // A device or pipe cannot be replaced by a file (that would destroy it for every
        // other program): write to it as it is. No O_TRUNC: devices ignore it.
        fd_ = ::open(finalPath_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) {
            setPathError(error, target, errno);
            return false;
        }
        ownsFd_ = true;
        return true;
    }
    existed_ = exists;
    // The temporary name has a fixed length, so any name the folder accepts for the target
    // works, up to the longest a file system allows.
    const std::string folder = folderOf(finalPath_);
    std::string pattern = folder + (folder.back() == '/' ? "" : "/") + ".quorl-XXXXXX";
    const int fd = createTempFile(pattern, tempSlot_);
    if (fd < 0) {
        setPathError(error, target, errno);
        return false;
    }
    tempPath_ = pattern;
    // Keep the permissions an ordinary new file would get, or those of the file replaced.
    if (exists) {
        fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    fd_ = fd;
    ownsFd_ = true;
    return true;
}

bool KAtomicFile::write(const void* data, size_t size) {
    if (fd_ < 0 || errno_ != 0) {
        return false;
    }
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            errno_ = errno;
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

void KAtomicFile::closeFd() {
    if (fd_ >= 0 && ownsFd_) {
        if (::close(fd_) != 0 && errno_ == 0 && errno != EINTR) {
            errno_ = errno;
        }
    }
    fd_ = -1;
    ownsFd_ = false;
}

bool KAtomicFile::commit(std::string* error) {
    if (fd_ < 0) {
        setPathError(error, target_, EBADF);
        return false;
    }
    const bool temporary = !tempPath_.empty();
    // Only a temporary file is flushed to the disk before it replaces the old file; a
    // device or pipe has nothing to flush (and refuses fsync).
    if (temporary && errno_ == 0 && fsync(fd_) != 0) {
        errno_ = errno;
    }
    closeFd();
    if (errno_ == 0 && temporary && std::rename(tempPath_.c_str(), finalPath_.c_str()) != 0) {
        errno_ = errno;
    }
    if (errno_ != 0) {
        setPathError(error, target_, errno_);
        discard();
        return false;
    }
    kForgetTempFile(tempSlot_);
    tempSlot_ = -1;
    tempPath_.clear();
    return true;
}

void KAtomicFile::discard() {
    closeFd();
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        kForgetTempFile(tempSlot_);
        tempSlot_ = -1;
        tempPath_.clear();
    }
}

bool kWriteFileAtomic(const std::string& path, const void* data, size_t size, std::string* error) {
    KAtomicFile f;
    if (!f.open(path, error)) {
        return false;
    }
    f.write(data, size);
    // commit() reports a write that failed.
    return f.commit(error);
}
