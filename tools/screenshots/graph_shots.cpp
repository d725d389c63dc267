// The graph window filled with a full
// trend store, in both variants and both languages, zoomed with the
// read-out, its context menu and a printed chart (PDF), for a look at texts
// and axes.

#include <gtest/gtest.h>

#include <QChart>
#include <QCoreApplication>
#include <QLineSeries>
#include <QMenu>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>

#include "gui/graph/graph_window.h"
#include "gui/graph/trend_chart_view.h"
#include "shots.h"
#include "support/trend_stores.h"

namespace parvion::test {
namespace {

TEST(Screenshot, GraphWindow) {
    ForEachVariantAndLanguage([](WindowSetup& setup, const QString& prefix) {
        setup.online = false;
        Harness h(setup);
        ASSERT_TRUE(h.window->FormCreate());
        h.window->device().TrendStore = FullTrendStore();
        h.window->show();
        h.window->cmd_GrafikClick();
        gui::Tfrm_Grafik* g = h.window->graphWindow();
        g->SpeedButton2->click();
        QCoreApplication::processEvents();
        Shoot(*g, prefix + "graph");

        g->resize(1000, 720);
        QCoreApplication::processEvents();
        gui::TrendChartView* v = g->chart(2);
        const QRectF plot = v->chart()->plotArea();
        v->zoomTime(v->series()->at(600).x(), v->series()->at(640).x());
        QCoreApplication::processEvents();
        v->showReadoutAt(v->mapFromScene(v->chart()->mapToScene(plot.center())));
        Shoot(*g, prefix + "graph-zoomed");

        v->popupMenu()->popup(v->mapToGlobal(QPoint(60, 60)));
        Shoot(*v->popupMenu(), prefix + "graph-menu");
        v->popupMenu()->hide();

        // The printout of the zoomed chart, as a PDF.
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(prefix + "graph-print.pdf");
        EXPECT_TRUE(g->printChart(2, printer));
    });
}

}  // namespace
}  // namespace parvion::test
