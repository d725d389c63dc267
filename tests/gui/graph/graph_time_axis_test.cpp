// The graph window's time axis and caption line through the real window:
// the ticks fall on round local times (and follow a zoom),
// and a chart's PNG file and printout carry the caption line.

#include <gtest/gtest.h>

#include <QCategoryAxis>
#include <QChart>
#include <QCoreApplication>
#include <QDateTime>
#include <QImage>
#include <QLineSeries>
#include <QPrinter>
#include <QPushButton>

#include "core/app/texts.h"
#include "gui/graph/graph_window.h"
#include "gui/graph/trend_chart_view.h"
#include "support/pdf_text.h"
#include "support/temp_dir.h"
#include "support/trend_stores.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

struct Rig {
    Rig() : texts(PARVION_BIN_DIR, session) {
        gui::GraphContext context{store,
                                  image,
                                  session,
                                  dialogs,
                                  [] { return QStringList(); },
                                  dir.path(),
                                  {},
                                  [this] { return serialNo; },
                                  [this](std::uint16_t n) { return texts.LoadText(n); }};
        window = std::make_unique<gui::Tfrm_Grafik>(std::move(context));
        window->resize(900, 640);
    }
    ~Rig() {
        window->close();
        window.reset();
    }
    void draw(QPushButton* circuit) {
        window->show();
        circuit->click();
        QCoreApplication::processEvents();
    }

    TempDir dir;
    TrendStore store;
    ParameterImage image;
    Session session;
    TextLibrary texts;
    std::string serialNo = "0012345";
    ScriptedDialogs dialogs;
    std::unique_ptr<gui::Tfrm_Grafik> window;
};

double May2024(int day, QTime t) {
    return static_cast<double>(QDateTime(QDate(2024, 5, day), t).toMSecsSinceEpoch());
}

struct Tick {
    QString label;
    QDateTime at;
};

std::vector<Tick> Ticks(gui::TrendChartView* v) {
    std::vector<Tick> ticks;
    QCategoryAxis* axis = v->timeAxis();
    for (const QString& label : axis->categoriesLabels()) {
        ticks.push_back(
            {label, QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(axis->endValue(label)))});
    }
    return ticks;
}

// Every tick lies in the range shown, on a whole multiple of `step` from
// midnight, and says its time ("dd.MM." at midnight).
void ExpectRoundTicks(gui::TrendChartView* v, const QString& format, qint64 stepMs) {
    const std::vector<Tick> ticks = Ticks(v);
    ASSERT_GE(ticks.size(), 2u);
    for (const Tick& t : ticks) {
        SCOPED_TRACE(t.label.toStdString());
        EXPECT_GE(t.at.toMSecsSinceEpoch(), static_cast<qint64>(v->timeAxis()->min()));
        EXPECT_LE(t.at.toMSecsSinceEpoch(), static_cast<qint64>(v->timeAxis()->max()));
        EXPECT_EQ(t.at.time().msecsSinceStartOfDay() % stepMs, 0);
        const bool midnight = t.at.time() == QTime(0, 0);
        // Labels repeated on another day carry an invisible mark.
        QString label = t.label;
        label.remove(QChar(0x200B));
        EXPECT_EQ(label, t.at.toString(midnight ? QStringLiteral("dd.MM.") : format));
    }
}
}

TEST(GraphTimeAxis, TicksFallOnRoundTimesAndFollowAZoom) {
    Rig r;
    r.store = FullTrendStore();  // 16.05.2024 06:01 to 18.05.2024 01:59
    r.draw(r.window->SpeedButton2);
    gui::TrendChartView* v = r.window->chart(0);
    ASSERT_GT(v->series()->count(), 0);
    // 44 hours: whole hours.
    const qint64 step = Ticks(v)[1].at.toMSecsSinceEpoch() - Ticks(v)[0].at.toMSecsSinceEpoch();
    EXPECT_EQ(step % 3600000, 0) << step;
    ExpectRoundTicks(v, QStringLiteral("hh:mm"), step);

    // Zoomed to 50 seconds: round seconds.
    v->zoomTime(May2024(17, QTime(10, 3, 7)), May2024(17, QTime(10, 3, 57)));
    QCoreApplication::processEvents();
    const std::vector<Tick> zoomed = Ticks(v);
    ASSERT_GE(zoomed.size(), 2u);
    const qint64 s = zoomed[1].at.toMSecsSinceEpoch() - zoomed[0].at.toMSecsSinceEpoch();
    EXPECT_EQ(s % 1000, 0);
    ExpectRoundTicks(v, QStringLiteral("hh:mm:ss"), s);
}

TEST(GraphTimeAxis, PngAndPrintoutNameDeviceSerialCircuitAndTimes) {
    const std::string caption =
        "PV-GAS2, Seriennummer 0012345, Kreis 1, 17.05.2024 10:15:00 bis 18.05.2024 10:07:02";
    Rig r;
    r.store.Block[0] = TrendBlockAt(0, 100, 2024, 5, 18, 10, 7, 3);
    r.store.Block[43] = TrendBlockAt(0, 15, 2024, 5, 17, 10, 7, 4);
    r.window->show();
    // Nothing drawn: no caption.
    EXPECT_TRUE(r.window->captionLine(0).isEmpty());
    r.draw(r.window->SpeedButton2);
    for (int chart = 0; chart < gui::Tfrm_Grafik::kCharts; ++chart) {
        EXPECT_EQ(r.window->captionLine(chart).toStdString(), caption);
    }

    // The PNG file: the caption line in dark pixels above the chart.
    const QString png = QString::fromStdString((r.dir / "chart.png").string());
    ASSERT_TRUE(r.window->saveChartPng(1, png));
    const QImage picture(png, "PNG");
    gui::TrendChartView* v = r.window->chart(1);
    const int chartTop = picture.height() - static_cast<int>(v->height() * v->devicePixelRatio());
    ASSERT_GT(chartTop, 0);
    int dark = 0;
    for (int y = 0; y < chartTop; ++y) {
        for (int x = 0; x < picture.width(); ++x) dark += qGray(picture.pixel(x, y)) < 100;
    }
    EXPECT_GT(dark, 50);

    // The printout: the caption's words read back from a real PDF.
    const std::filesystem::path pdf = r.dir / "chart.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    ASSERT_TRUE(r.window->printChart(1, printer));
    const std::vector<std::string> pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(Has(pages[0], caption)) << pages[0];

    // Zoomed: the caption names the times shown.
    v->zoomTime(May2024(17, QTime(10, 30)), May2024(17, QTime(10, 45)));
    EXPECT_TRUE(r.window->captionLine(1).endsWith(
        QStringLiteral("17.05.2024 10:30:00 bis 17.05.2024 10:45:00")))
        << r.window->captionLine(1).toStdString();
    // Emptied: no caption.
    r.window->SpeedButton1->click();
    EXPECT_TRUE(r.window->captionLine(1).isEmpty());
}

}  // namespace
}  // namespace parvion::test
