// Save and load of a full parameter file (gas variant, every section, a few
// remark lines) in a temporary folder; prints microseconds per save and per
// load. The save includes the atomic replace (temporary file, flush, rename).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/model/defaults.h"
#include "core/model/parameter_file.h"
#include "core/model/units.h"

namespace {

parvion::ParameterImage FullImage() {
    using namespace parvion;
    ParameterImage img;
    ResetParameters(img, medium::Gas);
    float v = 0.1f;
    auto next = [&] { return v = v * 1.37f + 0.013f > 1e6f ? 0.1f : v * 1.37f + 0.013f; };
    for (std::size_t c = 0; c < 2; ++c) {
        img.T_User[c].Max = next();
        img.P_User[c].Max = next();
        img.Flow_User[c].KFak = next();
        img.Des_User[c].DesQN = next();
        img.Med_User[c].Rho = next();
        img.Alm_User[c].Max = next();
    }
    for (float& f : img.Vorgaben) f = next();
    img.Dis_User.Einheiten = 1;
    ApplyUnitRow(img.UserEinheiten[0], *FindUnitRow(medium::Gas, 0, 1));
    img.Bemerkung = {"Station Nord, Prüfstand 3", "Zähler geprüft", "", "Maß 150 °C"};
    return img;
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
    std::filesystem::remove_all(folder);

    std::printf("parameter file: %ju bytes, %d save/load cycles in %s\n",
                static_cast<std::uintmax_t>(size), rounds, parent.c_str());
    std::printf("save: %8.1f us per file (update in place, flushed to disk, atomic replace)\n",
                saveUs / rounds);
    std::printf("load: %8.1f us per file (reset image, read, convert)\n", loadUs / rounds);
    std::printf("round trip identical: %s\n", same ? "yes" : "NO");
    return same ? 0 : 1;
}
