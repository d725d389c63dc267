#include "cli/commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <system_error>
#include <utility>

#include "cli/cli_error.h"
#include "cli/context.h"
#include "cli/history_command.h"
#include "cli/json_output.h"
#include "core/app/connection.h"
#include "core/calc/sgerg88.h"
#include "core/edit/circuit_page.h"
#include "core/edit/page_commands.h"
#include "core/edit/parameter_compare.h"
#include "core/edit/parameter_transfer.h"
#include "core/link/data_commands.h"
#include "core/link/live_read.h"
#include "core/link/parameter_blocks.h"
#include "core/model/defaults.h"
#include "core/model/parameter_diff.h"
#include "core/model/parameter_file.h"
#include "core/model/profile_file.h"
#include "core/model/units.h"
#include "core/model/value_format.h"
#include "core/model/variant.h"
#include "core/model/windows1252.h"
#include "core/views/about_lines.h"
#include "core/views/circuit_values.h"
#include "core/views/error_protocol_lines.h"
#include "core/views/integrator_lines.h"
#include "core/views/page_rules.h"
#include "core/views/text_source.h"
#include "core/views/trend_export.h"

namespace parvion::cli {

namespace fs = std::filesystem;

namespace {

void PrintLines(const std::vector<std::string>& lines) {
    for (const std::string& l : lines) std::cout << l << '\n';
}

// Lines of a label and its value, the values in one column after the
// longest label (labels counted in characters, not bytes).
void PrintLabelled(const std::vector<std::pair<std::string, std::string>>& lines) {
    const auto columns = [](const std::string& t) {
        return static_cast<std::size_t>(std::count_if(t.begin(), t.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
    };
    std::size_t width = 0;
    for (const auto& [label, value] : lines) width = std::max(width, columns(label));
    for (const auto& [label, value] : lines) {
        std::cout << label << std::string(width + 1 - columns(label), ' ') << value << '\n';
    }
}

// "Unterschiede: 3", "Differences: 3" as the comparison window counts
// them, in the language of --lang.
std::string DifferencesText(const Context& ctx, std::size_t count) {
    return ctx.text(edit::compare_text::kCount, "Differences:") + " " + std::to_string(count);
}

std::string Hex2(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X", v & 0xFFu);
    return buf;
}

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// A parameter file to be read must be a file; the message says what the
// path is instead.
void RequireFile(const fs::path& file) {
    std::error_code ec;
    const fs::file_status st = fs::status(file, ec);
    if (fs::is_regular_file(st)) return;
    const std::string what = "cannot read " + file.string() + ": ";
    if (fs::is_directory(st)) Failure(what + "it is a folder, not a file");
    if (ec && ec != std::errc::no_such_file_or_directory) Failure(what + ec.message());
    if (!fs::exists(st)) Failure(what + "no such file");
    Failure(what + "not a regular file");
}

// The message of a parameter file that could not be loaded.
[[noreturn]] void LoadFailure(Context& ctx, const fs::path& file, const ParameterFileResult& r) {
    switch (r.status) {
        case ParameterFileStatus::WrongVariant:
            Failure(file.string() + ": " +
                    ctx.text(4,
                             "the file holds a parameter set of "
                             "another variant"));
        case ParameterFileStatus::NotANumber:
            Failure(file.string() + ": " + ctx.text(6, "The value is not a valid number:") +
                    r.detail(file));
        default:
            Failure("cannot read " + file.string() + ": " + r.reason);
    }
}

// The keys the file lacks took their defaults: said before the set is used.
void WarnMissingKeys(Context& ctx, const fs::path& file, const ParameterFileResult& r) {
    if (r.missingKeys.empty()) return;
    std::cerr << "parvion2-cli: warning: "
              << views::FillPlaceholders(
                     ctx.text(kMissingKeysText,
                              "%1: %2 entries are missing and take their default values: %3"),
                     {file.string(), std::to_string(r.missingKeys.size()),
                      ListMissingKeys(r.missingKeys)})
              << '\n';
}

// Loads a parameter file onto the defaults of the device's variant, with
// the device's expansion level and system kinds, as the main window does.
ParameterImage LoadForDevice(Context& ctx, const fs::path& file) {
    RequireFile(file);
    ParameterImage img;
    img.System = ctx.image().System;
    ResetParameters(img, ctx.medium(), true);
    const ParameterFileResult r = LoadParameterFile(file, img, ctx.medium());
    if (!r.ok()) LoadFailure(ctx, file, r);
    WarnMissingKeys(ctx, file, r);
    return img;
}

}  // namespace

void ReadWholeImage(Context& ctx) {
    ParameterImage& img = ctx.image();
    ResetParameters(img, ctx.medium(), true);
    const int before = ctx.link().failedTransactions();
    ReadAllParameters(ctx.link(), img);
    const int failed = ctx.link().failedTransactions() - before;
    if (failed > 0 || !ctx.session().Online) {
        ctx.deviceFailure(std::to_string(failed) + " parameter block read(s) failed");
    }
}

namespace {

// The display units the device uses, so that values appear as on its pages.
void ReadUnits(Context& ctx) {
    if (!ReadDis_User(ctx.link(), ctx.image()))
        ctx.deviceFailure("the display options cannot be read");
    if (ctx.image().Dis_User.Einheiten == 0) return;
    for (int q = 0; q < 16; ++q) {
        if (!ReadUserEinheiten(ctx.link(), ctx.image(), q)) {
            ctx.deviceFailure("the unit selection cannot be read");
        }
    }
}

// The display units and the 16 unit selections, as the units page shows
// them and so that values appear in the user's units.
void ReadAllUnits(Context& ctx) {
    if (!ReadDis_User(ctx.link(), ctx.image()))
        ctx.deviceFailure("the display options cannot be read");
    for (int q = 0; q < 16; ++q) {
        if (!ReadUserEinheiten(ctx.link(), ctx.image(), q)) {
            ctx.deviceFailure("the unit selection cannot be read");
        }
    }
}

edit::PageTexts PageTexts(const Context& ctx) {
    return {ctx.blocks(), ctx.texts(), ctx.values()};
}

[[noreturn]] void Circuit2Refused(const std::string& where) {
    Failure("circuit 2 is not available " + where +
            ": the system definition uses one circuit or there is no second circuit");
}

// Reads what a page reads when it is filled, and the display units; a page
// never writes to the device. Fails when any read failed.
void ReadPage(Context& ctx, edit::PageName page, int circuit) {
    Link& link = ctx.link();
    const int before = link.failedTransactions();
    if (page == edit::PageName::Circuit && circuit == 1 &&
        views::Circuit2Unavailable(ctx.image().System)) {
        Circuit2Refused("on this device");
    }
    edit::ReadPageRecords(link, ctx.image(), page, circuit);
    if (link.failedTransactions() != before || !ctx.session().Online) {
        ctx.deviceFailure("the page's parameters cannot be read");
    }
    ReadAllUnits(ctx);
}

}  // namespace

void LoadEditedFile(Context& ctx, const fs::path& file) {
    RequireFile(file);
    const ProfileFile profile(file);
    if (!profile.loaded()) Failure(profile.loadError());  // "cannot read FILE: why"

    const std::string ident = profile.readString("Medium", "Ident", "");
    const Variant* variant = VariantOfFileMedium(ident);
    if (variant == nullptr) {
        Failure(file.string() + ": " +
                ctx.text(4, "the file holds no parameter set of a known variant"));
    }
    const int medium = variant->medium;
    ctx.session().Medium = medium;
    ParameterImage& img = ctx.image();
    ResetParameters(img, medium, false);
    img.System.KindMask = 0xFF;
    const ParameterFileResult r = LoadParameterFile(file, img, medium);
    if (!r.ok()) LoadFailure(ctx, file, r);
    WarnMissingKeys(ctx, file, r);
}

namespace {

// A setting that was refused: what is wrong and what would be valid. Every
// refusal is a setting the page does not take as it stands: exit code 2.
[[noreturn]] void SettingFailure(const edit::SettingOutcome& outcome) {
    using Status = edit::SettingOutcome::Status;
    std::string message = outcome.message;
    if (!outcome.valid.empty()) {
        message += outcome.status == Status::BadChoice ? "; the choices are:" : "; valid here:";
        for (const std::string& v : outcome.valid) message += "\n  " + v;
    }
    UsageError(message);
}

void PrintNotes(const edit::SettingOutcome& outcome) {
    for (const std::string& note : outcome.notes) {
        std::cerr << "parvion2-cli: note: " << note << '\n';
    }
}

// The remark lines of an existing parameter file of the variant; refuses a
// file of the other variant (it would be overwritten only in part).
std::vector<std::string> KeptRemarks(Context& ctx, const fs::path& file) {
    if (!fs::exists(file)) return {};
    const ProfileFile existing(file);
    if (!existing.loaded()) Failure(existing.loadError());  // "cannot read FILE: why"
    const std::string ident = existing.readString("Medium", "Ident", "");
    if (ident != VariantOf(ctx.medium()).fileMedium) {
        Failure(file.string() +
                " exists and is not a parameter file of this variant; it is "
                "left as it is");
    }
    return ReadRemarkLines(existing);
}

}  // namespace

void RunIdentify(Context& ctx) {
    ctx.connect(false);
    DeviceState& dev = ctx.device();
    const std::string program = ReadProgramText(ctx.link());
    if (program.empty()) ctx.deviceFailure("the program text cannot be read");
    if (!ReadDeviceSerialNo(ctx.link(), dev.DeviceSerialNo)) {
        ctx.deviceFailure("the serial number cannot be read");
    }
    if (ctx.options().json) return json_output::PrintIdentify(ctx, program);
    const SystemRec& sys = ctx.image().System;
    const auto& flags = dev.DeviceAccess.Flags;
    using namespace cli_text;
    const std::string variant =
        ctx.medium() == medium::Gas ? ctx.text(kGas, "gas") : ctx.text(kEnergy, "energy");
    const std::string access =
        Hex2(flags[0]) + ' ' + Hex2(flags[1]) + ' ' + Hex2(flags[2]) + ' ' + Hex2(flags[3]) + ' ' +
        (dev.DeviceAccess.isProtected() ? ctx.text(kProtected, "(password-protected)")
                                        : ctx.text(kNotProtected, "(not protected)"));
    PrintLabelled({
        {ctx.text(kIdentity, "Identity:"), Trimmed(dev.DeviceIdent)},
        {ctx.text(kVariant, "Variant:"), variant},
        // The device's texts are Windows-1252 bytes; the terminal wants UTF-8.
        {ctx.text(kProgram, "Program:"), Cp1252ToUtf8(Trimmed(program))},
        {ctx.text(kSerialNumber, "Serial number:"), Cp1252ToUtf8(Trimmed(dev.DeviceSerialNo))},
        {ctx.text(kExpansionLevel, "Expansion level:"),
         Hex2(sys.Ausbaustufe) + ' ' + ctx.text(views::ExpansionLevelText(sys.Ausbaustufe))},
        {ctx.text(kAccessFlags, "Access flags:"), access},
    });
}

void RunReadParams(Context& ctx) {
    fs::path file = ctx.options().args[0];
    ctx.connect(true);
    if (!file.has_extension()) file = WithParameterExtension(file, ctx.medium());
    std::vector<std::string> remarks = KeptRemarks(ctx, file);
    ReadWholeImage(ctx);
    ctx.image().Bemerkung = std::move(remarks);
    const ParameterFileResult r = SaveParameterFile(file, ctx.image(), ctx.medium());
    if (!r.ok()) Failure(ctx.text(7, "The file cannot be written:") + r.detail(file));
    std::cout << file.string() << '\n';
}

void RunWriteParams(Context& ctx) {
    const fs::path file = ctx.options().args[0];
    ctx.connect(true);
    RequireFile(file);
    edit::FileForDevice prepared = edit::PrepareParameterFile(ctx.link(), ctx.image(), file);
    switch (prepared.status) {
        case edit::FileForDevice::Status::FileRefused:
            LoadFailure(ctx, file, prepared.file);
        case edit::FileForDevice::Status::DeviceUnreadable:
            ctx.deviceFailure(prepared.unreadable + " cannot be read; nothing was written");
        case edit::FileForDevice::Status::Ready:
            break;
    }
    WarnMissingKeys(ctx, file, prepared.file);
    ParameterImage& img = ctx.image();
    img = std::move(prepared.image);
    edit::ReadSetTheHistoryLacks(ctx.link(), img);
    const edit::SetWritten written = edit::WriteParameterSet(ctx.link(), img);
    if (!written.ok() || !ctx.session().Online) {
        ctx.deviceFailure(
            std::string(written.lineGone ? "the device stopped answering; " : "") +
            std::to_string(written.failed) +
            " parameter block transfer(s) failed; the device may hold a mix of old and new "
            "parameters");
    }
}

namespace {

// diff --snapshot ID [--against ID|FILE]: the snapshot against the device
// (read whole; the device on the left, as plain diff has it), another
// snapshot or a parameter file (the snapshot on the left).
void DiffSnapshot(Context& ctx) {
    const CliOptions& o = ctx.options();
    const std::int64_t id = *o.snapshot;
    int medium = 0;
    const ParameterImage snapshot = SnapshotImage(ctx, id, &medium);
    auto source = [](const char* kind) {
        Json side = Json::object();
        side.set("source", kind);
        return side;
    };
    Json snapshotSide = source("snapshot");
    snapshotSide.set("id", id);
    auto otherVariant = [&](std::int64_t which) {
        Failure(views::FillPlaceholders(
            ctx.text(history_text::kOtherVariant,
                     "Snapshot %1 holds a parameter set of the other variant"),
            {std::to_string(which)}));
    };

    ParameterImage left;
    ParameterImage right;
    Json leftSide;
    Json rightSide;
    std::string leftName;
    std::string rightName;
    if (!o.against) {
        ctx.connect(true);
        if (ctx.medium() != medium) otherVariant(id);
        ReadWholeImage(ctx);
        left = ctx.image();
        right = snapshot;
        leftSide = source("device");
        leftSide.set("port", ctx.portPath());
        rightSide = std::move(snapshotSide);
        leftName = ctx.text(edit::compare_text::kDevice, "device");
        rightName = ctx.text(history_text::kSnapshot, "snapshot") + " " + std::to_string(id);
    } else {
        ctx.session().Medium = medium;
        left = snapshot;
        leftSide = std::move(snapshotSide);
        leftName = ctx.text(history_text::kSnapshot, "snapshot") + " " + std::to_string(id);
        const std::string& against = *o.against;
        if (!against.empty() && against.find_first_not_of("0123456789") == std::string::npos) {
            const std::int64_t other = SnapshotId("--against", against);
            int otherMedium = 0;
            right = SnapshotImage(ctx, other, &otherMedium);
            if (otherMedium != medium) otherVariant(other);
            rightSide = source("snapshot");
            rightSide.set("id", other);
            rightName = ctx.text(history_text::kSnapshot, "snapshot") + " " + std::to_string(other);
        } else {
            const fs::path file = against;
            RequireFile(file);
            right.System = snapshot.System;
            ResetParameters(right, medium, true);
            const ParameterFileResult r = LoadParameterFile(file, right, medium);
            if (!r.ok()) LoadFailure(ctx, file, r);
            WarnMissingKeys(ctx, file, r);
            rightSide = source("file");
            rightSide.set("file", against);
            rightName = ctx.text(edit::compare_text::kFile, "file");
        }
    }
    const auto rows = edit::CompareParameterSets(left, right, medium, ctx.texts());
    if (o.json) {
        return json_output::PrintSnapshotDiff(ctx, rows, std::move(leftSide), std::move(rightSide));
    }
    PrintLines(edit::ComparisonLines(rows, leftName, rightName));
    std::cerr << DifferencesText(ctx, rows.size()) << '\n';
}

}  // namespace

void RunDiff(Context& ctx) {
    const CliOptions& o = ctx.options();
    if (o.snapshot) {
        if (!o.args.empty()) UsageError("diff takes FILE or --snapshot ID, not both");
        return DiffSnapshot(ctx);
    }
    if (o.against) UsageError("--against applies to diff --snapshot ID");
    if (o.args.empty()) UsageError("diff needs FILE or --snapshot ID");
    const fs::path file = ctx.options().args[0];
    ctx.connect(true);
    const ParameterImage fromFile = LoadForDevice(ctx, file);
    ReadWholeImage(ctx);
    const auto rows = edit::CompareParameterSets(ctx.image(), fromFile, ctx.medium(), ctx.texts());
    if (ctx.options().json) return json_output::PrintDiff(ctx, rows);
    PrintLines(edit::ComparisonLines(rows, ctx.text(edit::compare_text::kDevice, "device"),
                                     ctx.text(edit::compare_text::kFile, "file")));
    std::cerr << DifferencesText(ctx, rows.size()) << '\n';
}

void RunLive(Context& ctx) {
    ctx.connect(true);
    Link& link = ctx.link();
    DeviceState& dev = ctx.device();
    ParameterImage& img = ctx.image();
    const int c = ctx.options().circuit - 1;
    const auto ci = static_cast<std::size_t>(c);
    if (c == 1 && views::Circuit2Unavailable(img.System)) {
        Failure("circuit 2 is not available on this device");
    }
    switch (ReadLiveValues(link, img, dev, c)) {
        case LiveRead::Complete:
            break;
        case LiveRead::Clock:
            ctx.deviceFailure("the device clock cannot be read");
        case LiveRead::OperatingValues:
            ctx.deviceFailure("the live values cannot be read");
        case LiveRead::CircuitParameters:
            ctx.deviceFailure("the circuit parameters cannot be read");
        case LiveRead::OutputCurrents:
            ctx.deviceFailure("the output currents cannot be read");
        case LiveRead::DisplayOptions:
            ctx.deviceFailure("the display options cannot be read");
    }
    std::uint8_t bits = 0;
    const int number = ReadErrorState(link, bits);
    const views::CircuitValuesInput in{
        img, ctx.medium(), c, dev.OperatingValues[ci], dev.OutputCurrents, number, bits};
    if (ctx.options().json) return json_output::PrintLive(ctx, in);
    PrintLines(views::BuildCircuitLines(in, ctx.blocks(), ctx.values()));
}

void RunErrors(Context& ctx) {
    ctx.connect(true);
    if (!ReadErrorProtocol(ctx.link(), ctx.device().ErrorProtocol)) {
        ctx.deviceFailure("the error protocol cannot be read");
    }
    const auto lines = views::BuildErrorProtocolLines(
        ctx.device().ErrorProtocol, ctx.image().System, ctx.texts(), ctx.blocks());
    if (!ctx.options().json) PrintLines(lines);
    std::string reason;
    if (ctx.options().saveFile &&
        !views::SaveErrorProtocolFile(*ctx.options().saveFile, lines, &reason)) {
        Failure(ctx.text(7, "The file cannot be written:") + " " + reason);
    }
    if (ctx.options().json) json_output::PrintErrors(ctx);
}

void RunIntegrators(Context& ctx) {
    ctx.connect(true);
    ReadUnits(ctx);
    if (!ReadIntegrators(ctx.link(), ctx.device().Integrators)) {
        ctx.deviceFailure("the integrators cannot be read");
    }
    const int circuits = views::AllOutputsPresent(ctx.image().System) ? 2 : 1;
    if (ctx.options().json) return json_output::PrintIntegrators(ctx, circuits);
    for (int c = 0; c < circuits; ++c) {
        std::cout << ctx.text(static_cast<std::uint16_t>(30720 + c)) << '\n';
        PrintLines(
            views::BuildIntegratorLines(ctx.device().Integrators, c, ctx.blocks(), ctx.values()));
    }
}

void RunTrends(Context& ctx) {
    ctx.connect(true);
    if (!views::TrendRecordingPresent(ctx.image().System)) {
        Failure("this device has no trend recording");
    }
    ReadUnits(ctx);
    Link& link = ctx.link();
    TrendStore& store = ctx.device().TrendStore;
    switch (ReadTrendMemory(link, store)) {
        case TrendRead::DirectoryFailed:
            ctx.deviceFailure("the trend directory cannot be read");
        case TrendRead::BlockFailed:
            ctx.deviceFailure("the trend memory cannot be read");
        case TrendRead::Complete:
            break;
    }
    const std::vector<views::TrendItem> items = views::ListTrendBlocks(store);
    if (!ctx.options().json) {
        for (const views::TrendItem& item : items) std::cout << item.text << '\n';
    }
    if (!ctx.options().exportFile) {
        if (ctx.options().json) json_output::PrintTrends(ctx, items);
        return;
    }

    std::string serialNo;
    if (!ReadDeviceSerialNo(link, serialNo)) ctx.deviceFailure("the serial number cannot be read");
    const ParameterImage& img = ctx.image();
    const int medium = ctx.medium();
    const auto header = views::TrendGridHeader(
        ctx.blocks(), [&img, medium](std::uint8_t q) { return UnitText(img, medium, q, true); });
    const auto lines = views::BuildTrendExport(store, serialNo, header, ctx.values());
    std::string reason;
    if (!views::SaveTrendExportFile(*ctx.options().exportFile, lines, &reason)) {
        Failure(ctx.text(7, "The file cannot be written:") + " " + reason);
    }
    if (ctx.options().json) json_output::PrintTrends(ctx, items);
}

void RunClock(Context& ctx) {
    ctx.connect(true);
    DeviceState& dev = ctx.device();
    if (ctx.options().setClock && !WriteDeviceClock(ctx.link())) {
        ctx.deviceFailure("the device clock cannot be set");
    }
    if (!ReadDeviceClock(ctx.link(), dev.DeviceDateTime, dev.ClockOffset)) {
        ctx.deviceFailure("the device clock cannot be read");
    }
    if (ctx.options().json) return json_output::PrintClock(ctx);
    std::cout << FormatDeviceDateTime(dev.DeviceDateTime) << '\n';
}

void RunSgerg(Context& ctx) {
    const CliOptions& o = ctx.options();
    double in[4] = {};
    const char* names[4] = {"H2", "CO2", "RHO", "HS"};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto v = ReadFiniteNumber(o.args[i]);
        if (!v) {
            UsageError(std::string(names[i]) + " needs a number, not \"" + o.args[i] + "\"");
        }
        in[i] = *v;
    }
    const char status = SGERG_Check(in[0], in[1], in[2], in[3]);
    std::cout << "status: " << status << '\n';
    // The status concerns the composition only; the figures at the given
    // point are printed only when the method gives them.
    const SgergResult r = SGERG_KFactor(in[0], in[1], in[2], in[3], o.temperature, o.pressure);
    char point[96];
    std::snprintf(point, sizeof point, "%g bar and %g degrees Celsius", o.pressure, o.temperature);
    if (!r.converged) {
        Failure(std::string("the SGERG-88 iteration does not converge at ") + point +
                "; K, Z, Zn and the density are not given");
    }
    if (!std::isfinite(r.k) || !std::isfinite(r.z) || !std::isfinite(r.zn) ||
        !std::isfinite(r.density)) {
        Failure(std::string("the SGERG-88 calculation gives no finite value at ") + point +
                "; K, Z, Zn and the density are not given");
    }
    if (!SgergInMethodRange(o.temperature, o.pressure)) {
        std::cerr << "parvion2-cli: warning: " << point
                  << " lie outside the range of the SGERG-88 method (up to 120 bar absolute, "
                     "263 K to 338 K = -10.15 to 64.85 degrees Celsius); the figures are "
                     "extrapolated\n";
    }
    char buf[160];
    std::snprintf(buf, sizeof buf, "K: %.7f\nZ: %.7f\nZn: %.7f\ndensity: %.5f kg/m3\n", r.k, r.z,
                  r.zn, r.density);
    std::cout << buf;
}

void RunPage(Context& ctx) {
    const std::string& name = ctx.options().args[0];
    const std::optional<edit::PageName> page = edit::ParsePageName(name);
    if (!page) {
        std::string names;
        for (const std::string& n : edit::PageNames()) names += (names.empty() ? "" : ", ") + n;
        UsageError("page needs one of " + names + ", not \"" + name + "\"");
    }
    const int circuit = ctx.options().circuit - 1;
    if (const auto& file = ctx.options().file) {
        LoadEditedFile(ctx, *file);
        if (*page == edit::PageName::Circuit && circuit == 1 &&
            views::Circuit2Unavailable(ctx.image().System)) {
            Circuit2Refused("in this parameter set");
        }
    } else {
        if (*page == edit::PageName::Remarks) {
            UsageError("the remark lines exist only in parameter files: give one with --file");
        }
        ctx.connect(true);
        ReadPage(ctx, *page, circuit);
    }
    if (ctx.options().json) {
        return json_output::PrintPage(ctx, *page, circuit, ctx.options().file.has_value());
    }
    PrintLines(edit::PrintPage(*page, ctx.image(), ctx.medium(), circuit, PageTexts(ctx)));
}

void RunSet(Context& ctx) {
    const CliOptions& o = ctx.options();
    const edit::Setting setting{o.args[0], o.args[1], o.args[2], o.circuit - 1};
    const std::optional<edit::SettingPage> where = edit::PageOfSetting(setting);

    if (o.file) {
        const fs::path file = *o.file;
        if (IsParFile(file)) {
            Failure(file.string() +
                    ": an old .PAR file is converted while it is loaded and cannot be saved "
                    "in its own format; save it as a .PGA or .PEG file first");
        }
        LoadEditedFile(ctx, file);
        const edit::SettingOutcome outcome =
            edit::ApplySetting(ctx.offlineLink(), ctx.image(), setting, PageTexts(ctx));
        if (!outcome.ok()) SettingFailure(outcome);
        PrintNotes(outcome);
        const ParameterFileResult r = SaveParameterFile(file, ctx.image(), ctx.medium());
        if (!r.ok()) Failure(ctx.text(7, "The file cannot be written:") + r.detail(file));
        PrintLines(edit::PrintPage(outcome.page, ctx.image(), ctx.medium(), outcome.circuit,
                                   PageTexts(ctx)));
        return;
    }

    if (where && where->page == edit::PageName::Remarks) {
        UsageError("the remark lines exist only in parameter files: give one with --file");
    }
    ctx.connect(true);
    if (where) {
        // Circuit 2 of a device without it is no setting of the page: usage.
        if (where->page == edit::PageName::Circuit && where->circuit == 1 &&
            views::Circuit2Unavailable(ctx.image().System)) {
            UsageError(
                "circuit 2 is not available on this device: the system definition uses "
                "one circuit or there is no second circuit");
        }
        ReadPage(ctx, where->page, where->circuit);
    } else {
        // An unknown section: the message lists what the pages offer.
        ReadPage(ctx, edit::PageName::Circuit, 0);
        if (!views::Circuit2Unavailable(ctx.image().System)) {
            ReadPage(ctx, edit::PageName::Circuit, 1);
        }
    }
    Link& link = ctx.link();
    const int before = link.failedTransactions();
    const edit::SettingOutcome outcome =
        edit::ApplySetting(link, ctx.image(), setting, PageTexts(ctx));
    if (ctx.editNotSent()) {
        ctx.deviceFailure(
            "the device's record could not be read before the change; nothing was "
            "written");
    }
    if (!outcome.ok()) SettingFailure(outcome);
    PrintNotes(outcome);
    const int failed = link.failedTransactions() - before;
    if (failed > 0 || !ctx.session().Online) {
        ctx.deviceFailure(std::to_string(failed) +
                          " transfer(s) of the change failed; the device may not hold it");
    }
    PrintLines(
        edit::PrintPage(outcome.page, ctx.image(), ctx.medium(), outcome.circuit, PageTexts(ctx)));
}

}  // namespace parvion::cli
