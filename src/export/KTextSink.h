#pragma once
// Export text is formatted into large in-memory blocks and written one block at a time
// through KAtomicFile: into a temporary file beside the target, which replaces the target
// on commit(), or straight to standard output ("-"), a device or a pipe.
// Numbers use the export format: general form, 6 significant digits, a point as the
// decimal separator whatever the locale.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/KFile.h"

class KTextSink {
public:
    static constexpr size_t kDefaultBlockSize = size_t(64) << 10;

    explicit KTextSink(size_t blockSize = kDefaultBlockSize);
    // A sink that only collects text in memory (take() hands it out): parts of a file
    // are formatted this way on several threads and written in order.
    struct InMemory {};
    explicit KTextSink(InMemory);
    std::string take() { return std::exchange(buffer_, std::string()); }
    // Room for n characters before the buffer grows.
    void reserve(size_t n) { buffer_.reserve(n); }
    ~KTextSink() = default;
    KTextSink(const KTextSink&) = delete;
    KTextSink& operator=(const KTextSink&) = delete;

    // Opens the temporary file for path. False when it cannot be created; error then
    // names the path and the system's reason.
    bool open(const std::string& path, std::string* error = nullptr);
    bool isOpen() const { return file_.isOpen(); }
    // A regular file was at the path when it was opened.
    bool replacesExisting() const { return file_.replacesExisting(); }

    KTextSink& text(std::string_view s) {
        if (s.size() >= blockSize_ && !inMemory_) {
            return writeThrough(s);
        }
        buffer_ += s;
        return flushIfFull();
    }
    KTextSink& ch(char c) {
        buffer_ += c;
        return flushIfFull();
    }
    // A real number: "%g" with 6 significant digits.
    KTextSink& num(double v);
    // An integer in plain decimal.
    KTextSink& integer(long long v);

    // Writes what is buffered, closes the file (checking for errors) and renames it
    // over the target. False, with the target untouched, when anything failed.
    bool commit(std::string* error = nullptr);
    // Drops everything written; the target stays as it was.
    void discard();
    // True once a write to the file failed.
    bool failed() const { return file_.failed(); }

private:
    KTextSink& flushIfFull() {
        if (buffer_.size() >= blockSize_ && !inMemory_) {
            flush();
        }
        return *this;
    }
    void flush();
    // A block of text at least as large as the buffer goes to the file directly.
    KTextSink& writeThrough(std::string_view s);

    size_t blockSize_;
    bool inMemory_ = false;
    std::string buffer_;
    KAtomicFile file_;
};

// Formats items [0, count) on several threads, each item into text of its own, and
// hands the texts to emit in item order on the calling thread; emit returns false to
// stop (items formatted ahead are then dropped). The file is the same as formatting the
// items one after the other.
void kFormatInOrder(int count, const std::function<void(KTextSink&, int)>& format,
                    const std::function<bool(const std::string&, int)>& emit);
