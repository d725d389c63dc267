// parvion2-cli doctor against the simulated device on a pseudo-terminal:
// the rate a device answers at, a port that does not exist, the language of
// the findings, and that nothing is written to the device.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "cli_process.h"

namespace parvion::test {
namespace {

TEST(CliDoctor, FindsTheDeviceAtItsRateAndNamesTheRate) {
    struct Case {
        int deviceBaud;
        const char* lang;
        const char* answered;  // the finding's words in that language
    };
    for (const Case c : {Case{4, "en", "answers on"}, Case{2, "de", "antwortet an"}}) {
        TempDir home;
        SimOnPty sim(AtBaud(c.deviceBaud));
        const CliRun r = RunCli(With(sim.line(), {"--lang", c.lang, "doctor"}), home.path());
        EXPECT_TRUE(Shows(r, c.answered));
        EXPECT_TRUE(Contains(r.out, "PV-GAS2")) << r.out;
        EXPECT_TRUE(Contains(r.out, std::to_string(kBaudRates[c.deviceBaud]) + " ")) << r.out;
        // The chosen port comes first.
        EXPECT_TRUE(Contains(SplitLines(r.out).at(0), sim.path())) << r.out;
        EXPECT_EQ(sim.device.writesAccepted(), 0u);
    }
}

// A missing port is named and the run fails, unless a port of the port
// table answers.
TEST(CliDoctor, AMissingPortAndThePortsOfThePortTable) {
    TempDir home;
    const std::vector<std::string> args = {"--port", "/dev/parvion-missing", "--lang", "en",
                                           "doctor"};
    CliRun r = RunCli(args, home.path());
    EXPECT_TRUE(Says(r, 1, "no device answered"));
    EXPECT_TRUE(Contains(r.out, "FAIL /dev/parvion-missing does not exist")) << r.out;

    SimOnPty sim;
    writeFileBytes(DataFolder(home) / "parvion2.ini", "[Ports]\r\nCom3=" + sim.path() + "\r\n");
    r = RunCli(args, home.path());
    EXPECT_TRUE(Shows(r, "/dev/parvion-missing does not exist"));
    EXPECT_TRUE(Contains(r.out, "Device PV-GAS2 answers on " + sim.path() + " at 115200 baud"))
        << r.out;
}

// The simulator program serving on a TCP socket with RFC 2217: the command
// line reaches it by the port name, and the doctor names the server, the
// round trip and the rate.
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

}  // namespace
}  // namespace parvion::test
