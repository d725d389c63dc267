// The device history window through its widgets, over a real SQLite history
// in a scratch folder and the main window against the simulated device:
// the lists and their filter, a snapshot saved and read back, the journal's
// CSV in both languages and as PDF, a tampered chain, and the comparisons
// and the write back, which go through the load's compare-before-write.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include "core/edit/parameter_compare.h"
#include "core/history/history.h"
#include "core/history/snapshot_text.h"
#include "core/history/sql_connection.h"
#include "core/link/parameter_blocks.h"
#include "core/model/defaults.h"
#include "gui/history/history_window.h"
#include "support/pdf_text.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

namespace fs = std::filesystem;
using history::Moment;

// 2024-05-01 10:00 UTC plus `days`, recorded in summer time (12:00 local).
Moment Day(int days) {
    return {1714557600000 + std::int64_t{days} * 86400000, 120};
}

std::string NoTexts(std::uint16_t) {
    return {};
}

const history::Origin kAnna{"ws-7", "anna", std::string(history::kProgramWindow)};

class HistoryWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        h = std::make_unique<Harness>(WindowSetup{});
        ASSERT_TRUE(h->window->FormCreate());
        fs::create_directories(folder());
        hist = std::make_unique<history::History>(history::OpenSqliteStore(folder()), kAnna);
        ASSERT_TRUE(hist->store().open().ok());
        // The device's own set, and two snapshots of it with T_User0 Max
        // changed, one of them seen again; an energy computer's set.
        device = h->window->image();
        ASSERT_TRUE(ReadAllParameters(h->window->link(), device));
        snapshot(device, device.T_User[0].Max, Day(0));
        snapshot(device, 333.5f, Day(4));
        snapshot(device, 333.5f, Day(6));  // seen again
        ParameterImage energy;
        ResetParameters(energy, medium::Energy);
        add({"E-200", medium::Energy, "PV-ENG2 1.0", 0x00, text(energy, medium::Energy), {}, {}},
            Day(2));
        journal(Day(1), {setting("T_User0", "Max", "120", "130")});
        history::JournalChange clock;
        clock.target = history::Target::Clock;
        clock.oldShown = "01.05.2024 11:58";
        clock.newShown = "01.05.2024 12:00";
        journal(Day(3), {setting("P_User0", "Min", "0", "1"), clock});
        journal(Day(5),
                {setting("T_User0", "Max", "130", "333.5", history::Outcome::Failed, "no reply")});
        h->window->mnu_Historie->trigger();
        w = h->window->historyWindow();
        ASSERT_NE(w, nullptr);
        w->setHistory(hist.get());
        w->selectDevice("G-100");
    }
    fs::path folder() const { return h->dir.path() / "history"; }
    std::string text(const ParameterImage& image, int medium) {
        std::string out;
        EXPECT_TRUE(history::SnapshotParameterText(image, medium, h->appData(), &out).ok());
        return out;
    }
    void add(const history::SnapshotInput& in, const Moment& at) {
        history::SnapshotStored stored;
        ASSERT_TRUE(hist->store().addSnapshot(in, at, kAnna, &stored).ok());
    }
    void snapshot(ParameterImage image, float max, const Moment& at) {
        image.T_User[0].Max = max;
        const std::string set = text(image, medium::Gas);
        add({"G-100", medium::Gas, "PV-GAS2 2.1", image.System.Ausbaustufe, set, {}, {}}, at);
    }
    static history::JournalChange setting(std::string section, std::string key, std::string from,
                                          std::string to,
                                          history::Outcome outcome = history::Outcome::Confirmed,
                                          std::string cause = {}) {
        return {history::Target::Setting,
                std::move(section),
                std::move(key),
                from,
                to,
                from + " °C",
                to + " °C",
                outcome,
                std::move(cause)};
    }
    void journal(const Moment& at, const std::vector<history::JournalChange>& changes) {
        ASSERT_TRUE(hist->store().appendJournal("G-100", changes, at, kAnna).ok());
    }
    // Picks the rows of the snapshot list whose entry column has these ids.
    void pick(std::initializer_list<int> rows) {
        w->SnapshotList->clearSelection();
        for (int r : rows) w->SnapshotList->topLevelItem(r)->setSelected(true);
    }
    static std::vector<std::string> Column(QTreeWidget* list, int column) {
        std::vector<std::string> out;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            out.push_back(list->topLevelItem(i)->text(column).toStdString());
        }
        return out;
    }
    QString doc(const char* name) const {
        return QString::fromStdString((h->documents() / name).string());
    }

    std::unique_ptr<Harness> h;
    std::unique_ptr<history::History> hist;
    gui::HistoryWindow* w = nullptr;
    ParameterImage device;
};

