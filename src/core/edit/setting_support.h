#pragma once
// What every page's settings share: reading the typed value or choice
// index, the messages of a refused setting, and the dialog's acceptance of a
// number with the notes parvion2-cli prints. Used by the page modules of the
// edit layer, not by callers outside it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/edit/page_types.h"

namespace parvion::edit {

std::string Lower(std::string_view s);
std::string Trim(std::string_view s);

// 0 or 1 for a circuit; anything but 1 is circuit 1.
std::size_t Index(int circuit);

// A whole number of up to 9 digits, blanks around it allowed.
std::optional<int> ReadIndex(std::string_view text);

// A value as the notes show it: up to 7 significant digits.
std::string Number(float v);

// "0..3", or empty when there are no choices.
std::string ChoiceRange(std::size_t count);
// "  [T_User0 Kind 0..3]": the setting that changes a printed line.
std::string Bracket(const std::string& setting, const std::string& range = {});
// "2 Konstant".
std::string NumberedChoice(const std::vector<std::string>& choices, std::size_t i);

// The settings of the list that belong to the section; all of them when
// none does.
std::vector<std::string> OfSection(const std::vector<std::string>& names, std::string_view section);

SettingOutcome Failed(SettingOutcome::Status status, std::string message,
                      std::vector<std::string> valid = {});
// Unknown: the key is not a setting of the page as it stands.
SettingOutcome NotOnPage(const Setting& s, const std::string& page,
                         const std::vector<std::string>& names);
// The value is not a number, or one the device cannot hold (NaN, an
// infinity, beyond the float range).
SettingOutcome NotANumber(const std::string& value);
// A source that needs circuit 2 chosen on a device without it.
SettingOutcome Circuit2Missing();
SettingOutcome NotAnIndex(const std::string& value);
SettingOutcome BadChoice(int index, const std::vector<std::string>& choices);

// The value as the value input dialog takes it in the base unit: snapped
// to 0 near zero and clamped to min..max; what changed goes into the notes.
float AcceptValue(const std::string& typed, double value, float min, float max,
                  std::vector<std::string>& notes);

// The typed text as a number the device can hold (DeviceFloat), or nothing.
std::optional<double> ReadValue(const std::string& typed);

}  // namespace parvion::edit
