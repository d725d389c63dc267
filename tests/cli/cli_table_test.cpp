// parvion2-cli table: the real program against the simulator on a
// pseudo-terminal, the tables checked in the simulator's memory.
#include <gtest/gtest.h>

#include "cli_process.h"
#include "core/link/encoding.h"
#include "core/tables/table_file.h"
#include "sim/lib/memory_map.h"

namespace parvion::test {
namespace {

namespace fs = std::filesystem;

fs::path Fixture(const char* name) {
    return fs::path(PARVION_FIXTURES_DIR) / "tables" / name;
}

float DeviceFloat(sim::Device& d, std::uint16_t address) {
    return wire::GetFloat(d.peek(address, 4), 0);
}

sim::DeviceOptions EnergyDevice() {
    sim::DeviceOptions o;
    o.medium = 1;
    return o;
}

// A density table file that holds every cell; the temperature of row `dip`
// falls to 200 K.
std::string CompleteTable(int dip = -1) {
    std::string text = "[Temperatur]\r\n";
    for (int r = 0; r < 18; ++r)
        text += std::to_string(r) + "=" + std::to_string(r == dip ? 200 : 300 + r) + "\r\n";
    text += "[Druck]\r\n";
    for (int c = 0; c < 14; ++c) text += std::to_string(c) + "=" + std::to_string(100 * c) + "\r\n";
    text += "[Werte]\r\n";
    for (int r = 0; r < 18; ++r) {
        for (int c = 0; c < 14; ++c)
            text += std::to_string(r) + " - " + std::to_string(c) + "=1\r\n";
    }
    return text;
}

TEST(CliTable, WriteThenReadEachKind) {
    TempDir home;
    SimOnPty gas;
    SimOnPty energy(EnergyDevice());
    struct Case {
        SimOnPty* sim;
        const char* kind;
        fs::path file;
        std::uint16_t first;  // device address of the first value
    };
    const Case cases[] = {
        {&gas, "compressibility", Fixture("erdgas.KTB"), sim::addr::PropertyTable[1].values},
        {&energy, "density", Fixture("axes_only.DTB"), sim::addr::PropertyTable[0].values},
        {&energy, "saturation", Fixture("ten_rows.STB"), sim::addr::SaturationTable},
    };
    for (const Case& c : cases) {
        // Two of the files lack cells: sent as 0 only when asked for, and named.
        const CliRun w = RunCli(With(c.sim->line(), {"--lang", "en", "table", "write",
                                                     "--allow-missing", c.file.string()}),
                                home.path());
        ASSERT_EQ(w.code, 0) << w.err;
        EXPECT_EQ(Contains(w.err, "warning: " + c.file.string() + ": The table file does not hold"),
                  c.file.extension() != ".KTB")
            << w.err;
        EXPECT_EQ(DeviceFloat(c.sim->device, c.first), c.file.extension() == ".KTB"   ? 0.99F
                                                       : c.file.extension() == ".STB" ? 283.0F
                                                                                      : 0.0F);

        const fs::path back = home.path() / (std::string("back-") + c.kind);
        const CliRun r = RunCli(
            With(c.sim->line(), {"table", "read", "--kind", c.kind, back.string()}), home.path());
        ASSERT_EQ(r.code, 0) << r.err;
        const fs::path written = fs::path(SplitLines(r.out).at(0));
        EXPECT_EQ(written.extension(), c.file.extension()) << "the kind's extension is added";
        if (c.file.extension() == ".STB") {
            tables::SaturationGrid g;
            ASSERT_TRUE(tables::LoadSaturationFile(written, g).ok());
            EXPECT_EQ(g.at(1, 10), "1000.5");
            EXPECT_EQ(g.at(0, 11), "0");
        } else {
            tables::PropertyGrid g;
            ASSERT_TRUE(tables::LoadPropertyFile(written, g).ok());
            EXPECT_EQ(g.at(0, 18), c.file.extension() == ".KTB" ? "338" : "543");
        }
    }
}

TEST(CliTable, RefusalsSendNothing) {
    TempDir home;
    SimOnPty energy(EnergyDevice());
    fs::copy_file(Fixture("erdgas.KTB"), home.path() / "wrong-variant.KTB");
    const fs::path lower = home.path() / "lower.dtb";
    fs::copy_file(Fixture("axes_only.DTB"), lower);
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* message;
    };
    // Values a device float cannot hold, in files of both kinds.
    const auto file = [&](const char* name, const std::string& content) {
        writeFileBytes(home / name, content);
        return (home / name).string();
    };
    const std::string complete = CompleteTable();
    const Case cases[] = {
        {{"table", "write", Fixture("hand_edited.ETB").string()}, 1, "\"abc\" ([Werte] 0 - 1)"},
        {{"table", "write", file("big.ETB", "[Werte]\r\n0 - 0=-1e300\r\n")},
         1,
         "beyond the range of the device's numbers: \"-1e300\" ([Werte] 0 - 0)"},
        // Cells the file does not hold are named; nothing is sent without
        // --allow-missing.
        {{"table", "write", Fixture("ten_rows.STB").string()},
         1,
         "does not hold 88 cell(s); they count as 0: [Row_11] T, [Row_11] p,"},
        {{"table", "write", file("gap.DTB", complete.substr(0, complete.size() - 11))},
         1,
         "does not hold 1 cell(s); they count as 0: [Werte] 17 - 13\nnothing was sent; "
         "--allow-missing"},
        // An axis that falls (the rule: the core's table cells).
        {{"table", "write", file("falling.DTB", CompleteTable(5))},
         1,
         "The temperature axis must ascend: 200 K must lie above 304 K (row 5).\nnothing was sent"},
        {{"table", "write", Fixture("parameters.KTB").string()}, 1, "not a table file"},
        {{"table", "write", (home.path() / "missing.STB").string()}, 1, "could not be read"},
        {{"table", "write", (home.path() / "wrong-variant.KTB").string()}, 1, "no compressibility"},
        {{"table", "write", (home.path() / "x.PGA").string()}, 2, ".KTB, .DTB, .ETB or .STB"},
        {{"table", "read", (home.path() / "x.DTB").string()}, 2, "--kind"},
        {{"table", "read", "--kind", "steam", "x"}, 2, "--kind needs"},
        {{"table", "copy", "x"}, 2, "read or write"},
        {{"table", "write", "--kind", "density", lower.string()}, 2, "extension"},
    };
    const auto& table = sim::addr::PropertyTable[0];
    const std::size_t tableBytes = 2 * (sim::addr::PropertyColumns + sim::addr::PropertyRows) +
                                   4 * sim::addr::PropertyColumns * sim::addr::PropertyRows;
    const auto before = energy.device.peek(table.columns, tableBytes);
    for (const Case& c : cases) {
        const auto writes = energy.device.writesAccepted();
        const CliRun r = RunEnglish(energy, home, c.args);
        EXPECT_TRUE(Says(r, c.code, c.message)) << c.args[1] << " " << c.args.back();
        EXPECT_EQ(energy.device.writesAccepted(), writes);
    }
    EXPECT_EQ(energy.device.peek(table.columns, tableBytes), before);
    // A lower-case extension names the kind all the same.
    const CliRun ok = RunCli(
        With(energy.line(), {"table", "write", "--allow-missing", lower.string()}), home.path());
    EXPECT_EQ(ok.code, 0) << ok.err;
    // A complete file needs no --allow-missing.
    const CliRun whole =
        RunCli(With(energy.line(), {"table", "write", file("whole.DTB", complete)}), home.path());
    EXPECT_EQ(whole.code, 0) << whole.err;
    EXPECT_EQ(whole.err, "");
}

}  // namespace
}  // namespace parvion::test
