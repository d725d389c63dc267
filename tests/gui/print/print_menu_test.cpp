// The print items of the main window over the simulated device: printing
// with copies to a PDF file through the print dialog, the PDF export and the
// commissioning record (the preview: preview_window_test).

#include <gtest/gtest.h>

#include <QAction>
#include <QPrinter>

#include "core/link/parameter_blocks.h"
#include "gui/print/print_menu.h"
#include "support/pdf_text.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

// A print dialog that prints to a PDF file with the given copies.
std::function<bool(QPrinter&, QWidget*)> PrintToFile(const std::filesystem::path& file, int copies,
                                                     int* asked = nullptr) {
    return [file, copies, asked](QPrinter& printer, QWidget*) {
        if (asked != nullptr) ++*asked;
        EXPECT_EQ(printer.copyCount(), 1);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file.string()));
        printer.setCopyCount(copies);
        return true;
    };
}

TEST(PrintMenu, CopiesAreJobsEachCarryingTheRemarks) {
    struct Case {
        bool plan;
        int copies;
        std::vector<std::string> remarks;
        std::size_t pages;
    };
    for (const Case& c : {Case{true, 3, {"Schrank 4, Feld 2"}, 6}, Case{true, 2, {}, 2},
                          Case{false, 2, {"y"}, 4}}) {
        TempDir out;
        const auto file = out.path() / "plan.pdf";
        WindowSetup setup = offline();
        setup.printDialog = PrintToFile(file, c.copies);
        Harness h(setup);
        ASSERT_TRUE(h.window->FormCreate());
        gui::Tfrm_Main& w = *h.window;
        w.image().Bemerkung = c.remarks;
        w.mnu_DruckenClick(c.plan ? w.mnu_PrintKlemmenplan : w.mnu_Drucken);
        const auto pages = PdfPages(file);
        ASSERT_EQ(pages.size(), c.pages) << c.copies;
        const std::string title =
            w.LoadText(c.plan ? 31232 : print::ParameterTitleText(w.image().System.Ausbaustufe));
        for (std::size_t p = 0; p < pages.size(); ++p) {
            const bool remarksPage = !c.remarks.empty() && p % 2 == 1;
            EXPECT_EQ(Has(pages[p], title), !remarksPage) << p;
            if (remarksPage) {
                EXPECT_TRUE(Has(pages[p], c.remarks[0]));
            }
        }
    }
}

TEST(PrintMenu, CancelledPrintDialogPrintsNothing) {
    TempDir out;
    WindowSetup setup = offline();
    int asked = 0;
    setup.printDialog = [&](QPrinter& printer, QWidget*) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString((out.path() / "x.pdf").string()));
        return false;
    };
    Harness h(setup);
    ASSERT_TRUE(h.window->FormCreate());
    h.window->mnu_DruckenClick(h.window->mnu_Drucken);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(std::filesystem::exists(out.path() / "x.pdf"));
}

TEST(PrintMenu, OnlinePrintoutReadsTheDeviceAndNamesItsSerialNumber) {
    TempDir out;
    const auto file = out.path() / "p.pdf";
    WindowSetup setup;
    setup.printDialog = PrintToFile(file, 1);
    Harness h(setup);
    ASSERT_TRUE(h.window->FormCreate());
    gui::Tfrm_Main& w = *h.window;
    // The device's alarm 2 differs from the image: the printout shows the
    // device.
    Alm_UserRec alarm{};
    alarm.Param = 1;
    alarm.Kind = 2;
    alarm.Min = 1;
    alarm.Max = 2;
    h.device.poke(block::Alm_User(1).address, codec::Encode(alarm));
    w.image().Alm_User[1].Param = 0;
    w.mnu_DruckenClick(w.mnu_Drucken);
    const auto pages = PdfPages(file);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(Has(pages[0], " SerialNo:PVG2-0007919"));
    EXPECT_EQ(w.image().Alm_User[1].Param, 1);
    EXPECT_TRUE(Has(pages[0], w.LoadText(7200)));
}

// A folder that cannot take the PDF: a warning and nothing written; then
// the file chosen holds it.
TEST(PrintMenu, ExportWritesThePdfIntoTheChosenFile) {
    WindowSetup setup = offline();
    setup.sprache = 1;
    Harness h(setup);
    ASSERT_TRUE(h.window->FormCreate());
    gui::Tfrm_Main& w = *h.window;
    const auto missing = h.documents() / "missing" / "p.pdf";
    h.dialogs.saveAnswers.push_back(QString::fromStdString(missing.string()));
    w.printMenu()->mnu_ExportPdfClick(w.printMenu()->mnu_ExportPdf);
    ASSERT_EQ(h.dialogs.log.size(), 1u);
    EXPECT_TRUE(h.dialogs.log[0].startsWith("warning:" + QString::fromStdString(w.LoadText(7))));
    EXPECT_FALSE(std::filesystem::exists(missing.parent_path()));
    EXPECT_FALSE(w.Busy());

    const auto file = h.documents() / "plan.pdf";
    h.dialogs.saveAnswers.push_back(QString::fromStdString(file.string()));
    w.printMenu()->mnu_ExportPdfClick(w.printMenu()->mnu_ExportKlemmenplanPdf);
    ASSERT_EQ(h.dialogs.saveRequests.size(), 2u);
    EXPECT_EQ(h.dialogs.saveRequests[1].fileName.toStdString(),
              (h.documents() / "Klemmenplan.pdf").string());
    const auto pages = PdfPages(file);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(Has(pages[0], w.LoadText(31232)));
}

TEST(PrintMenu, CommissioningRecordFromTheDevice) {
    Harness h;
    ASSERT_TRUE(h.window->FormCreate());
    gui::Tfrm_Main& w = *h.window;
    w.image().Bemerkung = {"Inbetriebnahme durch Fa. Muster"};
    const auto file = h.documents() / "record.pdf";
    h.dialogs.saveAnswers.push_back(QString::fromStdString(file.string()));
    w.printMenu()->mnu_InbetriebnahmeClick();
    const auto pages = PdfPages(file);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_TRUE(Has(pages[0], "Inbetriebnahmeprotokoll"));
    EXPECT_TRUE(Has(pages[0], "PV-GAS2 V2.07"));
    EXPECT_TRUE(Has(pages[0], "PVG2-0007919"));
    EXPECT_TRUE(Has(pages[0], "Abweichung der Geräteuhr"));
    EXPECT_TRUE(Has(pages[1], w.LoadText(64)));
    EXPECT_TRUE(Has(pages[2], w.LoadText(31232)));
    EXPECT_TRUE(Has(pages[3], "Inbetriebnahme durch Fa. Muster"));
}

}  // namespace
}  // namespace parvion::test
