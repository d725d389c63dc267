// Parameter sets between device and file: read, diff and write, the gas
// computer's Ready flags, files of the wrong variant or with broken values,
// and a read that fails part-way.

#include <gtest/gtest.h>

#include "cli_process.h"
#include "core/link/parameter_blocks.h"
#include "core/model/profile_file.h"
#include "core/model/value_format.h"
#include "support/device_records.h"

namespace parvion::test {
namespace {

float DeviceT_UserMax(sim::Device& d, int circuit) {
    return deviceRecord<T_UserRec>(d, block::T_User(circuit)).Max;
}

std::uint8_t DeviceReady(sim::Device& d, int circuit) {
    return d.peek(static_cast<std::uint16_t>(block::Med_User(circuit).address + 2), 1)[0];
}

void SetDeviceReady(sim::Device& d, std::uint8_t ready) {
    for (int c = 0; c < 2; ++c) {
        const std::uint8_t b[1] = {ready};
        d.poke(static_cast<std::uint16_t>(block::Med_User(c).address + 2), b);
    }
}

void Edit(const std::filesystem::path& file, const char* section, const char* key,
          const std::string& value) {
    ProfileFile f(file);
    f.writeString(section, key, value);
    ASSERT_TRUE(f.save());
}

TEST(CliParams, ReadDiffAndWriteKeepTheGasReadyFlagsAsTheMainWindowDoes) {
    TempDir home;
    SimOnPty sim;
    const auto file = home / "station.PGA";
    const auto run = [&](const char* command, const std::filesystem::path& on) {
        return RunCli(With(sim.line(), {command, on.string()}), home.path());
    };

    CliRun r = run("read-params", home / "station");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, file.string() + "\n");  // the variant's extension was added
    r = run("diff", file);
    EXPECT_TRUE(Says(r, 0, "Unterschiede: 0"));
    EXPECT_EQ(r.out, "");

    Edit(file, "T_User0", "Max", "333.5");
    Edit(file, "EG_User", "Ho", "11.25");
    r = run("diff", file);
    ASSERT_EQ(r.code, 0) << r.err;
    // Grouped under the circuit page, named as the page names them, values
    // with their units as the page shows them.
    EXPECT_EQ(r.out.rfind("Kreis 1:\nTemperatur — Wert bei 20 mA [T_User0] Max: Gerät ", 0), 0u)
        << r.out;
    EXPECT_TRUE(Contains(r.out, ", Datei 333.5000 °C\n[EG_User] Ho: Gerät ")) << r.out;
    EXPECT_TRUE(Contains(r.err, "Unterschiede: 2")) << r.err;

    // A changed natural-gas input set clears Ready in both circuits.
    SetDeviceReady(sim.device, 1);
    ASSERT_EQ(run("write-params", file).code, 0);
    EXPECT_EQ(DeviceT_UserMax(sim.device, 0), 333.5f);
    EXPECT_EQ(DeviceReady(sim.device, 0), 0);
    EXPECT_EQ(DeviceReady(sim.device, 1), 0);

    // The same input set again: the device keeps its Ready flags, whatever
    // the file says (0 here), and that is all that differs afterwards.
    SetDeviceReady(sim.device, 1);
    Edit(file, "Med_User0", "Ready", "0");
    Edit(file, "Med_User1", "Ready", "0");
    ASSERT_EQ(run("write-params", file).code, 0);
    EXPECT_EQ(DeviceReady(sim.device, 0), 1);
    EXPECT_EQ(DeviceReady(sim.device, 1), 1);
    r = run("diff", file);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Kreis 1:\n[Med_User0] Ready: Gerät 1, Datei 0\n"
              "Kreis 2:\n[Med_User1] Ready: Gerät 1, Datei 0\n");
}

