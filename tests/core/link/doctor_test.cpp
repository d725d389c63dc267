// The connection doctor against the simulated device on real
// pseudo-terminals: the baud rate a device answers at, the ports that cannot
// be used (missing, not a device, no permission, held by another process),
// a device that sends garbage, a port that disappears, a run watched and
// stopped, and the texts. Why a port could not be opened is said in the
// session's language: the lines' own English words go to the error log,
// never into a German sentence.

#include "core/link/doctor.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "core/app/texts.h"
#include "core/link/link_failure.h"
#include "core/link/net_port.h"
#include "core/model/session.h"
#include "support/recording_ui.h"
#include "support/sim_pty.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

extern char** environ;

namespace parvion {
namespace {

using doctor::Finding;
using doctor::PortReport;
using doctor::Step;
using doctor::Verdict;
using test::RecordingUi;
using test::SimPty;
using test::TempDir;
using test::writeFileBytes;
namespace t = doctor::text;

const Finding* Find(const std::vector<Finding>& findings, std::uint16_t text) {
    const auto it = std::find_if(findings.begin(), findings.end(),
                                 [text](const Finding& f) { return f.text == text; });
    return it == findings.end() ? nullptr : &*it;
}

// The whole check of a port, with its logs in a scratch folder.
doctor::PortReport Check(const std::string& path, int configured = 7) {
    TempDir logs;
    RecordingUi ui;
    return doctor::CheckPort(path, nullptr, configured, ui, logs.path());
}

std::string Numbers(const std::vector<Finding>& findings) {
    std::string s;
    for (const Finding& f : findings) s += std::to_string(f.text) + " ";
    return s;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct Libraries {
    Session german;
    Session english;
    TextLibrary de{PARVION_BIN_DIR, german};
    TextLibrary en{PARVION_BIN_DIR, english};
    Libraries() { english.Sprache = 1; }
    views::TextLoader text(int sprache) const {
        const TextLibrary* lib = sprache == 1 ? &en : &de;
        return [lib](std::uint16_t n) { return lib->LoadText(n); };
    }
};

TEST(Doctor, PortsThatCannotBeUsedAreNamedAndNotQueried) {
    TempDir dir;
    const std::string plainFile = (dir.path() / "not-a-port").string();
    writeFileBytes(plainFile, "x");
    struct Case {
        std::string path;
        std::uint16_t expected;
    };
    for (const Case& c : {Case{"/dev/parvion-no-such-port", t::kMissing},
                          Case{plainFile + "/ttyUSB9", t::kMissing},  // below a file
                          Case{plainFile, t::kNotADevice}}) {
        const PortReport r = Check(c.path);
        ASSERT_FALSE(r.findings.empty());
        EXPECT_EQ(r.findings.front().text, c.expected) << c.path;
        EXPECT_EQ(r.findings.front().verdict, Verdict::Failed);
        EXPECT_NE(Find(r.findings, t::kNotQueried), nullptr);
        EXPECT_FALSE(r.answered());
    }
}

TEST(Doctor, AnUnreadablePortNamesTheGroupThatWouldOpenIt) {
    // A bare pseudo-terminal, without a server thread: the child of a fork
    // must not inherit an allocator lock another thread held.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string path = ::ptsname(master);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    const group* gr = ::getgrgid(st.st_gid);
    ASSERT_NE(gr, nullptr);
    const std::string groupName = gr->gr_name;
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    // The child is "nobody" (when the tests run as root): a member of no
    // group that owns terminals.
    const int code = test::runUnprivileged([&] {
        const auto findings = doctor::CheckSystem(path, nullptr);
        if (doctor::MayQuery(findings)) return 1;
        const Finding* f = Find(findings, t::kNotInGroup);
        if (f == nullptr) return 2;
        if (f->args.at(1) != groupName) return 3;
        return 0;
    });
    ::close(master);
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    EXPECT_EQ(code, 0);
}

TEST(Doctor, APortHeldByAnotherProcessNamesThatProcess) {
    SimPty pty;
    ASSERT_TRUE(pty.started);
    // Another program with the port open: sleep with the port as its input.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, pty.path().c_str(), O_RDWR | O_NOCTTY, 0);
    // Not the master side of the server in this process: that would make
    // the child the pseudo-terminal's server.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    char sleepName[] = "sleep";
    char seconds[] = "30";
    char* argv[] = {sleepName, seconds, nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawnp(&pid, "sleep", &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    // Wait until the child has the port open.
    std::vector<Finding> findings;
    for (int i = 0; i < 200; ++i) {
        findings = doctor::CheckSystem(pty.path(), nullptr);
        if (Find(findings, t::kHeldBy) != nullptr) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const Finding* held = Find(findings, t::kHeldBy);
    ASSERT_NE(held, nullptr) << Numbers(findings);
    EXPECT_EQ(held->args.at(1), std::to_string(pid));
    EXPECT_EQ(held->args.at(2), "sleep");
    EXPECT_FALSE(doctor::MayQuery(findings));
    // Gone again: the port is free.
    EXPECT_NE(Find(doctor::CheckSystem(pty.path(), nullptr), t::kNotHeld), nullptr);
}

TEST(Doctor, LockFilesNameAProcessOrAreStaleOrForeign) {
    // The parent of this test runs; a process id beyond pid_max never does.
    const std::string parent = std::to_string(::getppid());
    const std::int32_t binaryParent = ::getppid();
    const std::int32_t binaryMinusOne = -1;
    struct Case {
        std::string content;
        std::optional<std::uint16_t> text;  // nothing: the lock is this process's own
        const char* shown;
    };
    const Case cases[] = {
        {"      " + parent + "\n", t::kLockFile, parent.c_str()},
        {std::string(reinterpret_cast<const char*>(&binaryParent), 4), t::kLockFile,
         parent.c_str()},
        {"4194305000\n", t::kForeignLock, "4194305000"},
        {"99999999\n", t::kStaleLock, "99999999"},
        {"0", t::kForeignLock, "0"},
        {std::string(reinterpret_cast<const char*>(&binaryMinusOne), 4), t::kForeignLock, "?"},
        {"pid 1234", t::kForeignLock, "pid 1234"},
        {"", t::kForeignLock, "?"},
        {std::to_string(::getpid()), std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        const std::optional<Finding> f = doctor::LockFileFinding("/run/lock/LCK..ttyS0", c.content);
        ASSERT_EQ(f.has_value(), c.text.has_value());
        if (!f) continue;
        EXPECT_EQ(f->text, *c.text);
        EXPECT_EQ(f->verdict, *c.text == t::kLockFile ? Verdict::Failed : Verdict::Warning);
        EXPECT_EQ(f->args, (std::vector<std::string>{"/run/lock/LCK..ttyS0", c.shown}));
    }
}

TEST(Doctor, GarbageAndAnUnknownIdentityAreNamedAndNeverTakenForTheDevice) {
    struct Case {
        int badReplies;
        bool answers;
    };
    for (const Case c : {Case{1, true}, Case{1000, false}}) {
        SimPty pty;
        ASSERT_TRUE(pty.started);
        pty.device.injectFault(sim::Fault::BadChecksum, c.badReplies);
        const PortReport r = Check(pty.path());
        const Finding* garbled = Find(r.findings, t::kGarbled);
        ASSERT_NE(garbled, nullptr) << Numbers(r.findings);
        EXPECT_EQ(garbled->args.at(1), "115200");
        EXPECT_EQ(r.answered(), c.answers);
        EXPECT_EQ(Find(r.findings, t::kNoAnswer) != nullptr, !c.answers);
    }

    sim::DeviceOptions o;
    o.ident = "XY\x01-9000";
    SimPty pty(o);
    ASSERT_TRUE(pty.started);
    const PortReport r = Check(pty.path());
    EXPECT_FALSE(r.answered());
    const Finding* unknown = Find(r.findings, t::kUnknownIdent);
    ASSERT_NE(unknown, nullptr) << Numbers(r.findings);
    EXPECT_EQ(unknown->args.at(2), "XY?-9000");
}

TEST(Doctor, APortThatDisappearsDuringTheQueryIsReported) {
    auto pty = std::make_unique<SimPty>();
    ASSERT_TRUE(pty->started);
    PortReport r;
    r.path = pty->path();
    ASSERT_TRUE(doctor::MayQuery(doctor::CheckSystem(r.path, nullptr)));
    pty.reset();  // the cable is pulled: the pseudo-terminal is gone
    TempDir logs;
    RecordingUi ui;
    doctor::QueryDevice(r, 7, ui, logs.path());
    EXPECT_FALSE(r.answered());
    ASSERT_FALSE(r.findings.empty());
    EXPECT_TRUE(r.findings.back().text == t::kDisappeared ||
                r.findings.back().text == t::kCannotOpen)
        << Numbers(r.findings);
}

TEST(Doctor, PortsAreTestedOnceChosenFirstWithoutForeignTerminals) {
    struct Case {
        std::string chosen;
        std::map<int, std::string> table;  // Com N -> path; others keep their default
        std::vector<std::string> listed;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"/dev/ttyS0", {}, {"/dev/ttyUSB0", "/dev/ttyS0"}, {"/dev/ttyS0", "/dev/ttyUSB0"}},
        // A terminal session's pseudo-terminal is never sent a request,
        // unless the user chose or mapped it.
        {"/dev/ttyUSB1",
         {{3, "/dev/pts/7"}},
         {"/dev/pts/3", "/dev/pts/7"},
         {"/dev/ttyUSB1", "/dev/pts/7"}},
        // A port mapped to its own default path is no mapping: only the
        // system's list brings it in.
        {"", {{1, "/dev/ttyS0"}, {2, "/dev/ttyACM0"}}, {}, {"/dev/ttyACM0"}},
        {"tcp://box:4001",
         {{8, "rfc2217://box:4002"}},
         {},
         {"tcp://box:4001", "rfc2217://box:4002"}},
    };
    for (const Case& c : cases) {
        std::vector<doctor::ListedPort> listed;
        for (const std::string& p : c.listed) listed.push_back({p, {}, {}, -1, -1});
        const doctor::ComPorts table = [&c](int n) {
            const auto it = c.table.find(n);
            return it != c.table.end() ? it->second : DefaultPortName(n);
        };
        EXPECT_EQ(doctor::PortsToTest(c.chosen, table, listed), c.expected) << c.chosen;
    }
}

TEST(Doctor, FindingsReadInBothLanguagesWithTheirValuesFilledIn) {
    Session session;
    TextLibrary texts(PARVION_BIN_DIR, session);
    const Finding f{Verdict::Failed, t::kNotInGroup, {"/dev/ttyUSB0", "dialout", "anna"}};
    for (int medium : {0, 1}) {
        for (int sprache : {0, 1}) {
            session.Medium = medium;
            session.Sprache = sprache;
            const std::string s =
                doctor::RenderFinding(f, [&](std::uint16_t n) { return texts.LoadText(n); });
            EXPECT_NE(s.find("/dev/ttyUSB0"), std::string::npos) << s;
            EXPECT_NE(s.find("usermod -aG dialout anna"), std::string::npos) << s;
            EXPECT_EQ(s.find('%'), std::string::npos) << s;
        }
    }
    // A library without the text still names the finding and its values.
    EXPECT_EQ(doctor::RenderFinding(f, [](std::uint16_t) { return std::string(); }),
              "#22538 /dev/ttyUSB0 dialout anna");
}

// Each device is found at the rate it uses, whatever rate is configured,
// and named by its identity; only identity requests go out.
TEST(DoctorProgress, ReportsEachPortAndRateAndStopsWhereItIsCancelled) {
    sim::DeviceOptions energy = test::AtBaud(4);
    energy.medium = 1;
    test::SimPty first(test::AtBaud(0)),
        second(energy);  // "Com 1" (chosen) at 1200, "Com 2" at 19200 baud
    const std::string a = first.server.slavePath();
    const std::string b = second.server.slavePath();
    const doctor::ComPorts comPorts = [&](int n) {
        return n == 1 ? a : n == 2 ? b : DefaultPortName(n);
    };
    // Port 1 tries 115200, then 1200; port 2 tries 115200, 1200 … 19200.
    const std::vector<Step> whole = {{a, 1, 2, -1}, {a, 1, 2, 7}, {a, 1, 2, 0}, {b, 2, 2, -1},
                                     {b, 2, 2, 7},  {b, 2, 2, 0}, {b, 2, 2, 1}, {b, 2, 2, 2},
                                     {b, 2, 2, 3},  {b, 2, 2, 4}};
    const struct {
        std::size_t stopAfter;  // steps reported before the stop; 0: never stopped
        std::size_t reports;    // ports checked completely
    } cases[] = {{0, 2}, {2, 0}, {3, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stopAfter);
        test::TempDir logs;
        NullUiHooks ui;
        std::vector<Step> steps;
        doctor::ProbeOptions options;
        options.step = [&steps](const Step& s) { steps.push_back(s); };
        options.cancelled = [&] { return c.stopAfter != 0 && steps.size() >= c.stopAfter; };
        const auto reports = doctor::CheckPorts(a, comPorts, {}, 7, ui, logs.path(), options);
        const std::size_t seen = c.stopAfter == 0 ? whole.size() : c.stopAfter;
        EXPECT_EQ(steps, std::vector<Step>(whole.begin(),
                                           whole.begin() + static_cast<std::ptrdiff_t>(seen)));
        ASSERT_EQ(reports.size(), c.reports);
        for (std::size_t i = 0; i < reports.size(); ++i) {
            const PortReport& r = reports[i];
            EXPECT_FALSE(r.cancelled);
            EXPECT_EQ(r.answeredBaudIndex, i == 0 ? 0 : 4);
            EXPECT_EQ(r.ident, i == 0 ? "PV-GAS2 " : "PV-ENG2 ");
            const Finding* answered = Find(r.findings, t::kAnswered);
            ASSERT_NE(answered, nullptr) << Numbers(r.findings);
            EXPECT_EQ(answered->args.at(2), i == 0 ? "1200" : "19200");
            EXPECT_NE(Find(r.findings, t::kPseudoTerminal), nullptr);
            EXPECT_NE(Find(r.findings, t::kNotHeld), nullptr);
        }
    }
    // Identity requests only: neither device changed.
    EXPECT_EQ(first.device.writesAccepted() + second.device.writesAccepted(), 0u);
}

TEST(DoctorProgress, StepsAndTheRunAreSaidInOneLine) {
    const Libraries libs;
    const views::TextLoader text = libs.text(1);
    EXPECT_EQ(doctor::StepText({"/dev/ttyUSB0", 2, 5, -1}, text),
              "Testing /dev/ttyUSB0 (port 2 of 5) …");
    EXPECT_EQ(doctor::StepText({"/dev/ttyUSB0", 1, 1, 4}, text),
              "Testing /dev/ttyUSB0 at 19200 baud (port 1 of 1) …");

    PortReport silent{"/dev/ttyS0", {}, -1, {}, false};
    silent.findings = {{Verdict::Ok, t::kPseudoTerminal, {"/dev/ttyS0"}},
                       {Verdict::Failed, t::kNoAnswer, {"/dev/ttyS0"}}};
    PortReport missing{"/dev/ttyS9", {}, -1, {}, false};
    missing.findings = {{Verdict::Failed, t::kMissing, {"/dev/ttyS9"}}};
    PortReport noted{"/dev/ttyS3", {}, -1, {}, false};
    noted.findings = {{Verdict::Ok, t::kPseudoTerminal, {"/dev/ttyS3"}},
                      {Verdict::Note, t::kNotQueried, {"/dev/ttyS3"}}};
    const PortReport answered{"/dev/ttyUSB0", {}, 6, "PV-GAS2 "};
    struct Case {
        const char* name;
        std::vector<PortReport> reports;
        bool cancelled;
        int portCount;
        const char* line;
    };
    const Case cases[] = {
        {"cancelled", {silent}, true, 3, "Test cancelled after 1 of 3 ports."},
        {"a later port answered",
         {silent, answered},
         false,
         2,
         "A device answered on /dev/ttyUSB0 at 57600 baud."},
        {"no ports", {}, false, 0, "The system lists no serial ports."},
        {"the chosen port's first failure",
         {silent, missing},
         false,
         2,
         "No device answered. No device answers on /dev/ttyS0 (1200 to 115200 baud tried). "
         "Check the cable and the device's power supply."},
        {"no failure: its last finding",
         {noted},
         false,
         1,
         "No device answered. No device query on /dev/ttyS3."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(doctor::RunSummary(c.reports, c.cancelled, c.portCount, text), c.line);
    }
}

TEST(OpenCauses, EachSystemErrorInTheLibrarysWordsWithoutTheLinesOwn) {
    const Libraries libs;
    struct Case {
        int errorNumber;
        const char* german;
        const char* english;
    };
    const Case cases[] = {
        {ENOENT, "existiert nicht", "does not exist"},
        {ENXIO, "existiert nicht", "does not exist"},
        {EACCES, "Gruppe dialout", "group dialout"},
        {EBUSY, "belegt", "busy"},
        {EWOULDBLOCK, "belegt", "busy"},
        {ENOTTY, "keine serielle Schnittstelle", "not a serial port"},
        {EINVAL, "Übertragungsrate", "baud rate"},
        {0, "Ursache unbekannt", "cause unknown"},
        {EIO, "Systemfehler EIO", "system error EIO"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.errorNumber);
        EXPECT_TRUE(Has(OpenCauseText(c.errorNumber, libs.text(0)), c.german));
        EXPECT_TRUE(Has(OpenCauseText(c.errorNumber, libs.text(1)), c.english));
    }

    // A line that names no error number (the window's serial port for an error
    // of its own) or one without a sentence of its own: the German sentence
    // holds German words only.
    const std::string detail = "Input/output error (QSerialPort)";
    for (const int errorNumber : {0, EIO, EPROTO}) {
        SCOPED_TRACE(errorNumber);
        const LinkFailure f{LinkCause::OpenFailed, errorNumber, detail, "/dev/ttyUSB0", 9600};
        const std::string german = LinkFailureText(f, libs.text(0));
        const std::string english = LinkFailureText(f, libs.text(1));
        EXPECT_TRUE(Has(german, "/dev/ttyUSB0 kann nicht geöffnet werden")) << german;
        EXPECT_TRUE(Has(german, errorNumber == 0 ? "Ursache unbekannt" : "Systemfehler")) << german;
        EXPECT_FALSE(Has(german, "error")) << german;
        EXPECT_FALSE(Has(english, "QSerialPort")) << english;
    }
}

// A real path the system cannot open: a loop of symbolic links. The
// doctor's finding names the cause in either language, not in the words of
// strerror.
TEST(OpenCauses, TheDoctorsFindingForARealPath) {
    const Libraries libs;
    TempDir dir;
    const auto a = dir.path() / "ttyLoopA";
    const auto b = dir.path() / "ttyLoopB";
    ASSERT_EQ(::symlink(b.c_str(), a.c_str()), 0);
    ASSERT_EQ(::symlink(a.c_str(), b.c_str()), 0);
    const PortReport r = Check(a.string());
    ASSERT_FALSE(r.findings.empty());
    const doctor::Finding& f = r.findings.front();
    EXPECT_EQ(f.text, doctor::text::kCannotOpen);
    const std::string german = doctor::RenderFinding(f, libs.text(0));
    const std::string english = doctor::RenderFinding(f, libs.text(1));
    EXPECT_TRUE(Has(german, a.string() + " kann nicht geöffnet werden: Systemfehler ELOOP"))
        << german;
    EXPECT_TRUE(Has(english, "system error ELOOP")) << english;
    for (const std::string& t : {german, english}) {
        EXPECT_FALSE(Has(t, "symbolic links")) << t;
        EXPECT_FALSE(Has(t, "%")) << t;
    }
}

// A malformed network port name and a server's broken Telnet negotiation:
// the cause in the library's words, in English the very words the error log
// gets.
TEST(OpenCauses, NetworkCausesInTheLibrarysWords) {
    const Libraries libs;
    // What the parser says (in English, as the error log gets it) and the
    // library's German words for it (nullptr: not compared).
    const std::tuple<const char*, const char*, const char*> names[] = {
        {"/dev/ttyS0", "", "nicht rfc2217://HOST:PORT oder tcp://HOST:PORT"},
        {"tcp://station :4001", "blanks",
         "Leerzeichen sind im Namen eines Anschlusses nicht erlaubt"},
        {"tcp://", "no host and no port", "weder Rechner noch Portnummer"},
        {"rfc2217://[::1:4001", "no closing bracket",
         "der IPv6-Adresse fehlt die schließende Klammer"},
        {"rfc2217://[zz]:1", "not an IPv6 address", "„zz“ ist keine IPv6-Adresse"},
        {"tcp://station", "no port number", "keine Portnummer"},
        {"tcp://station:", "no port number", nullptr},
        {"rfc2217://[::1]4001", "no port number", nullptr},
        {"tcp://::1:4001", "IPv6 address needs brackets",
         "eine IPv6-Adresse steht in Klammern, wie in rfc2217://[::1]:4001"},
        {"tcp://:4001", "no host", "kein Rechner"},
        {"tcp://st*tion:1", "not a host name", "„st*tion“ ist kein Rechnername"},
        {"tcp://station:40x1", "is not a port number", "„40x1“ ist keine Portnummer"},
        {"tcp://station:65536", "port 65536 is not 1 to 65535",
         "Port 65536 liegt nicht zwischen 1 und 65535"},
        {"tcp://station:0", "port 0 is not 1 to 65535", nullptr},
        {"tcp://station:99999999999", "is not 1 to 65535", nullptr},
    };
    for (const auto& [port, english, german] : names) {
        SCOPED_TRACE(port);
        std::string why;
        ASSERT_FALSE(ParseNetworkPort(port, &why));
        EXPECT_TRUE(Has(why, english)) << why;
        const std::optional<CauseText> cause = NetNameCause(port);
        ASSERT_TRUE(cause);
        if (german != nullptr) {
            EXPECT_EQ(Render(*cause, libs.text(0)), german);
        }
        EXPECT_EQ(Render(*cause, libs.text(1)), why);
    }
    EXPECT_FALSE(NetNameCause("rfc2217://station:4001"));

    // The link's failure and the doctor's finding put it into their sentence.
    const LinkFailure f{LinkCause::OpenFailed, EINVAL, "no port number", "tcp://station", 0};
    EXPECT_EQ(LinkFailureText(f, libs.text(0)),
              "tcp://station ist kein gültiger Netzwerk-Anschluss: keine Portnummer");
    const PortReport r = Check("tcp://st*tion:1");
    ASSERT_FALSE(r.findings.empty());
    EXPECT_TRUE(Has(doctor::RenderFinding(r.findings.front(), libs.text(0)),
                    "ist kein gültiger Netzwerk-Anschluss: „st*tion“ ist kein Rechnername"));

    const std::tuple<telnet::Fault, std::uint8_t, const char*> telnet[] = {
        {telnet::Fault::IacBefore, 7, "IAC vor Byte 7"},
        {telnet::Fault::Unended, 0, "eine Unteraushandlung ohne Ende"},
        {telnet::Fault::BrokenBy, 9, "eine Unteraushandlung, unterbrochen von Byte 9"},
    };
    for (const auto& [fault, byte, german] : telnet) {
        const std::optional<CauseText> cause = TelnetCause(fault, byte);
        ASSERT_TRUE(cause);
        EXPECT_EQ(Render(*cause, libs.text(0)), german);
    }
    EXPECT_FALSE(TelnetCause(telnet::Fault::None, 0));
}

}  // namespace
}  // namespace parvion
