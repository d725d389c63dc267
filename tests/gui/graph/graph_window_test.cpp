// The trend graph window: the points in its four series, titles, the three
// buttons, emptying on activation, the equal quarters, zoom and read-out,
// the time axis's ticks on round local times (also zoomed), the caption
// line on screen, in PNG files and in printouts (real PDFs), texts in both
// languages, and the main window's "Grafik ..." button.

#include "gui/graph/graph_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QDateTime>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>
#include <QWheelEvent>
#include <cmath>
#include <limits>

#include "core/app/texts.h"
#include "gui/graph/trend_chart_view.h"
#include "support/pdf_text.h"
#include "support/temp_dir.h"
#include "support/trend_stores.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

const QStringList kHeads = {QStringLiteral("Temperatur[ °C]"), QStringLiteral("Druck[ bar]"),
                            QStringLiteral("Normvolumenstrom[ m3/h]"),
                            QStringLiteral("Massestrom[ kg/h]")};

// The window on its own, over a store of the test's making.
struct Rig {
    Rig() : texts(PARVION_BIN_DIR, session) {
        window = std::make_unique<gui::Tfrm_Grafik>(
            gui::GraphContext{store, image, session, dialogs, [this] { return heads; }, dir.path(),
                              [this](QPrinter& printer, QWidget*) {
                                  printDialogs++;
                                  if (!printTo) return false;
                                  printer.setOutputFormat(QPrinter::PdfFormat);
                                  printer.setOutputFileName(*printTo);
                                  return true;
                              },
                              [] { return std::string("0012345"); },
                              [this](std::uint16_t n) { return texts.LoadText(n); }});
    }
    ~Rig() {
        window->close();
        window.reset();
    }
    void click(QPushButton* b) {
        QTest::mouseClick(b, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    // Shown with circuit 1 drawn, from a whole store when `full`.
    void showCircuit1(bool full = true) {
        if (full) store = FullTrendStore();
        window->show();
        click(window->SpeedButton2);
    }

    TempDir dir;
    TrendStore store;
    ParameterImage image;
    Session session;
    TextLibrary texts;
    ScriptedDialogs dialogs;
    QStringList heads = kHeads;
    std::optional<QString> printTo;
    int printDialogs = 0;
    std::unique_ptr<gui::Tfrm_Grafik> window;
};

double May2024(int day, QTime t) {
    return static_cast<double>(QDateTime(QDate(2024, 5, day), t).toMSecsSinceEpoch());
}

TEST(GraphWindow, DrawsTheBlocksOfTheChosenCircuit) {
    Rig r;
    // Ring order is not time order: block 0 holds the newer values.
    r.store.Block[0] = TrendBlockAt(0, 100, 2024, 5, 18, 10, 7, 3);
    r.store.Block[43] = TrendBlockAt(0, 15, 2024, 5, 17, 10, 7, 4);
    r.store.Block[5] = TrendBlockAt(1, 60, 2004, 2, 28, 23, 0, 59);
    r.store.Block[6] = TrendBlockAt(2, 60, 2004, 2, 28, 23, 0, 5);  // circuit 3: never drawn
    r.window->show();
    EXPECT_TRUE(r.window->SpeedButton1->isChecked());
    EXPECT_TRUE(r.window->captionLine(0).isEmpty());  // nothing drawn: no caption

    r.click(r.window->SpeedButton2);
    EXPECT_EQ(static_cast<qint64>(r.window->series(0)->at(0).x()),
              QDateTime(QDate(2024, 5, 17), QTime(10, 15)).toMSecsSinceEpoch());
    // The caption line above each chart (in PNG files and printouts: the
    // tests below).
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(r.window->chart(c)->chart()->title(), kHeads[c]);
        EXPECT_EQ(r.window->series(c)->count(), 7);
        EXPECT_EQ(r.window->captionLine(c).toStdString(),
                  "PV-GAS2, Seriennummer 0012345, Kreis 1, 17.05.2024 10:15:00 bis 18.05.2024 "
                  "10:07:02");
    }
    // Zoomed: the caption names the times shown.
    r.window->chart(1)->zoomTime(May2024(17, QTime(10, 30)), May2024(17, QTime(10, 45)));
    EXPECT_TRUE(r.window->captionLine(1).endsWith(
        QStringLiteral("17.05.2024 10:30:00 bis 17.05.2024 10:45:00")))
        << r.window->captionLine(1).toStdString();
    EXPECT_DOUBLE_EQ(r.window->series(0)->at(0).y(), 20.0);  // 2931 as °C
    // The axes span the points.
    EXPECT_EQ(static_cast<qint64>(r.window->chart(0)->timeAxis()->min()),
              static_cast<qint64>(r.window->series(0)->at(0).x()));
    EXPECT_EQ(static_cast<qint64>(r.window->chart(0)->timeAxis()->max()),
              static_cast<qint64>(r.window->series(0)->at(6).x()));
    EXPECT_LE(r.window->chart(0)->valueAxis()->min(), 20.0);
    EXPECT_GE(r.window->chart(0)->valueAxis()->max(), 20.0);

    // Circuit 2: 59 values give 60 points.
    r.click(r.window->SpeedButton3);
    EXPECT_EQ(r.window->series(0)->count(), 60);

    EXPECT_TRUE(r.window->SpeedButton3->isChecked());
    EXPECT_FALSE(r.window->SpeedButton2->isChecked());

    // The blank button empties the charts, their titles and captions.
    r.click(r.window->SpeedButton1);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(r.window->series(c)->count(), 0);
        EXPECT_TRUE(r.window->chart(c)->chart()->title().isEmpty());
        EXPECT_TRUE(r.window->captionLine(c).isEmpty());
    }
    // A grid without heads gives empty titles, not a crash.
    r.heads.clear();
    r.click(r.window->SpeedButton3);
    EXPECT_TRUE(r.window->chart(3)->chart()->title().isEmpty());
}