TEST(CliParams, AReadThatFailsPartWayLeavesTheOldFileAndRemarksSurvive) {
    TempDir home;
    SimOnPty sim;
    const auto file = home / "old.PGA";
    const std::string old =
        "[Medium]\r\nIdent=GAS\r\n[T_User0]\r\nMax=1\r\n"
        "[Bemerkung]\r\nZeile 1=Pump station 7\r\nZeile 2=north side\r\n";
    writeFileBytes(file, old);

    // The three frames of the connection pass; the first parameter block
    // then gets no reply at all.
    sim.device.injectFault(sim::Fault::None, 3);
    sim.device.injectFault(sim::Fault::NoReply, 4);
    const auto read = [&](const std::filesystem::path& on) {
        return RunCli(With(sim.line(), {"read-params", on.string()}), home.path());
    };
    EXPECT_TRUE(Says(read(file), 1, "failed"));
    EXPECT_EQ(readFileBytes(file), old);

    // The medium block of circuit 1 (the sixth block) answered with the
    // echo of another block: the transport takes it, the command refuses
    // it, and the read is not complete.
    sim.device.injectFault(sim::Fault::None, 3 + 5);
    sim.device.injectFault(sim::Fault::WrongEcho, 1);
    EXPECT_TRUE(Says(read(file), 1, "1 parameter block read(s) failed"));
    EXPECT_EQ(readFileBytes(file), old);

    ASSERT_EQ(read(file).code, 0);
    const ProfileFile saved(file);
    EXPECT_EQ(saved.readString("Bemerkung", "Zeile 1", ""), "Pump station 7");
    EXPECT_EQ(saved.readString("Bemerkung", "Zeile 2", ""), "north side");
    EXPECT_EQ(saved.readString("T_User0", "Max", ""),
              FormatFileFloat(DeviceT_UserMax(sim.device, 0)));

    // A parameter file of the other variant is not overwritten.
    const auto energy = home / "energy.PGA";
    const std::string energyText = "[Medium]\r\nIdent=STEAM\r\n";
    writeFileBytes(energy, energyText);
    EXPECT_EQ(read(energy).code, 1);
    EXPECT_EQ(readFileBytes(energy), energyText);
}

TEST(CliParams, WriteParamsNamesMissingKeysAndNeedsTheDevicesOwnRecordsFirst) {
    TempDir home;
    SimOnPty sim;
    const auto sparse = home / "sparse.PGA";
    writeFileBytes(sparse, "[Medium]\r\nIdent=GAS\r\n[T_User0]\r\nMax=77\r\n");
    const auto run = [&] {
        return RunCli(With(sim.line(), {"--lang", "en", "write-params", sparse.string()}),
                      home.path());
    };
    // The defaults are said, then written.
    CliRun r = run();
    EXPECT_TRUE(Says(r, 0, "warning: " + sparse.string() + ": "));
    EXPECT_TRUE(Says(r, 0,
                     "entries are missing and take their default values: "
                     "T_User0 Dummy1, T_User0 Dummy2, T_User0 Kind"));
    EXPECT_EQ(deviceRecord<T_UserRec>(sim.device, block::T_User(0)).Max, 77.0f);

    // The gas input set of the device cannot be read: nothing is written.
    const auto writes = sim.device.writesAccepted();
    sim.device.injectFault(sim::Fault::None, 3);  // identity, access, System: connected
    sim.device.injectFault(sim::Fault::BadChecksum, 4);
    EXPECT_TRUE(
        Says(run(), 1, "the gas input set of the device cannot be read; nothing was written"));
    EXPECT_EQ(sim.device.writesAccepted(), writes);
}

TEST(CliParams, FilesOfTheWrongVariantOrWithBrokenValuesNeverReachTheDevice) {
    TempDir home;
    sim::DeviceOptions o;
    o.medium = 1;  // energy computer
    SimOnPty sim(o);
    const auto en = [&](const std::vector<std::string>& a) { return RunEnglish(sim, home, a); };

    // A value no device float holds (-INF) never goes out, though the file reads.
    const struct {
        const char* name;
        const char* content;  // null: no such file
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
        {"none.PEG", nullptr, "none.PEG: no such file", {"write-params", "diff"}},
    };
    for (const auto& f : files) {
        if (f.content != nullptr) writeFileBytes(home / f.name, f.content);
        for (const std::string& command : f.commands) {
            EXPECT_TRUE(Says(en({command, (home / f.name).string()}), 1, f.says)) << command;
        }
    }

    EXPECT_EQ(sim.device.writesAccepted(), 0u);
    EXPECT_EQ(sim.device.writesRejected(), 0u);
}

}  // namespace
}  // namespace parvion::test
