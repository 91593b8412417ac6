#pragma once
// Splits [0, count) into fixed contiguous blocks, one per worker, and runs fn(begin, end)
// on each block in its own thread. The partition depends only on count and the worker
// count, and blocks never share output, so results are identical however many threads
// run. Small counts run on the calling thread.

#include <functional>

// Worker threads used: the hardware's, at most 8; the environment variable
// QUORL_THREADS (1 to 64) overrides it.
int kWorkerCount();

void kParallelFor(int count, const std::function<void(int begin, int end)>& fn,
                  int minimumPerWorker = 32);
