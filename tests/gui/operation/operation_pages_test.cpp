// The error-protocol, integrator and trend pages driven as a user drives
// them: page entry, the popup menu of the error list, the trend buttons and
// drop-down, the save dialogs answered by the test. The device is the
// simulator, in process or over a pseudo-terminal; what it holds is set in
// its own memory.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/link/data_commands.h"
#include "core/link/encoding.h"
#include "core/model/windows1252.h"
#include "support/page_window.h"

namespace parvion::test {
namespace {

// The main window with what its progress bar and trend buttons did while
// the bar moved.
class Window : public test::Window {
  public:
    explicit Window(WindowSetup setup = {}) : test::Window(std::move(setup)) {
        QObject::connect(w().Zeitmesser, &QProgressBar::valueChanged, [this](int v) {
            progressMax = std::max(progressMax, v);
            if (get<QPushButton>("cmd_ReadTrends")->isEnabled()) buttonsEnabledWhileReading = true;
        });
    }

    void click(const char* button) { QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton); }
    QString cell(int row, int column) {
        const QTableWidgetItem* item = get<QTableWidget>("Trendgrid")->item(row, column);
        return item != nullptr ? item->text() : QString();
    }

    int progressMax = 0;
    bool buttonsEnabledWhileReading = false;
};

std::string fileBytesOf(const QStringList& lines) {
    std::string bytes;
    for (const QString& l : lines) bytes += Utf8ToCp1252(l.toStdString()) + "\r\n";
    return bytes;
}

// A trend block in the device's memory: header, temperature words of 20 °C,
// pressure words 100 + j, series 3 and 4 as given by `value`.
struct BlockSpec {
    std::uint8_t circuit = 0, interval = 15, year = 24, month = 5, day = 17, hour = 10, minute = 0,
                 count = 4;
};
void putTrendBlock(
    sim::Device& d, int block, const BlockSpec& s,
    float (*value)(std::size_t j) = [](std::size_t j) { return static_cast<float>(j); }) {
    std::vector<std::uint8_t> m(address::TrendBlockSize, 0);
    const std::uint8_t head[8] = {s.circuit, s.interval, s.year,   s.month,
                                  s.day,     s.hour,     s.minute, s.count};
    std::copy(std::begin(head), std::end(head), m.begin());
    for (std::size_t j = 0; j < TrendBlock::kValues; ++j) {
        wire::PutWord(m, 8 + 2 * j, 2931);
        wire::PutWord(m, 128 + 2 * j, static_cast<std::uint16_t>(100 + j));
        wire::PutRawFloat(m, 248 + 4 * j, value(j));
        wire::PutRawFloat(m, 488 + 4 * j, value(j));
    }
    d.poke(static_cast<std::uint16_t>(address::TrendBlocks + address::TrendBlockSize * block), m);
}

void putTrendDirectory(sim::Device& d, std::uint8_t state, std::uint8_t newest) {
    const std::uint8_t dir[2] = {state, newest};
    d.poke(address::TrendDirectory, dir);
}

// --- error protocol -----------------------------------------------------------

TEST(ErrorPage, FilledOnEntryAndSavedAsTheListShowsIt) {
    Window win;
    auto* button = win.get<QPushButton>("BtnSpeichern");
    EXPECT_FALSE(button->isEnabled()) << "nothing read yet";
    win.open(win.w().TabFehler);
    EXPECT_TRUE(button->isVisibleTo(&win.w()));
    EXPECT_EQ(button->text().toStdString(), "&Speichern...");
    const QStringList shown = win.lines("ErrorListe");
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.count(QString()), 16);  // every group closes with an empty line
    EXPECT_TRUE(shown.front().toStdString().starts_with(win.w().LoadText(17408)));
    EXPECT_GT(win.progressMax, 0);
    EXPECT_FALSE(win.w().Zeitmesser->isVisible());

