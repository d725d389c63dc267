// The device history window in both variants and languages: a gas device's
// snapshots and journal, filtered, an energy device's snapshot, and a broken
// chain.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "core/history/history.h"
#include "core/history/snapshot_text.h"
#include "core/history/sql_connection.h"
#include "core/link/parameter_blocks.h"
#include "core/model/defaults.h"
#include "gui/history/history_window.h"
#include "shots.h"

namespace parvion::test {
namespace {

namespace fs = std::filesystem;

TEST(Screenshot, HistoryWindow) {
    ForEachVariantAndLanguage([](WindowSetup& setup, const QString& prefix) {
        Harness h(setup);
        ASSERT_TRUE(h.window->FormCreate());
        const fs::path folder = h.dir.path() / "history";
        fs::create_directories(folder);
        const history::Origin anna{"ws-7", "anna", std::string(history::kProgramWindow)};
        history::History hist(history::OpenSqliteStore(folder), anna);
        ASSERT_TRUE(hist.store().open().ok());
        // 2024-05-01 12:00 local, plus days.
        const auto day = [](int days) {
            return history::Moment{1714557600000 + std::int64_t{days} * 86400000, 120};
        };
        const auto add = [&](const char* serial, const ParameterImage& image, int medium,
                             int days) {
            std::string text;
            ASSERT_TRUE(history::SnapshotParameterText(image, medium, h.appData(), &text).ok());
            history::SnapshotStored stored;
            ASSERT_TRUE(hist.store()
                            .addSnapshot({serial,
                                          medium,
                                          medium == 0 ? "PV-GAS2 2.1" : "PV-ENG2 1.0",
                                          image.System.Ausbaustufe,
                                          text,
                                          {},
                                          {}},
                                         day(days), anna, &stored)
                            .ok());
        };
        ParameterImage device = h.window->image();
        ASSERT_TRUE(ReadAllParameters(h.window->link(), device));
        add("G-100", device, medium::Gas, 0);
        device.T_User[0].Max = 333.5f;
        add("G-100", device, medium::Gas, 4);
        add("G-100", device, medium::Gas, 6);
        ParameterImage energy;
        ResetParameters(energy, medium::Energy);
        add("E-200", energy, medium::Energy, 2);
        const auto setting = [](const char* section, const char* key, std::string from,
                                std::string to, history::Outcome outcome, std::string cause) {
            return history::JournalChange{
                history::Target::Setting, section, key, from, to, from + " °C", to + " °C", outcome,
                std::move(cause)};
        };
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(
                hist.store()
                    .appendJournal(
                        "G-100",
                        {setting("T_User0", "Max", std::to_string(120 + i), std::to_string(121 + i),
                                 i == 2 ? history::Outcome::Failed : history::Outcome::Confirmed,
                                 i == 2 ? "no reply" : "")},
                        day(1 + 2 * i), anna)
                    .ok());
        }
        h.window->mnu_Historie->trigger();
        gui::HistoryWindow* w = h.window->historyWindow();
        ASSERT_NE(w, nullptr);
        w->setHistory(&hist);
        w->selectDevice("G-100");
        w->show();
        w->SnapshotList->topLevelItem(1)->setSelected(true);
        Shoot(*w, prefix + "history");
        w->SettingFilter->setText(QStringLiteral("T_User0 M"));
        w->DateFrom->setDate(QDate(2024, 5, 2));
        w->DateRange->setChecked(true);
        Shoot(*w, prefix + "history-filtered");
        w->SettingFilter->clear();
        w->DateRange->setChecked(false);
        auto db = history::MakeSqliteConnection((folder / "history.sqlite").string(), 2000);
        std::string cause;
        db->exec("DROP TRIGGER journal_no_delete", {}, nullptr, &cause);
        db->exec("DELETE FROM journal WHERE seq = 2", {}, nullptr, &cause);
        w->BtnVerify->click();
        Shoot(*w, prefix + "history-broken-chain");
        w->selectDevice("E-200");
        w->SnapshotList->topLevelItem(0)->setSelected(true);
        Shoot(*w, prefix + "history-energy");
    });
}

}  // namespace
}  // namespace parvion::test
