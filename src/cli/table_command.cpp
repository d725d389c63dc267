#include "cli/table_command.h"

#include <filesystem>
#include <iostream>

#include "cli/cli_error.h"
#include "cli/context.h"
#include "core/model/session.h"
#include "core/model/variant.h"
#include "core/tables/table_cells.h"
#include "core/tables/table_file.h"
#include "core/tables/table_messages.h"
#include "core/tables/table_transfer.h"

namespace parvion::cli {

namespace fs = std::filesystem;
using namespace parvion::tables;

namespace {

std::string KindList() {
    return "compressibility, density, enthalpy or saturation";
}

void CheckVariant(Context& ctx, TableKind kind) {
    if (!KindFitsMedium(kind, ctx.medium())) {
        Failure("the " + std::string(VariantOf(ctx.medium()).name) + " computer has no " +
                std::string(KindInfo(kind).name) + " table");
    }
}

[[noreturn]] void FileFailure(Context& ctx, const fs::path& file, const FileResult& r) {
    Failure(file.string() + ": " + FileMessage(ctx.texts(), r));
}

void Read(Context& ctx, fs::path file) {
    if (!ctx.options().tableKind) UsageError("table read needs --kind " + KindList());
    const std::optional<TableKind> kind = KindFromName(*ctx.options().tableKind);
    if (!kind) UsageError("--kind needs " + KindList());
    if (!file.has_extension()) file += "." + std::string(KindInfo(*kind).extension);
    ctx.connect(true);
    CheckVariant(ctx, *kind);
    DeviceState& device = ctx.device();
    FileResult saved;
    if (*kind == TableKind::Saturation) {
        SaturationGrid grid;
        if (!ReceiveSaturationGrid(ctx.link(), device.SaturationTable, grid)) {
            ctx.deviceFailure("the saturation table cannot be read");
        }
        saved = SaveSaturationFile(file, grid);
    } else {
        PropertyGrid grid;
        ClearPropertyGrid(grid);
        if (!ReceivePropertyGrid(ctx.link(), KindInfo(*kind).deviceTable, device.PropertyTable,
                                 grid)) {
            ctx.deviceFailure("the " + std::string(KindInfo(*kind).name) + " table cannot be read");
        }
        saved = SavePropertyFile(file, grid);
    }
    if (!saved.ok()) FileFailure(ctx, file, saved);
    std::cout << file.string() << '\n';
}

// Cells the file does not hold count as 0: named on stderr and sent only
// with --allow-missing.
void CheckMissing(Context& ctx, const fs::path& file, const std::vector<std::string>& keys) {
    if (keys.empty()) return;
    const std::string message = file.string() + ": " + MissingCellsMessage(ctx.texts(), keys);
    if (!ctx.options().allowMissing) {
        Failure(message + "\nnothing was sent; --allow-missing sends the table with 0 for them");
    }
    std::cerr << "parvion2-cli: warning: " << message << '\n';
}

void Write(Context& ctx, const fs::path& file) {
    if (ctx.options().tableKind) UsageError("table write takes the kind from the file's extension");
    const std::optional<TableKind> kind = KindFromExtension(file.extension().string());
    if (!kind) UsageError(file.string() + ": a table file ends in .KTB, .DTB, .ETB or .STB");
    // The file is loaded and checked before the device is touched.
    TransmitResult sent;
    if (*kind == TableKind::Saturation) {
        SaturationGrid grid;
        if (FileResult r = LoadSaturationFile(file, grid); !r.ok()) FileFailure(ctx, file, r);
        SaturationTableBuffer checked;
        if (std::optional<BadCell> bad = SaturationGridToBuffer(grid, checked)) {
            Failure(file.string() + ": " + BadCellMessage(ctx.texts(), *bad));
        }
        CheckMissing(ctx, file, MissingKeys(grid));
        ctx.connect(true);
        CheckVariant(ctx, *kind);
        sent = TransmitSaturationGrid(ctx.link(), grid, ctx.device().SaturationTable,
                                      [](const auto&) { return true; });  // CheckMissing
    } else {
        PropertyGrid grid;
        ClearPropertyGrid(grid);
        if (FileResult r = LoadPropertyFile(file, grid); !r.ok()) FileFailure(ctx, file, r);
        PropertyTableBuffer checked;
        if (std::optional<BadCell> bad = PropertyGridToBuffer(grid, checked)) {
            Failure(file.string() + ": " + BadCellMessage(ctx.texts(), *bad));
        }
        // The axes ascend, as the window's editor keeps them.
        if (const std::optional<AxisOrderFault> fault = FirstAxisOrderFault(grid)) {
            Failure(file.string() + ": " + AxisOrderMessage(ctx.texts(), *fault) +
                    "\nnothing was sent");
        }
        CheckMissing(ctx, file, MissingKeys(grid));
        ctx.connect(true);
        CheckVariant(ctx, *kind);
        sent = TransmitPropertyGrid(ctx.link(), KindInfo(*kind).deviceTable, grid,
                                    ctx.device().PropertyTable,
                                    [](const auto&) { return true; });  // CheckMissing
    }
    if (sent.status == TransmitStatus::BadCell) {
        Failure(file.string() + ": " + BadCellMessage(ctx.texts(), *sent.bad));
    }
    if (sent.status != TransmitStatus::Sent) {
        ctx.deviceFailure("the table was not taken by the device");
    }
    std::cout << file.string() << '\n';
}

}  // namespace

void RunTable(Context& ctx) {
    const std::string& action = ctx.options().args[0];
    const fs::path file = ctx.options().args[1];
    if (action == "read") {
        Read(ctx, file);
    } else if (action == "write") {
        Write(ctx, file);
    } else {
        UsageError("table needs read or write, not \"" + action + "\"");
    }
}

}  // namespace parvion::cli
