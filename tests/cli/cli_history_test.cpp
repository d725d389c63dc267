// The device history through the command line against the simulator, on
// an SQLite file and on a throwaway PostgreSQL server: a read is a
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
#include "support/postgres_server.h"

namespace parvion::test {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

json Parse(const CliRun& r) {
    EXPECT_EQ(r.code, 0) << r.err;
    return json::parse(r.out, nullptr, false);
}

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path DataFolder(const TempDir& home) {
    return home.path() / ".local/share/parvion2";
}

// Where the history is: the SQLite file of the data folder, or a database
// of one server for the whole test program.
struct Backend {
    std::string name;
    // Writes the settings that choose the store; empty when it is not
    // available (the reason in *why).
    std::function<std::string(const TempDir& home, std::string* why)> prepare;
};

PostgresServer* Server(std::string* why) {
    static TempDir dir;
    static std::unique_ptr<PostgresServer> server;
    static std::string failure;
    if (!server && failure.empty()) {
        server = std::make_unique<PostgresServer>();
        if (!server->start(dir.path(), &failure)) server.reset();
    }
    *why = failure;
    return server.get();
}

std::string PrepareSqlite(const TempDir& home, std::string*) {
    fs::create_directories(DataFolder(home));
    return (DataFolder(home) / history::kSqliteFileName).string();
}

std::string PreparePostgres(const TempDir& home, std::string* why) {
    PostgresServer* server = Server(why);
    if (server == nullptr) return {};
    static int count = 0;
    const std::string database = "cli" + std::to_string(++count);
    auto root = history::MakePostgresConnection(server->conninfo("postgres"), 2000);
    if (root->exec("CREATE DATABASE " + database, {}, nullptr, why) != history::SqlFailure::None) {
        return {};
    }
    fs::create_directories(DataFolder(home));
    std::ofstream(DataFolder(home) / "parvion2.ini")
        << "[History]\nDatabase=" << server->conninfo(database) << "\n";
    return server->conninfo(database);
}

// Runs SQL on the store behind the CLI's back.
void Sql(const std::string& where, const std::vector<std::string>& statements) {
    auto db = where.starts_with("postgresql://") ? history::MakePostgresConnection(where, 2000)
                                                 : history::MakeSqliteConnection(where, 2000);
    for (const std::string& s : statements) {
        std::string cause;
        ASSERT_EQ(db->exec(s, {}, nullptr, &cause), history::SqlFailure::None)
            << s << ": " << cause;
    }
}

class CliHistory : public ::testing::TestWithParam<Backend> {};

TEST_P(CliHistory, RoundTrip) {
    TempDir home;
    std::string why;
    const std::string where = GetParam().prepare(home, &why);
    if (where.empty()) GTEST_SKIP() << why;
    SimOnPty sim;
    const auto cli = [&](const std::vector<std::string>& args) {
        return RunCli(With(With(sim.line(), {"--lang", "en"}), args), home.path());
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
    EXPECT_EQ(FileBytes(saved.string() + ".PGA"), FileBytes(read));

    // A write journals exactly the setting it changed, old and new.
    ASSERT_EQ(cli({"set", "T_User0", "Max", "120"}).code, 0);
    json journal = Parse(cli({"journal", "--json", "--serial", serial}));
    ASSERT_EQ(journal["count"], 1) << journal;
    const json entry = journal["entries"][0];
    EXPECT_EQ(entry["target"], "setting");
    EXPECT_EQ(entry["section"], "T_User0");
    EXPECT_EQ(entry["key"], "Max");
    EXPECT_EQ(entry["old"]["base"], "60");
    EXPECT_EQ(entry["new"]["base"], "120");
    EXPECT_EQ(entry["new"]["shown"], "120.0000 °C");
    EXPECT_EQ(entry["outcome"], "confirmed");
    EXPECT_EQ(entry["serial_number"], serial);

    // The CSV for a German spreadsheet: Windows-1252 and semicolons.
    const fs::path csv = home.path() / "journal.csv";
    ASSERT_EQ(
        RunCli(With(sim.line(), {"--lang", "de", "journal", "--csv", csv.string()}), home.path())
            .code,
        0);
    const std::string bytes = FileBytes(csv);
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
    const std::string guard = where.starts_with("postgresql://")
                                  ? "DROP TRIGGER journal_append_only ON journal"
                                  : "DROP TRIGGER journal_no_update";
    Sql(where, {guard, "UPDATE journal SET new_base = '130' WHERE seq = 1"});
    const CliRun verify = cli({"journal", "--verify"});
    EXPECT_EQ(verify.code, 1);
    EXPECT_NE(verify.err.find("Journal entry 1 was changed"), std::string::npos) << verify.err;
}

INSTANTIATE_TEST_SUITE_P(Stores, CliHistory,
                         ::testing::Values(Backend{"Sqlite", PrepareSqlite},
                                           Backend{"Postgres", PreparePostgres}),
                         [](const auto& test) { return test.param.name; });

// A store that cannot be written: the device write is done and reported as
// such, the warning names the cause; a store that cannot be read fails the
// history's own commands.
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
        std::string ignored;
        const std::string file = PrepareSqlite(home, &ignored);
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
        const CliRun set =
            RunCli(With(sim.line(), {"--lang", "en", "set", "T_User0", "Max", "110"}), home.path());
        EXPECT_EQ(set.code, 0) << set.err;
        EXPECT_NE(set.err.find("warning: Device history not written"), std::string::npos)
            << set.err;
        EXPECT_NE(set.err.find(row.cause), std::string::npos) << set.err;
        EXPECT_NE(set.out.find("110.0000"), std::string::npos) << set.out;
        if (row.settings != nullptr) {
            EXPECT_EQ(RunCli({"history"}, home.path()).code, 1);
            EXPECT_EQ(RunCli({"journal", "--verify"}, home.path()).code, 1);
        }
    }
}

}  // namespace
}  // namespace parvion::test
