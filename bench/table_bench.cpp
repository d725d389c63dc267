// The table editors' device and file work: transmitting and receiving each
// table at 115200 baud against the simulator over a paced pseudo-terminal
// (time over wire time plus prescribed waits; target at most 1.15), and
// loading and saving a table file (target under 5 ms).

#include <cstdio>
#include <vector>

#include "core/model/device_records.h"
#include "core/tables/table_file.h"
#include "core/tables/table_transfer.h"
#include "pty_rig.h"
#include "timing.h"

using namespace parvion;
using namespace parvion::bench;
using namespace parvion::tables;

namespace {

constexpr int kRuns = 5;

void Report(const char* name, int baud, const std::vector<Figure>& runs) {
    const Summary s = Summarise(runs, baud);
    std::printf("%-34s %6d  %8.3f s  %6llu B  wire %7.3f s  waits %5.0f ms  ratio %5.3f%s\n", name,
                baud, s.median, static_cast<unsigned long long>(s.bytes), s.wire, s.waitsMs,
                s.ratio, s.ok ? "" : "  FAILED");
}

PropertyGrid SampleProperty() {
    PropertyGrid g;
    for (int r = 1; r < PropertyGrid::kRows; ++r) g.at(0, r) = std::to_string(250 + 10 * r);
    for (int c = 1; c < PropertyGrid::kCols; ++c) g.at(c, 0) = std::to_string(500 * c);
    for (int r = 1; r < PropertyGrid::kRows; ++r) {
        for (int c = 1; c < PropertyGrid::kCols; ++c) {
            g.at(c, r) = std::to_string(0.9 + r * 0.001 + c * 0.0001).substr(0, 8);
        }
    }
    return g;
}

SaturationGrid SampleSaturation() {
    SaturationGrid g;
    for (int r = 1; r < SaturationGrid::kRows; ++r) {
        g.at(0, r) = std::to_string(273 + 10 * r);
        g.at(1, r) = std::to_string(100 * r);
        g.at(2, r) = std::to_string(1000 - 20 * r);
        g.at(3, r) = std::to_string(2500 + 5 * r);
    }
    return g;
}

}  // namespace

int main() {
    ScratchFolder scratch("parvion-table-bench");
    std::printf("(the machine may be shared with other work; figures vary with its load)\n");
    std::printf("%-34s %6s  %10s  %8s  %14s  %13s\n", "operation", "baud", "time", "bytes", "wire",
                "waits");
    DeviceState state;
    struct Kind {
        const char* name;
        int medium;
        int table;  // -1: the saturation table
    };
    for (const Kind k : {Kind{"compressibility (gas, 1)", 0, 1}, Kind{"density (energy, 0)", 1, 0},
                         Kind{"enthalpy (energy, 1)", 1, 1}, Kind{"saturation (energy)", 1, -1}}) {
        sim::DeviceOptions o;
        o.medium = k.medium;
        o.baudIndex = 7;
        PtyRig rig(o, scratch.path());
        const PropertyGrid pg = SampleProperty();
        const SaturationGrid sg = SampleSaturation();
        std::vector<Figure> sent, read;
        for (int i = 0; i < kRuns; ++i) {
            sent.push_back(rig.measure([&] {
                const TransmitResult r =
                    k.table < 0
                        ? TransmitSaturationGrid(*rig.link, sg, state.SaturationTable, {})
                        : TransmitPropertyGrid(*rig.link, k.table, pg, state.PropertyTable, {});
                return r.status == TransmitStatus::Sent;
            }));
            read.push_back(rig.measure([&] {
                if (k.table < 0) {
                    SaturationGrid g;
                    return ReceiveSaturationGrid(*rig.link, state.SaturationTable, g);
                }
                PropertyGrid g;
                return ReceivePropertyGrid(*rig.link, k.table, state.PropertyTable, g);
            }));
        }
        Report((std::string("transmit ") + k.name).c_str(), rig.baud(), sent);
        Report((std::string("receive ") + k.name).c_str(), rig.baud(), read);
    }

    const std::filesystem::path ktb = scratch.path() / "bench.KTB";
    const std::filesystem::path stb = scratch.path() / "bench.STB";
    const PropertyGrid pg = SampleProperty();
    const SaturationGrid sg = SampleSaturation();
    MeasureMs("save property table file", "< 5 ms", 50, [&] { SavePropertyFile(ktb, pg); });
    MeasureMs("load property table file", "< 5 ms", 50, [&] {
        PropertyGrid g;
        LoadPropertyFile(ktb, g);
    });
    MeasureMs("save saturation table file", "< 5 ms", 50, [&] { SaveSaturationFile(stb, sg); });
    MeasureMs("load saturation table file", "< 5 ms", 50, [&] {
        SaturationGrid g;
        LoadSaturationFile(stb, g);
    });
    return 0;
}
