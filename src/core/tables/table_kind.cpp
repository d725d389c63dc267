#include "core/tables/table_kind.h"

#include <array>

#include "core/model/profile_file.h"
#include "core/model/variant.h"

namespace parvion::tables {

namespace {

constexpr std::array<TableKindInfo, 4> kKinds = {{
    {TableKind::Compressibility, "compressibility", "KTB", 22902, 10.0F, 1},
    {TableKind::Density, "density", "DTB", 22903, 1500.0F, 0},
    {TableKind::Enthalpy, "enthalpy", "ETB", 22904, 5000.0F, 1},
    {TableKind::Saturation, "saturation", "STB", 22905, 0.0F, 0},
}};

}  // namespace

const TableKindInfo& KindInfo(TableKind kind) {
    return kKinds[static_cast<std::size_t>(kind)];
}

std::string KindFilter(TableKind kind, const std::function<std::string(std::uint16_t)>& text) {
    const TableKindInfo& k = KindInfo(kind);
    std::string filter = text(k.filterName);
    filter += " (*.";
    filter += k.extension;
    filter += ')';
    return filter;
}

TableKind PropertyTableKind(int medium, int selector) {
    if (VariantOf(medium).gasCalculation) return TableKind::Compressibility;
    return selector == 0 ? TableKind::Density : TableKind::Enthalpy;
}

std::optional<TableKind> KindFromExtension(std::string_view extension) {
    if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    for (const TableKindInfo& k : kKinds) {
        if (SameProfileName(extension, k.extension)) return k.kind;
    }
    return std::nullopt;
}

std::optional<TableKind> KindFromName(std::string_view name) {
    for (const TableKindInfo& k : kKinds) {
        if (name == k.name) return k.kind;
    }
    return std::nullopt;
}

bool KindFitsMedium(TableKind kind, int medium) {
    const Variant* variant = FindVariant(medium);
    if (variant == nullptr) return false;
    return (kind == TableKind::Compressibility) == variant->gasCalculation;
}

bool HasKindExtension(std::string_view fileName, TableKind kind) {
    const std::string_view ext = KindInfo(kind).extension;
    return fileName.size() > ext.size() + 1 && fileName[fileName.size() - ext.size() - 1] == '.' &&
           fileName.substr(fileName.size() - ext.size()) == ext;
}

}  // namespace parvion::tables
