#pragma once
// Times a piece of work over several runs and prints its mean and best
// time in milliseconds with the target it is measured against.

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace parvion::bench {

template <class Work>
void MeasureMs(const char* what, const char* target, int runs, Work&& work) {
    double best = 1e9;
    double total = 0;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - t0;
        best = std::min(best, ms.count());
        total += ms.count();
    }
    std::printf("%s: mean %.3f ms, best %.3f ms over %d runs (target %s)\n", what, total / runs,
                best, runs, target);
}

}  // namespace parvion::bench
