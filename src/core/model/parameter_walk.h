#pragma once
// The layout of a parameter file as one walk over a parameter image: the
// records in file order, each by its field list (record_layout.h). Used by
// the parameter file reader and writer and by the field list of
// parameter_diff.h; not part of the public interface.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

#include "core/model/parameter_image.h"
#include "core/model/record_layout.h"
#include "core/model/variant.h"

namespace parvion::parameter_walk {

inline std::string Indexed(std::string_view prefix, std::size_t index) {
    return std::string(prefix) + std::to_string(index);
}

using layout::Range;

// One section: the record's keys in file order with their formats, reader
// defaults, clamps and availability, from the record's field list. A
// visitor V provides:
//   section(name)                      the section the next keys belong to;
//   include(available) -> bool         whether to visit a record whose
//                                      presence depends on the expansion level;
//   integer(key, field, def, available)
//   real(key, field, def, range, available)
//                                      one key with its reader default;
//                                      available is false for a key the
//                                      expansion level leaves out.
template <class L, class V, class Rec>
void VisitSection(V& v, std::string section, Rec& rec, bool available, bool circuit2, bool energy) {
    v.section(std::move(section));
    if (!v.include(available)) return;
    for (const auto& f : L::fields) {
        if (f.key.empty()) continue;
        const bool there = f.need == layout::Need::Always || circuit2;
        const std::string_view def = energy && !f.energyDefault.empty() ? f.energyDefault : f.def;
        layout::ForEachValue(f, rec, [&](auto& value, std::size_t element) {
            using T = std::remove_cvref_t<decltype(value)>;
            auto visit = [&](std::string_view key) {
                if constexpr (std::is_same_v<T, float>) {
                    v.real(key, value, def, f.clamp, there);
                } else if constexpr (std::is_integral_v<T>) {
                    v.integer(key, value, def, there);
                }
            };
            if (layout::IsArray(f)) {
                visit(Indexed(f.key, f.firstKey + element));
            } else {
                visit(f.key);
            }
        });
    }
}

// Every instance of a record kept once per circuit or output: sections
// named by the layout's prefix and the number from `first`; `available`
// tells which instances the expansion level has.
template <class V, class Records, class Available>
void VisitEach(V& v, Records& records, Available available, bool circuit2, bool energy,
               std::size_t first = 0) {
    using L = layout::Record<std::remove_cvref_t<decltype(records[0])>>;
    for (std::size_t n = 0; n < records.size(); ++n) {
        VisitSection<L>(v, Indexed(L::section, n + first), records[n], available(n), circuit2,
                        energy);
    }
}

template <class V, class Rec>
void VisitOne(V& v, Rec& record, bool available, bool circuit2, bool energy) {
    using L = layout::Record<std::remove_const_t<Rec>>;
    VisitSection<L>(v, std::string(L::section), record, available, circuit2, energy);
}

// The sections from T_User to Vorgaben/Display in writing order, with the
// rules that concern whole records: which instances the expansion level
// has (circuit 2: every per-circuit record but the alarm relays, outputs 2
// to 4; trend recording), and EG_User in gas files only. Saving, loading
// and listing the fields of an image all walk it. Image is ParameterImage
// or const ParameterImage.
template <class V, class Image>
void VisitRecords(V& v, Image& img, int medium) {
    const bool c2 = img.circuit2Present();
    const Variant& variant = VariantOf(medium);
    const bool energy = variant.energyDefaults;
    const auto circuit = [c2](std::size_t n) { return n == 0 || c2; };
    const auto always = [](std::size_t) { return true; };

    VisitEach(v, img.T_User, circuit, c2, energy);
    VisitEach(v, img.P_User, circuit, c2, energy);
    VisitEach(v, img.Flow_User, circuit, c2, energy);
    VisitEach(v, img.Des_User, circuit, c2, energy);
    VisitEach(v, img.Med_User, circuit, c2, energy);
    if (variant.gasCalculation) VisitOne(v, img.EG_User, true, c2, energy);
    VisitEach(v, img.Bez_User, circuit, c2, energy);
    VisitEach(v, img.Imp_User, circuit, c2, energy);
    VisitEach(v, img.Alm_User, always, c2, energy);  // both relays, whatever the expansion level
    VisitEach(v, img.Aus_User, circuit, c2, energy);
    VisitOne(v, img.Dis_User, true, c2, energy);
    VisitEach(v, img.UserEinheiten, always, c2, energy);
    VisitOne(v, img.Trend_User, img.trendPresent(), c2, energy);
    VisitEach(v, img.FlowKorr, circuit, c2, energy, 1);  // FlowKorr_1, FlowKorr_2
    VisitOne(v, img.Grenzwerte, true, c2, energy);
    VisitOne(v, img.System, true, c2, energy);
    VisitSection<layout::VorgabenSection>(v, "Vorgaben", img, true, c2, energy);
    VisitOne(v, img.Display, true, c2, energy);
}

}  // namespace parvion::parameter_walk
