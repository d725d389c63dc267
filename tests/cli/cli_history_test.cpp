// The device history through the command line against the simulator, on
// the SQLite file of the data folder: a read is a
// snapshot, a write journals exactly the changed setting, the journal's
// check finds a tampered entry, a snapshot saves as the file that was read,
// and a store that cannot be written never stops the device work.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli_process.h"
#include "core/history/history_store.h"
#include "core/history/sql_connection.h"

namespace parvion::test {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

json Parse(const CliRun& r) {
    EXPECT_EQ(r.code, 0) << r.err;
    return json::parse(r.out, nullptr, false);
}

// The command line on the SQLite history of its data folder (both stores
// behind the history's own interface: the history's tests).
TEST(CliHistory, RoundTrip) {
    TempDir home;
    const std::string where = (DataFolder(home) / history::kSqliteFileName).string();
    SimOnPty sim;
    const auto cli = [&](const std::vector<std::string>& args) {
        return RunEnglish(sim, home, args);
    };
    const fs::path read = home.path() / "read.PGA";

    // A whole read is a snapshot of the device.
    ASSERT_EQ(cli({"read-params", read.string()}).code, 0);
    json history = Parse(cli({"history", "--json"}));
    ASSERT_EQ(history["count"], 1) << history;
    const json snapshot = history["snapshots"][0];
    const std::string serial = snapshot["serial_number"];
    EXPECT_FALSE(serial.empty());
    EXPECT_EQ(snapshot["variant"], "gas");
    EXPECT_EQ(snapshot["origin"]["program"], "cli");
    EXPECT_EQ(Parse(cli({"history", "--json", "--serial", "no-such-device"}))["count"], 0);

    // The snapshot saves as the file that was read, byte for byte.
    const fs::path saved = home.path() / "saved";
    const CliRun show = cli({"history", "show", "1", "--save", saved.string()});
    ASSERT_EQ(show.code, 0) << show.err;
    EXPECT_EQ(readFileBytes(saved.string() + ".PGA"), readFileBytes(read));

    // A write journals exactly the setting it changed, old and new.
    ASSERT_EQ(cli({"set", "T_User0", "Max", "120"}).code, 0);
    json journal = Parse(cli({"journal", "--json", "--serial", serial}));
    ASSERT_EQ(journal["count"], 1) << journal;
    const json expected = {{"target", "setting"},
                           {"section", "T_User0"},
                           {"key", "Max"},
                           {"old", {{"base", "60"}}},
                           {"new", {{"base", "120"}, {"shown", "120.0000 °C"}}},
                           {"outcome", "confirmed"},
                           {"serial_number", serial}};
    ExpectFields(journal["entries"][0], expected);

    // The CSV for a German spreadsheet: Windows-1252 and semicolons.
    const fs::path csv = home.path() / "journal.csv";
    ASSERT_EQ(
        RunCli(With(sim.line(), {"--lang", "de", "journal", "--csv", csv.string()}), home.path())
            .code,
        0);
    const std::string bytes = readFileBytes(csv);
    EXPECT_EQ(bytes.rfind("Nr.;Zeit;", 0), 0u) << bytes;
    EXPECT_NE(bytes.find(";T_User0 Max;60;120;60.0000 \xB0"
                         "C;120.0000 \xB0"
                         "C;"),
              std::string::npos)
        << bytes;

    // The snapshot against the device now, and against a later snapshot.
    json diff = Parse(cli({"diff", "--snapshot", "1", "--json"}));
    ASSERT_EQ(diff["count"], 1) << diff;
    EXPECT_EQ(diff["differences"][0]["key"], "Max");
    EXPECT_EQ(diff["left"]["source"], "device");
    diff = Parse(cli({"diff", "--snapshot", "1", "--against", "2", "--json"}));
    EXPECT_EQ(diff["count"], 1) << diff;
    diff = Parse(cli({"diff", "--snapshot", "1", "--against", read.string(), "--json"}));
    EXPECT_EQ(diff["count"], 0) << diff;

    // Writing the set read before journals only what it changes, with the
    // old value the device held.
    ASSERT_EQ(cli({"write-params", read.string()}).code, 0);
    journal = Parse(cli({"journal", "--json", "--serial", serial}));
    ASSERT_EQ(journal["count"], 2) << journal;
    int back = 0;
    for (const json& e : journal["entries"]) {
        if (e["key"] == "Max" && e["old"]["base"] == "120" && e["new"]["base"] == "60") ++back;
    }
    EXPECT_EQ(back, 1) << journal;

    // The check: whole, then a changed entry is named.
    EXPECT_EQ(cli({"journal", "--verify"}).code, 0);
    auto db = history::MakeSqliteConnection(where, 2000);
    for (const char* sql :
         {"DROP TRIGGER journal_no_update", "UPDATE journal SET new_base = '130' WHERE seq = 1"}) {
        std::string cause;
        ASSERT_EQ(db->exec(sql, {}, nullptr, &cause), history::SqlFailure::None) << cause;
    }
    db.reset();
    EXPECT_TRUE(Says(cli({"journal", "--verify"}), 1, "Journal entry 1 was changed"));
}

// A store that cannot be written: the device write is done and reported as
// such, the warning names the cause; a store that cannot be read fails the
// history's own commands, its cause in the language of --lang.
TEST(CliHistoryStore, LockedOrUnusableStoreNeverStopsTheDeviceWork) {
    const struct {
        const char* settings;  // the [History] Database value; null: SQLite, locked
        const char* cause;     // in the warning
    } rows[] = {
        {nullptr, "locked"},
        {"mysql://elsewhere/db", "[History] Database"},
    };
    for (const auto& row : rows) {
        TempDir home;
        SimOnPty sim;
        const std::string file = (DataFolder(home) / history::kSqliteFileName).string();
        std::unique_ptr<history::SqlConnection> lock;
        if (row.settings == nullptr) {
            // Another program holds the database for the whole run.
            ASSERT_EQ(RunCli({"journal"}, home.path()).code, 0);  // makes the schema
            lock = history::MakeSqliteConnection(file, 0);
            std::string cause;
            ASSERT_EQ(lock->exec("BEGIN EXCLUSIVE", {}, nullptr, &cause), history::SqlFailure::None)
                << cause;
        } else {
            std::ofstream(DataFolder(home) / "parvion2.ini")
                << "[History]\nDatabase=" << row.settings << "\n";
        }
        const CliRun set = RunEnglish(sim, home, {"set", "T_User0", "Max", "110"});
        EXPECT_TRUE(Says(set, 0, "warning: Device history not written"));
        EXPECT_TRUE(Says(set, 0, row.cause));
        EXPECT_TRUE(Shows(set, "110.0000"));
        if (row.settings != nullptr) {
            EXPECT_TRUE(Says(RunCli({"--lang", "de", "history"}, home.path()), 1,
                             "Die Gerätehistorie kann nicht geöffnet werden: [History] Database "
                             "ist weder leer"));
            EXPECT_TRUE(Says(RunCli({"--lang", "en", "history"}, home.path()), 1,
                             "[History] Database is neither empty"));
            EXPECT_EQ(RunCli({"journal", "--verify"}, home.path()).code, 1);
        }
    }
}

}  // namespace
}  // namespace parvion::test
