// The device commands against the simulator on a pseudo-terminal: identity,
// password protection, a silent device, port mapping, the pages and the
// clock; the doctor (the rate a device answers at, a port that does not
// exist, a device behind a network port); the printouts as real PDFs, read
// back with pdftotext, from parameter files and from the device; and the
// language of --lang in labels, content and the printouts' headers.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <regex>
#include <tuple>

#include "cli_process.h"
#include "core/link/data_commands.h"
#include "core/model/windows1252.h"
#include "core/views/text_source.h"

namespace parvion::test {
namespace {

namespace fs = std::filesystem;

TEST(CliDevice, ProtectedDeviceNeedsTheRightPasswordAndNeverShowsIt) {
    sim::DeviceOptions o;
    o.password = "Secret1";
    CliRig r(o);

    CliRun run = r.en({"identify"});
    EXPECT_TRUE(Shows(run, "PV-GAS2"));
    EXPECT_TRUE(Has(run.out, "(password-protected)")) << run.out;
    EXPECT_FALSE(Has(run.out + run.err, "Secret1"));

    EXPECT_TRUE(Says(r.run({"clock"}), 1, "--password"));
    EXPECT_TRUE(Says(r.run({"--password", "secret1", "clock"}), 1, "wrong password"));
    // A given password is checked by identify too.
    EXPECT_EQ(r.run({"--password", "x", "identify"}).code, 1);
    // Every device command passes the same check before its work (clock
    // above): nothing was written.
    EXPECT_EQ(r.device.writesAccepted(), 0u);

    // Padded with "-" to 8 characters, the right password opens the device.
    run = r.run({"--password", "Secret1", "clock", "--set"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, std::regex(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d\n)")))
        << run.out;
    EXPECT_EQ(r.device.lastWriteAddress(), address::Clock);
}

TEST(CliDevice, ASilentDeviceOrAMissingPortFailsWithCode1) {
    CliRig r(AtBaud(3));  // the device listens at 9600 baud, the program talks at 115200
    CliRun run = r.en({"identify"});
    EXPECT_TRUE(Says(run, 1, LibraryText(0, 1, 49)));
    EXPECT_TRUE(Has(run.err, r.sim.path())) << run.err;
    EXPECT_TRUE(run.out.empty());

    // A port that does not exist: the link's cause, in the chosen language
    // (both languages' words: OpenCauses.EachSystemErrorInTheLibrarysWordsWithoutTheLinesOwn),
    // and the details in the error log of the data folder.
    run =
        RunCli({"--port", "/dev/parvion-no-such-port", "--lang", "de", "identify"}, r.home.path());
    EXPECT_EQ(run.code, 1);
    const std::string expected = views::FillPlaceholders(
        LibraryText(0, 0, 22632), {"/dev/parvion-no-such-port"});  // "%1 existiert nicht"
    EXPECT_EQ(run.err, "parvion2-cli: " + expected + "\n");
    const std::string log = readFileBytes(r / ".local/share/parvion2/Errors.log");
    EXPECT_TRUE(Has(log, "/dev/parvion-no-such-port) cannot be opened: the port does not exist"))
        << log;
}

TEST(CliDevice, PortAndBaudComeFromTheSettingsFileWhichIsNeverWritten) {
    CliRig r;
    const auto ini = DataFolder(r.home) / "parvion2.ini";
    const std::string settings =
        "[Einstellungen]\r\nBaudrate=7\r\nAnschlu\xC3\x9F=2\r\n"
        "[System]\r\nSprache=1\r\n[Ports]\r\nCom3=" +
        r.sim.path() + "\r\n";
    writeFileBytes(ini, settings);
    const auto run = [&](const std::vector<std::string>& args) {
        return RunCli(args, r.home.path());
    };
    // Com 3 at 115200, English: "high end version".
    EXPECT_TRUE(Shows(run({"identify"}), LibraryText(0, 1, 39)));
    EXPECT_TRUE(Shows(run({"--port", "com3", "--lang", "de", "identify"}), LibraryText(0, 0, 39)));
    // Com 4 has no mapping: /dev/ttyS3, which is not this device.
    EXPECT_TRUE(Says(run({"--port", "Com 4", "identify"}), 1, "/dev/ttyS3"));
    EXPECT_EQ(readFileBytes(ini), settings);
}

TEST(CliPages, ListsFollowTheExpansionLevelAndTheLanguage) {
    CliRig r(SimDevice(0, 0xC0));  // no circuit 2
    const CliRun run = r.en({"live"});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto lines = SplitLines(run.out);
    ASSERT_GE(lines.size(), 10u);
    // No system headline without circuit 2: the temperature comes first, its
    // value in the column after the 54-character labels.
    EXPECT_EQ(lines[0].rfind(LibraryText(0, 1, 15376), 0), 0u) << lines[0];
    EXPECT_TRUE(Has(lines[0].substr(54), "°C")) << lines[0];
    EXPECT_TRUE(Says(r.en({"live", "--circuit", "2"}), 1, "circuit 2"));
    // Which groups and integrators show: the views' tests; the error page in
    // German: CliErrors.SaveWritesTheListAsTheErrorPageSavesIt.
}

TEST(CliPages, EnergyDeviceShowsTheLinesOfTheEnergyLibrary) {
    // Which lines each input and medium shows: the views' tests.
    CliRig r(SimDevice(1));  // circuit 2 hot water on an orifice
    ASSERT_NE(LibraryText(1, 1, 15379), LibraryText(0, 1, 15379));
    const CliRun run = r.en({"live"});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto lines = SplitLines(run.out);
    ASSERT_GE(lines.size(), 10u);
    // Both circuits fitted: the system-definition headline comes first.
    EXPECT_EQ(lines[1].rfind(LibraryText(1, 1, 15376), 0), 0u) << lines[1];
    EXPECT_TRUE(Has(run.out, "\n" + LibraryText(1, 1, 15379))) << run.out;  // power
    EXPECT_TRUE(
        Shows(r.en({"live", "--circuit", "2"}), "\n" + LibraryText(1, 1, 16400)));  // orifice
}

TEST(CliTrends, ExportWritesTheWholeFileOrNothing) {
    CliRig r;
    const auto file = r / "trends.txt";
    CliRun run = r.en({"trends", "--export", file.string()});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto items = SplitLines(run.out);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[0].rfind("Kreis ", 0), 0u);

    const auto lines = SplitLines(readFileBytes(file));
    ASSERT_GT(lines.size(), items.size());
    // The file's layout and code page: the views' tests.
    EXPECT_EQ(lines[0].rfind("SerNo;Kreis;" + LibraryText(0, 1, 19456) + ";", 0), 0u) << lines[0];
    const auto sn = r.device.peek(address::DeviceSerialNo, 16);
    EXPECT_EQ(lines[1].substr(0, 16), std::string(sn.begin(), sn.end()));

    // A new file is readable by all (a replaced one keeps its permissions,
    // the same writer's: ProfileFileSave.KeepsModeAndWritesThroughSymbolicLinks).
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);

    // A file that cannot be written leaves nothing behind.
    const auto bad = r / "missing" / "t.txt";
    EXPECT_TRUE(Says(r.en({"trends", "--export", bad.string()}), 1, LibraryText(0, 1, 7)));
    EXPECT_FALSE(fs::exists(r / "missing"));
}

TEST(CliErrors, SaveWritesTheListAsTheErrorPageSavesIt) {
    CliRig r;
    const auto file = r / "ErrorListe.txt";
    CliRun run = r.run({"--lang", "de", "errors", "--save", file.string()});
    ASSERT_EQ(run.code, 0) << run.err;
    // The file holds the printed lines, in Windows-1252 with CR LF.
    std::string expected;
    for (const std::string& line : SplitLines(run.out)) expected += Utf8ToCp1252(line) + "\r\n";
    const std::string bytes = readFileBytes(file);
    EXPECT_EQ(bytes, expected);
    EXPECT_TRUE(Has(bytes, "Stromausg\xE4nge")) << bytes;

    // A folder that cannot be written: the message, and the old file stays.
    const auto blocked = file / "x.txt";  // below a file, not a folder
    run = r.en({"errors", "--save", blocked.string()});
    EXPECT_TRUE(Says(run, 1, LibraryText(0, 1, 7)));
    EXPECT_TRUE(Has(run.err, blocked.string())) << run.err;
    EXPECT_EQ(readFileBytes(file), bytes);
}

TEST(CliTrends, ADeviceWithoutTrendRecordingIsRefused) {
    CliRig r(SimDevice(0, 0x3C));
    EXPECT_TRUE(Says(r.run({"trends", "--export", (r / "trends.txt").string()}), 1, "trend"));
    EXPECT_FALSE(fs::exists(r / "trends.txt"));
}

// A missing port is named and the run fails, unless a port of the port
// table answers.
TEST(CliDoctor, AMissingPortAndThePortsOfThePortTable) {
    TempDir home;
    const std::vector<std::string> args = {"--port", "/dev/parvion-missing", "--lang", "en",
                                           "doctor"};
    CliRun r = RunCli(args, home.path());
    EXPECT_TRUE(Says(r, 1, "no device answered"));
    EXPECT_TRUE(Has(r.out, "FAIL /dev/parvion-missing does not exist")) << r.out;

    SimPty sim;
    writeFileBytes(DataFolder(home) / "parvion2.ini", "[Ports]\r\nCom3=" + sim.path() + "\r\n");
    r = RunCli(args, home.path());
    EXPECT_TRUE(Shows(r, "/dev/parvion-missing does not exist"));
    EXPECT_TRUE(Has(r.out, "Device PV-GAS2 answers on " + sim.path() + " at 115200 baud")) << r.out;
}

// The simulator program serving on a TCP socket with RFC 2217: the command
// line reaches it by the port name, and the doctor names the server, the
// round trip and the rate it found, not the one asked for (which rates are
// tried and that only identity requests go out: the doctor's own tests).
TEST(CliDoctor, ADeviceBehindANetworkPort) {
    TempDir home;
    const auto nameFile = home / "port";
    const pid_t sim = ::fork();
    if (sim == 0) {
        const std::string program = std::string(PARVION_BIN_DIR) + "/parvion2-sim";
        const std::string file = nameFile.string();
        std::freopen("/dev/null", "w", stdout);
        ::execl(program.c_str(), "parvion2-sim", "--tcp", "0", "--rfc2217", "--baud", "38400",
                "--path-file", file.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(sim, 0);
    std::string port;
    for (int i = 0; i < 500 && port.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        port = readFileBytes(nameFile);
        if (!port.empty() && port.back() != '\n') port.clear();
    }
    ASSERT_FALSE(port.empty());
    port.pop_back();
    EXPECT_EQ(port.rfind("rfc2217://127.0.0.1:", 0), 0u) << port;

    EXPECT_TRUE(
        Shows(RunCli({"--port", port, "--baud", "38400", "--lang", "en", "identify"}, home.path()),
              "PV-GAS2"));
    const CliRun r =
        RunCli({"--port", port, "--baud", "9600", "--lang", "en", "doctor"}, home.path());
    for (const std::string& says :
         {"Port " + port, std::string("round trip"), std::string("takes RFC 2217"),
          "answers on " + port + " at 38400 baud"}) {
        EXPECT_TRUE(Shows(r, says));
    }
    ::kill(sim, SIGTERM);
    int status = 0;
    ::waitpid(sim, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

const char* const kStation =
    "[Medium]\r\nIdent=GAS\r\n[T_User0]\r\nKind=1\r\nEq=0\r\n[P_User0]\r\nKind=1\r\nEq=0\r\n"
    "[Flow_User0]\r\nKind=2\r\n[System]\r\nKind=0\r\nAnzahl=1\r\n"
    "[Bemerkung]\r\nZeile 1=Pumpstation 7\r\n";

// `print WHAT` of the file into the PDF, with the options before.
CliRun Print(const TempDir& home, std::vector<std::string> args, const char* what,
             const fs::path& file, const fs::path& pdf) {
    args.insert(args.end(), {"print", what, "--file", file.string(), "--pdf", pdf.string()});
    return RunCli(args, home.path());
}

// Offline the title names the file as the status bar does. The header line
// shortens a long path in its middle (the core's HeaderLine) and keeps the
// file's name, the date whole after it in the language's format.
TEST(CliPrint, EachPrintoutFromAParameterFile) {
    TempDir home;
    const fs::path folder =
        home / "Stationen" / "Nordnetz" / "Verdichterstation Hohenwarte" / "2026" / "Dezember";
    fs::create_directories(folder);
    const fs::path file = folder / "Inbetriebnahme NORD-7.PGA";
    writeFileBytes(file, kStation);
    struct Case {
        const char* lang;
        const char* what;
        std::size_t pages;
        std::uint16_t titleText;
        int titlePage;
        const char* date;  // the header line's date at its end; null: not looked at
    };
    // The date in each language: HeaderLine.DateAsTheWindowOfTheLanguageShowsIt.
    for (const Case c :
         {Case{"en", "parameters", 2, 64, 0, nullptr}, Case{"en", "record", 4, 31232, 2, nullptr},
          Case{"de", "terminal-plan", 2, 31232, 0, R"(\d\d\.\d\d\.\d\d\d\d \d\d:\d\d$)"}}) {
        SCOPED_TRACE(std::string(c.lang) + " " + c.what);
        const auto pdf = home / (std::string(c.what) + ".pdf");
        const CliRun r = Print(home, {"--lang", c.lang}, c.what, file, pdf);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, pdf.string() + "\n");
        const auto pages = PdfPages(pdf);
        ASSERT_EQ(pages.size(), c.pages);
        const auto& titled = pages[static_cast<std::size_t>(c.titlePage)];
        const int sprache = std::string(c.lang) == "de" ? 0 : 1;
        EXPECT_TRUE(Has(titled, LibraryText(0, sprache, c.titleText) + "  ")) << titled;
        EXPECT_TRUE(Has(titled, "NORD-7.PGA")) << titled;
        EXPECT_TRUE(Has(pages.back(), "Pumpstation 7"));
        if (c.date == nullptr) continue;
        // The first line of the page as pdftotext lays it out.
        const std::size_t start = pages[0].find_first_not_of('\n');
        ASSERT_NE(start, std::string::npos);
        const std::string line = pages[0].substr(start, pages[0].find('\n', start) - start);
        EXPECT_TRUE(Has(line, "...")) << line;
        EXPECT_FALSE(Has(line, "Verdichterstation Hohenwarte")) << line;
        EXPECT_TRUE(std::regex_search(line, std::regex(std::string("NORD-7\\.PGA {2,}") + c.date)))
            << line;
    }
    // What each printout holds: the print tests of the core.
}

TEST(CliPrint, FromTheDeviceWithItsSerialNumberAndClock) {
    CliRig r(SimDevice(1));
    const auto pdf = r / "p.pdf";
    // What is printed, its pages, and texts on the first page.
    const std::tuple<const char*, std::size_t, std::vector<std::string>> cases[] = {
        {"parameters", 1, {LibraryText(1, 0, 64) + " SerialNo:PVE2-0007919"}},
        {"record", 3, {"Inbetriebnahmeprotokoll", "PV-ENG2 V2.07", "Abweichung der Geräteuhr"}},
    };
    for (const auto& [what, pageCount, first] : cases) {
        const CliRun run = r.run({"--lang", "de", "print", what, "--pdf", pdf.string()});
        ASSERT_EQ(run.code, 0) << run.err;
        const auto pages = PdfPages(pdf);
        ASSERT_EQ(pages.size(), pageCount) << what;
        for (const std::string& part : first) EXPECT_TRUE(Has(pages[0], part)) << pages[0];
    }
}

TEST(CliPrint, FilesAndPathsThatCannotServe) {
    TempDir home;
    const auto good = home / "station.PGA";
    writeFileBytes(good, kStation);
    const auto oil = home / "oil.PGA";
    writeFileBytes(oil, "[Medium]\r\nIdent=OIL\r\n");
    // A PDF marked read-only is not replaced, by root neither.
    const auto kept = home / "kept.pdf";
    writeFileBytes(kept, "old");
    fs::permissions(kept, static_cast<fs::perms>(0444));
    struct Case {
        fs::path file;
        fs::path pdf;
        std::string says;
    };
    const Case cases[] = {
        {oil, home / "o.pdf", LibraryText(0, 1, 4)},
        {home / "missing.PGA", home / "m.pdf", "no such file"},
        {home.path(), home / "d.pdf", "it is a folder, not a file"},
        {good, home / "no-folder" / "x.pdf", LibraryText(0, 1, 7)},
        {good, kept, "Permission denied"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Says(Print(home, {"--lang", "en"}, "terminal-plan", c.file, c.pdf), 1, c.says))
            << c.file;
        if (c.pdf == kept) {
            EXPECT_EQ(readFileBytes(kept), "old");
        } else {
            EXPECT_FALSE(fs::exists(c.pdf)) << c.pdf;
        }
    }

    // Usage: what to print and where (an option of another command: CliUsage).
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"print", "plan", "--pdf", "x.pdf"},
          {"print", "parameters", "--file", good.string()}}) {
        EXPECT_EQ(RunCli(args, home.path()).code, 2) << args[1];
    }
}

TEST(CliLanguage, IdentifyLabelsFollowLang) {
    CliRig r;
    // The serial number "Zähler 12" with the device's own byte for the
    // umlaut: device texts are shown as Windows-1252.
    const std::string serial = "Z\xE4hler 12      ";
    r.device.poke(address::DeviceSerialNo,
                  std::span(reinterpret_cast<const std::uint8_t*>(serial.data()), 16));
    // Each label in full, with the padding of the language's longest one: a
    // label left in the other language fails its own line.
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"de",
         {"Kennung:      ", "Variante:     Gas\n", "Programm:     ", "Seriennummer: ",
          "Ausbaustufe:  ", "Zugriffsbits: ", "(nicht geschützt)\n"}},
        {"en",
         {"Identity:        ", "Variant:         gas\n",
          "Program:         ", "Serial number:   Z\xC3\xA4hler 12\n",
          "Expansion level: ", "Access flags:    ", "(not protected)\n"}},
    };
    for (const auto& [lang, labels] : cases) {
        SCOPED_TRACE(lang);
        const CliRun run = r.run({"--lang", lang, "identify"});
        ASSERT_EQ(run.code, 0) << run.err;
        for (const std::string& label : labels) EXPECT_TRUE(Has(run.out, label)) << run.out;
    }
    // The JSON keys stay English in German: CliJson, which runs in German.
}

}  // namespace
}  // namespace parvion::test
