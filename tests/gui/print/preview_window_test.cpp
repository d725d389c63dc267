// The print preview through the print menu: modal, its size on the screen
// and its picture's, a fresh picture for each item, pages (the remarks page
// too), zoom, print and Escape.

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTimer>

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
    TempDir out;
    const auto file = out.path() / "printed.pdf";
    int dialogs = 0;
    WindowSetup setup;
    setup.online = false;
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