    auto* menu = win.get<QMenu>("PopupMenu1");
    auto* save = win.get<QAction>("Speichern1");
    emit menu->aboutToShow();
    EXPECT_TRUE(save->isEnabled());
    EXPECT_EQ(save->text().toStdString(), win.w().LoadText(17443));

    ScriptedDialogs& dialogs = win.h.dialogs;
    const auto file = win.h.documents() / "ErrorListe.txt";
    dialogs.saveAnswers.emplace_back(QString::fromStdString(file.string()));
    save->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].directory.toStdString(), win.h.documents().string());
    EXPECT_EQ(dialogs.saveRequests[0].fileName, QStringLiteral("ErrorListe"));
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, QStringLiteral("txt"));
    const std::string bytes = readFileBytes(file);
    EXPECT_EQ(bytes, fileBytesOf(shown));
    EXPECT_NE(bytes.find("Stromausg\xE4nge"), std::string::npos);  // Windows-1252

    // An existing file is replaced only when the user agrees; the button
    // under the list saves as the menu item does.
    writeFileBytes(file, "kept");
    dialogs.saveAnswers.emplace_back(QString::fromStdString(file.string()));
    dialogs.okCancel.push_back(false);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(dialogs.saveRequests.size(), 2u);
    EXPECT_EQ(readFileBytes(file), "kept");
    EXPECT_EQ(dialogs.log.back(), QStringLiteral("okcancel:Warnung:Datei überschreiben ?"));

    // A folder that cannot be written: the message, nothing half-written.
    const auto blocked = file / "x.txt";  // below a file
    dialogs.saveAnswers.emplace_back(QString::fromStdString(blocked.string()));
    save->trigger();
    ASSERT_FALSE(dialogs.log.empty());
    EXPECT_EQ(dialogs.log.back().toStdString().rfind("warning:" + win.w().LoadText(7), 0), 0u)
        << dialogs.log.back().toStdString();
    EXPECT_EQ(readFileBytes(file), "kept");
}

// Which groups a device without circuit 2 lists: core/views/page_lines_test
// (ErrorProtocolLines.WithoutCircuit2ElevenGroups...).
TEST(ErrorPage, NothingToSaveOffline) {
    Window win(offline());
    win.open(win.w().TabFehler);
    EXPECT_TRUE(win.lines("ErrorListe").isEmpty());
    emit win.get<QMenu>("PopupMenu1")->aboutToShow();
    EXPECT_FALSE(win.get<QAction>("Speichern1")->isEnabled());
    EXPECT_FALSE(win.get<QPushButton>("BtnSpeichern")->isEnabled());
    win.get<QAction>("Speichern1")->trigger();
    EXPECT_TRUE(win.h.dialogs.saveRequests.empty());
}

// --- integrators --------------------------------------------------------------

TEST(IntegratorPage, BothListsNewestFirstWithoutEmptyEntries) {
    Window win;
    win.open(win.w().TabIntegrator);
    EXPECT_TRUE(win.get<QGroupBox>("GroupInteg2")->isVisibleTo(win.w().TabIntegrator));
    const QStringList one = win.lines("ListeIntegrator1");
    // Circuit 1 has a full ring; circuit 2 five records, its empty slots have day 0.
    ASSERT_EQ(one.size(), 8 * 3);
    ASSERT_EQ(win.lines("ListeIntegrator2").size(), 5 * 3);
    EXPECT_TRUE(one[0].toStdString().starts_with(win.w().LoadText(18432))) << one[0].toStdString();

    Window off(offline());
    off.open(off.w().TabIntegrator);
    EXPECT_EQ(off.get<QListWidget>("ListeIntegrator1")->count(), 0);
}

// --- trend values -------------------------------------------------------------

