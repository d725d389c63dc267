// With PARVION_SCREENSHOT_DIR set, saves the graph window filled with a full
// trend store, in both variants and both languages, zoomed with the
// read-out, its context menu and a printed chart, for a look at texts and
// axes.

#include <gtest/gtest.h>

#include <QChart>
#include <QCoreApplication>
#include <QLineSeries>
#include <QMenu>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>
#include <cstdlib>

#include "gui/graph/graph_window.h"
#include "gui/graph/trend_chart_view.h"
#include "support/window_harness.h"
#include "support/trend_stores.h"

namespace parvion::test {
namespace {

TEST(Screenshot, GraphWindow) {
    const char* dir = std::getenv("PARVION_SCREENSHOT_DIR");
    if (dir == nullptr) GTEST_SKIP() << "PARVION_SCREENSHOT_DIR not set";
    const QString folder = QString::fromLocal8Bit(dir);
    for (int medium = 0; medium < 2; ++medium) {
        for (int sprache = 0; sprache < 2; ++sprache) {
            WindowSetup setup;
            setup.online = false;
            setup.medium = medium;
            setup.sprache = sprache;
            setup.device.medium = medium;
            Harness h(setup);
            ASSERT_TRUE(h.window->FormCreate());
            h.window->device().TrendStore = FullTrendStore();
            h.window->show();
            h.window->cmd_GrafikClick();
            gui::Tfrm_Grafik* g = h.window->graphWindow();
            g->SpeedButton2->click();
            QCoreApplication::processEvents();
            const QString prefix = folder + (medium == 0 ? "/graph-gas-" : "/graph-energy-") +
                                   (sprache == 0 ? "de" : "en");
            EXPECT_TRUE(g->grab().save(prefix + ".png", "PNG"));

            g->resize(1000, 720);
            QCoreApplication::processEvents();
            gui::TrendChartView* v = g->chart(2);
            const QRectF plot = v->chart()->plotArea();
            v->zoomTime(v->series()->at(600).x(), v->series()->at(640).x());
            QCoreApplication::processEvents();
            v->showReadoutAt(v->mapFromScene(v->chart()->mapToScene(plot.center())));
            EXPECT_TRUE(g->grab().save(prefix + "-zoomed.png", "PNG"));

            v->popupMenu()->popup(v->mapToGlobal(QPoint(60, 60)));
            QCoreApplication::processEvents();
            EXPECT_TRUE(v->popupMenu()->grab().save(prefix + "-menu.png", "PNG"));
            v->popupMenu()->hide();

            // The printout of the zoomed chart, as a PDF.
            QPrinter printer(QPrinter::HighResolution);
            printer.setPageOrientation(QPageLayout::Landscape);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(prefix + "-print.pdf");
            EXPECT_TRUE(g->printChart(2, printer));
        }
    }
}

}  // namespace
}  // namespace parvion::test
