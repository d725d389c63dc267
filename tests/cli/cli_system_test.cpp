// page and set on the system, trend recording and correction pages: the
// system-definition switch run from the command line, presets that are not
// written again, choices and refusals; on the simulator over a
// pseudo-terminal and on a parameter file.

#include <gtest/gtest.h>

#include "cli_process.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/profile_file.h"
#include "support/device_records.h"

namespace parvion::test {
namespace {

TEST(CliSystem, TheSwitchToOneCircuitRunsWhole) {
    TempDir home;
    sim::DeviceOptions o;
    o.kindMask = 0x05;  // measuring-range switching and balance allowed, parallel transmitters not
    SimOnPty sim(o);
    sim::Device& d = sim.device();
    SystemRec sys = deviceRecord<SystemRec>(d, block::System);
    sys.Kind = 0;
    d.poke(block::System.address, codec::Encode(sys));
    Aus_UserRec out{};
    out.Param = 9;  // circuit 2 temperature
    d.poke(block::Aus_User(0).address, codec::Encode(out));
    const auto en = [&](std::vector<std::string> rest) {
        rest.insert(rest.begin(), {"--lang", "en"});
        return RunCli(With(sim.line(), rest), home.path());
    };

    CliRun r = en({"set", "System", "Kind", "2"});
    EXPECT_EQ(r.code, 2) << r.err;  // a choice this device does not have
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(d.framesServed(cmd::Write), 0u);

    r = en({"set", "System", "Kind", "1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(deviceRecord<SystemRec>(d, block::System).Kind, 1);
    EXPECT_EQ(deviceRecord<Aus_UserRec>(d, block::Aus_User(0)).Param, 1);
    // 16 records of the switch, then System.
    EXPECT_EQ(d.framesServed(cmd::Write), 17u);
    EXPECT_TRUE(Contains(r.out, "[System Kind 0..3]")) << r.out;
    EXPECT_TRUE(Contains(r.out, "[System Anzahl 0..2]")) << r.out;

    // Presets: a value the device holds already is not written again.
    r = en({"set", "Vorgaben", "Vorgabe3", "250"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto writes = d.framesServed(cmd::Write);
    r = en({"set", "Vorgaben", "Vorgabe3", "250"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "nothing sent")) << r.err;
    EXPECT_EQ(d.framesServed(cmd::Write), writes);
    EXPECT_TRUE(Contains(r.out, "[x] ")) << r.out;

    r = en({"page", "trend"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "[Trend_User Time 0..11]")) << r.out;
}

TEST(CliSystem, BadSettingsChangeNothing) {
    TempDir home;
    SimOnPty sim;
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"set", "System", "Kind", "4"}, 2, "no choice 4"},
        {{"set", "System", "Anzahl", "1"}, 2, "only with a single-circuit"},
        {{"set", "Grenzwerte", "Schema", "x"}, 2, "not a choice index"},
        {{"set", "Vorgaben", "Vorgabe9", "1"}, 2, "Vorgaben Vorgabe8"},
        {{"set", "FlowKorr_1", "Stelle8", "1"}, 2, "FlowKorr_1 Stelle7"},
        {{"set", "Trend_User", "Time", "12"}, 2, "11 60 min"},
    };
    for (const auto& [args, code, says] : cases) {
        const CliRun r = RunCli(With(sim.line(), With({"--lang", "en"}, args)), home.path());
        EXPECT_EQ(r.code, code) << says;
        EXPECT_TRUE(Contains(r.err, says)) << r.err;
    }
    EXPECT_EQ(sim.device().framesServed(cmd::Write), 0u);
}

TEST(CliSystem, FilesTakeTheSameSettings) {
    TempDir home;
    const auto file = home / "station.PGA";
    writeFileBytes(file, "[Medium]\r\nIdent=GAS\r\n[System]\r\nKind=0\r\n");
    const auto run = [&](std::vector<std::string> rest) {
        rest.insert(rest.begin(), {"--lang", "en", "--port", "/dev/parvion-no-such-port"});
        rest.insert(rest.end(), {"--file", file.string()});
        return RunCli(rest, home.path());
    };
    for (const std::vector<std::string>& set :
         {std::vector<std::string>{"set", "Grenzwerte", "Schema", "1"},
          {"set", "FlowKorr_2", "Stelle0", "20"},
          {"set", "System", "Kind", "3"},
          {"set", "System", "Faktor", "0.95"}}) {
        const CliRun r = run(set);
        ASSERT_EQ(r.code, 0) << set[1] << ": " << r.err;
    }
    const ProfileFile saved(file);
    EXPECT_EQ(saved.readString("Grenzwerte", "U_Max", ""), "1.4125");
    EXPECT_EQ(saved.readString("System", "Kind", ""), "4");
    EXPECT_EQ(saved.readString("FlowKorr_2", "Stelle0", ""), "10");
    const CliRun r = run({"page", "system"});
    EXPECT_TRUE(Contains(r.out, "[System Faktor]")) << r.out;
}

}  // namespace
}  // namespace parvion::test
