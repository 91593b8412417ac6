#include "platform/KTempFiles.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

// A few files are open at once at most (an export and its UDO file, a save); the slots
// are spare. Paths of temporary files are the target's folder plus a short name.
constexpr int kSlots = 16;
constexpr size_t kPathBytes = 4096;

enum SlotState : int { Free = 0, Filling = 1, Live = 2 };

struct Slot {
    std::atomic<int> state{Free};
    char path[kPathBytes];
};

Slot slots[kSlots];

static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads these flags");

extern "C" void removeAndRaise(int sig) {
    kRemoveTempFilesNow();
    // The default action ends the program as the signal would have; the signal is
    // blocked while this handler runs and is delivered as soon as it returns.
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void installFor(int sig) {
    struct sigaction old {};
    if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {
        // Started with the signal ignored (as background jobs are): keep it so.
        return;
    }
    struct sigaction sa {};
    sa.sa_handler = removeAndRaise;
    sigemptyset(&sa.sa_mask);
    sigaddset(&sa.sa_mask, SIGINT);
    sigaddset(&sa.sa_mask, SIGTERM);
    sa.sa_flags = 0;
    sigaction(sig, &sa, nullptr);
}

} // namespace

int kRememberTempFile(const std::string& path) {
    if (path.size() >= kPathBytes) {
        return -1;
    }
    for (int k = 0; k < kSlots; ++k) {
        int expected = Free;
        if (slots[k].state.compare_exchange_strong(expected, Filling)) {
            std::memcpy(slots[k].path, path.c_str(), path.size() + 1);
            slots[k].state.store(Live);
            return k;
        }
    }
    return -1;
}

void kForgetTempFile(int slot) {
    if (slot >= 0 && slot < kSlots) {
        slots[slot].state.store(Free);
    }
}

void kRemoveTempFilesNow() {
    for (Slot& s : slots) {
        if (s.state.load() == Live) {
            ::unlink(s.path);
        }
    }
}

void kInstallTempFileCleanup() {
    installFor(SIGINT);
    installFor(SIGTERM);
}