TEST(GraphWindow, BrokenBlocksAndValuesLeaveTheAxesFinite) {
    Rig r;
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    TrendBlock broken = TrendBlockAt(0, 15, 2024, 5, 17, 10, 0, 4);
    broken.Series[0] = {nan, nan, nan, nan};
    broken.Series[1][1] = inf;
    broken.Series[2][2] = -inf;
    broken.Series[3][0] = std::numeric_limits<float>::max();
    r.store.Block[0] = broken;
    r.store.Block[1] = TrendBlockAt(0, 15, 2024, 13, 40, 99, 99, 255);  // implausible header
    r.showCircuit1(false);
    // Which points are drawn, and the ranges: core/views/trend_series_test.
    EXPECT_EQ(r.window->series(0)->count(), 0);  // all four temperatures broken
    for (int c = 0; c < 4; ++c) {
        SCOPED_TRACE(c);
        for (const QPointF& p : r.window->series(c)->points()) {
            EXPECT_TRUE(std::isfinite(p.x()) && std::isfinite(p.y()));
        }
        const QValueAxis* y = r.window->chart(c)->valueAxis();
        EXPECT_TRUE(std::isfinite(y->min()) && std::isfinite(y->max()));
        EXPECT_LT(y->min(), y->max());
        EXPECT_TRUE(std::isfinite(r.window->chart(c)->timeAxis()->min()));
    }
    // It draws.
    EXPECT_FALSE(r.window->grab().isNull());
}

TEST(GraphWindow, ChartsShareTheWindowInEqualQuarters) {
    Rig r;
    r.window->show();
    auto check = [&r](const char* when) {
        SCOPED_TRACE(when);
        QCoreApplication::processEvents();
        const QSize c1 = r.window->chart(0)->size();
        EXPECT_LE(std::abs(c1.width() - r.window->chart(1)->width()), 1);
        EXPECT_LE(std::abs(c1.width() - r.window->chart(3)->width()), 1);
        EXPECT_LE(std::abs(c1.height() - r.window->chart(2)->height()), 1);
        EXPECT_GE(c1.width() * 2 + r.window->Splitter2->handleWidth(),
                  r.window->Panel2->width() - 1);
    };
    EXPECT_EQ(r.window->size(), QSize(596, 468));
    EXPECT_EQ(r.window->Panel1->height(), 57);
    check("at start");
    // The user moves the borders; the next resize shares out again.
    r.window->Splitter1->setSizes({100, 300});
    r.window->Splitter2->setSizes({50, 500});
    r.window->resize(901, 703);
    check("after a resize");
}

