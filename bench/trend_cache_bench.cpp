// The trend page's second read: the whole trend memory read again while the
// device has changed nothing, so that the cache serves every block after its
// header. The simulator serves the device over a paced pseudo-terminal; the
// figure is the time of the read over the time its bytes need on the wire
// (10 bits per byte at the baud rate, both directions). The target is at
// most 1.15. The first (cold) read is printed for comparison.
//
//   trend_cache_bench [repetitions at 115200 (default 5)]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/link/data_commands.h"
#include "core/model/device_records.h"
#include "pty_rig.h"

namespace {

using namespace parvion;
using bench::Figure;
using bench::PtyRig;

sim::DeviceOptions Options(int baudIndex) {
    sim::DeviceOptions o;
    o.baudIndex = baudIndex;
    return o;
}

void Report(const char* name, int baud, const std::vector<Figure>& runs) {
    const bench::Summary r = bench::Summarise(runs, baud);
    std::printf("%-24s %6d  %8.3f s  %7llu B  wire %8.3f s  ratio %5.3f%s\n", name, baud, r.median,
                static_cast<unsigned long long>(r.bytes), r.wire, r.ratio,
                r.ok ? "" : "  (FAILED)");
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const bench::ScratchFolder logFolder("parvion2-trend-bench-" + std::to_string(::getpid()));

    std::printf("%-24s %6s  %10s  %9s  %15s  %s\n", "operation", "baud", "time", "bytes",
                "wire time", "ratio");
    for (const int baudIndex : {7, 3}) {
        const int baud = kBaudRates[baudIndex];
        const int reps = baudIndex == 7 ? repetitions : 1;
        PtyRig rig(Options(baudIndex), logFolder.path());
        std::vector<Figure> cold, warm;
        for (int i = 0; i < reps; ++i) {
            TrendStore store;
            cold.push_back(rig.measure(
                [&] { return ReadTrendMemory(*rig.link, store) == TrendRead::Complete; }));
            warm.push_back(rig.measure(
                [&] { return ReadTrendMemory(*rig.link, store) == TrendRead::Complete; }));
        }
        Report("trend read, cold cache", baud, cold);
        Report("trend read, nothing new", baud, warm);
        const double c = bench::Summarise(cold, baud).median;
        const double w = bench::Summarise(warm, baud).median;
        std::printf("  second read takes %.1f %% of the first\n", 100.0 * w / c);
    }
    return 0;
}
