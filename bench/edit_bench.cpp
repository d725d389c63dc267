// The circuit parameter page over a real pseudo-terminal at 115200 baud: the
// simulator serves the device with baud-rate pacing, the program side uses
// the termios line and the edit layer. For filling the page and for the
// write-back of single edits it prints the time taken, the time the bytes
// need on the wire (10 bits per byte, both directions) plus the waits the
// write-back prescribes, and their ratio (1.0 is the physical limit; the
// target is at most 1.15), and the same for the switch of the system
// definition to one circuit. Then the time to build every list of a circuit
// page offline with the real string library (target under 1 ms).
//
//   edit_bench [repetitions (default 5)]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/app/texts.h"
#include "core/edit/circuit_page.h"
#include "core/edit/system_page.h"
#include "core/link/parameter_blocks.h"
#include "core/model/value_format.h"
#include "pty_rig.h"

namespace {

using namespace parvion;
using bench::Figure;
using bench::Steady;

// The gas device at 115200 baud with its parameters read.
struct Rig : bench::PtyRig {
    explicit Rig(const std::filesystem::path& logFolder) : PtyRig({}, logFolder) {
        ReadAllParameters(*link, image);
    }
    Figure measure(const std::function<void()>& operation) {
        return PtyRig::measure([&] {
            operation();
            return true;
        });
    }
};

edit::CircuitLine LineOf(const ParameterImage& image, edit::CircuitGroup group,
                         std::string_view key) {
    for (const edit::CircuitLine& line : edit::GroupLines(image, medium::Gas, 0, group)) {
        if (line.field.key == key) return line;
    }
    std::fprintf(stderr, "the page has no line %.*s\n", static_cast<int>(key.size()), key.data());
    std::exit(1);
}

void Report(const char* name, const std::vector<Figure>& runs) {
    const bench::Summary r = bench::Summarise(runs, 115200);
    std::printf("%-34s %8.2f ms  %5llu B  wire %7.2f ms  waits %4.0f ms  ratio %5.3f%s\n", name,
                r.median * 1000.0, static_cast<unsigned long long>(r.bytes), r.wire * 1000.0,
                r.waitsMs, r.ratio, r.ok ? "" : "  (FAILED)");
}

std::filesystem::path ProgramFolder(const char* argv0) {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return self.parent_path();
    return std::filesystem::absolute(argv0, ec).parent_path();
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    using G = edit::CircuitGroup;
    {
        const bench::ScratchFolder logFolder("parvion2-edit-bench-" + std::to_string(::getpid()));
        Rig rig(logFolder.path());
        ParameterImage& im = rig.image;
        Link& link = *rig.link;
        std::printf("115200 baud, median of %d runs\n", repetitions);
        std::vector<Figure> fill;
        std::vector<Figure> temperature;
        std::vector<Figure> flow;
        std::vector<Figure> gas;
        for (int i = 0; i < repetitions; ++i) {
            fill.push_back(rig.measure([&] { edit::ReadCircuitPage(link, im, 0); }));
        }
        Report("fill the circuit page (3 reads)", fill);

        // A temperature limit: write, 50 ms, read back.
        im.T_User[0].Kind = 1;
        const edit::CircuitLine max = LineOf(im, G::Temperature, "Max");
        for (int i = 0; i < repetitions; ++i) {
            temperature.push_back(rig.measure([&] {
                edit::ApplyLineValue(link, im, 0, G::Temperature, max,
                                     100.0f + static_cast<float>(i));
            }));
        }
        Report("temperature Max (2 steps)", temperature);

        // A flow value: design values and flow input, each written with its
        // wait, then both read back.
        im.Flow_User[0].Kind = 4;
        const edit::CircuitLine flowMax = LineOf(im, G::Flow, "Max");
        for (int i = 0; i < repetitions; ++i) {
            flow.push_back(rig.measure([&] {
                edit::ApplyLineValue(link, im, 0, G::Flow, flowMax,
                                     1000.0f + static_cast<float>(i));
            }));
        }
        Report("flow Max (4 steps, 2 waits)", flow);

        // The natural-gas input set: medium and gas set, three waits.
        edit::ApplyChoice(link, im, 0, G::Medium, 6);
        const edit::CircuitLine co2 = LineOf(im, G::Medium, "CO2");
        for (int i = 0; i < repetitions; ++i) {
            gas.push_back(rig.measure([&] {
                edit::ApplyLineValue(link, im, 0, G::Medium, co2,
                                     1.0f + 0.1f * static_cast<float>(i));
            }));
        }
        Report("natural-gas CO2 (4 steps, 3 waits)", gas);

        // The switch from two circuits to parallel transmitters: 17 reads,
        // 16 writes each with its wait, then System.
        std::vector<Figure> system;
        for (int i = 0; i < repetitions; ++i) {
            im.System.Kind = 0;
            system.push_back(rig.measure([&] { edit::ChangeSystemDefinition(link, im, 2); }));
        }
        Report("system definition 0 -> 2 (34 steps)", system);
        if (link.TransmissionErrors() != 0) {
            std::printf("  transmission errors: %d\n", link.TransmissionErrors());
        }
    }

    // Every list of a circuit page, offline, with the real string library.
    Session session;
    session.Medium = medium::Gas;
    const TextLibrary texts(FindTextFolder(ProgramFolder(argc > 0 ? argv[0] : nullptr)), session);
    if (!texts.checkLibrary()) {
        std::fprintf(stderr, "no string library beside the program (%s)\n",
                     texts.libraryPath().string().c_str());
        return 1;
    }
    ParameterImage image;
    image.T_User[0] = {0, 0, 1, 0, -20, 60};
    image.P_User[0] = {0, 0, 1, 0, 100, 0, 1600};
    image.Flow_User[0].Kind = 1;
    image.System.Kind = 2;
    image.System.Anzahl = 4;
    image.Med_User[0] = {0, '0', 1, 6};
    image.Imp_User[0].Kind = 1;
    const views::BlockLoader blocks = [&texts](std::uint16_t first, std::uint8_t width,
                                               views::TextBlock& t) {
        t.fill({});
        return texts.LoadTextBlock(first, width, t);
    };
    const views::ValueFormatter format = [&image](std::uint8_t q, bool withUnit, bool trim,
                                                  float v) {
        return FormatValue(image, medium::Gas, q, withUnit, trim, v);
    };
    std::size_t lines = 0;
    auto buildAll = [&] {
        for (G group : edit::kCircuitGroups) {
            lines += edit::GroupListTexts(image, medium::Gas, 0, group, blocks, format).size();
        }
    };
    const auto coldStart = Steady::now();
    buildAll();
    const double coldUs =
        std::chrono::duration<double, std::micro>(Steady::now() - coldStart).count();
    const int rounds = 2000;
    std::vector<double> us;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Steady::now();
        buildAll();
        us.push_back(std::chrono::duration<double, std::micro>(Steady::now() - start).count());
    }
    std::sort(us.begin(), us.end());
    std::printf(
        "all six lists of a circuit page (%zu lines): first %.1f us, median %.1f us, "
        "99th percentile %.1f us (target under 1000 us)\n",
        lines / static_cast<std::size_t>(rounds + 1), coldUs, us[us.size() / 2],
        us[us.size() * 99 / 100]);
    return 0;
}