TEST(GraphWindow, ActivationFromAnotherWindowEmptiesTheCharts) {
    Harness h(offline());
    ASSERT_TRUE(h.window->FormCreate());
    h.window->device().TrendStore = FullTrendStore();
    h.window->show();
    gui::Tfrm_Grafik* g = h.window->graphWindow();
    ASSERT_NE(g, nullptr);
    // The main window's button shows the graph without a modal wait. The
    // offscreen platform does not activate windows itself; the test moves
    // the activation as the window system would.
    child<QPushButton>(h.window.get(), "cmd_Grafik")->click();
    EXPECT_TRUE(g->isVisible());
    EXPECT_FALSE(g->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    QApplication::setActiveWindow(g);
    ASSERT_TRUE(g->isActiveWindow());
    QTest::mouseClick(g->SpeedButton2, Qt::LeftButton);
    EXPECT_EQ(g->series(0)->count(), 44 * 60);
    // The titles are the heads of the trend grid's value columns.
    auto* grid = child<QTableWidget>(h.window.get(), "Trendgrid");
    for (int c = 0; c < 4; ++c) {
        ASSERT_NE(grid->item(0, c + 1), nullptr);
        EXPECT_EQ(g->chart(c)->chart()->title(), grid->item(0, c + 1)->text());
        EXPECT_FALSE(g->chart(c)->chart()->title().isEmpty());
    }

    // A dialog of the graph window itself leaves the charts.
    QDialog own(g);
    own.show();
    QApplication::setActiveWindow(&own);
    own.hide();
    QApplication::setActiveWindow(g);
    EXPECT_EQ(g->series(0)->count(), 44 * 60);
    EXPECT_TRUE(g->SpeedButton2->isChecked());

    // Another program's window (none of ours active) leaves them too.
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(g);
    EXPECT_EQ(g->series(0)->count(), 44 * 60);

    // Over to the main window and back: empty, the blank button down.
    QApplication::setActiveWindow(h.window.get());
    h.window->cmd_GrafikClick();
    QApplication::setActiveWindow(g);
    EXPECT_EQ(g->series(0)->count(), 0);
    EXPECT_TRUE(g->SpeedButton1->isChecked());
}

TEST(GraphWindow, ZoomOnTheTimeAxisAndReset) {
    Rig r;
    r.showCircuit1();
    gui::TrendChartView* v = r.window->chart(2);
    const qint64 from = static_cast<qint64>(v->timeAxis()->min());
    const qint64 to = static_cast<qint64>(v->timeAxis()->max());
    EXPECT_FALSE(v->zoomed());

    // A dragged band.
    const QRectF plot = v->chart()->plotArea();
    const QPoint a = v->mapFromScene(
        v->chart()->mapToScene(QPointF(plot.left() + plot.width() * 0.25, plot.center().y())));
    const QPoint b = v->mapFromScene(
        v->chart()->mapToScene(QPointF(plot.left() + plot.width() * 0.5, plot.center().y())));
    QTest::mousePress(v->viewport(), Qt::LeftButton, {}, a);
    QTest::mouseMove(v->viewport(), b);
    QTest::mouseRelease(v->viewport(), Qt::LeftButton, {}, b);
    EXPECT_TRUE(v->zoomed());
    const double quarter = static_cast<double>(to - from) / 4;
    EXPECT_NEAR(static_cast<double>(static_cast<qint64>(v->timeAxis()->min()) - from), quarter,
                quarter * 0.05);
    EXPECT_NEAR(static_cast<double>(to - static_cast<qint64>(v->timeAxis()->max())), 2 * quarter,
                quarter * 0.05);
    // The other charts keep their range.
    EXPECT_EQ(static_cast<qint64>(r.window->chart(0)->timeAxis()->min()), from);

    // The context menu's reset.
    v->resetZoomAction()->trigger();
    EXPECT_FALSE(v->zoomed());
    EXPECT_EQ(static_cast<qint64>(v->timeAxis()->min()), from);

    // The wheel: in, then out no further than all points.
    const QPointF centre = v->mapFromScene(v->chart()->mapToScene(plot.center()));
    QWheelEvent in(centre, v->viewport()->mapToGlobal(centre), {}, {0, 120}, Qt::NoButton, {},
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(v->viewport(), &in);
    EXPECT_TRUE(v->zoomed());
    EXPECT_NEAR(static_cast<double>(static_cast<qint64>(v->timeAxis()->max()) -
                                    static_cast<qint64>(v->timeAxis()->min())),
                static_cast<double>(to - from) * 0.8, 2000.0);
    for (int i = 0; i < 5; ++i) {
        QWheelEvent out(centre, v->viewport()->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton, {},
                        Qt::NoScrollPhase, false);
        QApplication::sendEvent(v->viewport(), &out);
    }
    EXPECT_FALSE(v->zoomed());
    EXPECT_EQ(static_cast<qint64>(v->timeAxis()->max()), to);

    // Zooming never goes below two seconds or outside the points.
    v->zoomTime(static_cast<double>(from) - 1e9, static_cast<double>(from) + 1.0);
    EXPECT_EQ(static_cast<qint64>(v->timeAxis()->min()), from);
    EXPECT_EQ(static_cast<qint64>(v->timeAxis()->max()) - from, 2000);
}

TEST(GraphWindow, ReadOutShowsTheNearestPoint) {
    Rig r;
    r.store.Block[0] = TrendBlockAt(0, 15, 2024, 5, 17, 10, 7, 4);
    r.store.Block[0].Series[0][2] = 2731 + 215;  // 21.5 °C at 10:45
    r.showCircuit1(false);
    gui::TrendChartView* v = r.window->chart(0);
    const QPointF third = v->series()->at(2);
    const QPointF onLine =
        v->mapFromScene(v->chart()->mapToScene(v->chart()->mapToPosition(third, v->series())));
    // A little beside the point still finds it.
    const QString text = v->showReadoutAt(onLine + QPointF(3, 20));
    EXPECT_EQ(text, QStringLiteral("17.05.2024 10:45:00   21.5000"));
    EXPECT_TRUE(v->readout()->isVisible());
    EXPECT_EQ(v->readout()->text(), text);
    // Outside the plot area nothing is shown.
    EXPECT_TRUE(v->showReadoutAt(QPointF(1, 1)).isEmpty());
    EXPECT_FALSE(v->readout()->isVisible());
    // The pointer itself drives it.
    QTest::mouseMove(v->viewport(), onLine.toPoint());
    EXPECT_TRUE(v->readout()->text().startsWith(QStringLiteral("17.05.2024 10:45:00")));
}

TEST(GraphWindow, PrintsAChartIntoARealPdf) {
    Rig r;
    r.showCircuit1();
    const std::filesystem::path pdf = r.dir / "chart2.pdf";
    r.printTo = QString::fromStdString(pdf.string());
    gui::TrendChartView* v = r.window->chart(1);
    EXPECT_EQ(v->printAction()->text(), QStringLiteral("Drucken..."));
    EXPECT_EQ(v->printAction()->objectName(), QStringLiteral("mnu_Print2"));
    const QSize before = v->chart()->size().toSize();
    v->printAction()->trigger();
    EXPECT_EQ(r.printDialogs, 1);
    const std::vector<std::string> pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    // The caption line's words read back from the PDF.
    EXPECT_TRUE(Has(pages[0], r.window->captionLine(1).toStdString())) << pages[0];
    // The chart on screen is as it was.
    EXPECT_EQ(v->chart()->size().toSize(), before);
    EXPECT_TRUE(r.dialogs.log.empty());

    // A cancelled print dialog prints nothing.
    r.printTo.reset();
    r.window->chart(0)->printAction()->trigger();
    EXPECT_EQ(r.printDialogs, 2);
    EXPECT_TRUE(r.dialogs.log.empty());

    // A printer that cannot start says so.
    r.printTo = QString::fromStdString((r.dir / "missing" / "x.pdf").string());
    r.window->chart(3)->printAction()->trigger();
    ASSERT_EQ(r.dialogs.log.size(), 1u);
    EXPECT_EQ(r.dialogs.log[0],
              QStringLiteral("warning:Das Diagramm konnte nicht gedruckt werden."));
}

TEST(GraphWindow, SavesAChartAsPng) {
    Rig r;
    r.showCircuit1();
    gui::TrendChartView* v = r.window->chart(3);

    // The extension is added; the picture is the chart as shown, under its
    // caption line in dark pixels.
    r.dialogs.saveAnswers.push_back(QString::fromStdString((r.dir / "massflow").string()));
    v->savePngAction()->trigger();
    ASSERT_EQ(r.dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(r.dialogs.saveRequests[0].defaultSuffix, QStringLiteral("png"));
    EXPECT_EQ(r.dialogs.saveRequests[0].directory, QString::fromStdString(r.dir.path().string()));
    const QImage picture(QString::fromStdString((r.dir / "massflow.png").string()), "PNG");
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.width(), v->width() * v->devicePixelRatio());
    const int chartTop = picture.height() - static_cast<int>(v->height() * v->devicePixelRatio());
    ASSERT_GT(chartTop, 0);
    int dark = 0;
    for (int y = 0; y < chartTop; ++y) {
        for (int x = 0; x < picture.width(); ++x) dark += qGray(picture.pixel(x, y)) < 100;
    }
    EXPECT_GT(dark, 50);
    EXPECT_TRUE(r.dialogs.log.empty());

    // An existing file is replaced only when the user says so.
    const std::filesystem::path existing = r.dir / "old.png";
    writeFileBytes(existing, "keep me");
    r.dialogs.saveAnswers.push_back(QString::fromStdString(existing.string()));
    r.dialogs.okCancel.push_back(false);
    v->savePngAction()->trigger();
    EXPECT_EQ(readFileBytes(existing), "keep me");
    r.dialogs.saveAnswers.push_back(QString::fromStdString(existing.string()));
    r.dialogs.okCancel.push_back(true);
    v->savePngAction()->trigger();
    EXPECT_EQ(readFileBytes(existing).substr(1, 3), "PNG");

    // A folder that cannot be written: a message, no file.
    r.dialogs.log.clear();
    writeFileBytes(r.dir / "afile", "x");
    const std::filesystem::path bad = r.dir / "afile" / "chart.png";
    r.dialogs.saveAnswers.push_back(QString::fromStdString(bad.string()));
    v->savePngAction()->trigger();
    ASSERT_EQ(r.dialogs.log.size(), 1u);
    EXPECT_TRUE(r.dialogs.log[0].startsWith(QStringLiteral("warning:Die Datei ")));
    EXPECT_TRUE(r.dialogs.log[0].endsWith(QStringLiteral(" konnte nicht geschrieben werden.")));
    EXPECT_FALSE(std::filesystem::exists(bad));

    // A cancelled file dialog writes nothing.
    r.dialogs.log.clear();
    v->savePngAction()->trigger();
    EXPECT_TRUE(r.dialogs.log.empty());
}

TEST(GraphWindow, TextsFollowTheLanguageOnTheNextShow) {
    Rig r;
    r.window->show();
    EXPECT_EQ(r.window->windowTitle(), QStringLiteral("Grafik"));
    r.window->hide();
    r.session.Sprache = 1;
    r.window->show();
    EXPECT_EQ(r.window->windowTitle(), QStringLiteral("Graph"));
    for (int i = 0; i < 4; ++i) {
        const gui::TrendChartView* v = r.window->chart(i);
        EXPECT_EQ(v->printAction()->text(), QStringLiteral("Print..."));
        EXPECT_EQ(v->resetZoomAction()->text(), QStringLiteral("Reset zoom"));
        EXPECT_EQ(v->savePngAction()->text(), QStringLiteral("Save as PNG..."));
    }
}

// The ticks lie in the range shown, a whole multiple of `unit` apart and from
// midnight, and say their time in `format` ("dd.MM." at midnight).
void ExpectRoundTicks(gui::TrendChartView* v, const QString& format, qint64 unit) {
    QCategoryAxis* axis = v->timeAxis();
    const QStringList labels = axis->categoriesLabels();
    ASSERT_GE(labels.size(), 2);
    const auto at = [axis](const QString& label) {
        return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(axis->endValue(label)));
    };
    const qint64 step = at(labels[1]).toMSecsSinceEpoch() - at(labels[0]).toMSecsSinceEpoch();
    EXPECT_EQ(step % unit, 0) << step;
    for (QString label : labels) {
        SCOPED_TRACE(label.toStdString());
        const QDateTime t = at(label);
        EXPECT_GE(t.toMSecsSinceEpoch(), static_cast<qint64>(axis->min()));
        EXPECT_LE(t.toMSecsSinceEpoch(), static_cast<qint64>(axis->max()));
        EXPECT_EQ(t.time().msecsSinceStartOfDay() % step, 0);
        label.remove(QChar(0x200B));  // the mark of a label repeated on another day
        EXPECT_EQ(label, t.toString(t.time() == QTime(0, 0) ? QStringLiteral("dd.MM.") : format));
    }
}

TEST(GraphTimeAxis, TicksFallOnRoundTimesAndFollowAZoom) {
    Rig r;
    r.window->resize(900, 640);
    r.showCircuit1();  // 16.05.2024 06:01 to 18.05.2024 01:59
    gui::TrendChartView* v = r.window->chart(0);
    ASSERT_GT(v->series()->count(), 0);
    ExpectRoundTicks(v, QStringLiteral("hh:mm"), 3600000);  // 44 hours: whole hours
    v->zoomTime(May2024(17, QTime(10, 3, 7)), May2024(17, QTime(10, 3, 57)));
    QCoreApplication::processEvents();
    ExpectRoundTicks(v, QStringLiteral("hh:mm:ss"), 1000);  // 50 seconds: whole seconds
}

}  // namespace
}  // namespace parvion::test
