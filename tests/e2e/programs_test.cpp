// The real programs: started, asked for their version and help, a second
// start handing its file to the running window; and the run script builds
// every program the README names.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/app/settings.h"
#include "core/model/profile_file.h"
#include "gui/app/instance_channel.h"
#include "gui/app/instance_guard.h"
#include "gui/app/program.h"
#include "support/program_run.h"
#include "support/sim_pty.h"
#include "support/temp_dir.h"
#include "support/window_harness.h"
#include "version/version.h"

namespace parvion::test {
namespace {

// Starts a program of the build with the arguments and environment; while
// it runs, `whileRunning` is called (the test's own event loop) and the
// program is ended when that returns false; a program that does not end
// within 30 s is killed.
ProgramRun RunProgram(const std::string& name, const std::vector<std::string>& args,
                      const std::vector<std::string>& environment,
                      const std::filesystem::path& scratch,
                      const std::function<bool()>& whileRunning = {}) {
    ProgramStart start({(std::filesystem::path(PARVION_BIN_DIR) / name).string()}, environment,
                       scratch / (name + ".out"), scratch / (name + ".err"));
    start.whileRunning = whileRunning;
    start.argv.insert(start.argv.end(), args.begin(), args.end());
    start.environment.push_back("ASAN_OPTIONS=detect_leaks=0");
    return RunProgramUntilDone(std::move(start));
}

// A runtime folder in the scratch folder, private as the session's is.
std::filesystem::path RuntimeFolder(const TempDir& dir) {
    const auto runtime = dir / "runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    return runtime;
}

TEST(Program, GoesOnlineAgainstTheSimulatorOverAPty) {
    SimPty pty;
    ASSERT_TRUE(pty.started);
    TempDir dir;
    const auto data = dir / "data";
    std::filesystem::create_directories(data / "parvion2");
    {
        ProfileFile ini(SettingsFile(data / "parvion2"));
        ini.writeString(settings_keys::kEinstellungen, settings_keys::kOnline, "1");
        ini.writeString(settings_keys::kEinstellungen, settings_keys::kBaudrate, "7");
        ini.writeString(settings_keys::kEinstellungen, settings_keys::kAnschluss, "0");
        ini.writeString(settings_keys::kPorts, "Com1", pty.path());
        ASSERT_TRUE(ini.save());
    }
    // Start-up identifies the device and reads circuit 1 (about 25 frames);
    // the program runs until then.
    const ProgramRun run = RunProgram(
        "parvion2", {},
        {"QT_QPA_PLATFORM=offscreen", "HOME=" + (dir / "home").string(),
         "XDG_DATA_HOME=" + data.string(), "XDG_CONFIG_HOME=" + (dir / "config").string(),
         "XDG_RUNTIME_DIR=" + RuntimeFolder(dir).string()},
        dir.path(), [&pty] { return pty.device.framesServed() < 25; });
    EXPECT_GE(pty.device.framesServed(), 25u) << run.err;
    EXPECT_GT(pty.device.framesServed(0xB0), 0u);
    EXPECT_EQ(pty.device.writesAccepted(), 0u);
}

TEST(Program, VersionAndHelpOfAllThreePrograms) {
    TempDir dir;
    const std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen",
                                          "HOME=" + dir.path().string()};
    for (const char* program : {"parvion2", "parvion2-cli", "parvion2-sim"}) {
        ProgramRun r = RunProgram(program, {"--version"}, env, dir.path());
        EXPECT_EQ(r.code, 0) << program << r.err;
        EXPECT_EQ(r.out, VersionLine(program) + "\n");
        r = RunProgram(program, {"--help"}, env, dir.path());
        EXPECT_EQ(r.code, 0) << program << r.err;
        EXPECT_EQ(r.out.rfind(std::string("usage: ") + program + " [options]", 0), 0u) << r.out;
        EXPECT_NE(r.out.find(std::string("manual page ") + program + "(1)"), std::string::npos);
        r = RunProgram(program, {"--frobnicate"}, env, dir.path());
        EXPECT_EQ(r.code, 2) << program;
        EXPECT_NE(r.err.find("unknown option --frobnicate"), std::string::npos) << r.err;
    }
}

// `parvion2 FILE` while parvion2 runs: the file goes to the running window,
// which loads it, and the second start ends.
TEST(Program, ASecondStartHandsItsFileToTheRunningWindow) {
    TempDir dir;
    const auto runtime = RuntimeFolder(dir);
    gui::InstanceGuard guard(runtime / "parvion2.lock");
    ASSERT_TRUE(guard.acquired());
    gui::InstanceChannel channel;
    ASSERT_TRUE(channel.listen(runtime / "parvion2.socket"));
    Harness h(offline());
    ASSERT_TRUE(h.window->FormCreate());
    gui::ServeSecondStarts(channel, *h.window);
    h.window->image().Trend_User.Time = 5;
    const auto file = h.documents() / "station 7.PGA";
    std::filesystem::copy_file(parvion::test::FixturePath("params", "gas_full.PGA"), file);

    const ProgramRun second = RunProgram(
        "parvion2", {file.string()},
        {"QT_QPA_PLATFORM=offscreen", "HOME=" + (dir / "home").string(),
         "XDG_RUNTIME_DIR=" + runtime.string(), "XDG_DATA_HOME=" + (dir / "data").string()},
        dir.path(), [] {
            QCoreApplication::processEvents();
            return true;
        });
    EXPECT_EQ(second.code, 0) << second.err;
    for (int i = 0; i < 100 && h.window->recentFiles().empty(); ++i) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_FALSE(h.window->recentFiles().empty());
    EXPECT_EQ(h.window->recentFiles().front(), file);
    EXPECT_NE(h.window->image().Trend_User.Time, 5);
    // The second start made no settings of its own.
    EXPECT_FALSE(std::filesystem::exists(dir / "data"));
}

const std::filesystem::path kSourceRoot =
    std::filesystem::path(PARVION_FIXTURES_DIR).parent_path().parent_path();

// The programs a text names in backticks or commands: parvion2 and
// parvion2-<name>.
std::set<std::string> ProgramsNamed(const std::string& text) {
    std::set<std::string> names;
    const std::regex program(R"((^|[\s`/(])(parvion2(-[a-z]+)?)(?=[\s`)]|$))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), program);
         it != std::sregex_iterator(); ++it) {
        names.insert((*it)[2].str());
    }
    return names;
}

// The targets of the script's build commands (not those in a comment).
std::set<std::string> TargetsBuilt(const std::string& script) {
    std::set<std::string> targets;
    const std::regex build(R"((^|\n)[^#\n]*cmake --build[^#\n]*--target([^#\n]*))");
    for (auto it = std::sregex_iterator(script.begin(), script.end(), build);
         it != std::sregex_iterator(); ++it) {
        std::istringstream words((*it)[2].str());
        for (std::string w; words >> w;) targets.insert(w);
    }
    return targets;
}

TEST(RunScript, BuildsEveryProgramTheReadmeNames) {
    const std::set<std::string> named = ProgramsNamed(readFileBytes(kSourceRoot / "README.md"));
    // The README names all three, at least.
    for (const char* p : {"parvion2", "parvion2-sim", "parvion2-cli"}) {
        EXPECT_TRUE(named.count(p)) << p;
    }
    const std::set<std::string> built =
        TargetsBuilt(readFileBytes(kSourceRoot / "scripts" / "run"));
    ASSERT_FALSE(built.empty());
    for (const std::string& p : named) EXPECT_TRUE(built.count(p)) << p << " is not built";
}

}  // namespace
}  // namespace parvion::test
