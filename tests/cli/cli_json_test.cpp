// --json against the simulator: every data command gives the documented
// schema, values as numbers in their base units with the unit named, the
// same lines as the text output, and the exit codes of the text output.
// The device history on the SQLite file of the data folder: a read is a
// snapshot, a write journals exactly the changed setting, the journal's
// check finds a tampered entry, a snapshot saves as the file that was read,
// and a store that cannot be written never stops the device work.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>

#include "cli_process.h"
#include "core/history/history_store.h"
#include "core/history/sql_connection.h"
#include "core/model/profile_file.h"
#include "core/model/value_format.h"

namespace parvion::test {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

const std::regex kIsoTime(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)");

// The document of a run, printed on one line.
json Parse(const CliRun& r) {
    EXPECT_FALSE(r.out.empty()) << r.err;
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << "one line";
    return json::parse(r.out, nullptr, false);
}

// A value object: a number (or null) with its unit and quantity named.
void ExpectValue(json v, const std::string& quantity = {}) {
    ASSERT_TRUE(v.is_object()) << v;
    EXPECT_TRUE(v["value"].is_number() || v["value"].is_null()) << v;
    EXPECT_EQ(v["unit"].is_string(), v["quantity"].is_string()) << v;
    if (!quantity.empty()) {
        EXPECT_EQ(v["quantity"], quantity) << v;
    }
}

void ExpectLines(json lines) {
    ASSERT_TRUE(lines.is_array());
    ASSERT_FALSE(lines.empty());
    for (json line : lines) {
        EXPECT_TRUE(line["text"].is_string());
        if (line.contains("label")) ExpectValue(line);
    }
}

TEST(CliJson, EveryDataCommandGivesTheDocumentedSchema) {
    CliRig r;
    const std::string file = (r / "device.PGA").string();
    ASSERT_EQ(r.run({"read-params", file}).code, 0);

    struct Case {
        std::vector<std::string> args;
        std::function<void(json)> check;
    };
    const std::vector<Case> cases = {
        {{"identify"},
         [](json d) {
             ExpectFields(d, {{"identity", "PV-GAS2"},
                              {"expansion_level", {{"code", 0}}},
                              {"password_protected", false}});
             EXPECT_TRUE(d["serial_number"].is_string());
             EXPECT_EQ(d["access_flags"].size(), 4u);
         }},
        {{"clock"},
         [](json d) {
             EXPECT_TRUE(std::regex_match(d["clock"].get<std::string>(), kIsoTime)) << d;
             EXPECT_EQ(d["set"], false);
         }},
        {{"live", "--circuit", "2"},
         [](json d) {
             ExpectFields(d, {{"circuit", 2}, {"operating_time", {{"unit", "s"}}}});
             ExpectLines(d["lines"]);
             std::set<std::string> quantities;
             for (json l : d["lines"]) {
                 if (l["quantity"].is_string()) quantities.insert(l["quantity"]);
             }
             for (const char* q : {"temperature", "pressure", "density", "standard_flow",
                                   "mass_flow", "standard_volume", "mass"}) {
                 EXPECT_TRUE(quantities.contains(q)) << q;
             }
             EXPECT_TRUE(d["operating_time"]["value"].is_number_integer());
             EXPECT_TRUE(d["error_state"]["number"].is_number_integer());
         }},
        {{"errors"},
         [](json d) {
             ASSERT_EQ(d["groups"].size(), 16u);
             std::size_t entries = 0;
             for (json g : d["groups"]) {
                 EXPECT_TRUE(g["name"].is_string());
                 for (json e : g["entries"]) {
                     ++entries;
                     EXPECT_TRUE(std::regex_match(e["start"].get<std::string>(), kIsoTime));
                     EXPECT_EQ(e["end"].is_null(), e["active"].get<bool>()) << e;
                 }
             }
             EXPECT_GT(entries, 0u);
         }},
        {{"integrators"},
         [](json d) {
             ASSERT_EQ(d["circuits"].size(), 2u);
             json records = d["circuits"][0]["records"];
             ASSERT_FALSE(records.empty());
             ExpectValue(records[0]["total"], "standard_volume");
             ExpectValue(records[0]["mass"], "mass");
             EXPECT_EQ(records[0]["mass"]["unit"], "kg");
         }},
        {{"trends"},
         [](json d) {
             ASSERT_FALSE(d["blocks"].empty());
             json block = d["blocks"][0];
             EXPECT_EQ(block["interval"]["unit"], "s");
             ASSERT_FALSE(block["rows"].empty());
             json values = block["rows"][0]["values"];
             ASSERT_EQ(values.size(), 4u);
             const char* const quantities[] = {"temperature", "pressure", "standard_flow",
                                               "mass_flow"};
             for (std::size_t i = 0; i < 4; ++i) ExpectValue(values[i], quantities[i]);
             EXPECT_EQ(values[0]["unit"], "°C");
         }},
        {{"page", "circuit"},
         [](json d) {
             ExpectFields(d, {{"page", "circuit"},
                              {"lines", {{{"setting", "T_User0 Kind"}, {"choices", "0..3"}}}}});
             ExpectLines(d["lines"]);
         }},
        {{"diff", file},
         [](json d) {
             EXPECT_EQ(d["count"], 0);
             EXPECT_TRUE(d["differences"].empty());
         }},
        {{"doctor"},
         [&r](json d) {
             ExpectFields(
                 d, {{"answered", true},
                     {"ports",
                      {{{"path", r.sim.path()}, {"baud", 115200}, {"identity", "PV-GAS2"}}}}});
             EXPECT_EQ(d["ports"][0]["findings"].back()["verdict"], "ok");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const CliRun run = r.run(With(c.args, {"--json", "--lang", "en"}));
        ASSERT_EQ(run.code, 0) << run.err;
        json doc = Parse(run);
        ASSERT_TRUE(doc.is_object()) << run.out;
        ExpectFields(doc,
                     {{"schema", "parvion2-cli/1"}, {"command", c.args[0]}, {"language", "en"}});
        if (c.args[0] != "doctor") ExpectFields(doc, {{"port", r.sim.path()}, {"variant", "gas"}});
        c.check(doc);
    }
}

// The numbers are those the parameter file holds, whatever units the pages
// show; the lines are the text output's.
TEST(CliJson, PageValuesAreInBaseUnitsAndTheLinesAreTheTextOutputs) {
    TempDir home;
    const std::string file = (home / "set.PGA").string();
    fs::copy_file(FixturePath("params", "gas_full.PGA"), file);
    for (const auto& s : {std::vector<std::string>{"Dis_User", "Einheiten", "1"},
                          {"UserEinheiten0", "Kind", "1"},
                          {"T_User0", "Max", "150"}}) {
        ASSERT_EQ(RunCli({"--file", file, "set", s[0], s[1], s[2]}, home.path()).code, 0);
    }
    const CliRun text = RunCli({"--file", file, "page", "circuit"}, home.path());
    const CliRun r = RunCli({"--file", file, "page", "circuit", "--json"}, home.path());
    ASSERT_EQ(r.code, 0) << r.err;
    json doc = Parse(r);
    ExpectFields(doc, {{"file", file}, {"variant", "gas"}});
    EXPECT_FALSE(doc.contains("port"));

    std::vector<std::string> expected;
    for (const std::string& line : SplitLines(text.out)) {
        std::string t = line.substr(0, line.rfind("  ["));
        t = t.substr(t.find_first_not_of(' '));
        expected.push_back(t.substr(0, t.find_last_not_of(' ') + 1));
    }
    std::vector<std::string> lines;
    json max;
    for (json line : doc["lines"]) {
        lines.push_back(line["text"]);
        if (line.value("setting", "") == "T_User0 Max") max = line;
    }
    EXPECT_EQ(lines, expected);
    ASSERT_TRUE(max.is_object());
    ExpectFields(max, {{"value", 150}, {"unit", "°C"}});
    EXPECT_EQ(ReadNumber(ProfileFile(fs::path(file)).readString("T_User0", "Max", "")), 150.0);
    // The page itself shows the user's temperature unit.
    EXPECT_FALSE(Has(max["text"].get<std::string>(), "°C")) << max["text"];
}

TEST(CliJson, ExitCodesAreThoseOfTheTextOutput) {
    // A refused command fails alike with --json and without (no output of
    // its own): CliPages.ListsFollowTheExpansionLevelAndTheLanguage. No device
    // answers: the report is printed, and the code is 1.
    TempDir home;
    const std::string none = (home / "none").string();
    const CliRun r = RunCli({"--port", none, "doctor", "--json"}, home.path());
    EXPECT_EQ(r.code, 1);
    ExpectFields(Parse(r),
                 {{"answered", false},
                  {"ports", {{{"path", none}, {"findings", {{{"verdict", "failed"}}}}}}}});
}

// A successful run's document.
json Doc(const CliRun& r) {
    EXPECT_EQ(r.code, 0) << r.err;
    return json::parse(r.out, nullptr, false);
}

// The command line on the SQLite history of its data folder (both stores
// behind the history's own interface: the history's tests).
TEST(CliHistory, RoundTrip) {
    CliRig r;
    const std::string where = (DataFolder(r.home) / history::kSqliteFileName).string();
    const fs::path read = r / "read.PGA";

    // A whole read is a snapshot of the device.
    ASSERT_EQ(r.en({"read-params", read.string()}).code, 0);
    json history = Doc(r.en({"history", "--json"}));
    ASSERT_EQ(history["count"], 1) << history;
    const json snapshot = history["snapshots"][0];
    const std::string serial = snapshot["serial_number"];
    EXPECT_FALSE(serial.empty());
    ExpectFields(snapshot, {{"variant", "gas"}, {"origin", {{"program", "cli"}}}});
    EXPECT_EQ(Doc(r.en({"history", "--json", "--serial", "no-such-device"}))["count"], 0);

    // The snapshot saves as the file that was read, byte for byte.
    const fs::path saved = r / "saved";
    const CliRun show = r.en({"history", "show", "1", "--save", saved.string()});
    ASSERT_EQ(show.code, 0) << show.err;
    EXPECT_EQ(readFileBytes(saved.string() + ".PGA"), readFileBytes(read));

    // A write journals exactly the setting it changed, old and new.
    ASSERT_EQ(r.en({"set", "T_User0", "Max", "120"}).code, 0);
    json journal = Doc(r.en({"journal", "--json", "--serial", serial}));
    ASSERT_EQ(journal["count"], 1) << journal;
    ExpectFields(journal["entries"][0], {{"target", "setting"},
                                         {"section", "T_User0"},
                                         {"key", "Max"},
                                         {"old", {{"base", "60"}}},
                                         {"new", {{"base", "120"}, {"shown", "120.0000 °C"}}},
                                         {"outcome", "confirmed"},
                                         {"serial_number", serial}});

    // The CSV for a German spreadsheet: Windows-1252 and semicolons.
    const fs::path csv = r / "journal.csv";
    ASSERT_EQ(r.run({"--lang", "de", "journal", "--csv", csv.string()}).code, 0);
    const std::string bytes = readFileBytes(csv);
    EXPECT_EQ(bytes.rfind("Nr.;Zeit;", 0), 0u) << bytes;
    EXPECT_TRUE(Has(bytes,
                    ";T_User0 Max;60;120;60.0000 \xB0"
                    "C;120.0000 \xB0"
                    "C;"))
        << bytes;

    // The snapshot against the device now, and against a later snapshot.
    json diff = Doc(r.en({"diff", "--snapshot", "1", "--json"}));
    ASSERT_EQ(diff["count"], 1) << diff;
    EXPECT_EQ(diff["differences"][0]["key"], "Max");
    EXPECT_EQ(diff["left"]["source"], "device");
    EXPECT_EQ(Doc(r.en({"diff", "--snapshot", "1", "--against", "2", "--json"}))["count"], 1);
    EXPECT_EQ(Doc(r.en({"diff", "--snapshot", "1", "--against", read.string(), "--json"}))["count"],
              0);

    // Writing the set read before journals only what it changes, with the
    // old value the device held.
    ASSERT_EQ(r.en({"write-params", read.string()}).code, 0);
    journal = Doc(r.en({"journal", "--json", "--serial", serial}));
    ASSERT_EQ(journal["count"], 2) << journal;
    int back = 0;
    for (const json& e : journal["entries"]) {
        if (e["key"] == "Max" && e["old"]["base"] == "120" && e["new"]["base"] == "60") ++back;
    }
    EXPECT_EQ(back, 1) << journal;

    // The check: whole, then a changed entry is named.
    EXPECT_EQ(r.en({"journal", "--verify"}).code, 0);
    auto db = history::MakeSqliteConnection(where, 2000);
    for (const char* sql :
         {"DROP TRIGGER journal_no_update", "UPDATE journal SET new_base = '130' WHERE seq = 1"}) {
        std::string cause;
        ASSERT_EQ(db->exec(sql, {}, nullptr, &cause), history::SqlFailure::None) << cause;
    }
    db.reset();
    EXPECT_TRUE(Says(r.en({"journal", "--verify"}), 1, "Journal entry 1 was changed"));
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
        CliRig r;
        const fs::path home = r.home.path();
        std::unique_ptr<history::SqlConnection> lock;
        if (row.settings == nullptr) {
            // Another program holds the database for the whole run.
            ASSERT_EQ(RunCli({"journal"}, home).code, 0);  // makes the schema
            lock = history::MakeSqliteConnection(
                (DataFolder(r.home) / history::kSqliteFileName).string(), 0);
            std::string cause;
            ASSERT_EQ(lock->exec("BEGIN EXCLUSIVE", {}, nullptr, &cause), history::SqlFailure::None)
                << cause;
        } else {
            std::ofstream(DataFolder(r.home) / "parvion2.ini")
                << "[History]\nDatabase=" << row.settings << "\n";
        }
        const CliRun set = r.en({"set", "T_User0", "Max", "110"});
        EXPECT_TRUE(Says(set, 0, "warning: Device history not written"));
        EXPECT_TRUE(Says(set, 0, row.cause));
        EXPECT_TRUE(Shows(set, "110.0000"));
        if (row.settings != nullptr) {
            // Both languages of the cause: StoreCauses.CommonCausesInTheSessionsLanguage.
            EXPECT_TRUE(Says(RunCli({"--lang", "de", "history"}, home), 1,
                             "Die Gerätehistorie kann nicht geöffnet werden: [History] Database "
                             "ist weder leer"));
            EXPECT_EQ(RunCli({"journal", "--verify"}, home).code, 1);
        }
    }
}

}  // namespace
}  // namespace parvion::test
