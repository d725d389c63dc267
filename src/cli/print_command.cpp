// parvion2-cli print parameters|terminal-plan|record --pdf FILE: the
// printouts of the window, written as a PDF, from the device or from a
// parameter file (--file).

#include <ctime>
#include <iostream>
#include <memory>

#include "cli/cli_error.h"
#include "cli/commands.h"
#include "cli/context.h"
#include "core/link/data_commands.h"
#include "core/model/defaults.h"
#include "core/model/parameter_file.h"
#include "core/model/value_format.h"
#include "core/print/printouts.h"

#ifdef PARVION_CLI_PRINT
#include <QGuiApplication>

#include "gui/print/page_renderer.h"
#endif

namespace parvion::cli {

namespace {

// This computer's clock.
DeviceDateTime Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const auto field = [](int v) { return static_cast<std::uint16_t>(v); };
    return {field(local.tm_year + 1900), field(local.tm_mon + 1), field(local.tm_mday),
            field(local.tm_hour),        field(local.tm_min),     field(local.tm_sec)};
}

// This computer's clock as the commissioning record states it.
std::string NowText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M:%S", &local);
    return buf;
}

#ifdef PARVION_CLI_PRINT
// Fonts need a Qt application; without a display the offscreen platform
// serves.
std::unique_ptr<QGuiApplication> StartQt() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    // Only what the program cannot go on without reaches stderr.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::cerr << "parvion2-cli: " << message.toStdString() << '\n';
        }
    });
    static int argc = 1;
    static char name[] = "parvion2-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}
#endif

}  // namespace

void RunPrint(Context& ctx) {
    const CliOptions& o = ctx.options();
    const std::string& what = o.args[0];
    if (what != "parameters" && what != "terminal-plan" && what != "record") {
        UsageError("print needs parameters, terminal-plan or record, not \"" + what + "\"");
    }
    if (!o.pdfFile) UsageError("print needs --pdf FILE");

    print::PrintHeader header;
    header.dateTime = print::HeaderDateTime(Now(), ctx.session().Sprache);
    print::DeviceIdentity identity;
    identity.computerClock = NowText();
    if (o.file) {
        LoadEditedFile(ctx, *o.file);
        // Shortened by the header to the room beside the date.
        header.source.statusText = *o.file;
        identity.fileName = *o.file;
    } else {
        ctx.connect(true);
        DeviceState& dev = ctx.device();
        if (what == "record") {
            // The record holds only what the device holds.
            ResetParameters(ctx.image(), ctx.medium(), true);
            if (!print::ReadRecordIdentity(ctx.link(), ctx.image(), dev, NowText(), identity)) {
                ctx.deviceFailure(
                    "the device's parameters or identity cannot be read; no record "
                    "was written");
            }
        } else {
            ReadWholeImage(ctx);
            ReadDeviceSerialNo(ctx.link(), dev.DeviceSerialNo);
        }
        header.source.online = true;
        header.source.serialNo = dev.DeviceSerialNo;
    }

    const edit::PageTexts texts{ctx.blocks(), ctx.texts(), ctx.values()};
    std::vector<print::PrintJob> jobs;
    if (what == "parameters") {
        jobs.push_back(print::ParameterPrintoutJob(ctx.image(), ctx.medium(), texts, header));
    } else if (what == "terminal-plan") {
        jobs = print::TerminalPlanJobs(ctx.image(), texts, header, 1);
    } else {
        jobs.push_back(print::CommissioningRecordJob(ctx.image(), ctx.medium(), texts, header,
                                                     identity, ctx.session().Sprache));
    }

#ifdef PARVION_CLI_PRINT
    const auto app = StartQt();
    QString reason;
    if (!gui::WritePdf(QString::fromStdString(*o.pdfFile), jobs, &reason)) {
        Failure(ctx.text(7, "The file cannot be written:") + " " + *o.pdfFile + ": " +
                reason.toStdString());
    }
    std::cout << *o.pdfFile << '\n';
#else
    Failure("this parvion2-cli was built without printing");
#endif
}

}  // namespace parvion::cli