TEST_F(HistoryWindowTest, ListsInTimeOrderAndTheFilterSelects) {
    EXPECT_EQ(Column(w->DeviceList, 0), (std::vector<std::string>{"E-200", "G-100"}));
    EXPECT_EQ(Column(w->DeviceList, 1), (std::vector<std::string>{"PV-ENG2", "PV-GAS2"}));
    EXPECT_EQ(w->windowTitle().toStdString(), "Gerätehistorie");
    EXPECT_EQ(h->window->mnu_Historie->text().toStdString(), "Geräte&historie...");
    EXPECT_EQ(Column(w->SnapshotList, 0),
              (std::vector<std::string>{"01.05.2024 12:00:00", "05.05.2024 12:00:00",
                                        "07.05.2024 12:00:00"}));
    EXPECT_EQ(Column(w->SnapshotList, 1),
              (std::vector<std::string>{"Parametersatz 1", "Parametersatz 2",
                                        "unverändert gelesen (2)"}));
    EXPECT_EQ(Column(w->JournalList, 6)[3], "fehlgeschlagen: no reply");

    // The filter's rules: core/history/journal_test (HistoryView.Filter...).
    const struct {
        int from, to;  // days after 1 May; -1: no range
        const char* setting;
        std::size_t snapshots;
        std::vector<std::string> journal;
    } rows[] = {
        {-1, -1, "UHR", 3, {"3"}},  // the word shown, any case
        {5, 30, "user0", 1, {"4"}},
    };
    for (const auto& r : rows) {
        w->DateRange->setChecked(r.from >= 0);
        if (r.from >= 0) {
            w->DateFrom->setDate(QDate(2024, 5, 1).addDays(r.from));
            w->DateTo->setDate(QDate(2024, 5, 1).addDays(r.to));
        }
        w->SettingFilter->setText(QString::fromUtf8(r.setting));
        EXPECT_EQ(static_cast<std::size_t>(w->SnapshotList->topLevelItemCount()), r.snapshots)
            << r.from << " " << r.setting;
        EXPECT_EQ(Column(w->JournalList, 0), r.journal) << r.from << " " << r.setting;
    }
    // A setting filtered for: its value in each snapshot; the rows picked
    // stay picked.
    w->DateRange->setChecked(false);
    pick({1});
    w->SettingFilter->setText(QStringLiteral("t_user0 max"));
    EXPECT_EQ(Column(w->SnapshotList, 5)[1].rfind("T_User0 Max=333.5", 0), 0u)
        << Column(w->SnapshotList, 5)[1];
    EXPECT_EQ(Column(w->SnapshotList, 5)[2], Column(w->SnapshotList, 5)[1]);
    EXPECT_EQ(w->SnapshotList->headerItem()->text(5).toStdString(), "Wert der Einstellung");
    EXPECT_TRUE(w->SnapshotList->topLevelItem(1)->isSelected());
    EXPECT_TRUE(w->BtnSave->isEnabled());

    w->DateRange->setChecked(true);
    w->selectDevice("E-200");
    EXPECT_EQ(w->SnapshotList->topLevelItemCount(), 0);  // filtered by the dates above
    w->DateRange->setChecked(false);
    EXPECT_EQ(Column(w->SnapshotList, 2), (std::vector<std::string>{"PV-ENG2 1.0"}));
    EXPECT_EQ(w->JournalList->topLevelItemCount(), 0);
    EXPECT_FALSE(w->BtnCsv->isEnabled());
}

