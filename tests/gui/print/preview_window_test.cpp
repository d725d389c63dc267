// The print preview through the print menu: it opens large enough to read a
// page, switches between the printout's pages (the remarks page too),
// zooms, and prints what it shows through the print dialog; the print items
// each name the printout they make.

#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <set>

#include "gui/print/print_menu.h"
#include "gui/print/sansicht.h"
#include "support/pdf_text.h"
#include "support/temp_dir.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

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
    for (const int sprache : {0, 1}) {
        SCOPED_TRACE(sprache);
        TempDir out;
        const auto file = out.path() / "printed.pdf";
        int dialogs = 0;
        WindowSetup setup;
        setup.online = false;
        setup.sprache = sprache;
        setup.printDialog = [&](QPrinter& printer, QWidget*) {
            ++dialogs;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(file.string()));
            return true;
        };
        Harness h(setup);
        ASSERT_TRUE(h.window->FormCreate());
        gui::Tfrm_Main& w = *h.window;
        w.image().Bemerkung = {"Schrank 4, Feld 2"};
        const QString pageOf =
            sprache == 0 ? QStringLiteral("Seite %1 von %2") : QStringLiteral("Page %1 of %2");

        WithPreview(w, w.mnu_Seitenansicht, [&](gui::Tsansicht& p) {
            // Large enough to read a page line, within the screen.
            const QRect screen = p.screen()->availableGeometry();
            EXPECT_GE(p.width(), std::min(screen.width(), p.picture().width()));
            EXPECT_GE(p.height(), std::min(screen.height() * 8 / 10, p.picture().height()));
            EXPECT_LE(p.width(), screen.width());
            EXPECT_LE(p.height(), screen.height());

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

            // Every control speaks the language in force.
            for (QPushButton* b : {p.BtnPrevPage, p.BtnNextPage, p.BtnZoomOut, p.BtnZoomIn,
                                   p.BtnPrint, p.BtnClose}) {
                EXPECT_EQ(b->text().toStdString(),
                          w.LoadText(static_cast<std::uint16_t>(b == p.BtnPrevPage   ? 22841
                                                                : b == p.BtnNextPage ? 22842
                                                                : b == p.BtnZoomOut  ? 22840
                                                                : b == p.BtnZoomIn   ? 22839
                                                                : b == p.BtnPrint    ? 22844
                                                                                     : 22845)));
            }
            EXPECT_EQ(dialogs, 0);
            QTest::mouseClick(p.BtnPrint, Qt::LeftButton);
        });
        // Print closed the preview and printed the printout with its remarks.
        EXPECT_EQ(dialogs, 1);
        const auto pages = PdfPages(file);
        ASSERT_EQ(pages.size(), 2u);
        EXPECT_TRUE(Has(pages[1], "Schrank 4, Feld 2"));
        EXPECT_FALSE(w.Busy());

        // Escape closes the preview and prints nothing.
        WithPreview(w, w.mnu_Klemmenplan, [&](gui::Tsansicht& p) {
            EXPECT_EQ(p.pageCount(), 2);
            QTest::keyClick(&p, Qt::Key_Escape);
            EXPECT_FALSE(p.isVisible());
        });
        EXPECT_EQ(dialogs, 1);
    }
}

TEST(PrintItems, EachNamesThePrintoutItMakes) {
    for (const int medium : {0, 1}) {
        for (const int sprache : {0, 1}) {
            SCOPED_TRACE(std::to_string(medium) + "/" + std::to_string(sprache));
            WindowSetup setup;
            setup.online = false;
            setup.medium = medium;
            setup.sprache = sprache;
            Harness h(setup);
            ASSERT_TRUE(h.window->FormCreate());
            gui::Tfrm_Main& w = *h.window;
            gui::PrintMenu& m = *w.printMenu();
            const QString plan =
                sprache == 0 ? QStringLiteral("Klemmenplan") : QStringLiteral("Terminal plan");
            const QString printout =
                sprache == 0 ? QStringLiteral("Parameterausdruck") : QStringLiteral("Parameters");
            std::set<QString> texts;
            for (QAction* a : {w.mnu_Seitenansicht, w.mnu_Drucken, m.mnu_ExportPdf}) {
                EXPECT_TRUE(a->text().startsWith(printout)) << a->text().toStdString();
                texts.insert(a->text());
            }
            for (QAction* a :
                 {w.mnu_Klemmenplan, w.mnu_PrintKlemmenplan, m.mnu_ExportKlemmenplanPdf}) {
                EXPECT_TRUE(a->text().startsWith(plan)) << a->text().toStdString();
                texts.insert(a->text());
            }
            EXPECT_EQ(texts.size(), 6u) << "no two print items alike";
            EXPECT_EQ(m.mnu_Inbetriebnahme->text().toStdString(), w.LoadText(22837));
        }
    }
}

}  // namespace
}  // namespace parvion::test
