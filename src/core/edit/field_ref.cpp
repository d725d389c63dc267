#include "core/edit/field_ref.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "core/model/profile_file.h"

namespace parvion::edit {

namespace {

constexpr std::string_view kMaxFreq = "MaxFreq";

// The float keys of each record, spelled as the parameter file spells them.
template <class Rec>
struct FloatKey {
    std::string_view key;
    float Rec::*member;
};

constexpr std::array<FloatKey<T_UserRec>, 7> kT_User = {{{"Min", &T_UserRec::Min},
                                                         {"Max", &T_UserRec::Max},
                                                         {"Dummy4", &T_UserRec::Dummy4},
                                                         {"Diff", &T_UserRec::Diff},
                                                         {"Toff", &T_UserRec::Toff},
                                                         {"Konst", &T_UserRec::Konst},
                                                         {"Dummy3", &T_UserRec::Dummy3}}};
constexpr std::array<FloatKey<P_UserRec>, 7> kP_User = {{{"Hyd", &P_UserRec::Hyd},
                                                         {"Min", &P_UserRec::Min},
                                                         {"Max", &P_UserRec::Max},
                                                         {"Err", &P_UserRec::Err},
                                                         {"Konst", &P_UserRec::Konst},
                                                         {"Dummy3", &P_UserRec::Dummy3},
                                                         {"Dummy4", &P_UserRec::Dummy4}}};
constexpr std::array<FloatKey<Flow_UserRec>, 7> kFlow_User = {
    {{"Min", &Flow_UserRec::Min},
     {"Max", &Flow_UserRec::Max},
     {"KFak", &Flow_UserRec::KFak},
     {"TKK", &Flow_UserRec::TKK},
     {"BTemp", &Flow_UserRec::BTemp},
     {"Schleich", &Flow_UserRec::Schleich},
     {"Exp_zahl", &Flow_UserRec::Exp_zahl}}};
constexpr std::array<FloatKey<Des_UserRec>, 8> kDes_User = {{{"DesQN", &Des_UserRec::DesQN},
                                                             {"DesT", &Des_UserRec::DesT},
                                                             {"Desp", &Des_UserRec::Desp},
                                                             {"Desdp", &Des_UserRec::Desdp},
                                                             {"DesRho", &Des_UserRec::DesRho},
                                                             {"Desdp2", &Des_UserRec::Desdp2},
                                                             {"Desdp3", &Des_UserRec::Desdp3},
                                                             {"Desdp4", &Des_UserRec::Desdp4}}};
constexpr std::array<FloatKey<Med_UserRec>, 7> kMed_User = {{{"Rho", &Med_UserRec::Rho},
                                                             {"RN", &Med_UserRec::RN},
                                                             {"BT", &Med_UserRec::BT},
                                                             {"Bp", &Med_UserRec::Bp},
                                                             {"BRho", &Med_UserRec::BRho},
                                                             {"WKapa", &Med_UserRec::WKapa},
                                                             {"Satt_Tol", &Med_UserRec::Satt_Tol}}};
constexpr std::array<FloatKey<EG_UserRec>, 4> kEG_User = {{{"Ho", &EG_UserRec::Ho},
                                                           {"CO2", &EG_UserRec::CO2},
                                                           {"H2", &EG_UserRec::H2},
                                                           {"Rho", &EG_UserRec::Rho}}};
constexpr std::array<FloatKey<Imp_UserRec>, 1> kImp_User = {{{"Compare", &Imp_UserRec::Compare}}};
constexpr std::array<FloatKey<Bez_UserRec>, 4> kBez_User = {{{"T0", &Bez_UserRec::T0},
                                                             {"p0", &Bez_UserRec::p0},
                                                             {"h0", &Bez_UserRec::h0},
                                                             {"Faktor", &Bez_UserRec::Faktor}}};

std::size_t Index(int circuit) {
    return circuit == 1 ? 1 : 0;
}

// Calls fn(table, record) with the record's key table and the record the
// field names in the image.
template <class Image, class Fn>
void WithRecord(Image& image, Record record, int circuit, Fn&& fn) {
    const std::size_t c = Index(circuit);
    switch (record) {
        case Record::T_User:
            fn(kT_User, image.T_User[c]);
            break;
        case Record::P_User:
            fn(kP_User, image.P_User[c]);
            break;
        case Record::Flow_User:
            fn(kFlow_User, image.Flow_User[c]);
            break;
        case Record::Des_User:
            fn(kDes_User, image.Des_User[c]);
            break;
        case Record::Med_User:
            fn(kMed_User, image.Med_User[c]);
            break;
        case Record::EG_User:
            fn(kEG_User, image.EG_User);
            break;
        case Record::Imp_User:
            fn(kImp_User, image.Imp_User[c]);
            break;
        case Record::Bez_User:
            fn(kBez_User, image.Bez_User[c]);
            break;
    }
}

std::string_view RecordName(Record record) {
    switch (record) {
        case Record::T_User:
            return "T_User";
        case Record::P_User:
            return "P_User";
        case Record::Flow_User:
            return "Flow_User";
        case Record::Des_User:
            return "Des_User";
        case Record::Med_User:
            return "Med_User";
        case Record::EG_User:
            return "EG_User";
        case Record::Imp_User:
            return "Imp_User";
        case Record::Bez_User:
            return "Bez_User";
    }
    return {};
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
    WithRecord(image, field.record, field.circuit, [&](const auto& table, const auto& rec) {
        for (const auto& k : table) {
            if (k.key == field.key) value = rec.*(k.member);
        }
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
    WithRecord(image, field.record, field.circuit, [&](const auto& table, auto& rec) {
        for (const auto& k : table) {
            if (k.key == field.key) rec.*(k.member) = value;
        }
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
    WithRecord(kNone, record, 0, [&](const auto& table, const auto&) {
        for (const auto& k : table) {
            if (SameProfileName(k.key, key)) found = k.key;
        }
    });
    return found;
}

}  // namespace parvion::edit
