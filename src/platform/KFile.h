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

// Writes a file atomically. Data goes to "<target>.tmp-XXXXXX" in the same folder;
// commit() flushes, closes (checking the result), and renames it over the target.
// Destroying an uncommitted file removes the temporary file and leaves the target alone.
class KAtomicFile {
public:
    KAtomicFile() = default;
    ~KAtomicFile();
    KAtomicFile(const KAtomicFile&) = delete;
    KAtomicFile& operator=(const KAtomicFile&) = delete;

    bool open(const std::string& target, std::string* error);
    bool write(const void* data, size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }
    bool commit(std::string* error);
    void discard();
    bool isOpen() const { return file_ != nullptr; }
    bool failed() const { return failed_; }

private:
    std::FILE* file_ = nullptr;
    std::string target_;
    std::string tempPath_;
    bool failed_ = false;
};

// Convenience: writes bytes to path atomically.
bool kWriteFileAtomic(const std::string& path, const void* data, size_t size, std::string* error);