TEST_F(HistoryWindowTest, JournalExportsTheFilteredEntriesAsCsvAndAsPdf) {
    // The menu item's key is its own in the parameter menu (whose two
    // print items have always shared theirs).
    std::vector<QChar> keys;
    for (const QAction* a : h->window->mnu_Parameter->actions()) {
        const qsizetype amp = a->text().indexOf(QLatin1Char('&'));
        if (amp >= 0) keys.push_back(a->text().at(amp + 1).toLower());
    }
    EXPECT_EQ(std::count(keys.begin(), keys.end(), QChar('h')), 1);
    w->SettingFilter->setText(QStringLiteral("T_User0"));
    h->dialogs.saveAnswers = {doc("journal")};
    w->BtnCsv->click();
    const std::string csv = readFileBytes(h->documents() / "journal.csv");
    EXPECT_EQ(csv.rfind("Nr.;Zeit;Zone;Computer;Benutzer;", 0), 0u) << csv.substr(0, 80);
    // Only what the filter shows: the head and two entries.
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3);

    h->dialogs.saveAnswers = {doc("journal")};
    w->BtnPdf->click();
    std::string pdf;
    for (const std::string& page : PdfPages(h->documents() / "journal.pdf")) pdf += page;
    EXPECT_NE(pdf.find("Änderungsjournal Gerät G-100"), std::string::npos) << pdf;
    EXPECT_NE(pdf.find("T_User0 Max: 130 °C -> 333.5 °C"), std::string::npos) << pdf;
    EXPECT_EQ(pdf.find("P_User0"), std::string::npos);
}

TEST_F(HistoryWindowTest, ATamperedChainIsShownBrokenAtItsFirstEntry) {
    EXPECT_EQ(w->ChainStatus->text().toStdString().rfind(
                  "Die 4 Einträge des Journals sind unversehrt", 0),
              0u)
        << w->ChainStatus->text().toStdString();
    auto db = history::MakeSqliteConnection((this->folder() / "history.sqlite").string(), 2000);
    std::string cause;
    for (const char* sql :
         {"DROP TRIGGER journal_no_update", "UPDATE journal SET new_base = '125' WHERE seq = 2"}) {
        ASSERT_EQ(db->exec(sql, {}, nullptr, &cause), history::SqlFailure::None) << cause;
    }
    w->BtnVerify->click();
    EXPECT_EQ(w->ChainStatus->text().toStdString(),
              "Journaleintrag 2 wurde verändert, oder ein Eintrag davor");
    // The broken entry stands out in the list.
    const QTreeWidgetItem* second = w->JournalList->topLevelItem(1);
    EXPECT_EQ(second->text(0), "2");
    EXPECT_NE(second->background(0), w->JournalList->topLevelItem(0)->background(0));
}

