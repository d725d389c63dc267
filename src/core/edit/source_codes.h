#pragma once
// The source codes of the alarm relays, the analog outputs and the device
// display's preferred value: which measured value a code byte names, the
// choice index of the combos that offer them, the quantity in which such a
// value is shown and edited, and the limits a value of that source takes.
//
// A code is a group base, 0 (circuit 1), 8 (circuit 2), 16 (circuit 2 minus
// circuit 1) or 24 (circuit 1 plus circuit 2), plus a quantity number: 1
// temperature, 2 pressure, 3 density, 4 power or standard volume flow,
// 5 mass flow, 6 total energy or standard volume, 7 total mass. Code 0 is
// no source (an output then gives its constant current). The combos list
// the valid codes without gaps.

#include <cstdint>

namespace parvion {
struct SystemRec;
}

namespace parvion::edit {

enum class SourceUse : std::uint8_t {
    Alarm,      // ComboAlm1, ComboAlm2: 0..7, 9..15, 17..23, 28..31
    Preferred,  // ComboVorzug: the same codes as the alarms
    Output,     // ComboAus1..ComboAus4: 0..5, 9..13, 17..21, 28, 29
};

// Choices the combo of the use offers: 26 for alarms and the preferred
// value, 18 for outputs.
int SourceChoiceCount(SourceUse use);

// The code of choice `index` (0 .. SourceChoiceCount-1).
std::uint8_t SourceCode(SourceUse use, int index);

// The choice that shows `code`. A code the combo does not offer (8, 16,
// 24..27, 32 and up; for outputs also 6..8, 14..16, 22..27, 30, 31) gives
// some index, possibly one the combo does not have.
int SourceIndex(SourceUse use, std::uint8_t code);

// True when the combo offers the code.
bool ValidSourceCode(SourceUse use, std::uint8_t code);

// True when the code names a value of circuit 2 (itself, a difference or a
// sum): codes from 8.
bool NeedsCircuit2(std::uint8_t code);
// True when the device has no circuit 2 and `code` needs it: the one check
// behind every source choice (alarms, outputs, preferred value) that is
// refused, or falls back, on a device without circuit 2.
bool NeedsMissingCircuit2(const SystemRec& system, std::uint8_t code);

// The quantity (unit table index) in which the value of a code is shown
// and edited: 1, 9 temperature; 2, 10, 18 pressure; 3, 11, 19 density;
// 4, 12, 20, 28 power or flow; 5, 13, 21, 29 mass flow; 6, 14, 22, 30
// total; 17 temperature difference; any other code mass for alarms and the
// current (mA) for outputs.
std::uint8_t SourceQuantity(SourceUse use, std::uint8_t code);

struct ValueLimits {
    float min = 0;
    float max = 0;
    bool operator==(const ValueLimits&) const = default;
};

// The limits of an alarm's Min and Max (the dialog's limits) for the
// code on the variant (medium 0 gas, 1 energy).
ValueLimits AlarmLimits(int medium, std::uint8_t code);

// The limits of an output's Min and Max (the values mapped to 4 and 20 mA).
ValueLimits OutputLimits(int medium, std::uint8_t code);

// The range into which Min and Max of an output are brought when its
// source changes online: Min is raised to `min`, Max lowered to `max`.
// Nothing for code 0 (the constant current) and codes outside the list.
struct OutputRange {
    bool applies = false;
    float min = 0;
    float max = 0;
};
OutputRange OutputSourceRange(int medium, std::uint8_t code);

}  // namespace parvion::edit
