// Building each printout from a full parameter image and rendering it to a
// PDF file, as the print menu and parvion2-cli print do; also the preview
// picture. Prints the times; the target is 200 ms for each printout.

#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <filesystem>

#include "core/model/session.h"
#include "core/app/texts.h"
#include "core/model/defaults.h"
#include "core/model/value_format.h"
#include "core/print/printouts.h"
#include "gui/print/page_renderer.h"
#include "timing.h"

int main(int argc, char** argv) {
    using namespace parvion;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::filesystem::path folder = std::filesystem::path(argv[0]).parent_path();
    const std::filesystem::path out = std::filesystem::temp_directory_path() / "print_bench.pdf";

    for (int medium : {medium::Gas, medium::Energy}) {
        Session session;
        session.Medium = medium;
        session.Sprache = 0;
        const TextLibrary texts(folder, session);
        ParameterImage image;
        ResetParameters(image, medium, false);
        // Every group with lines: differential pressure on both circuits,
        // correction factors, alarms with limits, outputs with sources.
        for (std::size_t c = 0; c < 2; ++c) {
            image.T_User[c].Kind = 1;
            image.T_User[c].Eq = 0;
            image.P_User[c].Kind = 1;
            image.P_User[c].Eq = 0;
            image.Flow_User[c].Kind = 2;
            image.Med_User[c].Kind = medium == medium::Gas ? 7 : 4;
            image.Imp_User[c].Kind = 1;
            image.FlowKorr[c].Stelle = {0.98f, 0.99f, 1, 1, 1, 1.01f, 1.02f, 1.03f};
            image.Alm_User[c].Param = 1;
            image.Alm_User[c].Kind = 2;
        }
        for (auto& o : image.Aus_User) o.Param = 1;
        image.Bemerkung = {"Anlage Nord", "Schrank 4, Feld 2", "geprüft"};
        const edit::PageTexts pageTexts{[&](std::uint16_t f, std::uint8_t w, views::TextBlock& b) {
                                            return texts.LoadTextBlock(f, w, b);
                                        },
                                        [&](std::uint16_t n) { return texts.LoadText(n); },
                                        [&](std::uint8_t q, bool u, bool t, float v) {
                                            return FormatValue(image, medium, q, u, t, v);
                                        }};
        const print::PrintHeader header{{true, "PVG2-0007919", {}}, "07.12.2026 06:30"};
        const QString file = QString::fromStdString(out.string());
        std::printf("%s computer:\n", medium == medium::Gas ? "gas" : "energy");
        bench::MeasureMs("  parameter printout, build only", "-", 50, [&] {
            (void)print::ParameterPrintoutJob(image, medium, pageTexts, header);
        });
        bench::MeasureMs("  parameter printout, build + PDF", "< 200 ms", 20, [&] {
            gui::WritePdf(file, {print::ParameterPrintoutJob(image, medium, pageTexts, header)},
                          nullptr);
        });
        bench::MeasureMs("  terminal plan, build + PDF", "< 200 ms", 20, [&] {
            gui::WritePdf(file, print::TerminalPlanJobs(image, pageTexts, header, 1), nullptr);
        });
        bench::MeasureMs("  commissioning record, build + PDF", "< 200 ms", 20, [&] {
            print::DeviceIdentity id;
            id.fromDevice = true;
            id.ident = "PV-GAS2 ";
            id.deviceClock = DeviceDateTime{2026, 12, 7, 6, 30, 0};
            gui::WritePdf(file,
                          {print::CommissioningRecordJob(image, medium, pageTexts, header, id, 0)},
                          nullptr);
        });
        const QSize size = gui::PreviewSize(gui::PdfPageLayout(), 96, 96);
        bench::MeasureMs("  preview picture of the printout (96 dpi)", "< 200 ms", 20, [&] {
            (void)gui::PreviewImage(print::BuildParameterPage(image, medium, pageTexts, header),
                                    size, 96, 96);
        });
    }
    std::filesystem::remove(out);
    return 0;
}
