// parvion2-cli table write refuses a property table whose axes do not
// ascend, as the window's editor refuses such a value, naming the point and
// the one before it; the device is not touched.
#include <gtest/gtest.h>

#include <fstream>

#include "cli_process.h"
#include "sim/lib/memory_map.h"

namespace parvion::test {
namespace {

namespace fs = std::filesystem;

std::string TableText(int fallingRow) {
    std::string text = "[Temperatur]\r\n";
    for (int r = 0; r < 18; ++r) {
        const int t = r == fallingRow ? 200 : 300 + r;
        text += std::to_string(r) + "=" + std::to_string(t) + "\r\n";
    }
    text += "[Druck]\r\n";
    for (int c = 0; c < 14; ++c)
        text += std::to_string(c) + "=" + std::to_string(100 * (c + 1)) + "\r\n";
    text += "[Werte]\r\n";
    for (int r = 0; r < 18; ++r) {
        for (int c = 0; c < 14; ++c)
            text += std::to_string(r) + " - " + std::to_string(c) + "=1\r\n";
    }
    return text;
}

TEST(CliTableAxes, AFileWhoseAxisFallsIsNotSent) {
    TempDir home;
    sim::DeviceOptions options;
    options.medium = 1;
    SimOnPty energy(options);
    const auto& place = sim::addr::PropertyTable[0];
    const std::size_t tableBytes = 2 * (sim::addr::PropertyColumns + sim::addr::PropertyRows) +
                                   4 * sim::addr::PropertyColumns * sim::addr::PropertyRows;
    struct Case {
        const char* lang;
        int fallingRow;  // file row (grid row - 1); -1: none
        int code;
        const char* message;
    };
    const Case cases[] = {
        {"en", 5, 1,
         "The temperature axis must ascend: 200 K must lie above 304 K (row 5).\nnothing was sent"},
        {"de", 1, 1,
         "Die Temperaturachse muss aufsteigen: 200 K muss über 300 K (Zeile 1) liegen."},
        {"en", -1, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const fs::path file = home.path() / "axes.DTB";
        std::ofstream(file, std::ios::binary) << TableText(c.fallingRow);
        const auto before = energy.device().peek(place.columns, tableBytes);
        const auto writes = energy.device().writesAccepted();
        const CliRun r = RunCli(
            With(energy.line(), {"--lang", c.lang, "table", "write", file.string()}), home.path());
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
        if (c.code != 0) {
            EXPECT_EQ(energy.device().writesAccepted(), writes);
            EXPECT_EQ(energy.device().peek(place.columns, tableBytes), before);
        } else {
            EXPECT_GT(energy.device().writesAccepted(), writes);
        }
    }
}

}  // namespace
}  // namespace parvion::test
