#pragma once
// One field list per parameter record: for every field of a record of the
// parameter image, where it lies in the device block, and its key, reader
// default, clamp and availability in the parameter file. The block codecs
// (link/parameter_blocks), the parameter file reader and writer, and the
// field list behind the image comparison (parameter_walk.h) all walk these
// tables, so the device block, the file and the comparison cannot drift
// apart.
//
// Each table lists its fields in the file's key order; the block positions
// are given by offset, so a record whose file order differs from its block
// order (P_User: Hyd is first in the block, after Max in the file) needs no
// second list. The encoding on the line follows from the field's type:
// u8 a byte, u16 a word, i32 a long, float a float (the clamping encoder and
// the decoder that reads erased memory as 0), text the fixed device text.
//
// Rules a table expresses:
//   key empty            the field is not in the file (System.Ausbaustufe,
//                        the unit table copy of UserEinheiten, Betrieb);
//   offset kNoBlock      the field is not in the device block; a read clears
//                        it (System.Dummy3, System.Dummy4);
//   Zeros{n}             n bytes of the block that no field holds: sent as
//                        zeros, ignored when read (System bytes 5..7);
//   an array member      one key per element, the key followed by the
//                        element's number (from firstKey), the elements one
//                        after the other in the block (FlowKorr.Stelle);
//   clamp                reading a file, a value outside lo..hi becomes
//                        the fallback;
//   need Circuit2        reading a file, the key is read only when circuit 2
//                        is present (Dis_User.Kind);
//   energyDefault        the reader default of the energy variant where it
//                        differs (Display.Enable3).
// What belongs to a record as a whole (section numbering, which instances a
// file reads, the variant that has EG_User) is the record list of
// parameter_walk.h; the block addresses are in link/parameter_blocks.h.
//
// The presets (Vorgaben) are no record but eight floats of the image: the
// file keeps them in one section (VorgabenSection below), the device in
// eight blocks of one float each (codec::EncodeVorgabe).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "core/model/parameter_image.h"

