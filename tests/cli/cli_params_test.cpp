// Parameter sets between device and file: read, diff and write, the gas
// computer's Ready flags, files of the wrong variant or with broken values,
// and a read that fails part-way. page and set: the parameter pages as text
// and changes through their rules, on the simulator and on parameter files;
// bad input that writes nothing, a rejected write, a file that cannot be
// saved; and every setting of the pages changes exactly the fields it names.
// table: the tables written and read, checked in the simulator's memory.

#include <gtest/gtest.h>

#include <set>

#include "cli_process.h"
#include "core/link/encoding.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/parameter_diff.h"
#include "core/model/parameter_image.h"
#include "core/model/profile_file.h"
#include "core/model/value_format.h"
#include "core/tables/table_file.h"
#include "sim/lib/memory_map.h"
#include "support/device_records.h"
#include "support/unprivileged.h"

namespace parvion::test {
namespace {

namespace fs = std::filesystem;

// The Ready flags of both circuits on the device.
std::vector<std::uint8_t> DeviceReady(sim::Device& d) {
    return {d.peek(static_cast<std::uint16_t>(block::Med_User(0).address + 2), 1)[0],
            d.peek(static_cast<std::uint16_t>(block::Med_User(1).address + 2), 1)[0]};
}

void SetDeviceReady(sim::Device& d, std::uint8_t ready) {
    for (int c = 0; c < 2; ++c) {
        const std::uint8_t b[1] = {ready};
        d.poke(static_cast<std::uint16_t>(block::Med_User(c).address + 2), b);
    }
}

void Edit(const fs::path& file, const char* section, const char* key, const std::string& value) {
    ProfileFile f(file);
    f.writeString(section, key, value);
    ASSERT_TRUE(f.save());
}

TEST(CliParams, ReadDiffAndWriteKeepTheGasReadyFlagsAsTheMainWindowDoes) {
    CliRig r;
    const auto file = r / "station.PGA";
    const auto run = [&](const char* command, const fs::path& on) {
        return r.run({command, on.string()});
    };

    CliRun got = run("read-params", r / "station");
    ASSERT_EQ(got.code, 0) << got.err;
    EXPECT_EQ(got.out, file.string() + "\n");  // the variant's extension was added
    got = run("diff", file);
    EXPECT_TRUE(Says(got, 0, "Unterschiede: 0"));
    EXPECT_EQ(got.out, "");

    Edit(file, "T_User0", "Max", "333.5");
    Edit(file, "EG_User", "Ho", "11.25");
    got = run("diff", file);
    ASSERT_EQ(got.code, 0) << got.err;
    // Grouped under the circuit page, named as the page names them, values
    // with their units as the page shows them.
    EXPECT_EQ(got.out.rfind("Kreis 1:\nTemperatur — Wert bei 20 mA [T_User0] Max: Gerät ", 0), 0u)
        << got.out;
    EXPECT_TRUE(Has(got.out, ", Datei 333.5000 °C\n[EG_User] Ho: Gerät ")) << got.out;
    EXPECT_TRUE(Has(got.err, "Unterschiede: 2")) << got.err;

    // The changed set is written (a changed natural-gas input set clears
    // Ready: Connection.TheTransferToTheDeviceKeepsReadyOnlyForTheSameGas).
    ASSERT_EQ(run("write-params", file).code, 0);
    EXPECT_EQ(deviceRecord<T_UserRec>(r.device, block::T_User(0)).Max, 333.5f);

    // The same input set again: the device keeps its Ready flags, whatever
    // the file says (0 here), and that is all that differs afterwards.
    SetDeviceReady(r.device, 1);
    Edit(file, "Med_User0", "Ready", "0");
    Edit(file, "Med_User1", "Ready", "0");
    ASSERT_EQ(run("write-params", file).code, 0);
    EXPECT_EQ(DeviceReady(r.device), (std::vector<std::uint8_t>{1, 1}));
    got = run("diff", file);
    ASSERT_EQ(got.code, 0) << got.err;
    EXPECT_EQ(got.out,
              "Kreis 1:\n[Med_User0] Ready: Gerät 1, Datei 0\n"
              "Kreis 2:\n[Med_User1] Ready: Gerät 1, Datei 0\n");
}

TEST(CliParams, AReadThatFailsPartWayLeavesTheOldFileAndRemarksSurvive) {
    CliRig r;
    const auto file = r / "old.PGA";
    const std::string old =
        "[Medium]\r\nIdent=GAS\r\n[T_User0]\r\nMax=1\r\n"
        "[Bemerkung]\r\nZeile 1=Pump station 7\r\nZeile 2=north side\r\n";
    writeFileBytes(file, old);
    const auto read = [&](const fs::path& on) { return r.run({"read-params", on.string()}); };

    // The three frames of the connection pass; the first parameter block
    // then gets no reply at all.
    r.device.injectFault(sim::Fault::None, 3);
    r.device.injectFault(sim::Fault::NoReply, 4);
    EXPECT_TRUE(Says(read(file), 1, "failed"));
    EXPECT_EQ(readFileBytes(file), old);

    // The medium block of circuit 1 (the sixth block) answered with the
    // echo of another block: the transport takes it, the command refuses
    // it, and the read is not complete.
    r.device.injectFault(sim::Fault::None, 3 + 5);
    r.device.injectFault(sim::Fault::WrongEcho, 1);
    EXPECT_TRUE(Says(read(file), 1, "1 parameter block read(s) failed"));
    EXPECT_EQ(readFileBytes(file), old);

    ASSERT_EQ(read(file).code, 0);
    const ProfileFile saved(file);
    EXPECT_EQ(saved.readString("Bemerkung", "Zeile 1", ""), "Pump station 7");
    EXPECT_EQ(saved.readString("Bemerkung", "Zeile 2", ""), "north side");
    EXPECT_EQ(saved.readString("T_User0", "Max", ""),
              FormatFileFloat(deviceRecord<T_UserRec>(r.device, block::T_User(0)).Max));

    // A parameter file of the other variant is not overwritten.
    const auto energy = r / "energy.PGA";
    const std::string energyText = "[Medium]\r\nIdent=STEAM\r\n";
    writeFileBytes(energy, energyText);
    EXPECT_EQ(read(energy).code, 1);
    EXPECT_EQ(readFileBytes(energy), energyText);
}

TEST(CliParams, WriteParamsNamesMissingKeysAndNeedsTheDevicesOwnRecordsFirst) {
    CliRig r;
    const auto sparse = r / "sparse.PGA";
    writeFileBytes(sparse, "[Medium]\r\nIdent=GAS\r\n[T_User0]\r\nMax=77\r\n");
    // The defaults are said, then written.
    const CliRun run = r.en({"write-params", sparse.string()});
    EXPECT_TRUE(Says(run, 0, "warning: " + sparse.string() + ": "));
    EXPECT_TRUE(Says(run, 0,
                     "entries are missing and take their default values: "
                     "T_User0 Dummy1, T_User0 Dummy2, T_User0 Kind"));
    EXPECT_EQ(deviceRecord<T_UserRec>(r.device, block::T_User(0)).Max, 77.0f);

    // The gas input set of the device cannot be read: nothing is written.
    const auto writes = r.device.writesAccepted();
    r.device.injectFault(sim::Fault::None, 3);  // identity, access, System: connected
    r.device.injectFault(sim::Fault::BadChecksum, 4);
    EXPECT_TRUE(Says(r.en({"write-params", sparse.string()}), 1,
                     "the gas input set of the device cannot be read; nothing was written"));
    EXPECT_EQ(r.device.writesAccepted(), writes);
}

TEST(CliParams, FilesOfTheWrongVariantOrWithBrokenValuesNeverReachTheDevice) {
    CliRig r(SimDevice(1));  // energy computer
    // A value no device float holds (-INF) never goes out, though the file reads.
    const struct {
        const char* name;
        const char* content;
        std::string says;
        std::vector<std::string> commands;
    } files[] = {
        {"gas.PGA",
         "[Medium]\r\nIdent=GAS\r\n[T_User0]\r\nMax=1\r\n",
         LibraryText(1, 1, 4),
         {"write-params", "diff"}},
        {"broken.PEG",
         "[Medium]\r\nIdent=STEAM\r\n[P_User0]\r\nMax=12,5,0\r\n",
         "[P_User0] Max",
         {"write-params"}},
        {"infinite.PEG",
         "[Medium]\r\nIdent=STEAM\r\n[T_User1]\r\nMin=-INF\r\n",
         "[T_User1] Min",
         {"write-params"}},
    };
    for (const auto& f : files) {
        writeFileBytes(r / f.name, f.content);
        for (const std::string& command : f.commands) {
            EXPECT_TRUE(Says(r.en({command, (r / f.name).string()}), 1, f.says)) << command;
        }
    }
    EXPECT_EQ(r.device.writesAccepted(), 0u);
    EXPECT_EQ(r.device.writesRejected(), 0u);
}

TEST(CliEdit, SetOnTheDeviceWritesBackThroughThePageRules) {
    CliRig r;
    sim::Device& d = r.device;
    // °F on the device's pages (user units on, temperature unit 1): the
    // page shows °F, set still takes °C and clamps as the dialog clamps.
    d.poke(block::Dis_User.address, std::vector<std::uint8_t>{0, 1});
    d.poke(block::UserEinheiten(0).address, std::vector<std::uint8_t>{1});
    CliRun run = r.en({"set", "T_User0", "Max", "2000"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "parvion2-cli: note: 2000 is above the upper limit; 1500 taken\n");
    EXPECT_EQ(deviceRecord<T_UserRec>(d, block::T_User(0)).Max, 1500);
    EXPECT_TRUE(Has(run.out, "  Value at 20 mA       2.7320E+3 °F  [T_User0 Max]\n")) << run.out;

    // The page of circuit 2 is read before its choice, and shown after it.
    EXPECT_TRUE(Shows(r.en({"set", "Flow_User1", "Kind", "4"}),
                      "Flow: Volume flow 4-20 mA  [Flow_User1 Kind 0..5]\n"));
    EXPECT_TRUE(Shows(r.en({"page", "circuit", "--circuit", "2"}), "[Flow_User1 Max]"));
    EXPECT_EQ(d.writesRejected(), 0u);

    // A change the device does not take is a failure.
    d.injectFault(sim::Fault::RejectWrite, 1000);  // reads pass, writes are refused
    run = r.en({"set", "T_User0", "Max", "50"});
    EXPECT_TRUE(Says(run, 1, "1 transfer(s) of the change failed"));
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(deviceRecord<T_UserRec>(d, block::T_User(0)).Max, 1500);
}

// The refusals themselves are the page rules' (the core's tables); here each
// kind of refusal reaches the error output with code 2, the valid settings
// or choices listed, and nothing is written to a device without circuit 2.
TEST(CliEdit, BadInputWritesNothing) {
    CliRig r(SimDevice(0, 0xC0));
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
        const CliRun run = r.en(args);
        EXPECT_TRUE(Says(run, 2, says));
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(r.device.framesServed(cmd::Write), 0u);
}

// The system switch is the core's (SystemDefinition) and reaches the device
// through set (CliTrust); the notes of a setting reach the error output as
// in SetOnTheDevice. Here: reading the other pages writes nothing.
TEST(CliEdit, PageReadsWriteNothing) {
    CliRig r;
    for (const auto& [page, shows] : {std::pair{"trend", "[Trend_User Time 0..11]"},
                                      {"display", "Compact display  [Dis_User Kind 0..1]\n"},
                                      {"outputs", "Analog output 4: "},
                                      {"relays", "[Alm_User1 Param 0..25]"}}) {
        EXPECT_TRUE(Shows(r.en({"page", page}), shows));
    }
    EXPECT_EQ(r.device.framesServed(cmd::Write), 0u);
}

const char* const kGasFile =
    "; station 7\r\n[Medium]\r\nIdent=GAS\r\n[T_User0]\r\nKind=1\r\nMin=0\r\nMax=50\r\n"
    "[System]\r\nKind=2\r\nAnzahl=4\r\n[Flow_User0]\r\nKind=1\r\n"
    "[Bemerkung]\r\nZeile 1=Pump station 7\r\n";

// The command in English on the file. No port is opened for a file: a port
// that does not exist does no harm.
CliRun OnFile(const TempDir& home, std::vector<std::string> args, const fs::path& on) {
    args.insert(args.begin(), {"--lang", "en", "--port", "/dev/parvion-no-such-port"});
    args.insert(args.end(), {"--file", on.string()});
    return RunCli(args, home.path());
}

TEST(CliEdit, FilesAreEditedByThePageRulesAndSavedWhole) {
    TempDir home;
    const auto file = home / "station.PGA";
    writeFileBytes(file, kGasFile);
    const auto run = [&](const std::vector<std::string>& args, const fs::path& on) {
        return OnFile(home, args, on);
    };

    // A circuit the file's one-circuit system does not have, and a remark
    // that cannot be saved, leave the file as it was, byte for byte (the
    // other refusals: CliEdit.BadInputWritesNothing).
    const std::tuple<std::vector<std::string>, int, const char*> bad[] = {
        {{"set", "T_User1", "Max", "5"}, 2, "circuit 2 is not available"},
        {{"page", "circuit", "--circuit", "2"}, 1, "circuit 2 is not available"},
        // A remark line that would read back as the end of the remarks (the
        // forms that do: ParameterFileSave.NoRemarkLineIsSavedAsTheEndMarker).
        {{"set", "Bemerkung", "Zeile 2", "@"}, 2, "reads as \"@\", the end of the remarks"},
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
    EXPECT_TRUE(Says(run({"set", "T_User0", "Max", "2000"}, file), 0, "1500 taken"));  // notes

    r = run({"set", "Bemerkung", "Zeile 2", "north side"}, file);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Pump station 7  [Bemerkung Zeile 1]\nnorth side  [Bemerkung Zeile 2]\n");

    // The energy computer's file shows its own texts.
    const auto energy = home / "boiler.PEG";
    writeFileBytes(energy, "[Medium]\r\nIdent=STEAM\r\n[Med_User1]\r\nKind=6\r\n");
    EXPECT_TRUE(Shows(run({"page", "circuit", "--circuit", "2"}, energy),
                      "Medium: Saturation table  [Med_User1 Kind 0..6]"));
    // The other pages' settings and a clamped value's note:
    // PageCommands.SystemTrendAndCorrectionSettings, and on the device
    // CliEdit.SetOnTheDeviceWritesBackThroughThePageRules.
}

// An old .PAR file cannot be saved in its own format. The other kinds of
// broken file: FilesOfTheWrongVariantOrWithBrokenValuesNeverReachTheDevice,
// and through the same loading as set's, CliPrint.FilesAndPathsThatCannotServe.
TEST(CliEdit, AnOldParFileIsRefusedAndStays) {
    TempDir home;
    const auto file = home / "old.PAR";
    const std::string content = "[Medium]\r\nIdent=GAS\r\n";
    writeFileBytes(file, content);
    EXPECT_TRUE(Says(OnFile(home, {"set", "T_User0", "Max", "1"}, file), 1, ".PAR"));
    EXPECT_EQ(readFileBytes(file), content);
}

TEST(CliEdit, PathsThatCannotServeAreNamedOnceAndReadOnlyFilesStay) {
    TempDir home;
    fs::permissions(home.path(), fs::perms::all);
    const auto file = home / "station.PGA";
    writeFileBytes(file, kGasFile);
    const auto set = [&](const fs::path& on) {
        return OnFile(home, {"set", "T_User0", "Max", "40"}, on);
    };
    // A folder or a missing file instead: CliPrint.FilesAndPathsThatCannotServe.
    // A file marked read-only is not replaced by set or read-params, whoever
    // runs the program (root included, as on CI); a file in a folder the user
    // cannot write: ProfileFileSave.FailureLeavesTheOldFileUntouched.
    fs::permissions(file, static_cast<fs::perms>(0444));
    EXPECT_TRUE(Says(set(file), 1, "Permission denied"));
    SimPty sim;
    EXPECT_TRUE(
        Says(RunCli({"--port", sim.path(), "--baud", "115200", "read-params", file.string()},
                    home.path()),
             1, "Permission denied"));
    EXPECT_EQ(readFileBytes(file), kGasFile);
    EXPECT_EQ(fs::status(file).permissions(), static_cast<fs::perms>(0444));

    // As a user (a home of its own: the outputs of the runs above belong to
    // root): a file that cannot be read is named once in the message.
    fs::permissions(file, fs::perms::none);
    const auto other = home / "other";
    fs::create_directory(other);
    fs::permissions(other, fs::perms::all);
    const int rc = runUnprivileged([&] {
        CliRun u = RunCli({"set", "T_User0", "Max", "40", "--file", file.string()}, other);
        if (u.code != 1) return 10 + u.code;
        const auto named = u.err.find(file.string());  // once: the first is the last
        if (named == std::string::npos || named != u.err.rfind(file.string())) return 20;
        return Has(u.err, "Permission denied") ? 0 : 21;
    });
    EXPECT_EQ(rc, 0);
}

using Bytes = std::vector<std::uint8_t>;

// Every parameter block, in the order of the kinds, with its place.
template <class Fn>
void EachBlock(Fn fn) {
    for (int k = 0; k < kBlockKinds; ++k) {
        const auto kind = static_cast<BlockKind>(k);
        for (int i = 0; i < BlockCount(kind); ++i) fn(BlockId{kind, i}, block::Of({kind, i}));
    }
}

// Every parameter block of the device memory, decoded.
ParameterImage DeviceImage(const sim::Device& d) {
    ParameterImage image;
    EachBlock([&](BlockId id, block::Place p) {
        EXPECT_TRUE(codec::DecodeBlock(d.peek(p.address, p.count), image, id));
    });
    return image;
}

// What differs between two device memories: "Section Key" of every file
// field, and "Section <bytes>" for a block whose bytes differ where no file
// field does (the unit table's copy, System's own bytes, Betrieb).
std::set<std::string> Changes(const sim::Device& d, const std::vector<Bytes>& before,
                              const ParameterImage& was) {
    std::set<std::string> out;
    const ParameterImage now = DeviceImage(d);
    for (const ParameterDifference& diff : DiffParameterImages(was, now, medium::Gas, false)) {
        out.insert(diff.section + " " + diff.key);
    }
    std::size_t n = 0;
    EachBlock([&](BlockId id, block::Place p) {
        if (d.peek(p.address, p.count) == before[n++]) return;
        static constexpr const char* kNames[] = {
            "T_User",        "P_User",   "Flow_User", "Des_User", "Med_User",
            "Bez_User",      "Imp_User", "Alm_User",  "FlowKorr", "Aus_User",
            "UserEinheiten", "Vorgaben", "EG_User",   "Dis_User", "Trend_User",
            "Grenzwerte",    "System",   "Display",   "Betrieb"};
        ParameterImage one = was;
        codec::DecodeBlock(d.peek(p.address, p.count), one, id);
        if (DiffParameterImages(was, one, medium::Gas, false).empty()) {
            out.insert(kNames[static_cast<int>(id.kind)] + std::to_string(id.index) + " <bytes>");
        }
    });
    return out;
}

// Values of their own in every block: the simulator's process with every
// reserved field and every float it leaves at 0 filled in, so that a record
// written from defaults or zeros shows.
void FillDistinct(sim::Device& d) {
    ParameterImage im = DeviceImage(d);
    float v = 3.25f;
    const auto fill = [&v](std::initializer_list<float*> fs) {
        for (float* f : fs) {
            if (*f == 0) *f = v += 0.5f;
        }
    };
    for (std::size_t c = 0; c < 2; ++c) {
        T_UserRec& t = im.T_User[c];
        t.Dummy1 = 0x11;
        t.Dummy2 = 0x12;
        fill({&t.Dummy4, &t.Diff, &t.Toff, &t.Dummy3});
        P_UserRec& p = im.P_User[c];
        p.Dummy1 = 0x21;
        p.Dummy2 = 0x22;
        fill({&p.Min, &p.Err, &p.Dummy3, &p.Dummy4});
        fill({&im.Flow_User[c].Min, &im.Flow_User[c].TKK});
        Des_UserRec& des = im.Des_User[c];
        fill({&des.Desdp2, &des.Desdp3, &des.Desdp4});
        Med_UserRec& m = im.Med_User[c];
        m.Dummy1 = 0x31;
        fill({&m.BT, &m.Bp, &m.BRho});
        fill({&im.Bez_User[c].T0, &im.Bez_User[c].h0});
        Imp_UserRec& i = im.Imp_User[c];
        i.Dummy1 = 0x41;
        i.Dummy2 = 0x42;
        i.Dummy3 = 0x43;
        Alm_UserRec& a = im.Alm_User[c];
        a.Dummy1 = 0x51;
        a.Dummy2 = 0x52;
        fill({&a.Min, &a.Dummy3});
    }
    for (Aus_UserRec& a : im.Aus_User) {
        a.Dummy1 = 0x61;
        a.Dummy2 = 0x62;
    }
    im.Dis_User.CalcError = 1;
    im.Trend_User.Dummy1 = 0x71;
    im.Trend_User.Dummy2 = 0x72;
    im.System.Lang = 1;
    fill({&im.System.Dummy6});
    for (float& p : im.Vorgaben) fill({&p});
    im.Display = {0x7F, 0x3F, 0x21, 0x05};
    im.Betrieb.Bytes[3] = 0x44;
    EachBlock([&](BlockId id, block::Place p) { d.poke(p.address, codec::EncodeBlock(im, id)); });
}

// Nothing goes to a device that the user did not ask for: every setting of
// the pages, applied to a freshly connected device whose every parameter
// block holds values of its own, changes exactly the fields the setting
// names (and those its page rules change with it) — nothing else, in any
// record.
TEST(CliTrust, EachSettingChangesExactlyItsFieldsOnAFreshlyConnectedDevice) {
    struct Case {
        std::vector<std::string> args;
        std::set<std::string> changes;
    };
    const Case cases[] = {
        // "Same as the other circuit": the other record gets Eq and keeps
        // everything else it has.
        {{"set", "T_User1", "Kind", "3"}, {"T_User0 Eq", "T_User1 Eq"}},
        {{"set", "P_User0", "Kind", "3"}, {"P_User0 Eq", "P_User1 Eq"}},
        {{"set", "T_User0", "Max", "120"}, {"T_User0 Max"}},
        {{"set", "T_User0", "Min", "100"}, {"T_User0 Min", "T_User0 Max"}},
        {{"set", "P_User1", "Max", "1500"}, {"P_User1 Max"}},
        {{"set", "Flow_User0", "Kind", "1"}, {"Flow_User0 Kind"}},
        {{"set", "Des_User1", "DesQN", "1234"}, {"Des_User1 DesQN"}},
        {{"set", "Med_User0", "Kind", "6"}, {"Med_User0 Kind"}},
        {{"set", "Imp_User0", "Kind", "2"}, {"Imp_User0 Kind"}},
        {{"set", "Alm_User1", "Kind", "2"}, {"Alm_User1 Kind"}},
        {{"set", "Alm_User0", "Max", "500"}, {"Alm_User0 Max"}},
        {{"set", "Aus_User2", "Min", "1"}, {"Aus_User2 Min"}},
        {{"set", "Dis_User", "Kind", "1"}, {"Dis_User Kind"}},
        {{"set", "Display", "Enable2", "17"}, {"Display Enable2"}},
        {{"set", "System", "Faktor", "0.95"}, {"System Faktor"}},
        {{"set", "System", "Kind", "0"}, {"System Kind"}},
        // The switch to one circuit: circuit 2's inputs and what named
        // circuit 2 move to circuit 1 or go off, on the device too.
        {{"set", "System", "Kind", "2"},
         {"System Kind", "T_User1 Kind", "P_User1 Kind", "Flow_User0 Kind", "Flow_User1 Kind",
          "Imp_User1 Kind", "Des_User0 Desdp2", "Des_User0 Desdp3", "Des_User0 Desdp4",
          "Aus_User2 Param", "Aus_User3 Param"}},
        {{"set", "Grenzwerte", "Schema", "0"}, {"Grenzwerte U_Max", "Grenzwerte U_Min"}},
        {{"set", "Vorgaben", "Vorgabe3", "250"}, {"Vorgaben Vorgabe3"}},
        {{"set", "Trend_User", "Time", "3"}, {"Trend_User Time"}},
        {{"set", "FlowKorr_2", "Stelle3", "2"}, {"FlowKorr_2 Stelle3"}},
    };
    CliRig r;
    FillDistinct(r.device);
    std::vector<Bytes> filled;
    EachBlock(
        [&](BlockId, block::Place p) { filled.push_back(r.device.peek(p.address, p.count)); });
    const ParameterImage was = DeviceImage(r.device);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1] + " " + c.args[2] + " " + c.args[3]);
        // Each setting on the filled device, connected anew.
        std::size_t n = 0;
        EachBlock([&](BlockId, block::Place p) { r.device.poke(p.address, filled[n++]); });
        const CliRun run = r.en(c.args);
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(Changes(r.device, filled, was), c.changes);
    }
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
    CliRig gas;
    CliRig energy(SimDevice(1));
    struct Case {
        CliRig* rig;
        const char* kind;
        fs::path file;
        std::uint16_t first;  // device address of the first value
    };
    const Case cases[] = {
        {&gas, "compressibility", FixturePath("tables", "erdgas.KTB"),
         sim::addr::PropertyTable[1].values},
        {&energy, "density", FixturePath("tables", "axes_only.DTB"),
         sim::addr::PropertyTable[0].values},
        {&energy, "saturation", FixturePath("tables", "ten_rows.STB"), sim::addr::SaturationTable},
    };
    for (const Case& c : cases) {
        const std::string ext = c.file.extension().string();
        // Two of the files lack cells: sent as 0 only when asked for, and named.
        const CliRun w = c.rig->en({"table", "write", "--allow-missing", c.file.string()});
        ASSERT_EQ(w.code, 0) << w.err;
        EXPECT_EQ(Has(w.err, "warning: " + c.file.string() + ": The table file does not hold"),
                  ext != ".KTB")
            << w.err;
        EXPECT_EQ(wire::GetFloat(c.rig->device.peek(c.first, 4), 0), ext == ".KTB"   ? 0.99F
                                                                     : ext == ".STB" ? 283.0F
                                                                                     : 0.0F);

        const fs::path back = *c.rig / (std::string("back-") + c.kind);
        const CliRun r = c.rig->run({"table", "read", "--kind", c.kind, back.string()});
        ASSERT_EQ(r.code, 0) << r.err;
        const fs::path written = fs::path(SplitLines(r.out).at(0));
        EXPECT_EQ(written.extension(), ext) << "the kind's extension is added";
        if (ext == ".STB") {
            tables::SaturationGrid g;
            ASSERT_TRUE(tables::LoadSaturationFile(written, g).ok());
            EXPECT_EQ(g.at(1, 10), "1000.5");
            EXPECT_EQ(g.at(0, 11), "0");
        } else {
            tables::PropertyGrid g;
            ASSERT_TRUE(tables::LoadPropertyFile(written, g).ok());
            EXPECT_EQ(g.at(0, 18), ext == ".KTB" ? "338" : "543");
        }
    }
}

TEST(CliTable, RefusalsSendNothing) {
    CliRig energy(SimDevice(1));
    const fs::path home = energy.home.path();
    fs::copy_file(FixturePath("tables", "erdgas.KTB"), home / "wrong-variant.KTB");
    const fs::path lower = home / "lower.dtb";
    fs::copy_file(FixturePath("tables", "axes_only.DTB"), lower);
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
        {{"table", "write", FixturePath("tables", "hand_edited.ETB").string()},
         1,
         "\"abc\" ([Werte] 0 - 1)"},
        {{"table", "write", file("big.ETB", "[Werte]\r\n0 - 0=-1e300\r\n")},
         1,
         "beyond the range of the device's numbers: \"-1e300\" ([Werte] 0 - 0)"},
        // Cells the file does not hold are named; nothing is sent without
        // --allow-missing.
        {{"table", "write", FixturePath("tables", "ten_rows.STB").string()},
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
        {{"table", "write", FixturePath("tables", "parameters.KTB").string()},
         1,
         "not a table file"},
        {{"table", "write", (home / "missing.STB").string()}, 1, "could not be read"},
        {{"table", "write", (home / "wrong-variant.KTB").string()}, 1, "no compressibility"},
        {{"table", "write", (home / "x.PGA").string()}, 2, ".KTB, .DTB, .ETB or .STB"},
        {{"table", "read", (home / "x.DTB").string()}, 2, "--kind"},
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
        EXPECT_TRUE(Says(energy.en(c.args), c.code, c.message))
            << c.args[1] << " " << c.args.back();
        EXPECT_EQ(energy.device.writesAccepted(), writes);
    }
    EXPECT_EQ(energy.device.peek(table.columns, tableBytes), before);
    // A lower-case extension names the kind all the same.
    const CliRun ok = energy.run({"table", "write", "--allow-missing", lower.string()});
    EXPECT_EQ(ok.code, 0) << ok.err;
    // A complete file needs no --allow-missing.
    const CliRun whole = energy.run({"table", "write", file("whole.DTB", complete)});
    EXPECT_EQ(whole.code, 0) << whole.err;
    EXPECT_EQ(whole.err, "");
}

}  // namespace
}  // namespace parvion::test
