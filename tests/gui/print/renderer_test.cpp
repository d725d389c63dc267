// The page renderer: real PDFs read back with pdftotext, the preview picture
// and its size, and a PDF that cannot be written.

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>

#include "core/print/print_rig.h"
#include "core/print/printouts.h"
#include "gui/print/page_renderer.h"
#include "support/pdf_text.h"
#include "support/temp_dir.h"

namespace parvion::test {
namespace {

struct Rig : PrintRig {
    explicit Rig(int medium) : PrintRig(medium, 0) {}
    print::PrintHeader header{{false, {}, "kessel.PGA"}, "07.12.2026 06:30"};
};

TEST(PdfOutput, PrintoutAndPlanAsPagesOfOnePdf) {
    TempDir dir;
    Rig rig(medium::Gas);
    rig.image.Bemerkung = {"Anlage Nord, Zähler 3", "geprüft am 07.12."};
    rig.image.T_User[0].Kind = 1;
    rig.image.T_User[0].Eq = 0;
    std::vector<print::PrintJob> jobs = {
        print::ParameterPrintoutJob(rig.image, medium::Gas, rig.pageTexts(), rig.header)};
    const auto plan = print::TerminalPlanJobs(rig.image, rig.pageTexts(), rig.header, 1);
    jobs.insert(jobs.end(), plan.begin(), plan.end());
    const auto file = dir.path() / "out.pdf";
    QString error;
    ASSERT_TRUE(gui::WritePdf(QString::fromStdString(file.string()), jobs, &error))
        << error.toStdString();
    const auto pages = PdfPages(file);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_TRUE(
        Has(pages[0], rig.texts.LoadText(print::ParameterTitleText(rig.image.System.Ausbaustufe))));
    EXPECT_TRUE(Has(pages[0], "kessel.PGA"));
    EXPECT_TRUE(Has(pages[1], "Anlage Nord, Zähler 3"));
    EXPECT_TRUE(Has(pages[2], rig.texts.LoadText(31232)));
    EXPECT_TRUE(Has(pages[2], "A4[+] A5[-]"));
    EXPECT_TRUE(Has(pages[3], "geprüft am 07.12."));
    // The file is complete: no temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

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
    EXPECT_FALSE(gui::WritePdf(QString::fromStdString((dir.path() / "no" / "x.pdf").string()), jobs,
                               &error));
    // An existing PDF stays as it was when the new one cannot replace it.
    const auto existing = dir.path() / "kept.pdf";
    std::filesystem::create_directory(existing);
    EXPECT_FALSE(gui::WritePdf(QString::fromStdString(existing.string()), jobs, &error));
    EXPECT_TRUE(std::filesystem::is_directory(existing));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST(Preview, A4PageAtScreenResolution) {
    struct Case {
        QMarginsF marginsMm;
        double dpi;
        QSize size;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, 96, {794, 1123}},
        {{6.35, 6.35, 6.35, 6.35}, 96, {746, 1075}},
    };
    for (const Case& c : cases) {
        const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, c.marginsMm,
                                 QPageLayout::Millimeter);
        EXPECT_EQ(gui::PreviewSize(layout, c.dpi, c.dpi), c.size) << c.dpi;
    }
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
    const QSize size = gui::PreviewSize(gui::PdfPageLayout(), 96, 96);
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

}  // namespace
}  // namespace parvion::test