TEST(TrendPage, ReadListsTheBlocksNewestFirstAndShowsTheNewest) {
    Window win;
    sim::Device& device = win.h.device;
    // The ring has wrapped (state 2) with newest block 5: the listing starts at
    // block 6. It holds 59 values from the last quarter hour of 28 February
    // of a leap year.
    putTrendDirectory(device, 2, 5);
    putTrendBlock(device, 6, {.month = 2, .day = 28, .hour = 23, .minute = 45, .count = 59});
    win.open(win.w().TabTrend);
    auto* combo = win.get<QComboBox>("ComboTrends");
    EXPECT_EQ(combo->count(), 0);  // read only on request

    win.buttonsEnabledWhileReading = false;
    win.click("cmd_ReadTrends");
    EXPECT_EQ(win.progressMax, 44);
    EXPECT_FALSE(win.buttonsEnabledWhileReading);
    for (const char* b : {"cmd_ReadTrends", "cmd_ExportTrends", "cmd_Grafik"}) {
        EXPECT_TRUE(win.get<QPushButton>(b)->isEnabled()) << b;
    }
    EXPECT_TRUE(combo->isVisible());
    ASSERT_GT(combo->count(), 10);
    EXPECT_EQ(combo->itemText(0),
              QStringLiteral("Kreis 1: 28.02.2024 23:45  -  29.02.2024 14:30 [59]"));
    EXPECT_EQ(combo->currentIndex(), 0);

    EXPECT_EQ(win.w().device().TrendStore.ItemMap[0], 6);

    // 59 values show as 60 rows, each with the time at the end of its
    // interval (the label ends after the 59th); 29 February exists in 2024.
    EXPECT_EQ(win.cell(4, 0), QStringLiteral("29.02.2024 00:00:00"));
    EXPECT_EQ(win.cell(63, 0), QStringLiteral("29.02.2024 14:45:00"));

    // The four value heads, as the graph window titles its charts.
    const QStringList heads = win.w().TabTrend->columnHeads();
    EXPECT_EQ(heads[0], QString::fromStdString(win.w().LoadText(19457)) + QStringLiteral("[°C]"));
    for (int col = 1; col <= 4; ++col) EXPECT_EQ(heads[col - 1], win.cell(0, col));

    // Another item shows its own block.
    QTest::keyClick(combo, Qt::Key_Down);
    emit combo->activated(combo->currentIndex());
    EXPECT_NE(win.cell(4, 0), QStringLiteral("29.02.2024 00:00:00"));

    QSignalSpy graph(win.w().TabTrend, &gui::TrendPage::graphRequested);
    win.click("cmd_Grafik");
    EXPECT_EQ(graph.count(), 1);
}

TEST(TrendPage, ExportWritesTheFileAndACancelledDialogOnlyReads) {
    Window win;
    win.open(win.w().TabTrend);
    ScriptedDialogs& dialogs = win.h.dialogs;
    auto* combo = win.get<QComboBox>("ComboTrends");

    dialogs.saveAnswers.emplace_back(std::nullopt);
    win.click("cmd_ExportTrends");
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].directory.toStdString(), win.h.documents().string());
    EXPECT_EQ(dialogs.saveRequests[0].fileName, QStringLiteral("Trenddaten"));
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, QStringLiteral("txt"));
    const int items = combo->count();
    EXPECT_GT(items, 0);
    EXPECT_TRUE(std::filesystem::is_empty(win.h.documents()));

    const auto file = win.h.documents() / "Trenddaten.txt";
    dialogs.saveAnswers.emplace_back(QString::fromStdString(file.string()));
    win.click("cmd_ExportTrends");
    EXPECT_EQ(combo->count(), items);
    const std::string bytes = readFileBytes(file);
    // Windows-1252 with CR LF: the degree sign is one byte.
    const std::string head = "SerNo;Kreis;" + Utf8ToCp1252(win.w().LoadText(19456)) + ";" +
                             Utf8ToCp1252(win.w().LoadText(19457)) +
                             "[\xB0"
                             "C];";
    EXPECT_EQ(bytes.rfind(head, 0), 0u) << bytes.substr(0, 80);
    EXPECT_EQ(bytes.find("\xC2"), std::string::npos);

    // Replacing asks first; no keeps the file and reads only.
    dialogs.saveAnswers.emplace_back(QString::fromStdString(file.string()));
    dialogs.okCancel.push_back(false);
    writeFileBytes(file, "kept");
    win.click("cmd_ExportTrends");
    EXPECT_EQ(readFileBytes(file), "kept");

    // A folder that cannot be written: the message, the list still read.
    dialogs.saveAnswers.emplace_back(QString::fromStdString((file / "x.txt").string()));
    win.click("cmd_ExportTrends");
    EXPECT_EQ(dialogs.log.back().toStdString().rfind("warning:" + win.w().LoadText(7), 0), 0u);
    EXPECT_EQ(combo->count(), items);
    EXPECT_EQ(readFileBytes(file), "kept");
}

