// The device commands against the simulator on a pseudo-terminal: identity,
// password protection, a silent device, port mapping, the pages and the
// clock.

#include <gtest/gtest.h>

#include <regex>

#include "cli_process.h"
#include "core/link/data_commands.h"
#include "core/model/windows1252.h"

namespace parvion::test {
namespace {

std::string SerialNo(sim::Device& d) {
    const auto bytes = d.peek(address::DeviceSerialNo, 16);
    std::string s(bytes.begin(), bytes.end());
    return s.substr(0, s.find_last_not_of(' ') + 1);
}

TEST(CliDevice, ProtectedDeviceNeedsTheRightPasswordAndNeverShowsIt) {
    TempDir home;
    sim::DeviceOptions o;
    o.password = "Secret1";
    SimOnPty sim(o);

    CliRun r = RunEnglish(sim, home, {"identify"});
    EXPECT_TRUE(Shows(r, "PV-GAS2"));
    EXPECT_TRUE(Contains(r.out, "Serial number:   " + SerialNo(sim.device) + "\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "(password-protected)")) << r.out;
    EXPECT_FALSE(Contains(r.out + r.err, "Secret1"));

    EXPECT_TRUE(Says(RunCli(With(sim.line(), {"clock"}), home.path()), 1, "--password"));
    EXPECT_TRUE(Says(RunCli(With(sim.line(), {"--password", "secret1", "clock"}), home.path()), 1,
                     "wrong password"));
    // A given password is checked by identify too.
    EXPECT_EQ(RunCli(With(sim.line(), {"--password", "x", "identify"}), home.path()).code, 1);
    // Nothing is read or saved without the password.
    r = RunCli(With(sim.line(), {"read-params", (home / "p.PGA").string()}), home.path());
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(std::filesystem::exists(home / "p.PGA"));
    EXPECT_EQ(sim.device.writesAccepted(), 0u);

    // Padded with "-" to 8 characters, the right password opens the device.
    r = RunCli(With(sim.line(), {"--password", "Secret1", "clock", "--set"}), home.path());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(std::regex_match(r.out, std::regex(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d\n)")))
        << r.out;
    EXPECT_EQ(sim.device.lastWriteAddress(), address::Clock);
}

TEST(CliDevice, DeviceTextsAreShownAsWindows1252) {
    TempDir home;
    SimOnPty sim;
    // "Zähler 12" with the device's own byte for the umlaut.
    const std::string serial = "Z\xE4hler 12      ";
    sim.device.poke(address::DeviceSerialNo,
                    std::span(reinterpret_cast<const std::uint8_t*>(serial.data()), 16));
    EXPECT_TRUE(Shows(RunEnglish(sim, home, {"identify"}), "Serial number:   Z\xC3\xA4hler 12\n"));
}

TEST(CliDevice, ASilentDeviceOrAMissingPortFailsWithCode1) {
    TempDir home;
    SimOnPty sim(AtBaud(3));  // the device listens at 9600 baud, the program talks at 115200
    CliRun r = RunEnglish(sim, home, {"identify"});
    EXPECT_TRUE(Says(r, 1, LibraryText(0, 1, 49)));
    EXPECT_TRUE(Contains(r.err, sim.path())) << r.err;
    EXPECT_TRUE(r.out.empty());

    // A port that does not exist: the link's cause, in the chosen language,
    // and the details in the error log of the data folder.
    for (int sprache = 0; sprache < 2; ++sprache) {
        r = RunCli({"--port", "/dev/parvion-no-such-port", "--lang", sprache == 0 ? "de" : "en",
                    "identify"},
                   home.path());
        EXPECT_EQ(r.code, 1);
        std::string expected = LibraryText(0, sprache, 22632);  // "%1 does not exist ..."
        ASSERT_NE(expected.find("%1"), std::string::npos) << expected;
        expected.replace(expected.find("%1"), 2, "/dev/parvion-no-such-port");
        EXPECT_EQ(r.err, "parvion2-cli: " + expected + "\n");
    }
    const std::string log = readFileBytes(home / ".local/share/parvion2/Errors.log");
    EXPECT_TRUE(
        Contains(log, "/dev/parvion-no-such-port) cannot be opened: the port does not exist"))
        << log;
}

TEST(CliDevice, PortAndBaudComeFromTheSettingsFileWhichIsNeverWritten) {
    TempDir home;
    SimOnPty sim;
    const auto ini = DataFolder(home) / "parvion2.ini";
    const std::string settings =
        "[Einstellungen]\r\nBaudrate=7\r\nAnschlu\xC3\x9F=2\r\n"
        "[System]\r\nSprache=1\r\n[Ports]\r\nCom3=" +
        sim.path() + "\r\n";
    writeFileBytes(ini, settings);

    // Com 3 at 115200, English: "high end version".
    EXPECT_TRUE(Shows(RunCli({"identify"}, home.path()), LibraryText(0, 1, 39)));
    EXPECT_TRUE(Shows(RunCli({"--port", "com3", "--lang", "de", "identify"}, home.path()),
                      LibraryText(0, 0, 39)));
    // Com 4 has no mapping: /dev/ttyS3, which is not this device.
    EXPECT_TRUE(Says(RunCli({"--port", "Com 4", "identify"}, home.path()), 1, "/dev/ttyS3"));
    EXPECT_EQ(readFileBytes(ini), settings);
}

TEST(CliPages, ListsFollowTheExpansionLevelAndTheLanguage) {
    TempDir home;
    sim::DeviceOptions o;
    o.ausbaustufe = 0xC0;  // no circuit 2
    SimOnPty sim(o);
    const auto en = [&](const std::vector<std::string>& a) { return RunEnglish(sim, home, a); };

    CliRun r = en({"live"});
    ASSERT_EQ(r.code, 0) << r.err;
    auto lines = SplitLines(r.out);
    ASSERT_GE(lines.size(), 10u);
    // No system headline without circuit 2: the temperature comes first, its
    // value in the column after the 54-character labels.
    EXPECT_EQ(lines[0].rfind(LibraryText(0, 1, 15376), 0), 0u) << lines[0];
    EXPECT_TRUE(Contains(lines[0].substr(54), "°C")) << lines[0];
    EXPECT_TRUE(Says(en({"live", "--circuit", "2"}), 1, "circuit 2"));

    // Which groups and integrators show: the views' tests; here the language.
    r = RunCli(With(sim.line(), {"--lang", "de", "errors"}), home.path());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(SplitLines(r.out)[0].rfind(LibraryText(0, 0, 17408), 0), 0u);
}

TEST(CliPages, EnergyDeviceShowsTheLinesOfTheEnergyLibrary) {
    // Which lines each input and medium shows: the views' tests.
    TempDir home;
    sim::DeviceOptions o;
    o.medium = 1;  // circuit 2 hot water on an orifice
    SimOnPty sim(o);
    ASSERT_NE(LibraryText(1, 1, 15379), LibraryText(0, 1, 15379));
    CliRun r = RunEnglish(sim, home, {"live"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto lines = SplitLines(r.out);
    ASSERT_GE(lines.size(), 10u);
    // Both circuits fitted: the system-definition headline comes first.
    EXPECT_EQ(lines[1].rfind(LibraryText(1, 1, 15376), 0), 0u) << lines[1];
    EXPECT_TRUE(Contains(r.out, "\n" + LibraryText(1, 1, 15379))) << r.out;  // power
    EXPECT_TRUE(Shows(RunEnglish(sim, home, {"live", "--circuit", "2"}),
                      "\n" + LibraryText(1, 1, 16400)));  // orifice
}

TEST(CliTrends, ExportWritesTheWholeFileOrNothing) {
    TempDir home;
    SimOnPty sim;
    const auto file = home / "trends.txt";
    CliRun r = RunEnglish(sim, home, {"trends", "--export", file.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto items = SplitLines(r.out);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[0].rfind("Kreis ", 0), 0u);

    const std::string bytes = readFileBytes(file);
    const auto lines = SplitLines(bytes);
    ASSERT_GT(lines.size(), items.size());
    // The file's layout and code page: the views' tests.
    EXPECT_EQ(lines[0].rfind("SerNo;Kreis;" + LibraryText(0, 1, 19456) + ";", 0), 0u) << lines[0];
    const auto sn = sim.device.peek(address::DeviceSerialNo, 16);
    EXPECT_EQ(lines[1].substr(0, 16), std::string(sn.begin(), sn.end()));

    // A new file is readable by all; a replaced one keeps its permissions.
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    r = RunCli(With(sim.line(), {"trends", "--export", file.string()}), home.path());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A file that cannot be written leaves nothing behind.
    const auto bad = home / "missing" / "t.txt";
    EXPECT_TRUE(
        Says(RunEnglish(sim, home, {"trends", "--export", bad.string()}), 1, LibraryText(0, 1, 7)));
    EXPECT_FALSE(std::filesystem::exists(home / "missing"));
}

TEST(CliErrors, SaveWritesTheListAsTheErrorPageSavesIt) {
    TempDir home;
    SimOnPty sim;
    const auto file = home / "ErrorListe.txt";
    CliRun r =
        RunCli(With(sim.line(), {"--lang", "de", "errors", "--save", file.string()}), home.path());
    ASSERT_EQ(r.code, 0) << r.err;
    // The file holds the printed lines, in Windows-1252 with CR LF.
    std::string expected;
    for (const std::string& line : SplitLines(r.out)) expected += Utf8ToCp1252(line) + "\r\n";
    const std::string bytes = readFileBytes(file);
    EXPECT_EQ(bytes, expected);
    EXPECT_TRUE(Contains(bytes, "Stromausg\xE4nge")) << bytes;

    // A folder that cannot be written: the message, and the old file stays.
    const auto blocked = file / "x.txt";  // below a file, not a folder
    r = RunEnglish(sim, home, {"errors", "--save", blocked.string()});
    EXPECT_TRUE(Says(r, 1, LibraryText(0, 1, 7)));
    EXPECT_TRUE(Contains(r.err, blocked.string())) << r.err;
    EXPECT_EQ(readFileBytes(file), bytes);
}

TEST(CliTrends, ADeviceWithoutTrendRecordingIsRefused) {
    TempDir home;
    sim::DeviceOptions o;
    o.ausbaustufe = 0x3C;
    SimOnPty sim(o);
    const auto file = home / "trends.txt";
    EXPECT_TRUE(Says(RunCli(With(sim.line(), {"trends", "--export", file.string()}), home.path()),
                     1, "trend"));
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace parvion::test
