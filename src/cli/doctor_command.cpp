#include "cli/doctor_command.h"

#include <algorithm>
#include <iostream>

#include "cli/cli_error.h"
#include "cli/context.h"
#include "cli/json_output.h"
#include "core/app/error_log.h"
#include "core/app/settings.h"
#include "core/link/doctor.h"
#include "core/link/ui_hooks.h"

namespace parvion::cli {

void RunDoctor(Context& ctx) {
    const views::TextLoader text = ctx.texts();
    const ProfileFile settings(SettingsFile(ctx.appData()));
    const doctor::ComPorts comPort = [&settings](int n) { return PortName(settings, n); };
    NullUiHooks ui;
    const bool json = ctx.options().json;
    // Each port's findings as soon as it has been checked.
    auto print = [&text](const doctor::PortReport& report) {
        std::cout << doctor::RenderPortReport(report, text);
        std::cout.flush();
    };
    const std::vector<doctor::PortReport> reports = doctor::CheckPorts(
        ctx.portPath(), comPort, doctor::SystemPorts(), ctx.session().Baudrate, ui, ctx.appData(),
        {nullptr, ctx.session().NetLatencyMs, ErrorLogIn(ctx.appData())},
        json ? std::function<void(const doctor::PortReport&)>() : print);
    const bool answered = std::any_of(reports.begin(), reports.end(),
                                      [](const doctor::PortReport& r) { return r.answered(); });
    if (json) {
        json_output::PrintDoctor(ctx, reports);
    } else if (reports.empty()) {
        std::cout << text(doctor::text::kNoPorts) << '\n';
    }
    std::cout.flush();
    if (!answered) throw CliError(kExitFailure, "no device answered");
}

}  // namespace parvion::cli
