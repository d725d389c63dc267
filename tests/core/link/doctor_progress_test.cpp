// A connection-doctor run watched and stopped: the steps it reports (each
// port before its system checks, each baud rate before its request), a stop
// between two rates and between two ports against the simulated device on
// real pseudo-terminals, and the one line that sums a run up.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/link/doctor.h"
#include "core/model/session.h"
#include "sim/lib/device.h"
#include "sim/lib/pty_server.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace parvion {
namespace {

using doctor::Finding;
using doctor::PortReport;
using doctor::Step;
using doctor::Verdict;
namespace t = doctor::text;

struct SimPty {
    explicit SimPty(int baudIndex) : device(Options(baudIndex)), server(device) {
        std::string error;
        started = server.start(&error);
        EXPECT_TRUE(started) << error;
    }
    static sim::DeviceOptions Options(int baudIndex) {
        sim::DeviceOptions o;
        o.baudIndex = baudIndex;
        return o;
    }
    const std::string& path() const { return server.slavePath(); }
    sim::Device device;
    sim::PtyServer server;
    bool started = false;
};

// Two simulated devices as "Com 1" (chosen) and "Com 2" (mapped), the
// first at 1200 baud so that its run tries every rate before it.
struct TwoPorts {
    TwoPorts() : first(0), second(4) {}
    doctor::ComPorts comPorts() const {
        return [this](int n) {
            return n == 1 ? first.path() : n == 2 ? second.path() : DefaultPortName(n);
        };
    }
    SimPty first;
    SimPty second;
};

// Runs the doctor over both ports, stopping once `stopAfter` steps were
// reported (never with 0); returns the steps seen and the reports.
std::pair<std::vector<Step>, std::vector<PortReport>> RunDoctor(const TwoPorts& ports,
                                                                std::size_t stopAfter) {
    test::TempDir logs;
    NullUiHooks ui;
    std::vector<Step> steps;
    doctor::ProbeOptions options;
    options.step = [&steps](const Step& s) { steps.push_back(s); };
    options.cancelled = [&] { return stopAfter != 0 && steps.size() >= stopAfter; };
    auto reports =
        doctor::CheckPorts(ports.first.path(), ports.comPorts(), {}, 7, ui, logs.path(), options);
    return {steps, reports};
}

TEST(DoctorProgress, ReportsEachPortAndRateAndStopsWhereItIsCancelled) {
    TwoPorts ports;
    ASSERT_TRUE(ports.first.started && ports.second.started);
    const std::string a = ports.first.path();
    const std::string b = ports.second.path();
    // The whole run: port 1 tries 115200, then 1200 (the device's rate);
    // port 2 tries 115200, 1200 … 19200.
    const std::vector<Step> whole = {{a, 1, 2, -1}, {a, 1, 2, 7}, {a, 1, 2, 0}, {b, 2, 2, -1},
                                     {b, 2, 2, 7},  {b, 2, 2, 0}, {b, 2, 2, 1}, {b, 2, 2, 2},
                                     {b, 2, 2, 3},  {b, 2, 2, 4}};
    struct Case {
        const char* name;
        std::size_t stopAfter;
        std::size_t steps;    // steps reported
        std::size_t reports;  // ports checked completely
    };
    const Case cases[] = {
        {"not cancelled", 0, whole.size(), 2},
        {"between two rates of the first port", 2, 2, 0},
        {"between the ports", 3, 3, 1},
        {"between two rates of the second port", 6, 6, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto [steps, reports] = RunDoctor(ports, c.stopAfter);
        EXPECT_EQ(steps, std::vector<Step>(whole.begin(),
                                           whole.begin() + static_cast<std::ptrdiff_t>(c.steps)));
        ASSERT_EQ(reports.size(), c.reports);
        for (const PortReport& r : reports) EXPECT_FALSE(r.cancelled);
        if (c.reports > 0) {
            EXPECT_EQ(reports[0].answeredBaudIndex, 0);
        }
        if (c.reports > 1) {
            EXPECT_EQ(reports[1].answeredBaudIndex, 4);
        }
    }
    // Identity requests only, whatever was stopped: neither device changed.
    EXPECT_EQ(ports.first.device.writesAccepted(), 0u);
    EXPECT_EQ(ports.second.device.writesAccepted(), 0u);
    EXPECT_EQ(ports.first.device.baudIndex(), 0);
    EXPECT_EQ(ports.second.device.baudIndex(), 4);
}

TEST(DoctorProgress, StepsAndTheRunAreSaidInOneLine) {
    const std::map<std::uint16_t, std::string> library = {
        {t::kStepSystem, "Testing %1 (port %2 of %3) …"},
        {t::kStepBaud, "Testing %1 at %2 baud (port %3 of %4) …"},
        {t::kCancelled, "Test cancelled after %1 of %2 ports."},
        {t::kFound, "A device answered on %1 at %2 baud."},
        {t::kNotFound, "No device answered. %1"},
        {t::kNoPorts, "The system lists no serial ports."},
        {t::kNoAnswer, "No device answers on %1."},
        {t::kMissing, "%1 does not exist."},
        {t::kNotQueried, "%1 was not asked."},
        {t::kPseudoTerminal, "%1 is a pseudo-terminal."},
    };
    const views::TextLoader text = [&library](std::uint16_t n) {
        const auto it = library.find(n);
        return it == library.end() ? std::string() : it->second;
    };
    EXPECT_EQ(doctor::StepText({"/dev/ttyUSB0", 2, 5, -1}, text),
              "Testing /dev/ttyUSB0 (port 2 of 5) …");
    EXPECT_EQ(doctor::StepText({"/dev/ttyUSB0", 1, 1, 4}, text),
              "Testing /dev/ttyUSB0 at 19200 baud (port 1 of 1) …");

    PortReport silent{"/dev/ttyS0", {}, -1, {}, false};
    silent.findings = {{Verdict::Ok, t::kPseudoTerminal, {"/dev/ttyS0"}},
                       {Verdict::Failed, t::kNoAnswer, {"/dev/ttyS0"}}};
    PortReport missing{"/dev/ttyS9", {}, -1, {}, false};
    missing.findings = {{Verdict::Failed, t::kMissing, {"/dev/ttyS9"}},
                        {Verdict::Note, t::kNotQueried, {"/dev/ttyS9"}}};
    PortReport noted{"/dev/ttyS3", {}, -1, {}, false};
    noted.findings = {{Verdict::Ok, t::kPseudoTerminal, {"/dev/ttyS3"}},
                      {Verdict::Note, t::kNotQueried, {"/dev/ttyS3"}}};
    PortReport answered{"/dev/ttyUSB0", {}, 6, "PV-GAS2 ", false};
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
        {"the chosen port's failure",
         {silent, missing},
         false,
         2,
         "No device answered. No device answers on /dev/ttyS0."},
        {"its first failure, not the note after it",
         {missing, silent},
         false,
         2,
         "No device answered. /dev/ttyS9 does not exist."},
        {"no failure: its last finding",
         {noted},
         false,
         1,
         "No device answered. /dev/ttyS3 was not asked."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(doctor::RunSummary(c.reports, c.cancelled, c.portCount, text), c.line);
    }
}

}  // namespace
}  // namespace parvion
