// Printing: the page renderer into real PDFs and preview pictures, the
// print items of the main window over the simulated device (copies through
// the print dialog, the PDF export, the commissioning record) and the
// preview window.

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/link/parameter_blocks.h"
#include "core/print/print_rig.h"
#include "core/print/printouts.h"
#include "gui/print/page_renderer.h"
#include "gui/print/print_menu.h"
#include "gui/print/sansicht.h"
#include "support/pdf_text.h"
#include "support/temp_dir.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

// The page renderer: real PDFs read back with pdftotext, the preview picture
// and its size, and a PDF that cannot be written.

struct Rig : PrintRig {
    explicit Rig(int medium) : PrintRig(medium, 0) {}
    print::PrintHeader header{{false, {}, "kessel.PGA"}, "07.12.2026 06:30"};
};

TEST(PdfOutput, LeftAndRightHalvesStayOnTheirLines) {
    TempDir dir;
    Rig rig(medium::Energy);
    const auto file = dir.path() / "plan.pdf";
    ASSERT_TRUE(gui::WritePdf(QString::fromStdString(file.string()),
                              print::TerminalPlanJobs(rig.image, rig.pageTexts(), rig.header, 1),
                              nullptr));
    const auto pages = PdfPages(file);
    ASSERT_EQ(pages.size(), 1u);
    // Row 22: both relays with their terminals on one line, in order.
    std::size_t found = 0;
    std::istringstream lines(pages[0]);
    for (std::string line; std::getline(lines, line);) {
        const auto c5 = line.find("C5 C6");
        const auto c7 = line.find("C7 C8");
        if (c5 != std::string::npos && c7 != std::string::npos) {
            EXPECT_LT(c5, c7);
            EXPECT_LT(line.find(rig.texts.LoadText(31245) + "1"), c5);
            ++found;
        }
    }
    EXPECT_EQ(found, 1u);
}

TEST(PdfOutput, APathThatCannotBeWrittenLeavesNothingBehind) {
    TempDir dir;
    Rig rig(medium::Gas);
    const auto jobs = print::TerminalPlanJobs(rig.image, rig.pageTexts(), rig.header, 1);
    // The parent is a file, not a folder.
    const auto notAFolder = dir.path() / "file";
    std::ofstream(notAFolder) << "x";
    QString error;
    EXPECT_FALSE(
        gui::WritePdf(QString::fromStdString((notAFolder / "x.pdf").string()), jobs, &error));
    EXPECT_FALSE(error.isEmpty());
    // An existing PDF stays as it was when the new one cannot replace it.
    const auto existing = dir.path() / "kept.pdf";
    std::filesystem::create_directory(existing);
    EXPECT_FALSE(gui::WritePdf(QString::fromStdString(existing.string()), jobs, &error));
    EXPECT_TRUE(std::filesystem::is_directory(existing));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
}

// The lowest row of the picture that is not white.
int LastInkRow(const QImage& image) {
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) return y;
        }
    }
    return -1;
}

TEST(Preview, ThePageFitsThePictureAndScalesWithTheScreen) {
    Rig rig(medium::Gas);
    const auto page =
        print::BuildParameterPage(rig.image, medium::Gas, rig.pageTexts(), rig.header);
    // A4 less its margins at the screen's resolution, rounded.
    const QSize size = gui::PreviewSize(gui::PdfPageLayout(), 96, 96);
    EXPECT_EQ(size, QSize(746, 1075));
    const QImage picture = gui::PreviewImage(page, size, 96, 96);
    EXPECT_EQ(picture.size(), size);
    // Row 67 (the last rule) lies on the page, in its lower tenth.
    const int last = LastInkRow(picture);
    EXPECT_GT(last, size.height() * 8 / 10);
    EXPECT_LT(last, size.height());
    // Twice the resolution: the same page at twice the size.
    const QImage large = gui::PreviewImage(page, size * 2, 192, 192);
    EXPECT_NEAR(LastInkRow(large), 2 * last, 6);
}

// The print items of the main window over the simulated device: printing
// with copies to a PDF file through the print dialog, the PDF export and the
// commissioning record (the preview: the last test below).
// A print dialog that prints to a PDF file with the given copies; with no
// copies it is cancelled.
std::function<bool(QPrinter&, QWidget*)> PrintToFile(const std::filesystem::path& file, int copies,
                                                     int* asked = nullptr) {
    return [file, copies, asked](QPrinter& printer, QWidget*) {
        if (asked != nullptr) ++*asked;
        EXPECT_EQ(printer.copyCount(), 1);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file.string()));
        printer.setCopyCount(std::max(copies, 1));
        return copies > 0;
    };
}

