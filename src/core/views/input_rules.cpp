#include "core/views/input_rules.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace parvion::views {

const UnitRow* InputUnitRow(const ParameterImage& image, int medium, std::uint8_t quantity) {
    if (quantity == kNoQuantity) return nullptr;
    return SelectUnitRow(image, medium, quantity, UnitScope::InputDialog);
}

std::string FormatInputNumber(float value, bool integerMode, int precision) {
    const double v = static_cast<double>(value);
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
    if (integerMode) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.0f", std::round(v));
        std::string s = buf;
        return s == "-0" ? "0" : s;
    }
    const int p = std::clamp(precision, 1, 9);
    if (v == 0) return "0";

    // Round to p significant digits: d.ddd...e±x.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", p - 1, v);
    std::string s = buf;
    const bool negative = s[0] == '-';
    if (negative) s.erase(0, 1);
    const std::size_t ePos = s.find('e');
    const int exponent = std::atoi(s.c_str() + ePos + 1);
    std::string digits;
    for (std::size_t i = 0; i < ePos; ++i) {
        if (s[i] != '.') digits += s[i];
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    const int integerDigits = exponent + 1;
    if (integerDigits <= p && exponent >= -5) {
        if (integerDigits <= 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-integerDigits), '0');
            out += digits;
        } else {
            const auto n = static_cast<std::size_t>(integerDigits);
            if (digits.size() <= n) {
                out += digits;
                out.append(n - digits.size(), '0');
            } else {
                out += digits.substr(0, n);
                out += '.';
                out += digits.substr(n);
            }
        }
    } else {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'E';
        out += std::to_string(exponent);
    }
    return out;
}

std::string InputCaption(std::string_view formattedMin, std::string_view formattedMax) {
    std::string caption(formattedMin);
    caption += " .. ";
    caption += formattedMax;
    return caption;
}

std::string InputUnitName(const UnitRow* row) {
    if (row == nullptr) return {};
    std::string_view unit = row->DisplayText;
    while (!unit.empty() && unit.front() == ' ') unit.remove_prefix(1);
    while (!unit.empty() && unit.back() == ' ') unit.remove_suffix(1);
    return std::string(unit);
}

std::string InputPrompt(const TextLoader& text, std::string_view label, std::string_view unit,
                        std::string_view formattedMin, std::string_view formattedMax) {
    const std::string min(formattedMin);
    const std::string max(formattedMax);
    if (!label.empty() && !unit.empty()) {
        return FillText(text, input_text::kLabelUnit,
                        {std::string(label), std::string(unit), min, max});
    }
    if (!label.empty()) return FillText(text, input_text::kLabel, {std::string(label), min, max});
    if (!unit.empty()) return FillText(text, input_text::kUnit, {std::string(unit), min, max});
    return FillText(text, input_text::kBare, {min, max});
}

std::string InputRefusal(const TextLoader& text, std::string_view entry,
                         std::string_view formattedMin, std::string_view formattedMax) {
    const std::string min(formattedMin);
    const std::string max(formattedMax);
    std::string_view trimmed = entry;
    while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
    if (trimmed.empty()) return FillText(text, input_text::kEmpty, {min, max});
    return FillText(text, input_text::kNotANumber, {std::string(trimmed), min, max});
}

std::optional<char> FilterInputKey(char key, std::string_view text, std::size_t selected,
                                   int precision) {
    char k = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    if (k == ',') k = '.';
    const std::size_t len = text.size();
    const bool allSelected = selected == len;  // also true for an empty text
    const bool hasPoint = text.find('.') != std::string_view::npos;
    const bool hasE = text.find('E') != std::string_view::npos;
    const long p = precision;
    const auto l = static_cast<long>(len);

    if (k == '0' || k == kBackspace) return k;
    if (k >= '1' && k <= '9') {
        bool ok = allSelected || len <= 4;
        if (!ok) {
            if (text.front() == '-') {
                ok = len <= 5 || (hasPoint && l < p + 2);
            } else if (text.starts_with("0.")) {
                long zeros = 0;
                for (std::size_t i = 2; i < len && text[i] == '0'; ++i) ++zeros;
                ok = l <= p + 1 + zeros;
            } else {
                ok = hasPoint && l < p + 1;
            }
        }
        return ok ? std::optional<char>(k) : std::nullopt;
    }
    if (k == '.') {
        if (len > 0 && !allSelected && !hasPoint) return k;
        return std::nullopt;
    }
    if (k == '-') {
        if (allSelected || text.back() == 'E') return k;
        return std::nullopt;
    }
    if (k == 'E') {
        if (len > 0 && !allSelected && !hasE) return k;
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<float> ParseInputNumber(std::string_view text) {
    std::string s(text);
    std::replace(s.begin(), s.end(), ',', '.');
    // Longest leading number: sign, digits, point, digits, exponent.
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n && s[i] == ' ') ++i;
    std::size_t start = i;
    if (i < n && (s[i] == '-' || s[i] == '+')) ++i;
    std::size_t mantissaDigits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++mantissaDigits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return std::nullopt;
    std::size_t end = i;
    if (i < n && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < n && (s[j] == '-' || s[j] == '+')) ++j;
        const std::size_t digitsAt = j;
        while (j < n && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
        if (j > digitsAt) end = j;
    }
    const std::string number = s.substr(start, end - start);
    // strtod reads the C locale's "." (the program never changes LC_NUMERIC).
    const double d = std::strtod(number.c_str(), nullptr);
    constexpr double kFloatMax = static_cast<double>(std::numeric_limits<float>::max());
    if (d > kFloatMax) return std::numeric_limits<float>::infinity();
    if (d < -kFloatMax) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(d);
}

AcceptedInput AcceptInputValue(float v, const InputLimits& limits, const UnitRow* row) {
    AcceptedInput out;
    out.entered = v;
    if (v != 0 && v > -kInputNearZero && v < kInputNearZero) {
        v = 0;
        out.beep = true;
    }
    if (v > limits.displayMax) {
        out.displayValue = limits.displayMax;
        out.baseValue = limits.baseMax;
        out.beep = true;
        out.clamp = InputClamp::ToMax;
        return out;
    }
    if (v < limits.displayMin) {
        out.displayValue = limits.displayMin;
        out.baseValue = limits.baseMin;
        out.beep = true;
        out.clamp = InputClamp::ToMin;
        return out;
    }
    out.displayValue = v;
    out.baseValue = FromDisplayUnit(row, v);
    return out;
}

std::string ClampedInputText(const TextLoader& text, std::string_view name,
                             const AcceptedInput& accepted, const UnitRow* row, int precision) {
    if (accepted.clamp == InputClamp::None) return {};
    std::string unit = row != nullptr ? std::string(row->DisplayText) : std::string();
    unit.erase(unit.find_last_not_of(' ') + 1);
    unit.erase(0, unit.find_first_not_of(' '));
    const auto withUnit = [&](float v) {
        std::string s = FormatInputNumber(v, false, precision);
        if (!unit.empty()) s += " " + unit;
        return s;
    };
    std::string label(name);
    label.erase(label.find_last_not_of(" :") + 1);
    label.erase(0, label.find_first_not_of(' '));
    return FillText(text,
                    accepted.clamp == InputClamp::ToMax ? kTextClampedToMax : kTextClampedToMin,
                    {label, withUnit(accepted.entered), withUnit(accepted.displayValue)});
}

}  // namespace parvion::views
