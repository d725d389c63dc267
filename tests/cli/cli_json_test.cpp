// --json against the simulator: every data command gives the documented
// schema, values as numbers in their base units with the unit named, the
// same lines as the text output, and the exit codes of the text output.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "cli_process.h"
#include "core/model/profile_file.h"
#include "core/model/value_format.h"

namespace parvion::test {
namespace {

using nlohmann::json;

const std::regex kIsoTime(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)");

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
    TempDir home;
    SimOnPty sim;
    const std::string file = (home / "device.PGA").string();
    ASSERT_EQ(RunCli(With(sim.line(), {"read-params", file}), home.path()).code, 0);

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
         [&sim](json d) {
             ExpectFields(
                 d,
                 {{"answered", true},
                  {"ports", {{{"path", sim.path()}, {"baud", 115200}, {"identity", "PV-GAS2"}}}}});
             EXPECT_EQ(d["ports"][0]["findings"].back()["verdict"], "ok");
         }},
    };
    for (const Case& c : cases) {
        const CliRun r =
            RunCli(With(sim.line(), With(c.args, {"--json", "--lang", "en"})), home.path());
        ASSERT_EQ(r.code, 0) << c.args[0] << ": " << r.err;
        json doc = Parse(r);
        ASSERT_TRUE(doc.is_object()) << c.args[0] << ": " << r.out;
        SCOPED_TRACE(c.args[0]);
        ExpectFields(doc,
                     {{"schema", "parvion2-cli/1"}, {"command", c.args[0]}, {"language", "en"}});
        if (c.args[0] != "doctor") ExpectFields(doc, {{"port", sim.path()}, {"variant", "gas"}});
        c.check(doc);
    }
}

// The numbers are those the parameter file holds, whatever units the pages
// show; the lines are the text output's.
TEST(CliJson, PageValuesAreInBaseUnitsAndTheLinesAreTheTextOutputs) {
    TempDir home;
    const std::string file = (home / "set.PGA").string();
    std::filesystem::copy_file(std::filesystem::path(PARVION_FIXTURES_DIR) / "params/gas_full.PGA",
                               file);
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
    const ProfileFile stored{std::filesystem::path(file)};
    ExpectFields(max, {{"value", 150}, {"unit", "°C"}});
    EXPECT_EQ(ReadNumber(stored.readString("T_User0", "Max", "")), 150.0);
    // The page itself shows the user's temperature unit.
    EXPECT_FALSE(Contains(max["text"].get<std::string>(), "°C")) << max["text"];
}

TEST(CliJson, ExitCodesAreThoseOfTheTextOutput) {
    TempDir home;
    sim::DeviceOptions basic;
    basic.ausbaustufe = ausbaustufe::Basic;
    SimOnPty sim(basic);
    for (const bool asJson : {false, true}) {
        std::vector<std::string> args = With(sim.line(), {"live", "--circuit", "2"});
        if (asJson) args.push_back("--json");
        const CliRun r = RunCli(args, home.path());
        EXPECT_TRUE(Says(r, 1, "circuit 2 is not available")) << asJson;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    // No device answers: the report is printed, and the code is 1.
    const CliRun r = RunCli({"--port", (home / "none").string(), "doctor", "--json"}, home.path());
    EXPECT_EQ(r.code, 1);
    ExpectFields(
        Parse(r),
        {{"answered", false},
         {"ports",
          {{{"path", (home / "none").string()}, {"findings", {{{"verdict", "failed"}}}}}}}});
}

}  // namespace
}  // namespace parvion::test
