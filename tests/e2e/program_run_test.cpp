// The real program, started as its own process, goes online against the
// simulated device on a pseudo-terminal and keeps reading its live values.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/app/settings.h"
#include "core/model/profile_file.h"
#include "sim/lib/device.h"
#include "sim/lib/pty_server.h"
#include "support/temp_dir.h"

extern char** environ;

namespace parvion::test {
namespace {

TEST(Program, GoesOnlineAgainstTheSimulatorOverAPty) {
    const std::filesystem::path program = std::filesystem::path(PARVION_BIN_DIR) / "parvion2";
    ASSERT_TRUE(std::filesystem::exists(program));
    sim::Device device;
    sim::PtyServer server(device);
    std::string error;
    ASSERT_TRUE(server.start(&error)) << error;

    TempDir dir;
    const auto data = dir / "data";
    std::filesystem::create_directories(data / "parvion2");
    std::filesystem::create_directories(dir / "runtime");
    std::filesystem::permissions(dir / "runtime", std::filesystem::perms::owner_all);
    {
        ProfileFile ini(SettingsFile(data / "parvion2"));
        ini.writeString(settings_keys::kEinstellungen, settings_keys::kOnline, "1");
        ini.writeString(settings_keys::kEinstellungen, settings_keys::kBaudrate, "7");
        ini.writeString(settings_keys::kEinstellungen, settings_keys::kAnschluss, "0");
        ini.writeString(settings_keys::kPorts, "Com1", server.slavePath());
        ASSERT_TRUE(ini.save());
    }

    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen",
                                    "HOME=" + (dir / "home").string(),
                                    "XDG_DATA_HOME=" + data.string(),
                                    "XDG_CONFIG_HOME=" + (dir / "config").string(),
                                    "XDG_RUNTIME_DIR=" + (dir / "runtime").string(),
                                    "ASAN_OPTIONS=detect_leaks=0"};
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string path = program.string();
    char* argv[] = {path.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, envp.data()), 0);

    // Start-up identifies the device and reads circuit 1 (about 25 frames).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (device.framesServed() < 25 && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            FAIL() << "the program ended early, status " << status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_GE(device.framesServed(), 25u);
    EXPECT_GT(device.framesServed(0xB0), 0u);
    EXPECT_EQ(device.writesAccepted(), 0u);

    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    server.stop();
}

}  // namespace
}  // namespace parvion::test
