#include "core/model/variant.h"

namespace parvion {
namespace {

constexpr std::array<Variant, 2> kVariants = {{
    {medium::Gas,
     "gas",
     "PV-GAS2",
     "PV-GAS2 ",
     "GAS",
     "PGA",
     "Gas Parameter (*.PGA)",
     {"Gasger.txt", "Gaseng.txt"},
     "standard_flow",
     "standard_volume",
     true,
     false,
     false,
     1e7f,
     1,
     0},
    {medium::Energy,
     "energy",
     "PV-ENG2",
     "PV-ENG2 ",
     "STEAM",
     "PEG",
     "Energy Parameter (*.PEG)",
     {"Steamger.txt", "Steameng.txt"},
     "power",
     "energy",
     false,
     true,
     true,
     1e8f,
     5,
     40},
}};

}  // namespace

std::span<const Variant> Variants() {
    return kVariants;
}

const Variant* FindVariant(int medium) {
    for (const Variant& v : kVariants) {
        if (v.medium == medium) return &v;
    }
    return nullptr;
}

const Variant& VariantOf(int medium) {
    const Variant* v = FindVariant(medium);
    return v != nullptr ? *v : kVariants[0];
}

const Variant* VariantOfIdentity(std::string_view identity) {
    for (const Variant& v : kVariants) {
        if (v.identity == identity) return &v;
    }
    return nullptr;
}

const Variant* VariantOfFileMedium(std::string_view fileMedium) {
    for (const Variant& v : kVariants) {
        if (v.fileMedium == fileMedium) return &v;
    }
    return nullptr;
}

}  // namespace parvion
