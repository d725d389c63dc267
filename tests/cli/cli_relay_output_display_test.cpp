// page and set on the relay, output and display pages: the real program
// against the simulator over a pseudo-terminal, and on a parameter file.

#include <gtest/gtest.h>

#include "cli_process.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/profile_file.h"
#include "support/device_records.h"

namespace parvion::test {
namespace {

TEST(CliRelayOutputDisplay, SetTakesChoicesAndValuesAsThePagesDo) {
    TempDir home;
    SimOnPty sim;
    sim::Device& d = sim.device();
    const auto en = [&](std::vector<std::string> rest) {
        rest.insert(rest.begin(), {"--lang", "en"});
        return RunCli(With(sim.line(), rest), home.path());
    };
    // The alarm source is the choice index: 15 is the temperature difference.
    CliRun r = en({"set", "Alm_User0", "Param", "15"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(deviceRecord<Alm_UserRec>(d, block::Alm_User(0)).Param, 17);
    EXPECT_TRUE(
        Contains(r.out, "Limit relay 1: Temperature difference 2-1  [Alm_User0 Param 0..25]\n"))
        << r.out;
    ASSERT_EQ(en({"set", "Alm_User0", "Kind", "2"}).code, 0);
    r = en({"set", "Alm_User0", "Min", "-2000"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "parvion2-cli: note: -2000 is below the lower limit; -1273.15 taken\n");
    EXPECT_FLOAT_EQ(deviceRecord<Alm_UserRec>(d, block::Alm_User(0)).Min, -1273.15f);

    // The constant current in mA, kept in 0.1 mA.
    ASSERT_EQ(en({"set", "Aus_User1", "Param", "0"}).code, 0);
    r = en({"set", "Aus_User1", "Konstant", "12"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(deviceRecord<Aus_UserRec>(d, block::Aus_User(1)).Konstant, 120);
    EXPECT_TRUE(Contains(r.out, "  Fixed value    12.0000    mA  [Aus_User1 Konstant]\n")) << r.out;

    // The boxes of display page 2 with the compact display on.
    ASSERT_EQ(en({"set", "Dis_User", "Kind", "1"}).code, 0);
    d.poke(block::Display.address, std::vector<std::uint8_t>{0x02, 0x00, 0x00, 0x00});
    r = en({"set", "Display", "Enable2", "17"});
    ASSERT_EQ(r.code, 0) << r.err;
    const DisplayRec shown = deviceRecord<DisplayRec>(d, block::Display);
    EXPECT_EQ(shown.Enable1, 0x13);
    EXPECT_EQ(shown.Enable2, 0x11);
    EXPECT_TRUE(Contains(r.out, "Circuit 2: 17  [Display Enable2]\n  [x] Temperature (1)\n"))
        << r.out;

    // A page read writes nothing.
    const auto writes = d.framesServed(cmd::Write);
    r = en({"page", "display"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "[x] Compact display  [Dis_User Kind 0..1]\n")) << r.out;
    r = en({"page", "outputs"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "Analog output 4: ")) << r.out;
    EXPECT_EQ(d.framesServed(cmd::Write), writes);
}

TEST(CliRelayOutputDisplay, BadInputWritesNothing) {
    TempDir home;
    sim::DeviceOptions o;
    o.ausbaustufe = 0xC0;  // no circuit 2, one output
    SimOnPty sim(o);
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"set", "Alm_User0", "Param", "26"},
         2,
         "no choice 26; the choices are:\n  0 not monitored\n"},
        {{"set", "Alm_User0", "Param", "9"}, 2, "circuit 2 is not available"},
        {{"set", "Aus_User0", "Konstant", "abc"}, 2, "is not a setting of the output page"},
        {{"set", "Aus_User2", "Min", "1"}, 2, "outputs 2 to 4 are not fitted"},
        {{"set", "Dis_User", "Kind", "1"}, 2, "needs a device with all outputs"},
        {{"set", "Display", "Enable1", "x1"}, 2, "\"x1\" is not a choice index"},
        {{"set", "Display", "Enable3", "1"}, 2, "circuit 2 is not available"},
    };
    for (const auto& [args, code, says] : cases) {
        const CliRun r = RunCli(With(sim.line(), With({"--lang", "en"}, args)), home.path());
        EXPECT_EQ(r.code, code) << says;
        EXPECT_TRUE(Contains(r.err, says)) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(sim.device().framesServed(cmd::Write), 0u);
}

TEST(CliRelayOutputDisplay, AParameterFileIsEditedAndSaved) {
    TempDir home;
    const auto file = home / "station.PGA";
    writeFileBytes(file, "[Medium]\r\nIdent=GAS\r\n[Aus_User0]\r\nParam=1\r\nMin=0\r\nMax=50\r\n");
    const auto run = [&](std::vector<std::string> rest) {
        rest.insert(rest.begin(), {"--lang", "de", "--port", "/dev/parvion-no-such-port"});
        rest.insert(rest.end(), {"--file", file.string()});
        return RunCli(rest, home.path());
    };
    CliRun r = run({"set", "Aus_User0", "Max", "20"});
    ASSERT_EQ(r.code, 0) << r.err;
    // Offline the source's range is not enforced; Min pulls Max up.
    r = run({"set", "Aus_User0", "Min", "30"});
    ASSERT_EQ(r.code, 0) << r.err;
    const ProfileFile saved(file);
    EXPECT_EQ(saved.readString("Aus_User0", "Max", ""), "30");
    r = run({"page", "relays"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "[Alm_User1 Param 0..25]")) << r.out;
}

}  // namespace
}  // namespace parvion::test
