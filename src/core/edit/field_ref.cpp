#include "core/edit/field_ref.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "core/edit/setting_support.h"
#include "core/model/profile_file.h"
#include "core/model/record_layout.h"

namespace parvion::edit {

namespace {

constexpr std::string_view kMaxFreq = "MaxFreq";

// Calls fn(record) with the record the field names in the image.
template <class Image, class Fn>
void WithRecord(Image& image, Record record, int circuit, Fn&& fn) {
    const std::size_t c = Index(circuit);
    switch (record) {
        case Record::T_User:
            fn(image.T_User[c]);
            break;
        case Record::P_User:
            fn(image.P_User[c]);
            break;
        case Record::Flow_User:
            fn(image.Flow_User[c]);
            break;
        case Record::Des_User:
            fn(image.Des_User[c]);
            break;
        case Record::Med_User:
            fn(image.Med_User[c]);
            break;
        case Record::EG_User:
            fn(image.EG_User);
            break;
        case Record::Imp_User:
            fn(image.Imp_User[c]);
            break;
        case Record::Bez_User:
            fn(image.Bez_User[c]);
            break;
    }
}

// Calls fn(value, key) for the float of the record whose file key matches
// `key` (case-insensitive when `anyCase`), as the record's field list
// spells it.
template <class Rec, class Fn>
void WithFloatKey(Rec& rec, std::string_view key, bool anyCase, Fn&& fn) {
    for (const auto& f : layout::Record<std::remove_const_t<Rec>>::fields) {
        if (f.key.empty() || (anyCase ? !SameProfileName(f.key, key) : f.key != key)) continue;
        layout::ForEachValue(f, rec, [&](auto& value, std::size_t) {
            if constexpr (std::is_same_v<std::remove_cvref_t<decltype(value)>, float>) {
                fn(value, f.key);
            }
        });
    }
}

std::string_view RecordName(Record record) {
    std::string_view name;
    static const ParameterImage kNone;
    WithRecord(kNone, record, 0, [&](const auto& rec) {
        name = layout::Record<std::remove_cvref_t<decltype(rec)>>::section;
    });
    return name;
}

constexpr std::array<Record, 8> kRecords = {Record::T_User,   Record::P_User,   Record::Flow_User,
                                            Record::Des_User, Record::Med_User, Record::EG_User,
                                            Record::Imp_User, Record::Bez_User};

}  // namespace

std::string SectionName(const FieldRef& field) {
    std::string name(RecordName(field.record));
    if (field.record != Record::EG_User) name += field.circuit == 1 ? '1' : '0';
    return name;
}

std::string SettingName(const FieldRef& field) {
    return SectionName(field) + " " + std::string(field.key);
}

float GetField(const ParameterImage& image, const FieldRef& field) {
    if (field.record == Record::Flow_User && field.key == kMaxFreq) {
        return static_cast<float>(image.Flow_User[Index(field.circuit)].MaxFreq);
    }
    float value = 0;
    WithRecord(image, field.record, field.circuit, [&](const auto& rec) {
        WithFloatKey(rec, field.key, false, [&](float v, std::string_view) { value = v; });
    });
    return value;
}

void SetField(ParameterImage& image, const FieldRef& field, float value) {
    if (field.record == Record::Flow_User && field.key == kMaxFreq) {
        // The whole-number part, within the word the device keeps.
        const float whole = std::isnan(value) ? 0.0f : std::trunc(value);
        std::uint16_t stored = 0;
        if (whole >= 65535.0f) {
            stored = 65535;
        } else if (whole > 0.0f) {
            stored = static_cast<std::uint16_t>(whole);
        }
        image.Flow_User[Index(field.circuit)].MaxFreq = stored;
        return;
    }
    WithRecord(image, field.record, field.circuit, [&](auto& rec) {
        WithFloatKey(rec, field.key, false, [&](float& v, std::string_view) { v = value; });
    });
}

std::optional<SectionRef> ParseSection(std::string_view section) {
    for (Record record : kRecords) {
        const std::string_view name = RecordName(record);
        if (record == Record::EG_User) {
            if (SameProfileName(section, name)) return SectionRef{record, 0};
            continue;
        }
        if (section.size() != name.size() + 1) continue;
        if (!SameProfileName(section.substr(0, name.size()), name)) continue;
        const char digit = section.back();
        if (digit == '0' || digit == '1') return SectionRef{record, digit - '0'};
    }
    return std::nullopt;
}

std::optional<std::string_view> CanonicalKey(Record record, std::string_view key) {
    if (record == Record::Flow_User && SameProfileName(key, kMaxFreq)) return kMaxFreq;
    std::optional<std::string_view> found;
    static const ParameterImage kNone;
    WithRecord(kNone, record, 0, [&](const auto& rec) {
        WithFloatKey(rec, key, true, [&](float, std::string_view k) { found = k; });
    });
    return found;
}

}  // namespace parvion::edit
