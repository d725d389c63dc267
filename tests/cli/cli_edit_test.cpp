// page and set: the parameter pages as text and changes through their
// rules, on the simulator over a pseudo-terminal and on parameter files;
// bad input that writes nothing, a rejected write, a file that cannot be
// saved.

#include <gtest/gtest.h>

#include "cli_process.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/profile_file.h"
#include "support/device_records.h"
#include "support/unprivileged.h"

namespace parvion::test {
namespace {

TEST(CliEdit, SetOnTheDeviceWritesBackThroughThePageRules) {
    TempDir home;
    SimOnPty sim;
    sim::Device& d = sim.device;
    const auto en = [&](const std::vector<std::string>& a) { return RunEnglish(sim, home, a); };
    // °F on the device's pages (user units on, temperature unit 1): the
    // page shows °F, set still takes °C and clamps as the dialog clamps.
    d.poke(block::Dis_User.address, std::vector<std::uint8_t>{0, 1});
    d.poke(block::UserEinheiten(0).address, std::vector<std::uint8_t>{1});
    CliRun r = en({"set", "T_User0", "Max", "2000"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "parvion2-cli: note: 2000 is above the upper limit; 1500 taken\n");
    EXPECT_EQ(deviceRecord<T_UserRec>(d, block::T_User(0)).Max, 1500);
    EXPECT_TRUE(Contains(r.out, "  Value at 20 mA       2.7320E+3 °F  [T_User0 Max]\n")) << r.out;

    // The page of circuit 2 is read before its choice, and shown after it.
    EXPECT_TRUE(Shows(en({"set", "Flow_User1", "Kind", "4"}),
                      "Flow: Volume flow 4-20 mA  [Flow_User1 Kind 0..5]\n"));
    EXPECT_TRUE(Shows(en({"page", "circuit", "--circuit", "2"}), "[Flow_User1 Max]"));
    EXPECT_EQ(d.writesRejected(), 0u);

    // A change the device does not take is a failure.
    d.injectFault(sim::Fault::RejectWrite, 1000);  // reads pass, writes are refused
    r = en({"set", "T_User0", "Max", "50"});
    EXPECT_TRUE(Says(r, 1, "1 transfer(s) of the change failed"));
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(deviceRecord<T_UserRec>(d, block::T_User(0)).Max, 1500);
}

// The refusals themselves are the page rules' (the core's tables); here each
// kind of refusal reaches the error output with code 2, the valid settings
// or choices listed, and nothing is written to a device without circuit 2.
TEST(CliEdit, BadInputWritesNothing) {
    TempDir home;
    sim::DeviceOptions o;
    o.ausbaustufe = 0xC0;
    SimOnPty sim(o);
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"set", "T_User0", "Max", "12x"}, "\"12x\" is not a number"},
        {{"set", "T_User0", "Konst", "5"},
         "\"T_User0 Konst\" is not a setting of the circuit 1 page as it stands; valid here:\n"
         "  T_User0 Kind\n  T_User0 Min\n"},
        {{"set", "Imp_User0", "Kind", "5"},
         "no choice 5; the choices are:\n  0 Off\n  1 Standard volume\n  2 Mass\n"},
        {{"set", "Bemerkung", "Zeile 1", "x"}, "only in parameter files: give one with --file"},
        {{"page", "remarks"}, "only in parameter files"},
        {{"page", "everything"}, "one of circuit, units, remarks"},
        {{"set", "--circuit", "2", "EG_User", "Ho", "11"}, "circuit 2 is not available"},
        {{"set", "Aus_User2", "Min", "1"}, "outputs 2 to 4 are not fitted"},
    };
    for (const auto& [args, says] : cases) {
        const CliRun r = RunEnglish(sim, home, args);
        EXPECT_TRUE(Says(r, 2, says));
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(sim.device.framesServed(cmd::Write), 0u);
}

TEST(CliEdit, TheSystemSwitchRunsWholeAndPageReadsWriteNothing) {
    TempDir home;
    sim::DeviceOptions o;
    o.kindMask = 0x05;  // measuring-range switching and balance allowed
    SimOnPty sim(o);
    sim::Device& d = sim.device;
    SystemRec sys = deviceRecord<SystemRec>(d, block::System);
    sys.Kind = 0;
    putRecord(d, block::System, sys);
    Aus_UserRec out{};
    out.Param = 9;  // circuit 2 temperature
    putRecord(d, block::Aus_User(0), out);
    const auto en = [&](const std::vector<std::string>& a) { return RunEnglish(sim, home, a); };

    CliRun r = en({"set", "System", "Kind", "1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(deviceRecord<SystemRec>(d, block::System).Kind, 1);
    EXPECT_EQ(deviceRecord<Aus_UserRec>(d, block::Aus_User(0)).Param, 1);
    // 16 records of the switch, then System.
    EXPECT_EQ(d.framesServed(cmd::Write), 17u);
    EXPECT_TRUE(Contains(r.out, "[System Anzahl 0..2]")) << r.out;

    // The notes of a setting reach the error output.
    ASSERT_EQ(en({"set", "Vorgaben", "Vorgabe3", "250"}).code, 0);
    const auto writes = d.framesServed(cmd::Write);
    EXPECT_TRUE(Says(en({"set", "Vorgaben", "Vorgabe3", "250"}), 0, "nothing sent"));
    EXPECT_EQ(d.framesServed(cmd::Write), writes);

    for (const auto& [page, shows] : {std::pair{"trend", "[Trend_User Time 0..11]"},
                                      {"display", "Compact display  [Dis_User Kind 0..1]\n"},
                                      {"outputs", "Analog output 4: "},
                                      {"relays", "[Alm_User1 Param 0..25]"}}) {
        EXPECT_TRUE(Shows(en({"page", page}), shows));
    }
    EXPECT_EQ(d.framesServed(cmd::Write), writes);
}

const char* const kGasFile =
    "; station 7\r\n[Medium]\r\nIdent=GAS\r\n[T_User0]\r\nKind=1\r\nMin=0\r\nMax=50\r\n"
    "[System]\r\nKind=2\r\nAnzahl=4\r\n[Flow_User0]\r\nKind=1\r\n"
    "[Bemerkung]\r\nZeile 1=Pump station 7\r\n";

// The command in English on the file. No port is opened for a file: a port
// that does not exist does no harm.
CliRun OnFile(const TempDir& home, std::vector<std::string> args, const std::filesystem::path& on) {
    args.insert(args.begin(), {"--lang", "en", "--port", "/dev/parvion-no-such-port"});
    args.insert(args.end(), {"--file", on.string()});
    return RunCli(args, home.path());
}

TEST(CliEdit, FilesAreEditedByThePageRulesAndSavedWhole) {
    TempDir home;
    const auto file = home / "station.PGA";
    writeFileBytes(file, kGasFile);
    const auto run = [&](const std::vector<std::string>& args, const std::filesystem::path& on) {
        return OnFile(home, args, on);
    };

    // Bad input, and a circuit the file's one-circuit system does not have,
    // leave the file as it was, byte for byte.
    const std::tuple<std::vector<std::string>, int, const char*> bad[] = {
        {{"set", "T_User0", "Max", "warm"}, 2, "\"warm\" is not a number"},
        {{"set", "T_User1", "Max", "5"}, 2, "circuit 2 is not available"},
        {{"page", "circuit", "--circuit", "2"}, 1, "circuit 2 is not available"},
        // A remark line that would read back as the end of the remarks.
        {{"set", "Bemerkung", "Zeile 2", "@"}, 2, "reads as \"@\", the end of the remarks"},
        {{"set", "Bemerkung", "Zeile 1", " '@' "}, 2, "every line after it would be lost"},
    };
    for (const auto& [args, code, says] : bad) {
        EXPECT_TRUE(Says(run(args, file), code, says));
        EXPECT_EQ(readFileBytes(file), kGasFile);
    }

    CliRun r = run({"set", "T_User0", "Min", "80"}, file);
    EXPECT_TRUE(Shows(r, "  Value at 20 mA      80.0000    °C  [T_User0 Max]\n"));
    const ProfileFile saved(file);
    EXPECT_EQ(saved.readString("T_User0", "Max", ""), "80");  // pulled along
    // The file's remarks and comment stay.
    EXPECT_EQ(saved.readString("Bemerkung", "Zeile 1", ""), "Pump station 7");
    EXPECT_EQ(readFileBytes(file).rfind("; station 7\r\n", 0), 0u);

    r = run({"set", "Bemerkung", "Zeile 2", "north side"}, file);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Pump station 7  [Bemerkung Zeile 1]\nnorth side  [Bemerkung Zeile 2]\n");

    // The energy computer's file shows its own texts.
    const auto energy = home / "boiler.PEG";
    writeFileBytes(energy, "[Medium]\r\nIdent=STEAM\r\n[Med_User1]\r\nKind=6\r\n");
    EXPECT_TRUE(Shows(run({"page", "circuit", "--circuit", "2"}, energy),
                      "Medium: Saturation table  [Med_User1 Kind 0..6]"));

    // The other pages' settings: the core's tables; here a file reaches them.
    const auto two = home / "two.PGA";
    writeFileBytes(two, "[Medium]\r\nIdent=GAS\r\n[System]\r\nKind=0\r\n");
    EXPECT_TRUE(Says(run({"set", "FlowKorr_2", "Stelle0", "20"}, two), 0, "10 taken"));
    EXPECT_EQ(ProfileFile(two).readString("FlowKorr_2", "Stelle0", ""), "10");
    EXPECT_TRUE(Shows(run({"page", "relays"}, two), "[Alm_User1 Param 0..25]"));
}

TEST(CliEdit, BrokenFilesAreReportedAsWhenWritingThem) {
    TempDir home;
    const std::tuple<const char*, std::string, std::string> cases[] = {
        {"none.PGA", "[Medium]\r\nIdent=OIL\r\n", LibraryText(0, 1, 4)},
        {"broken.PGA", "[Medium]\r\nIdent=GAS\r\n[P_User0]\r\nMax=12,5,0\r\n", "[P_User0] Max"},
        {"old.PAR", "[Medium]\r\nIdent=GAS\r\n", ".PAR"},
    };
    for (const auto& [name, content, says] : cases) {
        const auto file = home / name;
        writeFileBytes(file, content);
        EXPECT_TRUE(Says(OnFile(home, {"set", "T_User0", "Max", "1"}, file), 1, says));
        EXPECT_EQ(readFileBytes(file), content);
    }
}

TEST(CliEdit, PathsThatCannotServeAreNamedOnceAndReadOnlyFilesStay) {
    TempDir home;
    namespace fs = std::filesystem;
    fs::permissions(home.path(), fs::perms::all);
    const auto file = home / "station.PGA";
    writeFileBytes(file, kGasFile);
    const auto set = [&](const fs::path& on) {
        return OnFile(home, {"set", "T_User0", "Max", "40"}, on);
    };
    const auto count = [](const std::string& text, const std::string& part) {
        std::size_t n = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    };
    EXPECT_TRUE(Says(set(home.path()), 1, home.path().string() + ": it is a folder, not a file"));
    EXPECT_TRUE(Says(set(home / "missing.PGA"), 1, "missing.PGA: no such file"));

    // A file marked read-only is not replaced, whoever runs the program
    // (root included, as on CI).
    fs::permissions(file, static_cast<fs::perms>(0444));
    EXPECT_TRUE(Says(set(file), 1, "Permission denied"));
    EXPECT_EQ(readFileBytes(file), kGasFile);
    SimOnPty sim;
    EXPECT_EQ(RunCli(With(sim.line(), {"read-params", file.string()}), home.path()).code, 1);
    EXPECT_EQ(readFileBytes(file), kGasFile);
    EXPECT_EQ(fs::status(file).permissions(), static_cast<fs::perms>(0444));

    // As a user (a home of its own: the outputs of the runs above belong to
    // root): a file that cannot be read is named once in the message; a
    // file in a folder the user cannot write stays as it was.
    fs::permissions(file, fs::perms::none);
    const auto other = home / "other";
    fs::create_directory(other);
    fs::permissions(other, fs::perms::all);
    const auto folder = home / "released";
    fs::create_directory(folder);
    const auto kept = folder / "station.PGA";
    writeFileBytes(kept, kGasFile);
    fs::permissions(kept, static_cast<fs::perms>(0644));
    fs::permissions(folder, static_cast<fs::perms>(0555));
    const int rc = runUnprivileged([&] {
        CliRun u = RunCli({"set", "T_User0", "Max", "40", "--file", file.string()}, other);
        if (u.code != 1) return 10 + u.code;
        if (count(u.err, file.string()) != 1) return 20;
        if (!Contains(u.err, "Permission denied")) return 21;
        u = RunCli({"--lang", "en", "set", "T_User0", "Max", "40", "--file", kept.string()}, other);
        if (u.code != 1) return 30 + u.code;
        if (!Contains(u.err, LibraryText(0, 1, 7))) return 40;
        return Contains(u.err, "Permission denied") ? 0 : 41;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(readFileBytes(kept), kGasFile);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace parvion::test
