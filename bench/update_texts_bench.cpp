// Time of reloading every text of the main window (UpdateTexts) from the
// string libraries, and of showing a circuit parameter page again (every
// combo and list rebuilt from the image), offline, with the real libraries
// beside the program.

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "gui/app/main_window.h"
#include "gui/parameters/circuit_parameter_page.h"
#include "sim/lib/device.h"
#include "sim/lib/sim_line.h"
#include "timing.h"

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
    parvion::bench::MeasureMs("UpdateTexts", "< 50 ms", 50, [&] { window.UpdateTexts(); });
    // A page full of lines: differential pressure with three measuring
    // units, gas calculation, pulse output.
    parvion::ParameterImage& image = window.image();
    image.System.Kind = 1;
    image.System.Anzahl = 4;
    image.T_User[0].Kind = 1;
    image.P_User[0].Kind = 1;
    image.Flow_User[0].Kind = 1;
    image.Med_User[0].Kind = 6;
    image.Imp_User[0].Kind = 1;
    parvion::bench::MeasureMs("Circuit page, every list rebuilt", "< 1 ms", 200,
                              [&] { window.TabPar1->redisplay(); });
    window.close();
    std::filesystem::remove_all(scratch);
    return 0;
}