TEST(TrendPage, AFailedBlockReadKeepsTheListAFailedDirectoryReadEmptiesIt) {
    Window win;
    win.open(win.w().TabTrend);
    auto* combo = win.get<QComboBox>("ComboTrends");
    win.click("cmd_ReadTrends");
    const int items = combo->count();
    ASSERT_GT(items, 0);
    const QString shown = win.cell(4, 0);

    // The directory answers, the first block header never does.
    win.h.device.injectFault(sim::Fault::None, 1);
    win.h.device.injectFault(sim::Fault::NoReply, 4);
    win.click("cmd_ReadTrends");
    EXPECT_EQ(combo->count(), items);
    EXPECT_EQ(win.cell(4, 0), shown);
    EXPECT_TRUE(win.get<QPushButton>("cmd_ReadTrends")->isEnabled());
    EXPECT_FALSE(win.w().Zeitmesser->isVisible());

    win.h.device.clearFaults();
    win.h.device.injectFault(sim::Fault::NoReply, 4);
    win.click("cmd_ReadTrends");
    EXPECT_EQ(combo->count(), 0);
    EXPECT_EQ(win.cell(4, 0), shown);
    EXPECT_TRUE(combo->isVisible());
    EXPECT_TRUE(win.get<QPushButton>("cmd_ExportTrends")->isEnabled());
}

TEST(TrendPage, BrokenBlocksOverThePseudoTerminal) {
    WindowSetup setup;
    setup.overPty = true;
    Window win(setup);
    sim::Device& device = win.h.device;
    putTrendDirectory(device, 1, 20);
    // Newest: value 1 of series 3 and 4 is not a number.
    putTrendBlock(device, 20, {.count = 3}, [](std::size_t j) {
        return j == 1 ? std::numeric_limits<float>::quiet_NaN() : 5.0f;
    });
    // Before it: a header no device writes (month 13, count 200).
    putTrendBlock(device, 19, {.month = 13, .count = 200});

    win.open(win.w().TabTrend);
    win.click("cmd_ReadTrends");
    auto* combo = win.get<QComboBox>("ComboTrends");
    ASSERT_GT(combo->count(), 1);
    const TrendStore& store = win.w().device().TrendStore;
    EXPECT_EQ(store.ItemMap[0], 20);
    EXPECT_NE(store.ItemMap[1], 19);  // not listed
    // After the broken value the statistics start again from zero: the third
    // value (5) is the maximum, the zeros the minimum.
    EXPECT_EQ(win.cell(3, 3), win.cell(3, 4));
    EXPECT_NE(win.cell(1, 3), win.cell(3, 3));
    // The broken value shows as -1, its temperature and pressure as 0.
    EXPECT_TRUE(win.cell(5, 3).startsWith('-')) << win.cell(5, 3).toStdString();
    EXPECT_EQ(win.cell(5, 2), win.cell(3, 2));
    EXPECT_EQ(win.cell(7, 0), QString());  // 3 rows only
}

}  // namespace
}  // namespace parvion::test