TEST_F(HistoryWindowTest, ComparisonsShowAndTheWriteBackAsksFirst) {
    gui::Tfrm_Main& main = *h->window;
    const auto fields = ComparedFields;
    pick({0, 1});
    w->BtnCompare->click();
    ASSERT_EQ(h->dialogs.comparisons.size(), 1u);
    EXPECT_EQ(fields(h->dialogs.comparisons[0]), std::vector<std::string>{"T_User0 Max"});
    EXPECT_EQ(h->dialogs.comparisons[0].headers.mid(2),
              (QStringList{"Parametersatz 1", "Parametersatz 2"}));
    EXPECT_TRUE(h->dialogs.comparisons[0].writeText.isEmpty());

    // Snapshot 1 is the device's set: nothing differs.
    const auto writes = h->device.writesAccepted();
    pick({0});
    w->BtnCompareDevice->click();
    EXPECT_EQ(h->dialogs.log.back().toStdString(), "info:" + main.LoadText(22572));
    pick({1});
    w->BtnCompareDevice->click();
    ASSERT_EQ(h->dialogs.comparisons.size(), 2u);
    EXPECT_EQ(fields(h->dialogs.comparisons[1]), std::vector<std::string>{"T_User0 Max"});
    EXPECT_EQ(h->dialogs.comparisons[1].headers.mid(2), (QStringList{"Gerät", "Parametersatz 2"}));

    // With a file: the snapshot's own, saved (the sighting saves its
    // snapshot, whose own text the file is: that it reads back as the set it
    // was taken from is core/history/journal_test, HistoryView.FileNames...),
    // then changed.
    pick({2});
    EXPECT_FALSE(w->BtnCompare->isEnabled());
    h->dialogs.saveAnswers = {doc("two")};
    w->BtnSave->click();
    EXPECT_TRUE(h->dialogs.saveRequests.back().fileName.endsWith("G-100_2024-05-05_1200.PGA"))
        << h->dialogs.saveRequests.back().fileName.toStdString();
    history::Snapshot kept;
    ASSERT_TRUE(hist->store().getSnapshot(2, &kept).ok());
    EXPECT_EQ(readFileBytes(h->documents() / "two.PGA"), kept.parameterText);
    // An existing file is overwritten only when confirmed.
    h->dialogs.saveAnswers = {doc("two.PGA")};
    h->dialogs.okCancel = {false};
    pick({0});
    w->BtnSave->click();
    EXPECT_EQ(readFileBytes(h->documents() / "two.PGA"), kept.parameterText);
    pick({1});
    ProfileFile pga(h->documents() / "two.PGA");
    pga.writeString("Trend_User", "Time", "11");
    ASSERT_TRUE(pga.save());
    h->dialogs.openAnswers = {doc("two.PGA")};
    w->BtnCompareFile->click();
    ASSERT_EQ(h->dialogs.comparisons.size(), 3u);
    EXPECT_EQ(fields(h->dialogs.comparisons[2]), std::vector<std::string>{"Trend_User Time"});
    EXPECT_EQ(h->device.writesAccepted(), writes);

    // Write back: a snapshot of another device is asked about (No by
    // default), then the load's question and comparison; cancelled, nothing
    // goes out.
    const ParameterImage before = main.image();
    h->dialogs.yesNo = {false};
    w->BtnWrite->click();
    EXPECT_EQ(h->dialogs.log.back().toStdString(),
              "yesno:Der Parametersatz stammt von Gerät G-100, angeschlossen ist Gerät "
              "PVG2-0007919. Trotzdem fortfahren?");
    EXPECT_EQ(h->dialogs.yesNoDefaults.back(), gui::DefaultAnswer::No);
    EXPECT_EQ(h->dialogs.comparisons.size(), 3u);
    h->dialogs.yesNo = {true, true};
    h->dialogs.compareAnswers = {false};
    w->BtnWrite->click();
    ASSERT_EQ(h->dialogs.comparisons.size(), 4u);
    EXPECT_EQ(fields(h->dialogs.comparisons[3]), std::vector<std::string>{"T_User0 Max"});
    EXPECT_FALSE(h->dialogs.comparisons[3].writeText.isEmpty());
    EXPECT_EQ(h->device.writesAccepted(), writes);
    EXPECT_TRUE(main.image() == before);

    // Confirmed: the device holds the snapshot's set and nothing else changed.
    h->dialogs.yesNo = {true, true};
    h->dialogs.compareAnswers = {true};
    w->BtnWrite->click();
    EXPECT_GT(h->device.writesAccepted(), writes);
    EXPECT_EQ(main.statusPanelText(0).toStdString(), "Parametersatz 2");
    ParameterImage now = main.image();
    ASSERT_TRUE(ReadAllParameters(main.link(), now));
    ParameterImage expected = device;
    expected.T_User[0].Max = 333.5f;
    EXPECT_EQ(
        edit::ComparisonLines(edit::CompareParameterSets(expected, now, medium::Gas, NoTexts)),
        std::vector<std::string>{});
    EXPECT_TRUE(main.recentFiles().empty());
    EXPECT_FALSE(fs::exists(h->appData() / ".snapshot-write.PGA"));
}

}  // namespace
}  // namespace parvion::test
