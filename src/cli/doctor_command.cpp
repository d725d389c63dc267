#include "cli/doctor_command.h"

#include <iostream>

#include "cli/cli_error.h"
#include "cli/context.h"
#include "cli/json_output.h"
#include "core/app/settings.h"
#include "core/link/doctor.h"
#include "core/link/ui_hooks.h"

namespace parvion::cli {

void RunDoctor(Context& ctx) {
    const views::TextLoader text = ctx.Texts();
    const std::vector<doctor::ListedPort> listed = doctor::SystemPorts();
    const std::vector<std::string> ports = doctor::PortsToTest(
        ctx.portPath(), doctor::MappedPorts(SettingsFile(ctx.appData())), listed);
    NullUiHooks ui;
    const bool json = ctx.options().json;
    std::vector<doctor::PortReport> reports;
    bool answered = false;
    for (const std::string& path : ports) {
        const doctor::ListedPort* entry = nullptr;
        for (const doctor::ListedPort& p : listed) {
            if (p.path == path) entry = &p;
        }
        const doctor::PortReport report =
            doctor::CheckPort(path, entry, ctx.session().Baudrate, ui, ctx.appData(),
                              {nullptr, ctx.session().NetLatencyMs});
        answered = answered || report.answered();
        if (json) {
            reports.push_back(report);
            continue;
        }
        std::cout << doctor::RenderFinding(
                         {doctor::Verdict::Ok, doctor::text::kPortHeading, {path}}, text)
                  << '\n';
        for (const doctor::Finding& f : report.findings) {
            std::string mark = doctor::VerdictMark(f.verdict);
            mark.resize(5, ' ');
            std::cout << "  " << mark << doctor::RenderFinding(f, text) << '\n';
        }
        std::cout.flush();
    }
    if (json) {
        json_output::PrintDoctor(ctx, reports);
    } else if (ports.empty()) {
        std::cout << text(doctor::text::kNoPorts) << '\n';
    }
    std::cout.flush();
    if (!answered) throw CliError(kExitFailure, "no device answered");
}

}  // namespace parvion::cli
