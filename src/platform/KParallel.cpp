#include "platform/KParallel.h"

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

int kWorkerCount() {
    static const int workers = [] {
        if (const char* env = std::getenv("QUORL_THREADS")) {
            const int n = std::atoi(env);
            if (n >= 1 && n <= 64) {
                return n;
            }
        }
        const unsigned hw = std::thread::hardware_concurrency();
        return std::clamp(int(hw), 1, 8);
    }();
    return workers;
}

void kParallelFor(int count, const std::function<void(int, int)>& fn, int minimumPerWorker) {
    if (count <= 0) {
        return;
    }
    const int workers = std::clamp(count / std::max(1, minimumPerWorker), 1, kWorkerCount());
    if (workers == 1) {
        fn(0, count);
        return;
    }
    std::vector<std::thread> threads;
    threads.reserve(size_t(workers - 1));
    auto blockStart = [&](int w) { return int(int64_t(count) * w / workers); };
    for (int w = 1; w < workers; ++w) {
        threads.emplace_back(fn, blockStart(w), blockStart(w + 1));
    }
    fn(0, blockStart(1));
    for (std::thread& t : threads) {
        t.join();
    }
}
