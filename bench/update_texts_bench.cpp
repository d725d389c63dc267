// Time of reloading every text of the main window (UpdateTexts) from the
// string libraries, offline, with the real libraries beside the program.

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "gui/app/main_window.h"
#include "sim/lib/device.h"
#include "sim/lib/sim_line.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const auto scratch = std::filesystem::temp_directory_path() / "parvion2-bench-texts";
    std::filesystem::create_directories(scratch);
    parvion::sim::Device device;
    parvion::sim::SimLine line(device);
    parvion::gui::MainWindowOptions o;
    o.line = &line;
    o.programFolder = QCoreApplication::applicationDirPath().toStdString();
    o.appDataFolder = scratch;
    o.documentsFolder = scratch;
    o.startScreenMs = 0;
    parvion::gui::Tfrm_Main window(o);
    if (!window.FormCreate()) {
        std::fprintf(stderr, "no string library beside the program\n");
        return 1;
    }
    constexpr int kRuns = 50;
    double best = 1e9;
    double total = 0;
    for (int i = 0; i < kRuns; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        window.UpdateTexts();
        const std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - t0;
        best = std::min(best, ms.count());
        total += ms.count();
    }
    std::printf("UpdateTexts: mean %.2f ms, best %.2f ms over %d runs (target < 50 ms)\n",
                total / kRuns, best, kRuns);
    window.close();
    std::filesystem::remove_all(scratch);
    return 0;
}
