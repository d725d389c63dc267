// The files of the data folder: the settings file (first run, ranges, the
// keys written and kept, an unwritable folder, ports, the latency allowance,
// the compare switch, recent files), the error log, and the leak check's
// counting and report.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/app/error_log.h"
#include "core/app/leak_check.h"
#include "core/app/recent_files.h"
#include "core/app/settings.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

namespace parvion {
namespace {

namespace fs = std::filesystem;
using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

const std::string kFirstRunFile =
    "[Einstellungen]\r\nBaudrate=3\r\nAnschlu\xDF=0\r\nOnline=0\r\n\r\n"
    "[System]\r\nSprache=0\r\nMedium=0\r\n\r\n"
    "[Debug]\r\nMemCheck=0\r\nRS232=0\r\n";

Session readFrom(const TempDir& dir, const std::string& bytes) {
    writeFileBytes(dir / "parvion2.ini", bytes);
    Session s;
    s.Baudrate = s.Anschluss = s.Sprache = s.Medium = s.TraceLevel = 99;
    const SettingsReadResult r = ReadSettings(dir.path(), s);
    EXPECT_TRUE(r.loaded && r.saved) << r.reason;
    return s;
}

TEST(ReadSettings, FirstRunGivesDefaultsAndWritesAllSevenKeys) {
    TempDir dir;
    Session s;
    s.Baudrate = 5;
    s.Online = true;
    const SettingsReadResult r = ReadSettings(dir.path(), s);
    EXPECT_TRUE(r.loaded && r.saved) << r.reason;
    EXPECT_EQ((std::array<int, 7>{s.Baudrate, s.Anschluss, int{s.Online}, s.Sprache, s.Medium,
                                  int{s.MemCheck}, s.TraceLevel}),
              (std::array<int, 7>{3, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(readFileBytes(dir / "parvion2.ini"), kFirstRunFile);
    // A second run changes nothing: CompareSwitch reads this file back.
}

TEST(ReadSettings, RangeRules) {
    TempDir dir;
    // Baudrate out of range gives 115200 baud, not the default 9600.
    const std::pair<const char*, std::array<int, 6>> cases[] = {
        {"[Einstellungen]\r\nBaudrate=9\r\nAnschlu\xDF=7\r\nOnline=5\r\n[System]\r\nSprache=1\r\n"
         "Medium=1\r\n[Debug]\r\nMemCheck=0\r\nRS232=3\r\n",
         {7, 7, 1, 1, 1, 3}},
        {"[Einstellungen]\r\nBaudrate=-1\r\nAnschlu\xDF=8\r\nOnline=-2\r\n[System]\r\nSprache=2\r\n"
         "Medium=-1\r\n[Debug]\r\nMemCheck=0\r\nRS232=-4\r\n",
         {7, 0, 1, 0, 0, -4}},
    };
    for (const auto& [file, want] : cases) {
        const Session s = readFrom(dir, file);
        EXPECT_EQ((std::array<int, 6>{s.Baudrate, s.Anschluss, s.Online, s.Sprache, s.Medium,
                                      s.TraceLevel}),
                  want)
            << file;
    }
}

TEST(ReadSettings, OnlyTheTraceSwitchGainsTheSixMissingKeys) {
    TempDir dir;
    const Session s = readFrom(dir, "; mine\r\n[Debug]\r\nRS232=1\r\n");
    EXPECT_EQ(s.TraceLevel, 1);
    EXPECT_EQ(s.Baudrate, 3);
    EXPECT_EQ(readFileBytes(dir / "parvion2.ini"),
              "; mine\r\n[Debug]\r\nRS232=1\r\nMemCheck=0\r\n\r\n"
              "[Einstellungen]\r\nBaudrate=3\r\nAnschlu\xDF=0\r\nOnline=0\r\n\r\n"
              "[System]\r\nSprache=0\r\nMedium=0\r\n");
}

TEST(ReadSettings, MemCheckSwitchWithoutCountingHooksStartsNothing) {
    TempDir dir;
    const Session s = readFrom(dir, "[Debug]\r\nMemCheck=2\r\n");
    EXPECT_TRUE(s.MemCheck);
    ASSERT_FALSE(leak_check::HooksAttached());
    EXPECT_FALSE(leak_check::Running());
}

TEST(WriteSettings, WritesFiveKeysAndKeepsEverythingElse) {
    TempDir dir;
    writeFileBytes(dir / "parvion2.ini",
                   "; comment\r\n[Einstellungen]\r\nBaudrate=3\r\nAnschlu\xDF=0\r\nOnline=5\r\n"
                   "\r\n[Ports]\r\nCom2=/dev/ttyUSB0\r\n\r\n"
                   "[System]\r\nSprache=0\r\nMedium=0\r\n\r\n[Debug]\r\nMemCheck=1\r\nRS232=1\r\n");
    Session s;
    ReadSettings(dir.path(), s);
    ASSERT_TRUE(s.Online);
    s.Baudrate = 6;
    s.Anschluss = s.Sprache = s.Medium = 1;
    s.MemCheck = false;
    s.TraceLevel = 0;
    const SettingsWriteResult w = WriteSettings(dir.path(), s);
    EXPECT_TRUE(w.ok) << w.reason;
    EXPECT_EQ(w.ioError, 0);
    // Online=5 was "on" and goes back as 1; the Debug keys keep the file's values.
    EXPECT_EQ(readFileBytes(dir / "parvion2.ini"),
              "; comment\r\n[Einstellungen]\r\nBaudrate=6\r\nAnschlu\xDF=1\r\nOnline=1\r\n"
              "\r\n[Ports]\r\nCom2=/dev/ttyUSB0\r\n\r\n"
              "[System]\r\nSprache=1\r\nMedium=1\r\n\r\n[Debug]\r\nMemCheck=1\r\nRS232=1\r\n");

    // Into a missing file: created, without Debug keys.
    TempDir fresh;
    ASSERT_TRUE(WriteSettings(fresh.path(), Session{}).ok);
    EXPECT_EQ(readFileBytes(fresh / "parvion2.ini"),
              kFirstRunFile.substr(0, kFirstRunFile.find("\r\n[Debug]")));
}

TEST(WriteSettings, UnwritableFolderGivesTheWarningAndChangesNothing) {
    TempDir dir;
    const std::string before = "[Einstellungen]\r\nBaudrate=5\r\n";
    writeFileBytes(dir / "parvion2.ini", before);
    const auto r = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const auto x = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    fs::permissions(dir.path(), r | x);
    fs::permissions(dir / "parvion2.ini", r);
    const int rc = test::runUnprivileged([&] {
        Session s;
        const SettingsReadResult read = ReadSettings(dir.path(), s);
        if (!read.loaded || read.saved || read.reason.empty()) return 1;
        if (s.Baudrate != 5) return 2;
        s.Baudrate = 1;
        const SettingsWriteResult w = WriteSettings(dir.path(), s);
        if (w.ok || w.ioError != EACCES) return 3;
        if (w.reason.find("parvion2.ini") == std::string::npos) return 4;
        return 0;
    });
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(readFileBytes(dir / "parvion2.ini"), before);
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);

    // A data folder that does not exist: nothing is created.
    const SettingsWriteResult w = WriteSettings(dir / "missing", Session{});
    EXPECT_FALSE(w.ok);
    EXPECT_EQ(w.ioError, ENOENT);
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(SettingsNames, FilesPortsAndLeakLog) {
    EXPECT_EQ(SettingsFile(""), fs::path("/parvion2.ini"));
    EXPECT_EQ(SettingsFile("/a/b"), fs::path("/a/b/parvion2.ini"));

    std::tm t{};
    t.tm_sec = 4, t.tm_min = 5, t.tm_hour = 7, t.tm_mday = 9, t.tm_mon = 0, t.tm_year = 124;
    EXPECT_EQ(MemCheckLogName("/d", t), fs::path("/d/2024-01-09-07-05-04_memCheck.log"));

    TempDir dir;
    EXPECT_EQ(PortName(dir.path(), 1), "/dev/ttyS0");  // no file at all
    writeFileBytes(dir / "parvion2.ini",
                   "[ports]\r\nCOM3 = /dev/pts/7 \r\nCom4=\r\nCom7=rfc2217://station-7\r\n");
    EXPECT_EQ(PortName(dir.path(), 3), "/dev/pts/7");
    EXPECT_EQ(PortName(dir.path(), 4), "/dev/ttyS3");
    EXPECT_EQ(PortName(dir.path(), 0), "");
    // Network ports come as they stand, a malformed one too: opening it
    // names what is wrong.
    EXPECT_EQ(PortName(dir.path(), 7), "rfc2217://station-7");
}

TEST(Settings, TheNetworkLatencyAllowanceIsReadWithItsRangeAndNeverWritten) {
    for (const auto& [line, ms] :
         std::vector<std::pair<std::string, int>>{{"", 200},
                                                  {"Latenz=0\r\n", 0},
                                                  {"Latenz=10000\r\n", 10000},
                                                  {"Latenz=10001\r\n", 200},
                                                  {"Latenz=-1\r\n", 200},
                                                  {"Latenz=x\r\n", 0}}) {
        TempDir dir;
        const std::string file = "[Ports]\r\n" + line;
        writeFileBytes(dir / "parvion2.ini", file);
        Session session;
        ReadSettings(dir.path(), session);
        EXPECT_EQ(session.NetLatencyMs, ms) << line;
        session.NetLatencyMs = 777;
        WriteSettings(dir.path(), session);
        const std::string written = readFileBytes(dir / "parvion2.ini");
        EXPECT_EQ(written.find("Latenz=777"), std::string::npos) << written;
        EXPECT_EQ(written.find("Latenz") != std::string::npos, !line.empty()) << written;
    }
}

TEST(CompareSwitch, OldFilesMeanOnAndStayAsTheyAreUntilTheSwitchIsTurnedOff) {
    struct Case {
        const char* key;  // the Vergleich line in the file, empty for none
        bool on;
    };
    for (const Case c : {Case{"", true}, Case{"Vergleich=0\r\n", false},
                         Case{"Vergleich=1\r\n", true}, Case{"Vergleich=x\r\n", false}}) {
        TempDir dir;
        const std::string file = "[Einstellungen]\r\nBaudrate=3\r\nAnschlu\xDF=0\r\nOnline=0\r\n" +
                                 std::string(c.key) + "\r\n[System]\r\nSprache=0\r\nMedium=0\r\n" +
                                 "\r\n[Debug]\r\nMemCheck=0\r\nRS232=0\r\n";
        const Session s = readFrom(dir, file);
        EXPECT_EQ(s.CompareBeforeWrite, c.on) << c.key;
        // Reading adds nothing; writing the same session back changes nothing.
        EXPECT_EQ(readFileBytes(dir / "parvion2.ini"), file);
        ASSERT_TRUE(WriteSettings(dir.path(), s).ok);
        const std::string written = readFileBytes(dir / "parvion2.ini");
        if (std::string(c.key) == "Vergleich=x\r\n") {
            EXPECT_NE(written.find("Vergleich=0\r\n"), std::string::npos) << written;
        } else {
            EXPECT_EQ(written, file);
        }
    }
    // Turned off in a file without the key: written, and read back as off.
    TempDir dir;
    Session s = readFrom(dir, kFirstRunFile);
    s.CompareBeforeWrite = false;
    ASSERT_TRUE(WriteSettings(dir.path(), s).ok);
    EXPECT_NE(readFileBytes(dir / "parvion2.ini").find("Vergleich=0\r\n"), std::string::npos);
    EXPECT_FALSE(readFrom(dir, readFileBytes(dir / "parvion2.ini")).CompareBeforeWrite);
}

// Any path reads back as it was written, whatever the file's code page
// holds; broken entries are skipped, and the rest of the file stays.
TEST(RecentFiles, PathsSurviveTheSettingsFileAndBrokenEntriesAreSkipped) {
    TempDir dir;
    const std::vector<std::filesystem::path> files = {
        "/home/anna/Stationen/Übersicht Nord.PGA",  // Windows-1252 has the umlaut
        "/data/Сибирь/станция.PEG",                 // no Windows-1252 character at all
        "/tmp/100% =; [x].PAR",                     // the profile file's own characters
        " /lead and trail .PGA ",                   // blanks the profile file would trim
    };
    ProfileFile ini(SettingsFile(dir.path()));
    ini.writeString("Einstellungen", "Online", "1");
    ASSERT_TRUE(ini.save());
    ASSERT_TRUE(WriteRecentFiles(dir.path(), files));
    EXPECT_EQ(ReadRecentFiles(dir.path()), files);
    EXPECT_EQ(ProfileFile(SettingsFile(dir.path())).readString("Einstellungen", "Online", ""), "1");

    ProfileFile broken(SettingsFile(dir.path()));
    broken.writeString("Recent", "File2", "/x%4");
    broken.writeString("Recent", "File3", "/x%zz");
    broken.writeString("Recent", "File4", "");
    broken.writeString("Recent", "File5", "/x%2a%2A");  // escapes in either case
    ASSERT_TRUE(broken.save());
    EXPECT_EQ(ReadRecentFiles(dir.path()), (std::vector<std::filesystem::path>{files[0], "/x**"}));

    std::vector<std::filesystem::path> list;
    for (int i = 0; i < 10; ++i) AddRecentFile(list, "/f" + std::to_string(i % 9));
    ASSERT_EQ(list.size(), kRecentFiles);
    EXPECT_EQ(list.front(), "/f0");  // taken again: to the front, once
    EXPECT_EQ(list.back(), "/f2");
}

TEST(ErrorLog, LineBreaksGiveSeveralLinesAndEntriesAppendBelowEarlierContent) {
    std::tm t{};
    t.tm_sec = 3, t.tm_min = 5, t.tm_hour = 9, t.tm_mday = 7, t.tm_mon = 2, t.tm_year = 124;
    EXPECT_EQ(FormatErrorLogEntry(t, "port: Permission denied"),
              "07.03.2024 09:05:03: port: Permission denied\n");
    EXPECT_EQ(FormatErrorLogEntry(t, "one\r\ntwo\nthree\rfour"),
              "07.03.2024 09:05:03: one\ntwo\nthree\nfour\n");

    TempDir dir;
    LogError(dir.path(), "first line\nsecond line");
    const std::string text = readFileBytes(dir / "Errors.log");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    EXPECT_NE(text.find(": first line\nsecond line\n"), std::string::npos);

    // The next entry follows below, with its own date and time.
    LogError(dir.path(), "ERROR:  Einst, OK, GetInitString ?\?(PV-XYZ)");
    const std::string both = readFileBytes(dir / "Errors.log");
    ASSERT_EQ(both.substr(0, text.size()), text);
    EXPECT_TRUE(
        std::regex_match(both.substr(text.size()),
                         std::regex(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d: )"
                                    R"(ERROR:  Einst, OK, GetInitString \?\?\(PV-XYZ\)\n)")));

    // A last line cut short (a crash, or an edit by hand): earlier content is
    // never touched, and the new entry still starts a line of its own.
    const std::string old = "01.01.2020 00:00:00: old entry\r\nhalf a li";
    writeFileBytes(dir / "Errors.log", old);
    LogError(dir.path(), "new");
    const std::string after = readFileBytes(dir / "Errors.log");
    ASSERT_EQ(after.substr(0, old.size()), old);
    const std::string added = after.substr(old.size());
    ASSERT_FALSE(added.empty());
    EXPECT_EQ(added[0], '\n');
    EXPECT_TRUE(std::regex_match(added.substr(1),
                                 std::regex(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d: new\n)")));
}

TEST(ErrorLog, FailureIsQuiet) {
    EXPECT_EQ(ErrorLogFile(""), fs::path("/Errors.log"));

    TempDir dir;
    EXPECT_NO_THROW(LogError(dir / "missing", "lost"));
    EXPECT_FALSE(fs::exists(dir / "missing"));

    // A read-only data folder.
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    const int rc = test::runUnprivileged([&] {
        LogError(dir.path(), "lost");
        return fs::exists(dir / "Errors.log") ? 1 : 0;
    });
    EXPECT_EQ(rc, 0);
}

// Made-up block addresses: the registry only stores and compares them.
const void* block(std::uintptr_t n) {
    return reinterpret_cast<const void*>(0x10000 + n * 16);
}

TEST(LeakCheck, CountsLiveBlocksAndReportsTheFirstOnes) {
    TempDir dir;
    const auto log = dir / "2024-01-01-00-00-00_memCheck.log";
    leak_check::NoteAlloc(block(1), 10);  // before the start: not counted
    ASSERT_TRUE(leak_check::Start(log));
    EXPECT_FALSE(leak_check::Start(log));
    leak_check::NoteFree(block(1));  // allocated before the start: ignored

    // Enough blocks to make the table grow several times, released in a
    // shuffled order so that removal meets every kind of collision chain.
    constexpr std::uintptr_t kBlocks = 20000;
    for (std::uintptr_t i = 0; i < kBlocks; ++i) leak_check::NoteAlloc(block(i), i % 7 + 1);
    std::vector<std::uintptr_t> order;
    for (std::uintptr_t i = 0; i < kBlocks; ++i) {
        if (i % 100 != 5) order.push_back(i);  // keep i = 5, 105, 205, ...
    }
    std::shuffle(order.begin(), order.end(), std::mt19937(42));
    for (const auto i : order) leak_check::NoteFree(block(i));
    leak_check::NoteFree(block(kBlocks + 1));  // never allocated: ignored

    const leak_check::Summary s = leak_check::Current();
    EXPECT_EQ(s.allocations, kBlocks);
    EXPECT_EQ(s.releases, order.size());
    EXPECT_EQ(s.liveBlocks, kBlocks / 100);
    std::uint64_t bytes = 0;
    for (std::uintptr_t i = 5; i < kBlocks; i += 100) bytes += i % 7 + 1;
    EXPECT_EQ(s.liveBytes, bytes);

    std::string error;
    ASSERT_TRUE(leak_check::WriteReport(&error)) << error;
    EXPECT_FALSE(leak_check::Running());
    leak_check::NoteAlloc(block(1), 1);  // after the report: not counted

    std::istringstream in(readFileBytes(log));
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(in, line)) lines.push_back(line);
    ASSERT_EQ(lines.size(), 6 + 100u);
    EXPECT_EQ(std::vector(lines.begin() + 1, lines.begin() + 6),
              (std::vector<std::string>{
                  "blocks allocated since start: 20000", "blocks released: 19800",
                  "blocks not released: 200", "bytes not released: " + std::to_string(bytes),
                  "first 100 blocks not released (sequence, size, address):"}));
    // Allocation order: block i was the (i + 1)-th allocation.
    std::ostringstream first;
    first << "6 " << (5 % 7 + 1) << " 0x" << std::hex << (0x10000 + 5 * 16);
    EXPECT_EQ(lines[6], first.str());
    std::ostringstream last;
    last << (9905 + 1) << " " << (9905 % 7 + 1) << " 0x" << std::hex << (0x10000 + 9905 * 16);
    EXPECT_EQ(lines.back(), last.str());
}

TEST(LeakCheck, ReportFailuresAreReported) {
    std::string error;
    EXPECT_FALSE(leak_check::WriteReport(&error));  // not running
    TempDir dir;
    ASSERT_TRUE(leak_check::Start(dir / "missing" / "x.log"));
    EXPECT_FALSE(leak_check::WriteReport(&error));
    EXPECT_NE(error.find("x.log"), std::string::npos);
    EXPECT_FALSE(leak_check::Running());
}

}  // namespace
}  // namespace parvion
