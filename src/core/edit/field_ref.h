#pragma once
// One field of the parameter image, named as the parameter file names it:
// the record, the key and, for the records kept once per circuit, the
// circuit. The edit layer uses it to say which field a page line shows or
// edits; parvion2-cli uses the section and key names to find it.

#include <optional>
#include <string>
#include <string_view>

#include "core/model/parameter_image.h"

namespace parvion::edit {

// The records the circuit pages edit.
enum class Record : std::uint8_t {
    T_User,
    P_User,
    Flow_User,
    Des_User,
    Med_User,
    EG_User,  // one record, gas computer only
    Imp_User,
    Bez_User,
};

struct FieldRef {
    Record record = Record::T_User;
    std::string_view key;  // the parameter-file key: "Max", "Desdp2", "MaxFreq"
    int circuit = 0;       // 0 or 1; EG_User ignores it (always 0)
    bool operator==(const FieldRef&) const = default;
};

// The record's section name in a parameter file: "T_User0", "Des_User1",
// "EG_User".
std::string SectionName(const FieldRef& field);

// "T_User0 Max": the section and the key, as parvion2-cli takes them.
std::string SettingName(const FieldRef& field);

// The value of a field as a float (MaxFreq converted). A key that the record
// does not have reads as 0.
float GetField(const ParameterImage& image, const FieldRef& field);

// Stores a value. MaxFreq takes the whole-number part, limited to 0..65535;
// the floats take it as it is. A key the record does not have is ignored.
void SetField(ParameterImage& image, const FieldRef& field, float value);

// The record of a section name ("T_User0" gives T_User and circuit 0,
// "EG_User" gives EG_User), case-insensitive as the files are; nothing for
// any other section.
struct SectionRef {
    Record record;
    int circuit;
};
std::optional<SectionRef> ParseSection(std::string_view section);

// The key as the record's table spells it ("max" gives "Max"), so that a
// FieldRef made from typed text compares equal to the edit layer's own;
// nothing when the record has no such value key. Only the keys that hold
// values are known here (floats and MaxFreq), not the choice bytes.
std::optional<std::string_view> CanonicalKey(Record record, std::string_view key);

}  // namespace parvion::edit
