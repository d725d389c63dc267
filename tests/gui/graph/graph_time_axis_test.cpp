// The graph window's time axis and caption line through the real window:
// ticks on round local times (also zoomed), and the caption line on screen,
// in a chart's PNG file and printout.

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
    r.store = FullTrendStore();  // 16.05.2024 06:01 to 18.05.2024 01:59
    r.draw(r.window->SpeedButton2);
    gui::TrendChartView* v = r.window->chart(0);
    ASSERT_GT(v->series()->count(), 0);
    ExpectRoundTicks(v, QStringLiteral("hh:mm"), 3600000);  // 44 hours: whole hours
    v->zoomTime(May2024(17, QTime(10, 3, 7)), May2024(17, QTime(10, 3, 57)));
    QCoreApplication::processEvents();
    ExpectRoundTicks(v, QStringLiteral("hh:mm:ss"), 1000);  // 50 seconds: whole seconds
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
