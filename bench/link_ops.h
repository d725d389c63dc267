#pragma once
// The operations of the link benchmarks, over whatever serial line the
// program side uses: the whole parameter set, one live-value refresh, the
// whole trend memory, each at 115200 and 9600 baud over a paced
// pseudo-terminal (or through a serial device server in front of it). For each it prints the time
// taken, the time its bytes need on the wire (10 bits per byte at the baud rate, both directions)
// plus the waits the operation itself prescribes, and the ratio of the two. 1.0 is the physical
// limit.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/app/history_recorder.h"
#include "core/history/history.h"
#include "core/link/data_commands.h"
#include "core/link/live_read.h"
#include "core/link/parameter_blocks.h"
#include "core/model/device_records.h"
#include "pty_rig.h"

namespace parvion::bench {

namespace link_ops {

struct Rig : PtyRig {
    Rig(int baudIndex, const std::filesystem::path& logFolder,
        std::unique_ptr<SerialLine> programLine,
        const std::function<std::string(const std::string&)>& front = nullptr)
        : PtyRig(Options(baudIndex), logFolder, std::move(programLine), front) {}
    static sim::DeviceOptions Options(int baudIndex) {
        sim::DeviceOptions o;
        o.baudIndex = baudIndex;
        return o;
    }
    DeviceState state;
};

// The reads of one live-value refresh of a circuit page: clock, System,
// operating values, circuit parameters, output currents, Dis_User, the unit
// selections when the device's user units are on, and the error state of the
// status lines.
bool LiveRefresh(Rig& rig, int circuit) {
    if (ReadLiveValues(*rig.link, rig.image, rig.state, circuit) != LiveRead::Complete) {
        return false;
    }
    std::uint8_t bits = 0;
    return ReadErrorState(*rig.link, bits) >= 0;
}

bool FullTrendRead(Rig& rig) {
    rig.state.TrendStore = TrendStore{};  // cold cache
    if (!ReadTrendDirectory(*rig.link, rig.state.TrendStore)) return false;
    for (int b = 0; b < 44; ++b) {
        if (!ReadTrendBlock(*rig.link, b, rig.state.TrendStore)) return false;
    }
    return true;
}

void Report(const char* name, int baud, const std::vector<Figure>& runs) {
    const Summary r = Summarise(runs, baud);
    std::printf("%-26s %6d  %8.3f s  %7llu B  wire %8.3f s  waits %6.0f ms  ratio %5.3f%s\n", name,
                baud, r.median, static_cast<unsigned long long>(r.bytes), r.wire, r.waitsMs,
                r.ratio, r.ok ? "" : "  (FAILED)");
}

}  // namespace link_ops

// Runs every operation; `makeLine` gives the program side's line of each
// rig, `front` the port it opens for the pseudo-terminal (a serial device
// server in front of it; none: the terminal itself), `baudIndexes` the rates.
inline int RunLinkBench(int argc, char** argv, const char* name,
                        const std::function<std::unique_ptr<SerialLine>()>& makeLine,
                        const std::function<std::string(const std::string&)>& front = nullptr,
                        std::vector<int> baudIndexes = {7, 3}) {
    using namespace link_ops;
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const ScratchFolder logFolder(std::string(name) + "-" + std::to_string(::getpid()));

    std::printf("%-26s %6s  %10s  %9s  %15s  %15s  %s\n", "operation", "baud", "time", "bytes",
                "wire time", "prescribed", "ratio");
    for (const int baudIndex : baudIndexes) {
        const int baud = kBaudRates[baudIndex];
        const int reps = baudIndex == 7 ? repetitions : 1;
        Rig rig(baudIndex, logFolder.path(), makeLine(), front);

        std::vector<Figure> all, live, trend;
        for (int i = 0; i < reps; ++i) {
            all.push_back(rig.measure([&] { return ReadAllParameters(*rig.link, rig.image); }));
        }
        Report("ReadAllParameters", baud, all);
        {
            // The same with the device history watching, as the programs
            // run it; the history records after the sequence (finish).
            history::History history(history::OpenSqliteStore(logFolder.path()),
                                     history::LocalOrigin(history::kProgramCli));
            HistoryRecorder recorder([&]() -> history::History& { return history; },
                                     logFolder.path(), [](std::uint16_t) { return std::string(); });
            rig.link->setRecordWatch(&recorder);
            std::vector<Figure> watched;
            double finishMs = 0;
            for (int i = 0; i < reps; ++i) {
                watched.push_back(
                    rig.measure([&] { return ReadAllParameters(*rig.link, rig.image); }));
                const auto start = std::chrono::steady_clock::now();
                recorder.finish(*rig.link);
                finishMs = std::max(finishMs, std::chrono::duration<double, std::milli>(
                                                  std::chrono::steady_clock::now() - start)
                                                  .count());
            }
            rig.link->setRecordWatch(nullptr);
            Report("ReadAllParameters+history", baud, watched);
            std::printf(
                "%-26s %6d  %8.3f s  (slowest; the first reads serial number and "
                "program text)\n",
                "  then history finish", baud, finishMs / 1000);
        }
        for (int i = 0; i < reps; ++i)
            live.push_back(rig.measure([&] { return LiveRefresh(rig, 0); }));
        Report(rig.image.Dis_User.Einheiten ? "live refresh (user units)" : "live refresh", baud,
               live);
        for (int i = 0; i < reps; ++i)
            trend.push_back(rig.measure([&] { return FullTrendRead(rig); }));
        Report("trend read (44 blocks)", baud, trend);
        if (rig.link->TransmissionErrors() != 0) {
            std::printf("  transmission errors: %d\n", rig.link->TransmissionErrors());
        }
    }
    return 0;
}

}  // namespace parvion::bench
