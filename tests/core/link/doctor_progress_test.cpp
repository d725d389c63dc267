// A connection-doctor run watched and stopped on real pseudo-terminals with
// the simulated device, and the one line that sums a run up.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/link/doctor.h"
#include "core/model/session.h"
#include "support/recording_ui.h"
#include "support/sim_pty.h"
#include "support/temp_dir.h"

namespace parvion {
namespace {

using doctor::Finding;
using doctor::PortReport;
using doctor::Step;
using doctor::Verdict;
namespace t = doctor::text;

TEST(DoctorProgress, ReportsEachPortAndRateAndStopsWhereItIsCancelled) {
    test::SimPty first(test::AtBaud(0)),
        second(test::AtBaud(4));  // "Com 1" (chosen) at 1200, "Com 2" at 19200 baud
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
            EXPECT_FALSE(reports[i].cancelled);
            EXPECT_EQ(reports[i].answeredBaudIndex, i == 0 ? 0 : 4);
        }
    }
    // Identity requests only: neither device changed.
    EXPECT_EQ(first.device.writesAccepted() + second.device.writesAccepted(), 0u);
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
    missing.findings = {{Verdict::Failed, t::kMissing, {"/dev/ttyS9"}}};
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
        {"the chosen port's first failure",
         {silent, missing},
         false,
         2,
         "No device answered. No device answers on /dev/ttyS0."},
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
