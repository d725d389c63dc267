#include "core/edit/setting_support.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/model/units.h"
#include "core/model/value_format.h"
#include "core/views/input_rules.h"

namespace parvion::edit {

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(s.substr(first, s.find_last_not_of(" \t") - first + 1));
}

std::size_t Index(int circuit) {
    return circuit == 1 ? 1 : 0;
}

std::optional<int> ReadIndex(std::string_view text) {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > 9) return std::nullopt;
    if (!std::all_of(t.begin(), t.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return std::nullopt;
    }
    return std::stoi(t);
}

std::string Number(float v) {
    return FormatGeneral(static_cast<double>(v), 7);
}

std::string ChoiceRange(std::size_t count) {
    if (count == 0) return {};
    return "0.." + std::to_string(count - 1);
}

std::string Bracket(const std::string& setting, const std::string& range) {
    return "  [" + setting + (range.empty() ? "" : " " + range) + "]";
}

std::string NumberedChoice(const std::vector<std::string>& choices, std::size_t i) {
    return std::to_string(i) + " " + choices[i];
}

std::vector<std::string> OfSection(const std::vector<std::string>& names,
                                   std::string_view section) {
    std::vector<std::string> of;
    const std::string prefix = Lower(section) + " ";
    for (const std::string& n : names) {
        if (Lower(n).rfind(prefix, 0) == 0) of.push_back(n);
    }
    return of.empty() ? names : of;
}

SettingOutcome Failed(SettingOutcome::Status status, std::string message,
                      std::vector<std::string> valid) {
    SettingOutcome out;
    out.status = status;
    out.message = std::move(message);
    out.valid = std::move(valid);
    return out;
}

SettingOutcome NotOnPage(const Setting& s, const std::string& page,
                         const std::vector<std::string>& names) {
    return Failed(
        SettingOutcome::Status::Unknown,
        "\"" + s.section + " " + s.key + "\" is not a setting of the " + page + " as it stands",
        OfSection(names, s.section));
}

SettingOutcome Circuit2Missing() {
    return Failed(SettingOutcome::Status::Refused,
                  "circuit 2 is not available: its values, differences and sums cannot be chosen");
}

SettingOutcome NotANumber(const std::string& value) {
    if (ReadNumber(value)) {
        return Failed(SettingOutcome::Status::NotANumber,
                      "\"" + value +
                          "\" is not a number the device can hold (it must be finite and within "
                          "the range of a 32-bit float)");
    }
    return Failed(SettingOutcome::Status::NotANumber, "\"" + value + "\" is not a number");
}

SettingOutcome NotAnIndex(const std::string& value) {
    return Failed(SettingOutcome::Status::NotANumber,
                  "\"" + value + "\" is not a choice index (a whole number from 0)");
}

SettingOutcome BadChoice(int index, const std::vector<std::string>& choices) {
    std::vector<std::string> valid;
    for (std::size_t i = 0; i < choices.size(); ++i) valid.push_back(NumberedChoice(choices, i));
    return Failed(SettingOutcome::Status::BadChoice,
                  choices.empty() ? "the choices cannot be loaded from the string library"
                                  : "there is no choice " + std::to_string(index),
                  std::move(valid));
}

float AcceptValue(const std::string& typed, double value, float min, float max,
                  std::vector<std::string>& notes) {
    const float v = ToSingle(value);
    const views::InputLimits limits{min, max, min, max};
    const views::AcceptedInput accepted = views::AcceptInputValue(v, limits, nullptr);
    if (v > max) {
        notes.push_back(typed + " is above the upper limit; " + Number(max) + " taken");
    } else if (v < min) {
        notes.push_back(typed + " is below the lower limit; " + Number(min) + " taken");
    } else if (value != 0 && accepted.baseValue == 0) {
        // Also a value below the smallest float, which is 0 before the rule.
        notes.push_back(typed + " is taken as 0");
    }
    return accepted.baseValue;
}

std::optional<double> ReadValue(const std::string& typed) {
    const std::optional<double> v = ReadNumber(typed);
    if (!v || !DeviceFloat(*v)) return std::nullopt;
    return v;
}

}  // namespace parvion::edit
