// parvion2-cli doctor against the simulated device on a pseudo-terminal:
// the rate a device answers at, a port that does not exist, the language of
// the findings, and that nothing is written to the device.

#include <gtest/gtest.h>

#include "cli/cli_process.h"
#include "core/model/profile_file.h"

namespace parvion::test {
namespace {

TEST(CliDoctor, FindsTheDeviceAtItsRateAndNamesTheRate) {
    struct Case {
        int deviceBaud;
        const char* lang;
        const char* answered;  // the finding's words in that language
    };
    for (const Case c : {Case{4, "en", "answers on"}, Case{2, "de", "antwortet an"}}) {
        TempDir home;
        sim::DeviceOptions o;
        o.baudIndex = c.deviceBaud;
        SimOnPty sim(o);
        const CliRun r = RunCli(
            {"--port", sim.path(), "--baud", "115200", "--lang", c.lang, "doctor"}, home.path());
        EXPECT_EQ(r.code, 0) << r.err;
        const std::string rate = std::to_string(kBaudRates[c.deviceBaud]);
        EXPECT_TRUE(Contains(r.out, c.answered)) << r.out;
        EXPECT_TRUE(Contains(r.out, "PV-GAS2")) << r.out;
        EXPECT_TRUE(Contains(r.out, rate + " ")) << r.out;
        // The chosen port comes first.
        EXPECT_EQ(SplitLines(r.out).at(0).find(sim.path()) != std::string::npos, true) << r.out;
        EXPECT_EQ(sim.device().writesAccepted(), 0u);
    }
}

TEST(CliDoctor, AMissingPortIsNamedAndTheRunFails) {
    TempDir home;
    const CliRun r =
        RunCli({"--port", "/dev/parvion-missing", "--lang", "en", "doctor"}, home.path());
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Contains(r.out, "FAIL /dev/parvion-missing does not exist")) << r.out;
    EXPECT_TRUE(Contains(r.err, "no device answered")) << r.err;
}

TEST(CliDoctor, PortsOfThePortTableAreTestedToo) {
    TempDir home;
    SimOnPty sim;
    const auto data = home.path() / ".local" / "share" / "parvion2";
    std::filesystem::create_directories(data);
    ProfileFile ini(data / "parvion2.ini");
    ini.writeString("Ports", "Com3", sim.path());
    ASSERT_TRUE(ini.save());
    const CliRun r =
        RunCli({"--port", "/dev/parvion-missing", "--lang", "en", "doctor"}, home.path());
    // The chosen port is missing, the mapped one answers.
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "/dev/parvion-missing does not exist")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Device PV-GAS2 answers on " + sim.path() + " at 115200 baud"))
        << r.out;
}

}  // namespace
}  // namespace parvion::test
