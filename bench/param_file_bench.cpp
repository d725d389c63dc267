// Save and load of a full parameter file (gas variant, every section, a few
// remark lines) in a temporary folder; prints microseconds per save and per
// load. The save includes the atomic replace (temporary file, flush, rename).
// Then files with 1,000, 16,000 and 64,000 remark lines: load and save time
// of each and the time per 1,000 lines, which stays flat when the cost grows
// with the file and not with its square.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/model/parameter_file.h"
#include "core/model/units.h"
#include "full_image.h"

namespace {

using parvion::bench::FullImage;

// A parameter file that is nothing but the variant and many remark lines.
void WriteRemarkFile(const std::filesystem::path& file, int lines) {
    std::ofstream out(file, std::ios::binary);
    out << "[Medium]\r\nIdent=GAS\r\n\r\n[Bemerkung]\r\n";
    for (int i = 1; i <= lines; ++i) out << "Zeile " << i << "=Prüfpunkt " << i << " geprüft\r\n";
}

// Wall-clock and processor time of a piece of work, in milliseconds.
struct Times {
    double wallMs = 0;
    double cpuMs = 0;
};

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

template <class Work>
Times MeanTimes(int runs, Work&& work) {
    Times sum;
    for (int i = 0; i < runs; ++i) {
        const auto wall0 = std::chrono::steady_clock::now();
        const double cpu0 = CpuSeconds();
        work();
        sum.cpuMs += (CpuSeconds() - cpu0) * 1000;
        sum.wallMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall0)
                .count();
    }
    return {sum.wallMs / runs, sum.cpuMs / runs};
}

// Load and save time against the number of remark lines; false when a file
// does not read back with every line. The processor time shows the growth
// even on a loaded machine; the save also waits for the disk.
bool LargeFiles(const std::filesystem::path& folder) {
    using namespace parvion;
    std::printf(
        "\nlarge files (remark lines only), means in ms (target: 64,000 lines well under "
        "1 s):\n");
    std::printf("%7s %8s | %9s %9s | %9s %9s | %s\n", "lines", "KB", "load wall", "load cpu",
                "save wall", "save cpu", "cpu per 1,000 lines (load + save)");
    bool same = true;
    for (const int lines : {1000, 16000, 64000}) {
        const std::filesystem::path file = folder / ("remarks" + std::to_string(lines) + ".PGA");
        WriteRemarkFile(file, lines);
        const auto size = std::filesystem::file_size(file);
        const int runs = lines > 16000 ? 5 : 10;
        ParameterImage image;
        const Times load = MeanTimes(runs, [&] {
            ResetParameters(image, medium::Gas);
            same = LoadParameterFile(file, image, medium::Gas).ok() && same;
        });
        same = same && image.Bemerkung.size() == static_cast<std::size_t>(lines);
        const Times save = MeanTimes(
            runs, [&] { same = SaveParameterFile(file, image, medium::Gas).ok() && same; });
        std::printf("%7d %8ju | %9.2f %9.2f | %9.2f %9.2f | %.3f\n", lines,
                    static_cast<std::uintmax_t>(size / 1024), load.wallMs, load.cpuMs, save.wallMs,
                    save.cpuMs, (load.cpuMs + save.cpuMs) * 1000 / lines);
    }
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    using Clock = std::chrono::steady_clock;
    // Arguments: cycles (default 500), parent folder (default the system's
    // temporary folder).
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    const std::filesystem::path parent =
        argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
    std::string pattern = (parent / "parvion-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path folder = pattern;
    const std::filesystem::path file = folder / "bench.PGA";

    const parvion::ParameterImage image = FullImage();
    if (!parvion::SaveParameterFile(file, image, parvion::medium::Gas).ok()) return 1;

    double saveUs = 0;
    double loadUs = 0;
    bool same = true;
    for (int i = 0; i < rounds; ++i) {
        const auto t0 = Clock::now();
        const bool saved = parvion::SaveParameterFile(file, image, parvion::medium::Gas).ok();
        const auto t1 = Clock::now();
        parvion::ParameterImage loaded;
        parvion::ResetParameters(loaded, parvion::medium::Gas);
        const bool ok = parvion::LoadParameterFile(file, loaded, parvion::medium::Gas).ok();
        const auto t2 = Clock::now();
        same = same && saved && ok && loaded == image;
        saveUs += std::chrono::duration<double, std::micro>(t1 - t0).count();
        loadUs += std::chrono::duration<double, std::micro>(t2 - t1).count();
    }
    const auto size = std::filesystem::file_size(file);

    std::printf("parameter file: %ju bytes, %d save/load cycles in %s\n",
                static_cast<std::uintmax_t>(size), rounds, parent.c_str());
    std::printf("save: %8.1f us per file (update in place, flushed to disk, atomic replace)\n",
                saveUs / rounds);
    std::printf("load: %8.1f us per file (reset image, read, convert)\n", loadUs / rounds);
    std::printf("round trip identical: %s\n", same ? "yes" : "NO");

    const bool large = LargeFiles(folder);
    std::printf("large files read back with every line: %s\n", large ? "yes" : "NO");
    std::filesystem::remove_all(folder);
    return same && large ? 0 : 1;
}
