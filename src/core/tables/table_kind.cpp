#include "core/tables/table_kind.h"

#include <array>

#include "core/model/profile_file.h"
#include "core/model/variant.h"

namespace parvion::tables {

namespace {

constexpr std::array<TableKindInfo, 4> kKinds = {{
    {TableKind::Compressibility, "compressibility", "KTB", "Kompr. Tabellen (*.KTB)", 10.0F, 1},
    {TableKind::Density, "density", "DTB", "Dichte Tabellen (*.DTB)", 1500.0F, 0},
    {TableKind::Enthalpy, "enthalpy", "ETB", "Enthalpie Tabellen (*.ETB)", 5000.0F, 1},
    {TableKind::Saturation, "saturation", "STB", "Satt. Tabellen (*.STB)", 0.0F, 0},
}};

}  // namespace

const TableKindInfo& KindInfo(TableKind kind) {
    return kKinds[static_cast<std::size_t>(kind)];
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
