#include "export/KTextSink.h"

#include <charconv>

#include "platform/KNumberText.h"

KTextSink::KTextSink(size_t blockSize) : blockSize_(blockSize == 0 ? 1 : blockSize) {
    buffer_.reserve(blockSize_ + 256);
}

bool KTextSink::open(const std::string& path, std::string* error) {
    buffer_.clear();
    return file_.open(path, error);
}

KTextSink& KTextSink::num(double v) {
    kAppendGeneral(buffer_, v, 6);
    return flushIfFull();
}

KTextSink& KTextSink::integer(long long v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    buffer_.append(buf, r.ptr);
    return flushIfFull();
}

void KTextSink::flush() {
    if (!buffer_.empty()) {
        file_.write(buffer_.data(), buffer_.size());
        buffer_.clear();
    }
}

bool KTextSink::commit(std::string* error) {
    flush();
    return file_.commit(error);
}

void KTextSink::discard() {
    buffer_.clear();
    file_.discard();
}
