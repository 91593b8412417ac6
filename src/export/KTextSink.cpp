#include "export/KTextSink.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "platform/KNumberText.h"
#include "platform/KParallel.h"

KTextSink::KTextSink(size_t blockSize) : blockSize_(blockSize == 0 ? 1 : blockSize) {
    buffer_.reserve(blockSize_ + 256);
}

KTextSink::KTextSink(InMemory) : blockSize_(kDefaultBlockSize), inMemory_(true) {}

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

KTextSink& KTextSink::writeThrough(std::string_view s) {
    flush();
    file_.write(s.data(), s.size());
    return *this;
}

bool KTextSink::commit(std::string* error) {
    flush();
    return file_.commit(error);
}

void KTextSink::discard() {
    buffer_.clear();
    file_.discard();
}

void kFormatInOrder(int count, const std::function<void(KTextSink&, int)>& format,
                    const std::function<bool(const std::string&, int)>& emit) {
    // Batches keep memory bounded and let a cancel stop soon after it is asked for.
    const int batch = std::max(1, kWorkerCount()) * 16;
    std::vector<std::string> texts;
    for (int first = 0; first < count; first += batch) {
        const int n = std::min(batch, count - first);
        texts.assign(size_t(n), std::string());
        kParallelFor(
            n,
            [&](int begin, int end) {
                KTextSink part{KTextSink::InMemory{}};
                for (int k = begin; k < end; ++k) {
                    format(part, first + k);
                    texts[size_t(k)] = part.take();
                    // The next item is likely as long: grow once, not by doubling.
                    part.reserve(texts[size_t(k)].size() + texts[size_t(k)].size() / 8);
                }
            },
            4);
        for (int k = 0; k < n; ++k) {
            if (!emit(texts[size_t(k)], first + k)) {
                return;
            }
        }
    }
}
