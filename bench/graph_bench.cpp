// Time of drawing the graph window for a full trend store (44 blocks of 60
// values of one circuit, four series): the points computed and put into the
// series, and the window painted, offscreen.

#include <QApplication>
#include <QLineSeries>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "core/views/trend_series.h"
#include "gui/graph/graph_window.h"
#include "gui/shared/dialogs.h"
#include "timing.h"

namespace {

parvion::TrendStore FullStore() {
    parvion::TrendStore store;
    for (std::size_t i = 0; i < parvion::TrendStore::kBlocks; ++i) {
        parvion::TrendBlock& b = store.Block[i];
        b.Valid = true;
        const int age = static_cast<int>(i);
        b.Header = {0,
                    1,
                    2024,
                    5,
                    static_cast<std::uint8_t>(16 + (6 + age) / 24),
                    static_cast<std::uint8_t>((6 + age) % 24),
                    0,
                    60};
        for (std::size_t j = 0; j < parvion::TrendBlock::kValues; ++j) {
            const double t = (age * 60.0 + static_cast<double>(j)) / 60.0;
            b.Series[0][j] =
                static_cast<float>(2731 + std::lround(10 * (18 + 6 * std::sin(t / 4))));
            b.Series[1][j] = static_cast<float>(1000 + std::lround(40 * std::cos(t / 3)));
            b.Series[2][j] = static_cast<float>(1250 + 300 * std::sin(t / 2));
            b.Series[3][j] = static_cast<float>(950 + 200 * std::sin(t / 2 + 0.5));
        }
    }
    return store;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const parvion::TrendStore store = FullStore();
    parvion::ParameterImage image;
    parvion::Session session;
    parvion::gui::QtDialogs dialogs;
    const QStringList heads = {"Temperatur[ °C]", "Druck[ bar]", "Normvolumenstrom[ m3/h]",
                               "Massestrom[ kg/h]"};
    parvion::gui::Tfrm_Grafik window(
        {store, image, session, dialogs, [&] { return heads; }, {}, {}});
    window.show();
    QCoreApplication::processEvents();

    const auto units = parvion::views::TrendDisplayUnits(image, session.Medium);
    parvion::bench::MeasureMs("Points of a full store (core)", "-", 50,
                              [&] { (void)parvion::views::TrendCircuitInstants(store, 0, units); });
    parvion::bench::MeasureMs("CH 1 clicked: points into the four series", "-", 20, [&] {
        window.SpeedButton1Click(window.SpeedButton1);
        window.SpeedButton1Click(window.SpeedButton2);
    });
    auto drawn = [&] {
        window.SpeedButton1Click(window.SpeedButton1);
        window.SpeedButton1Click(window.SpeedButton2);
        // Pending layout and update requests first, then the whole window.
        QCoreApplication::processEvents();
        const QPixmap picture = window.grab();
        if (picture.isNull()) std::printf("nothing drawn\n");
    };
    parvion::bench::MeasureMs("Graph of a full store drawn, 596 x 468 (points and painting)",
                              "< 100 ms", 20, drawn);
    window.resize(1280, 960);
    QCoreApplication::processEvents();
    parvion::bench::MeasureMs("Graph of a full store drawn, 1280 x 960", "-", 20, drawn);
    std::printf("points per series: %lld\n", static_cast<long long>(window.series(0)->count()));
    return 0;
}