TEST(PrintMenu, CopiesAreJobsEachCarryingTheRemarks) {
    struct Case {
        bool plan;
        int copies;
        std::vector<std::string> remarks;
        std::size_t pages;
    };
    // The last: the print dialog cancelled, nothing printed.
    for (const Case& c : {Case{true, 3, {"Schrank 4, Feld 2"}, 6}, Case{true, 2, {}, 2},
                          Case{false, 2, {"y"}, 4}, Case{false, 0, {}, 0}}) {
        TempDir out;
        const auto file = out.path() / "plan.pdf";
        WindowSetup setup = offline();
        int asked = 0;
        setup.printDialog = PrintToFile(file, c.copies, &asked);
        Harness h(setup);
        gui::Tfrm_Main& w = h.start();
        w.image().Bemerkung = c.remarks;
        w.mnu_DruckenClick(c.plan ? w.mnu_PrintKlemmenplan : w.mnu_Drucken);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(std::filesystem::exists(file), c.copies > 0);
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

TEST(PrintMenu, OnlinePrintoutReadsTheDeviceAndNamesItsSerialNumber) {
    TempDir out;
    const auto file = out.path() / "p.pdf";
    WindowSetup setup;
    setup.printDialog = PrintToFile(file, 1);
    Harness h(setup);
    gui::Tfrm_Main& w = h.start();
    // The device's alarm 2 differs from the image: the printout shows the
    // device.
    h.device.poke(block::Alm_User(1).address,
                  codec::Encode(Alm_UserRec{.Param = 1, .Kind = 2, .Min = 1, .Max = 2}));
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
    gui::Tfrm_Main& w = h.start();
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
    gui::Tfrm_Main& w = h.start();
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

// The print preview through the print menu: modal, its size on the screen
// and its picture's, a fresh picture for each item, pages (the remarks page
// too), zoom, print and Escape.

// Runs `inPreview` on the modal preview as soon as it shows.
void WithPreview(gui::Tfrm_Main& w, QAction* item,
                 const std::function<void(gui::Tsansicht&)>& inPreview) {
    gui::Tsansicht* preview = w.printMenu()->preview();
    QTimer poll;
    poll.setInterval(5);
    bool ran = false;
    QObject::connect(&poll, &QTimer::timeout, preview, [&] {
        if (!preview->isVisible() || ran) return;
        ran = true;
        poll.stop();
        inPreview(*preview);
        if (preview->isVisible()) preview->reject();
    });
    poll.start();
    w.mnu_DruckenClick(item);
    EXPECT_TRUE(ran);
}

TEST(PreviewWindow, PagesZoomAndPrintFromThePreview) {
    TempDir out;
    const auto file = out.path() / "printed.pdf";
    int dialogs = 0;
    WindowSetup setup = offline();
    setup.printDialog = PrintToFile(file, 1, &dialogs);
    Harness h(setup);
    gui::Tfrm_Main& w = h.start();
    w.image().Bemerkung = {"Schrank 4, Feld 2"};
    const QString pageOf = QStringLiteral("Seite %1 von %2");
    QImage printout;

    WithPreview(w, w.mnu_Seitenansicht, [&](gui::Tsansicht& p) {
        // Large enough to read a page (the rule: core/views/preview_rules.h).
        const QRect screen = p.screen()->availableGeometry();
        EXPECT_GE(p.width(), std::min(screen.width(), p.picture().width()));
        EXPECT_GE(p.height(), std::min(screen.height() * 8 / 10, p.picture().height()));
        EXPECT_LE(p.width(), screen.width());
        EXPECT_TRUE(p.isModal());
        // A printer page at the screen's resolution, larger than the window:
        // it scrolls.
        EXPECT_GT(p.picture().width(), 600);
        EXPECT_GT(p.picture().height(), 900);
        EXPECT_GT(p.picture().height(), p.ScrollBox->viewport()->height());
        printout = p.picture();

        ASSERT_EQ(p.pageCount(), 2) << "the printout and its remarks page";
        EXPECT_EQ(p.PageLine->text(), pageOf.arg(1).arg(2));
        EXPECT_FALSE(p.BtnPrevPage->isEnabled());
        const QImage first = p.picture();
        QTest::mouseClick(p.BtnNextPage, Qt::LeftButton);
        EXPECT_EQ(p.pageIndex(), 1);
        EXPECT_EQ(p.PageLine->text(), pageOf.arg(2).arg(2));
        EXPECT_FALSE(p.BtnNextPage->isEnabled());
        EXPECT_NE(p.picture(), first);
        QTest::mouseClick(p.BtnPrevPage, Qt::LeftButton);
        EXPECT_EQ(p.picture(), first);

        // Zoom in and out by the buttons and the keys.
        const QSize at100 = p.picture().size();
        QTest::mouseClick(p.BtnZoomIn, Qt::LeftButton);
        EXPECT_EQ(p.zoom(), 125);
        EXPECT_EQ(p.ZoomLine->text(), QStringLiteral("125 %"));
        EXPECT_NEAR(p.picture().width(), at100.width() * 1.25, 1.0);
        QTest::keyClick(&p, Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(&p, Qt::Key_Minus, Qt::ControlModifier);
        EXPECT_EQ(p.zoom(), 75);
        QTest::keyClick(&p, Qt::Key_Plus, Qt::ControlModifier);
        EXPECT_EQ(p.picture().size(), at100);

        EXPECT_EQ(dialogs, 0);
        QTest::mouseClick(p.BtnPrint, Qt::LeftButton);
    });
    // Print closed the preview and printed the printout with its remarks.
    EXPECT_EQ(dialogs, 1);
    const auto pages = PdfPages(file);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(Has(pages[1], "Schrank 4, Feld 2"));
    EXPECT_FALSE(w.Busy());
    EXPECT_TRUE(w.Zeitmesser->isHidden());

    // Another item: a fresh picture of its first page, as large. Escape
    // closes the preview and prints nothing.
    WithPreview(w, w.mnu_Klemmenplan, [&](gui::Tsansicht& p) {
        EXPECT_EQ(p.pageCount(), 2);
        EXPECT_EQ(p.picture().size(), printout.size());
        EXPECT_NE(p.picture(), printout);
        QTest::keyClick(&p, Qt::Key_Escape);
        EXPECT_FALSE(p.isVisible());
    });
    EXPECT_EQ(dialogs, 1);
}

}  // namespace
}  // namespace parvion::test
