#pragma once
// Files: whole-file reading with a size limit, and writing through a temporary file
// beside the target that is renamed into place only when everything was written, so a
// failed or cancelled save never destroys the old file.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Reads the whole file. Fails (false, with a message in error) when it cannot be opened
// or read, or is larger than maxBytes.
bool kReadFile(const std::string& path, std::vector<uint8_t>& out, std::string* error,
               uint64_t maxBytes = uint64_t(1) << 31);

// The path a writer was given, quoted, and the system's reason for err:
// "\"/tmp/x.obj\": No space left on device". "-" is named "standard output".
std::string kPathError(const std::string& path, int err);

// Writes a file so that a failure never destroys what was there before.
//
// Where the target is, or will be, a regular file, data goes to a temporary file with a
// short hidden name (".quorl-XXXXXX") in the target's folder, and commit() flushes it to
// the disk and renames it over the target. A symbolic link is followed to the file it
// finally names (which may not exist yet) and that file is replaced; the link stays.
// Until commit() the temporary file is known to kInstallTempFileCleanup, so an interrupt
// removes it; destroying an uncommitted file removes it too and leaves the target alone.
//
// Other targets are written straight through without a temporary file: "-" is standard
// output, and an existing character or block device, FIFO or socket is opened for
// writing as it is (a FIFO blocks in open() until a reader comes). A directory is
// refused.
//
// Error texts are kPathError's: the path as given and the system's reason.
class KAtomicFile {
public:
    KAtomicFile() = default;
    ~KAtomicFile();
    KAtomicFile(const KAtomicFile&) = delete;
    KAtomicFile& operator=(const KAtomicFile&) = delete;

    bool open(const std::string& target, std::string* error);
    // False once any write failed; later writes are ignored and commit() reports the first
    // failure.
    bool write(const void* data, size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }
    bool commit(std::string* error);
    void discard();
    bool isOpen() const { return fd_ >= 0; }
    bool failed() const { return errno_ != 0; }
    // The target was written straight through (standard output, a device, a pipe).
    bool direct() const { return isOpen() && tempPath_.empty(); }
    // A regular file was at the target when open() was called.
    bool replacesExisting() const { return existed_; }

private:
    void closeFd();

    int fd_ = -1;
    bool ownsFd_ = false;
    bool existed_ = false;
    int errno_ = 0;
    int tempSlot_ = -1;
    std::string target_;    // as given: named in error texts
    std::string finalPath_; // the file that is replaced, links followed
    std::string tempPath_;
};

// Convenience: writes bytes to path atomically.
bool kWriteFileAtomic(const std::string& path, const void* data, size_t size, std::string* error);
