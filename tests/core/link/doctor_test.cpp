// The connection doctor against the simulated device on real
// pseudo-terminals: the baud rate a device answers at, the ports that cannot
// be used (missing, not a device, no permission, held by another process),
// a device that sends garbage, a port that disappears, and the texts.

#include "core/link/doctor.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <map>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/app/texts.h"
#include "core/model/session.h"
#include "sim/lib/device.h"
#include "sim/lib/pty_server.h"
#include "support/recording_ui.h"
#include "support/sim_pty.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

extern char** environ;

namespace parvion {
namespace {

using doctor::Finding;
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

TEST(Doctor, FindsTheDeviceAtTheRateItUsesWhateverRateIsConfigured) {
    struct Case {
        int deviceBaud;
        int configured;
        int medium;
    };
    for (const Case c : {Case{4, 7, 0}, Case{3, 3, 1}, Case{0, 6, 0}}) {
        sim::DeviceOptions o;
        o.baudIndex = c.deviceBaud;
        o.medium = c.medium;
        SimPty pty(o);
        ASSERT_TRUE(pty.started);
        const auto started = std::chrono::steady_clock::now();
        const doctor::PortReport r = Check(pty.path(), c.configured);
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_EQ(r.answeredBaudIndex, c.deviceBaud) << Numbers(r.findings);
        EXPECT_EQ(r.ident, c.medium == 0 ? "PV-GAS2 " : "PV-ENG2 ");
        const Finding* answered = Find(r.findings, t::kAnswered);
        ASSERT_NE(answered, nullptr);
        EXPECT_EQ(answered->args.at(2), std::to_string(kBaudRates[c.deviceBaud]));
        EXPECT_NE(Find(r.findings, t::kPseudoTerminal), nullptr);
        EXPECT_NE(Find(r.findings, t::kNotHeld), nullptr);
        // Only identity requests went out: nothing was written to the device.
        EXPECT_EQ(pty.device.writesAccepted(), 0u);
        // Bounded: at most every rate once (generous for a loaded machine).
        EXPECT_LT(took, std::chrono::seconds(20));
    }
}

TEST(Doctor, PortsThatCannotBeUsedAreNamedAndNotQueried) {
    TempDir dir;
    const std::string plainFile = (dir.path() / "not-a-port").string();
    writeFileBytes(plainFile, "x");
    struct Case {
        std::string path;
        std::uint16_t expected;
    };
    for (const Case& c : {Case{"/dev/parvion-no-such-port", t::kMissing},
                          Case{(dir.path() / "gone" / "ttyUSB9").string(), t::kMissing},
                          Case{plainFile, t::kNotADevice}}) {
        const doctor::PortReport r = Check(c.path);
        ASSERT_FALSE(r.findings.empty());
        EXPECT_EQ(r.findings.front().text, c.expected) << c.path;
        EXPECT_EQ(r.findings.front().verdict, Verdict::Failed);
        EXPECT_NE(Find(r.findings, t::kNotQueried), nullptr);
        EXPECT_FALSE(r.answered());
    }
}

TEST(Doctor, AnUnreadablePortNamesTheGroupThatWouldOpenIt) {
    SimPty pty;
    ASSERT_TRUE(pty.started);
    struct stat st {};
    ASSERT_EQ(::stat(pty.path().c_str(), &st), 0);
    const group* gr = ::getgrgid(st.st_gid);
    ASSERT_NE(gr, nullptr);
    const std::string groupName = gr->gr_name;
    ASSERT_EQ(::chmod(pty.path().c_str(), 0), 0);
    // The child is "nobody" (when the tests run as root): a member of no
    // group that owns terminals.
    const std::string path = pty.path();
    const int code = test::runUnprivileged([&] {
        const auto findings = doctor::CheckSystem(path, nullptr);
        if (doctor::MayQuery(findings)) return 1;
        const Finding* f = Find(findings, t::kNotInGroup);
        if (f == nullptr) return 2;
        if (f->args.at(1) != groupName) return 3;
        return 0;
    });
    ::chmod(pty.path().c_str(), 0620);
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

TEST(Doctor, GarbageIsReportedAndNeverMistakenForTheDevice) {
    struct Case {
        int badReplies;
        bool answers;
    };
    for (const Case c : {Case{1, true}, Case{1000, false}}) {
        SimPty pty;
        ASSERT_TRUE(pty.started);
        pty.device.injectFault(sim::Fault::BadChecksum, c.badReplies);
        const doctor::PortReport r = Check(pty.path());
        const Finding* garbled = Find(r.findings, t::kGarbled);
        ASSERT_NE(garbled, nullptr) << Numbers(r.findings);
        EXPECT_EQ(garbled->args.at(1), "115200");
        EXPECT_EQ(r.answered(), c.answers);
        EXPECT_EQ(Find(r.findings, t::kNoAnswer) != nullptr, !c.answers);
    }
}

TEST(Doctor, AnUnknownIdentityIsNamedNotTaken) {
    sim::DeviceOptions o;
    o.ident = "XY\x01-9000";
    SimPty pty(o);
    ASSERT_TRUE(pty.started);
    const doctor::PortReport r = Check(pty.path());
    EXPECT_FALSE(r.answered());
    const Finding* unknown = Find(r.findings, t::kUnknownIdent);
    ASSERT_NE(unknown, nullptr) << Numbers(r.findings);
    EXPECT_EQ(unknown->args.at(2), "XY?-9000");
}

TEST(Doctor, APortThatDisappearsDuringTheQueryIsReported) {
    auto pty = std::make_unique<SimPty>();
    ASSERT_TRUE(pty->started);
    doctor::PortReport r;
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

}  // namespace
}  // namespace parvion
