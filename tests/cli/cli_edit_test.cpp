// page and set: the parameter pages as text and changes through their
// rules, on the simulator over a pseudo-terminal and on parameter files;
// bad input that writes nothing, a rejected write, a file that cannot be
// saved.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "cli_process.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/profile_file.h"
#include "support/unprivileged.h"

namespace parvion::test {
namespace {

template <class Rec>
Rec DeviceRecord(sim::Device& d, block::Place place) {
    Rec r{};
    EXPECT_TRUE(codec::decode(d.peek(place.address, place.count), r));
    return r;
}

bool HasLine(const std::string& out, const std::string& line) {
    for (const std::string& l : SplitLines(out)) {
        if (l == line) return true;
    }
    return false;
}

TEST(CliEdit, SetOnTheDeviceWritesBackThroughThePageRules) {
    TempDir home;
    SimOnPty sim;
    sim::Device& d = sim.device();
    const auto en = [&](std::vector<std::string> rest) {
        rest.insert(rest.begin(), {"--lang", "en"});
        return RunCli(With(sim.line(), rest), home.path());
    };

    CliRun r = en({"set", "T_User0", "Max", "120"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(DeviceRecord<T_UserRec>(d, block::T_User(0)).Max, 120);
    EXPECT_TRUE(HasLine(r.out, "  Value at 20 mA     120.0000    °C  [T_User0 Max]")) << r.out;

    // Clamped as the dialog clamps, with a note.
    r = en({"set", "T_User0", "Max", "2000"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "note: 2000 is above the upper limit; 1500 taken")) << r.err;
    EXPECT_EQ(DeviceRecord<T_UserRec>(d, block::T_User(0)).Max, 1500);

    r = en({"set", "Flow_User1", "Kind", "4"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(DeviceRecord<Flow_UserRec>(d, block::Flow_User(1)).Kind, 4);
    EXPECT_TRUE(Contains(r.out, "Flow: Volume flow 4-20 mA  [Flow_User1 Kind 0..5]")) << r.out;

    // The natural-gas input set counts for circuit 1 by default.
    ASSERT_EQ(en({"set", "Med_User0", "Kind", "6"}).code, 0);
    r = en({"set", "EG_User", "CO2", "2,5"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(DeviceRecord<EG_UserRec>(d, block::EG_User).CO2, 2.5f);
    EXPECT_EQ(DeviceRecord<Med_UserRec>(d, block::Med_User(0)).Ready, 0);
    EXPECT_EQ(DeviceRecord<Med_UserRec>(d, block::Med_User(1)).Ready, 1);

    // With °F chosen the page shows °F, while set still takes °C.
    ASSERT_EQ(en({"set", "Dis_User", "Einheiten", "1"}).code, 0);
    r = en({"set", "UserEinheiten0", "Kind", "1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(HasLine(r.out, "  ( ) 0 °C  (*) 1 °F  ( ) 2 K")) << r.out;
    r = en({"set", "T_User0", "Min", "100"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(DeviceRecord<T_UserRec>(d, block::T_User(0)).Min, 100);
    r = en({"page", "circuit"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(HasLine(r.out, "  Value at 4 mA      212.0000    °F  [T_User0 Min]")) << r.out;
    EXPECT_TRUE(HasLine(r.out, "  CO2 content          2.5000    mol%  [EG_User CO2]")) << r.out;

    r = en({"page", "circuit", "--circuit", "2"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "[Flow_User1 Max]")) << r.out;
    EXPECT_EQ(d.writesRejected(), 0u);
}

TEST(CliEdit, BadInputOnTheDeviceWritesNothing) {
    TempDir home;
    sim::DeviceOptions o;
    o.ausbaustufe = 0xC0;  // no circuit 2
    SimOnPty sim(o);
    const auto en = [&](std::vector<std::string> rest) {
        rest.insert(rest.begin(), {"--lang", "en"});
        return RunCli(With(sim.line(), rest), home.path());
    };
    struct Case {
        std::vector<std::string> args;
        int code;
        std::vector<std::string> says;
    };
    const std::vector<Case> cases = {
        {{"set", "T_User0", "Max", "12x"}, 2, {"\"12x\" is not a number"}},
        {{"set", "T_User0", "Konst", "5"},
         2,
         {"\"T_User0 Konst\" is not a setting", "valid here:\n  T_User0 Kind\n  T_User0 Min\n"}},
        {{"set", "Imp_User0", "Kind", "5"},
         2,
         {"no choice 5; the choices are:\n  0 Off\n  1 Standard volume\n  2 Mass\n"}},
        {{"set", "Nonsense", "Kind", "5"}, 2, {"no section \"Nonsense\"", "  Dis_User\n"}},
        {{"set", "Bemerkung", "Zeile 1", "x"}, 2, {"only in parameter files", "--file"}},
        {{"page", "remarks"}, 2, {"only in parameter files"}},
        {{"page", "everything"}, 2, {"circuit, units or remarks"}},
        {{"set", "T_User1", "Max", "5"}, 1, {"circuit 2 is not available"}},
        {{"page", "circuit", "--circuit", "2"}, 1, {"circuit 2 is not available"}},
        {{"set", "--circuit", "2", "EG_User", "Ho", "11"}, 1, {"circuit 2 is not available"}},
        {{"set", "T_User0", "Max"}, 2, {"set takes 3 argument(s)"}},
        {{"identify", "--file", "x.PGA"}, 2, {"--file does not apply to identify"}},
    };
    for (const Case& c : cases) {
        const CliRun r = en(c.args);
        EXPECT_EQ(r.code, c.code) << c.args[0] << " " << c.args[1];
        for (const std::string& part : c.says) EXPECT_TRUE(Contains(r.err, part)) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(sim.device().writesAccepted(), 0u);
    EXPECT_EQ(sim.device().framesServed(cmd::Write), 0u);
}

TEST(CliEdit, AChangeTheDeviceDoesNotTakeIsAFailure) {
    TempDir home;
    SimOnPty sim;
    sim.device().injectFault(sim::Fault::RejectWrite, 1000);  // reads pass, writes are refused
    const CliRun r = RunCli(With(sim.line(), {"set", "T_User0", "Max", "50"}), home.path());
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Contains(r.err, "1 transfer(s) of the change failed")) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(DeviceRecord<T_UserRec>(sim.device(), block::T_User(0)).Max, 50);
}

const char* const kGasFile =
    "; station 7\r\n[Medium]\r\nIdent=GAS\r\n[T_User0]\r\nKind=1\r\nMin=0\r\nMax=50\r\n"
    "[System]\r\nKind=2\r\nAnzahl=4\r\n[Flow_User0]\r\nKind=1\r\n"
    "[Bemerkung]\r\nZeile 1=Pump station 7\r\n";

TEST(CliEdit, FilesAreEditedByThePageRulesAndSavedWhole) {
    TempDir home;
    const auto file = home / "station.PGA";
    writeFileBytes(file, kGasFile);
    // No port is opened for a file: a port that does not exist does no harm.
    const auto run = [&](std::vector<std::string> rest) {
        rest.insert(rest.begin(), {"--lang", "en", "--port", "/dev/parvion-no-such-port"});
        rest.insert(rest.end(), {"--file", file.string()});
        return RunCli(rest, home.path());
    };

    CliRun r = run({"set", "T_User0", "Min", "80"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(HasLine(r.out, "  Value at 20 mA      80.0000    °C  [T_User0 Max]")) << r.out;
    ProfileFile saved(file);
    EXPECT_EQ(saved.readString("T_User0", "Min", ""), "80");
    EXPECT_EQ(saved.readString("T_User0", "Max", ""), "80");  // pulled along
    // The file's own system definition, its remarks and comment stay.
    EXPECT_EQ(saved.readString("System", "Kind", ""), "2");
    EXPECT_EQ(saved.readString("Bemerkung", "Zeile 1", ""), "Pump station 7");
    EXPECT_EQ(readFileBytes(file).rfind("; station 7\r\n", 0), 0u);

    // Desdp of circuit 1 with system kind 2 sets the further transmitters.
    r = run({"set", "Des_User0", "Desdp", "30"});
    ASSERT_EQ(r.code, 0) << r.err;
    saved = ProfileFile(file);
    EXPECT_EQ(saved.readString("Des_User0", "Desdp4", ""), "30");

    r = run({"set", "Bemerkung", "Zeile 2", "north side"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Pump station 7  [Bemerkung Zeile 1]\nnorth side  [Bemerkung Zeile 2]\n");
    r = run({"page", "remarks"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "north side  [Bemerkung Zeile 2]"));

    // Bad input leaves the file as it was, byte for byte.
    const std::string before = readFileBytes(file);
    struct Bad {
        std::vector<std::string> args;
        std::string says;
    };
    for (const Bad& b : std::vector<Bad>{
             {{"set", "T_User0", "Max", "warm"}, "\"warm\" is not a number"},
             {{"set", "T_User0", "Kons", "1"}, "  T_User0 Max\n"},
             {{"set", "Med_User0", "Kind", "9"}, "  8 Gas with compressibility table\n"},
             {{"set", "Bemerkung", "Zeile 4", "x"}, "  Bemerkung Zeile 3\n"}}) {
        r = run(b.args);
        EXPECT_EQ(r.code, 2) << b.says;
        EXPECT_TRUE(Contains(r.err, b.says)) << r.err;
        EXPECT_EQ(readFileBytes(file), before);
    }
    EXPECT_EQ(run({"page", "circuit", "--circuit", "2"}).code, 1);  // one-circuit system

    // The energy computer's file shows its own texts.
    const auto energy = home / "boiler.PEG";
    writeFileBytes(energy, "[Medium]\r\nIdent=STEAM\r\n[Med_User1]\r\nKind=6\r\n");
    r = RunCli({"--lang", "en", "page", "circuit", "--circuit", "2", "--file", energy.string()},
               home.path());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "Medium: Saturation table  [Med_User1 Kind 0..6]")) << r.out;
}

TEST(CliEdit, BrokenFilesAreReportedAsWhenWritingThem) {
    TempDir home;
    struct Case {
        const char* name;
        std::string content;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"none.PGA", "[Medium]\r\nIdent=OIL\r\n", LibraryText(0, 1, 4)},
        {"broken.PGA", "[Medium]\r\nIdent=GAS\r\n[P_User0]\r\nMax=12,5,0\r\n", "[P_User0] Max"},
        {"old.PAR", "[Medium]\r\nIdent=GAS\r\n", ".PAR"},
    };
    for (const Case& c : cases) {
        const auto file = home / c.name;
        writeFileBytes(file, c.content);
        const CliRun r = RunCli(
            {"--lang", "en", "set", "T_User0", "Max", "1", "--file", file.string()}, home.path());
        EXPECT_EQ(r.code, 1) << c.name;
        EXPECT_TRUE(Contains(r.err, c.says)) << r.err;
        EXPECT_EQ(readFileBytes(file), c.content);
    }
}

TEST(CliEdit, AFileThatCannotBeSavedStaysAsItWas) {
    TempDir home;
    namespace fs = std::filesystem;
    // The unprivileged run writes its output into home; the file lies in a
    // folder it cannot write.
    fs::permissions(home.path(), fs::perms::all);
    const auto folder = home / "released";
    fs::create_directory(folder);
    const auto file = folder / "station.PGA";
    writeFileBytes(file, kGasFile);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    const int rc = runUnprivileged([&] {
        const CliRun r = RunCli(
            {"--lang", "en", "set", "T_User0", "Max", "40", "--file", file.string()}, home.path());
        if (r.code != 1) return 10 + r.code;
        if (!Contains(r.err, LibraryText(0, 1, 7))) return 20;
        if (!Contains(r.err, "Permission denied")) return 21;
        return 0;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(readFileBytes(file), kGasFile);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace parvion::test
