// parvion2-cli table write refuses a property table whose temperature axis
// falls (the rule is in the core's table cells): exit code, message, nothing
// sent.
#include <gtest/gtest.h>

#include <fstream>

#include "cli_process.h"
#include "sim/lib/memory_map.h"

namespace parvion::test {
namespace {

TEST(CliTableAxes, AFileWhoseAxisFallsIsNotSent) {
    std::string text = "[Temperatur]\r\n";
    for (int r = 0; r < 18; ++r)
        text += std::to_string(r) + "=" + std::to_string(r == 5 ? 200 : 300 + r) + "\r\n";
    text += "[Druck]\r\n";
    for (int c = 0; c < 14; ++c)
        text += std::to_string(c) + "=" + std::to_string(100 * (c + 1)) + "\r\n";
    text += "[Werte]\r\n";
    for (int r = 0; r < 18; ++r) {
        for (int c = 0; c < 14; ++c)
            text += std::to_string(r) + " - " + std::to_string(c) + "=1\r\n";
    }
    TempDir home;
    sim::DeviceOptions options;
    options.medium = 1;
    SimOnPty energy(options);
    const auto& place = sim::addr::PropertyTable[0];
    const std::size_t tableBytes = 2 * (sim::addr::PropertyColumns + sim::addr::PropertyRows) +
                                   4 * sim::addr::PropertyColumns * sim::addr::PropertyRows;
    const std::filesystem::path file = home.path() / "axes.DTB";
    std::ofstream(file, std::ios::binary) << text;
    const auto before = energy.device().peek(place.columns, tableBytes);
    const auto writes = energy.device().writesAccepted();
    const CliRun r =
        RunCli(With(energy.line(), {"--lang", "en", "table", "write", file.string()}), home.path());
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_TRUE(Contains(
        r.err,
        "The temperature axis must ascend: 200 K must lie above 304 K (row 5).\nnothing was sent"))
        << r.err;
    EXPECT_EQ(energy.device().writesAccepted(), writes);
    EXPECT_EQ(energy.device().peek(place.columns, tableBytes), before);
}

}  // namespace
}  // namespace parvion::test
