// Table files (property tables ".KTB"/".DTB"/".ETB", the saturation table
// ".STB") as read from disk, and what follows a load: the conversion to the
// transfer buffer that a transmit makes, the dialog settings of each cell,
// the paste rules and the messages. Whatever the file holds, a buffer the
// conversion lets through carries only values the device can hold, and a
// grid saved and loaded again lacks no cell.

#include <cmath>
#include <cstdlib>

#include "core/model/value_format.h"
#include "core/tables/table_file.h"
#include "core/tables/table_grid.h"
#include "core/tables/table_messages.h"
#include "fuzz_support.h"

using namespace parvion;
using namespace parvion::tables;

namespace {

void CheckFloat(float v) {
    if (!DeviceFloat(static_cast<double>(v))) std::abort();
}

void Property(const std::filesystem::path& file, std::string_view clip, TableKind kind) {
    PropertyGrid grid;
    ClearPropertyGrid(grid);
    const FileResult r = LoadPropertyFile(file, grid);
    (void)FileMessage({}, r);
    if (!r.ok()) return;
    (void)MissingCellsQuestion({}, MissingKeys(grid));
    PropertyTableBuffer buffer;
    if (const std::optional<BadCell> bad = PropertyGridToBuffer(grid, buffer)) {
        if (bad->key.empty() || grid.at(bad->col, bad->row) != bad->text) std::abort();
        (void)BadCellMessage({}, *bad);
    } else {
        for (const auto& row : buffer.Values) {
            for (const float v : row) CheckFloat(v);
        }
    }
    for (int row = 0; row < PropertyGrid::kRows; ++row) {
        for (int col = 0; col < PropertyGrid::kCols; ++col) {
            const PropertyEntry e = PropertyCellEntry(grid, kind, col, row);
            if (e.entry) CheckFloat(e.entry->value);
        }
    }
    (void)PastePropertyCell(clip, 1 + static_cast<int>(clip.size() % 14), 0);
    (void)PastePropertyCell(clip, 3, 3);

    const auto saved = file.parent_path() / "saved.KTB";
    std::filesystem::remove(saved);
    if (!SavePropertyFile(saved, grid).ok()) std::abort();
    PropertyGrid again;
    if (!LoadPropertyFile(saved, again).ok() || !again.missing.empty()) std::abort();
}

void Saturation(const std::filesystem::path& file, std::string_view clip) {
    SaturationGrid grid;
    const FileResult r = LoadSaturationFile(file, grid);
    (void)FileMessage({}, r);
    if (!r.ok()) return;
    (void)MissingCellsMessage({}, MissingKeys(grid));
    SaturationTableBuffer buffer;
    if (const std::optional<BadCell> bad = SaturationGridToBuffer(grid, buffer)) {
        if (bad->key.empty() || !bad->number) std::abort();
        (void)BadCellMessage({}, *bad, false);
    } else {
        for (const SaturationRow& p : buffer.Rows) {
            for (const float v : {p.T, p.p, p.rho, p.h}) CheckFloat(v);
        }
    }
    for (int row = 1; row < SaturationGrid::kRows; ++row) {
        for (int col = 0; col < SaturationGrid::kCols; ++col) {
            if (const auto e = SaturationCellEntry(grid, col, row)) {
                CheckFloat(e->value);
                CheckFloat(e->min);
            }
        }
    }
    (void)PasteSaturationCell(clip);

    const auto saved = file.parent_path() / "saved.STB";
    std::filesystem::remove(saved);
    if (!SaveSaturationFile(saved, grid).ok()) std::abort();
    SaturationGrid again;
    if (!LoadSaturationFile(saved, again).ok() || !again.missing.empty()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader in(data, size);
    // Byte 0: bit 0 the saturation table, bits 1..2 the property table's kind.
    const std::uint8_t how = in.byte();
    const std::string_view content = in.rest();
    const std::string_view clip = content.substr(0, std::min<std::size_t>(content.size(), 40));
    const auto file = fuzz::ScratchFolder() / ((how & 1) ? "in.STB" : "in.KTB");
    fuzz::WriteFile(file, content);
    if (how & 1) {
        Saturation(file, clip);
    } else {
        static constexpr TableKind kKinds[] = {TableKind::Compressibility, TableKind::Density,
                                               TableKind::Enthalpy, TableKind::Density};
        Property(file, clip, kKinds[(how >> 1) & 3]);
    }
    return 0;
}