namespace parvion::layout {

// Offset of a field that the device block does not hold.
inline constexpr int kNoBlock = -1;
// Characters of a device text in a block (the unit text of UserEinheiten).
inline constexpr std::size_t kDeviceTextLength = 5;

// Accepted range of a float read from a file and the value that replaces
// one outside it.
struct Range {
    float lo;
    float hi;
    float fallback;
};

// When a file's key is read.
enum class Need : std::uint8_t {
    Always,
    Circuit2,  // only when the image's expansion level has circuit 2
};

// Block bytes that no field holds.
struct Zeros {
    std::size_t count = 0;
};

template <class Rec>
using Member = std::variant<std::uint8_t Rec::*, std::uint16_t Rec::*, std::int32_t Rec::*,
                            float Rec::*, std::string Rec::*, std::array<std::uint8_t, 4> Rec::*,
                            std::array<float, 8> Rec::*, Zeros>;

template <class Rec>
struct Field {
    std::string_view key;  // the file key (of an array: the stem); empty: not in the file
    Member<Rec> member;
    int offset = kNoBlock;         // byte offset in the device block
    std::string_view def = "0";    // the reader's default text
    std::optional<Range> clamp{};  // the reader's accepted range
    Need need = Need::Always;
    std::string_view energyDefault{};  // the energy variant's reader default, when it differs
    std::size_t firstKey = 0;          // number of an array's first key
};

// The layout of a record: the file section (the prefix of numbered
// sections; empty: not in the file), the size of the device block and the
// fields in file order. Specialised for every record below.
template <class Rec>
struct Record;

// The tables keep one line per field.
// clang-format off
template <>
struct Record<T_UserRec> {
    using R = T_UserRec;
    static constexpr std::string_view section = "T_User";
    static constexpr std::size_t blockSize = 32;
    static constexpr Field<R> fields[] = {
        {"Dummy1", &R::Dummy1, 0},
        {"Dummy2", &R::Dummy2, 1},
        {"Kind", &R::Kind, 2},
        {"Eq", &R::Eq, 3},
        {"Min", &R::Min, 4},
        {"Max", &R::Max, 8},
        {"Dummy4", &R::Dummy4, 12},
        {"Diff", &R::Diff, 16},
        {"Toff", &R::Toff, 20},
        {"Konst", &R::Konst, 24},
        {"Dummy3", &R::Dummy3, 28},
    };
};

template <>
struct Record<P_UserRec> {
    using R = P_UserRec;
    static constexpr std::string_view section = "P_User";
    static constexpr std::size_t blockSize = 32;
    static constexpr Field<R> fields[] = {
        {"Dummy1", &R::Dummy1, 0},
        {"Dummy2", &R::Dummy2, 1},
        {"Kind", &R::Kind, 2},
        {"Eq", &R::Eq, 3},
        {"Min", &R::Min, 8},
        {"Max", &R::Max, 12},
        {"Hyd", &R::Hyd, 4, "100.0"},
        {"Err", &R::Err, 16},
        {"Konst", &R::Konst, 20, "100.0"},
        {"Dummy3", &R::Dummy3, 24},
        {"Dummy4", &R::Dummy4, 28},
    };
};

template <>
struct Record<Flow_UserRec> {
    using R = Flow_UserRec;
    static constexpr std::string_view section = "Flow_User";
    static constexpr std::size_t blockSize = 32;
    static constexpr Field<R> fields[] = {
        {"Eq", &R::Eq, 0},
        {"Kind", &R::Kind, 1},
        {"MaxFreq", &R::MaxFreq, 2, "9999"},
        {"Min", &R::Min, 4},
        {"Max", &R::Max, 8},
        {"KFak", &R::KFak, 12},
        {"TKK", &R::TKK, 16},
        {"BTemp", &R::BTemp, 20},
        {"Schleich", &R::Schleich, 24},
        {"Exp_zahl", &R::Exp_zahl, 28, "1.0"},
    };
};

template <>
struct Record<Des_UserRec> {
    using R = Des_UserRec;
    static constexpr std::string_view section = "Des_User";
    static constexpr std::size_t blockSize = 32;
    static constexpr Field<R> fields[] = {
        {"DesQN", &R::DesQN, 0},
        {"DesT", &R::DesT, 4},
        {"Desp", &R::Desp, 8},
        {"Desdp", &R::Desdp, 12},
        {"DesRho", &R::DesRho, 16},
        {"Desdp2", &R::Desdp2, 20},
        {"Desdp3", &R::Desdp3, 24},
        {"Desdp4", &R::Desdp4, 28},
    };
};

template <>
struct Record<Med_UserRec> {
    using R = Med_UserRec;
    static constexpr std::string_view section = "Med_User";
    static constexpr std::size_t blockSize = 32;
    static constexpr Field<R> fields[] = {
        {"Dummy1", &R::Dummy1, 0},
        {"Dummy2", &R::Dummy2, 1},
        {"Ready", &R::Ready, 2},
        {"Kind", &R::Kind, 3},
        {"Rho", &R::Rho, 4},
        {"RN", &R::RN, 8},
        {"BT", &R::BT, 12},
        {"Bp", &R::Bp, 16},
        {"BRho", &R::BRho, 20},
        {"WKapa", &R::WKapa, 24},
        {"Satt_Tol", &R::Satt_Tol, 28},
    };
};

template <>
struct Record<EG_UserRec> {
    using R = EG_UserRec;
    static constexpr std::string_view section = "EG_User";
    static constexpr std::size_t blockSize = 16;
    static constexpr Field<R> fields[] = {
        {"Ho", &R::Ho, 0, "10.0"},
        {"CO2", &R::CO2, 4, "10.0"},
        {"H2", &R::H2, 8, "5.0"},
        {"Rho", &R::Rho, 12, "1.0"},
    };
};

template <>
struct Record<Bez_UserRec> {
    using R = Bez_UserRec;
    static constexpr std::string_view section = "Bez_User";
    static constexpr std::size_t blockSize = 16;
    static constexpr Field<R> fields[] = {
        {"T0", &R::T0, 0},
        {"p0", &R::p0, 4},
        {"h0", &R::h0, 8},
        {"Faktor", &R::Faktor, 12, "1"},
    };
};

template <>
struct Record<Imp_UserRec> {
    using R = Imp_UserRec;
    static constexpr std::string_view section = "Imp_User";
    static constexpr std::size_t blockSize = 8;
    static constexpr Field<R> fields[] = {
        {"Dummy1", &R::Dummy1, 0},
        {"Dummy2", &R::Dummy2, 1},
        {"Dummy3", &R::Dummy3, 2},
        {"Kind", &R::Kind, 3},
        {"Compare", &R::Compare, 4},
    };
};

template <>
struct Record<Alm_UserRec> {
    using R = Alm_UserRec;
    static constexpr std::string_view section = "Alm_User";
    static constexpr std::size_t blockSize = 16;
    static constexpr Field<R> fields[] = {
        {"Dummy1", &R::Dummy1, 0},
        {"Dummy2", &R::Dummy2, 1},
        {"Param", &R::Param, 2},
        {"Kind", &R::Kind, 3},
        {"Min", &R::Min, 4},
        {"Max", &R::Max, 8},
        {"Dummy3", &R::Dummy3, 12},
    };
};

template <>
struct Record<Aus_UserRec> {
    using R = Aus_UserRec;
    static constexpr std::string_view section = "Aus_User";
    static constexpr std::size_t blockSize = 16;
    static constexpr Field<R> fields[] = {
        {"Dummy1", &R::Dummy1, 0},
        {"Dummy2", &R::Dummy2, 1},
        {"Konstant", &R::Konstant, 2},
        {"Param", &R::Param, 3},
        {"Min", &R::Min, 4},
        {"Max", &R::Max, 8},
        {"Err", &R::Err, 12},
    };
};

template <>
struct Record<Dis_UserRec> {
    using R = Dis_UserRec;
    static constexpr std::string_view section = "Dis_User";
    static constexpr std::size_t blockSize = 4;
    static constexpr Field<R> fields[] = {
        {.key = "Kind", .member = &R::Kind, .offset = 0, .need = Need::Circuit2},
        {"Einheiten", &R::Einheiten, 1},
        {"First", &R::First, 2},
        {"CalcError", &R::CalcError, 3},
    };
};

// The file keeps only the unit choice; the rest is the unit table's row.
template <>
struct Record<UserEinheitRec> {
    using R = UserEinheitRec;
    static constexpr std::string_view section = "UserEinheiten";
    static constexpr std::size_t blockSize = 16;
    static constexpr Field<R> fields[] = {
        {"Kind", &R::Kind, 0},
        {"", &R::Length, 1},
        {"", &R::Code, 2},
        {"", &R::Text, 3},
        {"", &R::Factor, 8},
        {"", &R::Offset, 12},
    };
};

template <>
struct Record<Trend_UserRec> {
    using R = Trend_UserRec;
    static constexpr std::string_view section = "Trend_User";
    static constexpr std::size_t blockSize = 4;
    static constexpr Field<R> fields[] = {
        {"Dummy1", &R::Dummy1, 0},
        {"Dummy2", &R::Dummy2, 1},
        {"Param", &R::Param, 2},
        {"Time", &R::Time, 3, "60"},
    };
};

// Sections FlowKorr_1 and FlowKorr_2, keys Stelle0 to Stelle7.
template <>
struct Record<FlowKorrRec> {
    using R = FlowKorrRec;
    static constexpr std::string_view section = "FlowKorr_";
    static constexpr std::size_t blockSize = 32;
    static constexpr Field<R> fields[] = {
        {"Stelle", &R::Stelle, 0, "1", Range{0.25f, 10.0f, 1.0f}},
    };
};

template <>
struct Record<GrenzwerteRec> {
    using R = GrenzwerteRec;
    static constexpr std::string_view section = "Grenzwerte";
    static constexpr std::size_t blockSize = 16;
    static constexpr Field<R> fields[] = {
        {"U_Max", &R::U_Max, 0, "1.31250", Range{1.25f, 1.5f, 1.3125f}},
        {"U_Min", &R::U_Min, 4, "1.28125", Range{1.25f, 1.5f, 1.28125f}},
        {"L_Max", &R::L_Max, 8, "0.24000", Range{0.125f, 0.25f, 0.24f}},
        {"L_Min", &R::L_Min, 12, "0.22500", Range{0.125f, 0.25f, 0.225f}},
    };
};

// The expansion level and the device's KindMask come from the device only;
// Dummy3 and Dummy4 are the image's and the file's only.
template <>
struct Record<SystemRec> {
    using R = SystemRec;
    static constexpr std::string_view section = "System";
    static constexpr std::size_t blockSize = 16;
    static constexpr Field<R> fields[] = {
        {"", &R::Ausbaustufe, 0},
        {"Anzahl", &R::Anzahl, 1},
        {"", &R::KindMask, 2},
        {"Kind", &R::Kind, 3},
        {"Lang", &R::Lang, 4},
        {"", Zeros{3}, 5},
        {"Dummy3", &R::Dummy3},
        {"Dummy4", &R::Dummy4},
        {"Faktor", &R::Faktor, 8, "1"},
        {"Dummy6", &R::Dummy6, 12},
    };
};

template <>
struct Record<DisplayRec> {
    using R = DisplayRec;
    static constexpr std::string_view section = "Display";
    static constexpr std::size_t blockSize = 4;
    static constexpr Field<R> fields[] = {
        {"Enable1", &R::Enable1, 0, "127"},
        {"Enable2", &R::Enable2, 1, "127"},
        {.key = "Enable3", .member = &R::Enable3, .offset = 2, .def = "0", .energyDefault = "40"},
        {"Enable4", &R::Enable4, 3},
    };
};

// The device's operating block; not in parameter files.
template <>
struct Record<BetriebRec> {
    using R = BetriebRec;
    static constexpr std::string_view section = "";
    static constexpr std::size_t blockSize = 4;
    static constexpr Field<R> fields[] = {
        {"", &R::Bytes, 0},
    };
};

// The presets in the file: section Vorgaben, keys Vorgabe1 to Vorgabe8.
struct VorgabenSection {
    using R = ParameterImage;
    static constexpr std::string_view section = "Vorgaben";
    static constexpr std::size_t blockSize = 0;  // each preset is a block of its own
    static constexpr Field<R> fields[] = {
        {.key = "Vorgabe", .member = &R::Vorgaben, .firstKey = 1},
    };
};

// clang-format on

template <class Rec>
concept HasRecord = requires {
    Record<Rec>::fields;
};

// The type of the value a member holds (the element type of an array).
template <class M>
struct Value;
template <class Rec, class T>
struct Value<T Rec::*> {
    using type = T;
    static constexpr std::size_t count = 1;
};
template <class Rec, class T, std::size_t N>
struct Value<std::array<T, N> Rec::*> {
    using type = T;
    static constexpr std::size_t count = N;
};

// Bytes one value of the type takes in a device block.
template <class T>
constexpr std::size_t WireSize() {
    if constexpr (std::is_same_v<T, std::string>) {
        return kDeviceTextLength;
    } else {
        return sizeof(T);
    }
}

// Calls fn(value, element) for each value the field holds in the record:
// once for a plain member (element 0), once per element of an array;
// never for Zeros. Rec may be const.
template <class Rec, class Fn>
void ForEachValue(const Field<std::remove_const_t<Rec>>& field, Rec& rec, Fn&& fn) {
    std::visit(
        [&](auto member) {
            using M = decltype(member);
            if constexpr (!std::is_same_v<M, Zeros>) {
                auto& value = rec.*member;
                if constexpr (Value<M>::count == 1) {
                    fn(value, std::size_t{0});
                } else {
                    for (std::size_t i = 0; i < Value<M>::count; ++i) fn(value[i], i);
                }
            }
        },
        field.member);
}

// Whether the field is an array (one key and one value per element).
template <class Rec>
constexpr bool IsArray(const Field<Rec>& field) {
    return std::visit(
        [](auto member) {
            using M = decltype(member);
            if constexpr (std::is_same_v<M, Zeros>) {
                return false;
            } else {
                return Value<M>::count > 1;
            }
        },
        field.member);
}

// Whether a table is sound: every member named, block fields within the
// block and covering each of its bytes exactly once, keys unique, no text
// in the file. Checked at compile time for every table.
template <class L>
consteval bool Sound() {
    std::array<int, 64> cover{};
    bool ok = true;
    for (const auto& f : L::fields) {
        std::size_t width = 0;
        std::visit(
            [&](auto member) {
                using M = decltype(member);
                if constexpr (std::is_same_v<M, Zeros>) {
                    width = member.count;
                    ok = ok && f.key.empty();
                } else {
                    using T = typename Value<M>::type;
                    ok = ok && member != nullptr;
                    width = WireSize<T>() * Value<M>::count;
                    ok = ok && (f.key.empty() || !std::is_same_v<T, std::string>);
                }
            },
            f.member);
        if (f.offset != kNoBlock) {
            const auto at = static_cast<std::size_t>(f.offset);
            ok = ok && f.offset >= 0 && at + width <= L::blockSize;
            for (std::size_t i = at; i < at + width && i < cover.size(); ++i) ++cover[i];
        }
        for (const auto& g : L::fields) {
            ok = ok && (&f == &g || f.key.empty() || f.key != g.key);
        }
    }
    for (std::size_t i = 0; i < L::blockSize; ++i) ok = ok && cover[i] == 1;
    return ok && L::blockSize <= cover.size();
}

static_assert(Sound<Record<T_UserRec>>());
static_assert(Sound<Record<P_UserRec>>());
static_assert(Sound<Record<Flow_UserRec>>());
static_assert(Sound<Record<Des_UserRec>>());
static_assert(Sound<Record<Med_UserRec>>());
static_assert(Sound<Record<EG_UserRec>>());
static_assert(Sound<Record<Bez_UserRec>>());
static_assert(Sound<Record<Imp_UserRec>>());
static_assert(Sound<Record<Alm_UserRec>>());
static_assert(Sound<Record<Aus_UserRec>>());
static_assert(Sound<Record<Dis_UserRec>>());
static_assert(Sound<Record<UserEinheitRec>>());
static_assert(Sound<Record<Trend_UserRec>>());
static_assert(Sound<Record<FlowKorrRec>>());
static_assert(Sound<Record<GrenzwerteRec>>());
static_assert(Sound<Record<SystemRec>>());
static_assert(Sound<Record<DisplayRec>>());
static_assert(Sound<Record<BetriebRec>>());
static_assert(Sound<VorgabenSection>());

}  // namespace parvion::layout
