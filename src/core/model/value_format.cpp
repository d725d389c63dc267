#include "core/model/value_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/model/units.h"

namespace parvion {

namespace {

// A positive finite number as significant decimal digits d1 d2 d3 ... and
// the exponent of d1: value = d1.d2d3... * 10^exponent.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// The first 40 significant digits (correctly rounded), or the exact
// expansion when `exact` is set (a double has at most 767).
Decimal Decompose(double magnitude, bool exact) {
    const int places = exact ? 780 : 39;
    char buffer[800];
    const int n = std::snprintf(buffer, sizeof buffer, "%.*e", places, magnitude);
    Decimal d;
    const std::string_view text(buffer, static_cast<std::size_t>(n));
    const std::size_t e = text.find('e');
    d.digits.reserve(e);
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.') d.digits.push_back(text[i]);
    }
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    d.exponent);
    return d;
}

// Rounds to `keep` significant digits, half away from zero; keep may be 0
// or negative (rounding at a place before the first digit). An empty digit
// string means the value rounded to zero.
void RoundTo(Decimal& d, int keep, double magnitude, bool exact) {
    if (keep >= static_cast<int>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const std::size_t k = static_cast<std::size_t>(keep);
    const char first = d.digits[k];
    bool up = first > '5';
    if (first == '5') {
        bool rest = false;
        for (std::size_t i = k + 1; i < d.digits.size(); ++i) rest = rest || d.digits[i] != '0';
        if (!rest && !exact) {
            // Looks like a tie at 40 digits: decide on the exact expansion.
            d = Decompose(magnitude, true);
            RoundTo(d, keep, magnitude, true);
            return;
        }
        up = true;  // above the tie, or an exact tie (away from zero)
    }
    d.digits.resize(k);
    if (!up) {
        if (d.digits.find_first_not_of('0') == std::string::npos) d.digits.clear();
        return;
    }
    std::size_t i = k;
    while (i > 0 && d.digits[i - 1] == '9') d.digits[--i] = '0';
    if (i == 0) {
        d.digits.insert(d.digits.begin(), '1');
        d.digits.pop_back();
        if (d.digits.empty()) d.digits.assign(1, '1');
        ++d.exponent;
    } else {
        ++d.digits[i - 1];
    }
}

std::string NonFinite(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// Fixed notation of a rounded decimal with `decimals` places (digits beyond
// the string count as zeros).
std::string FixedText(const Decimal& d, int decimals) {
    std::string out;
    const int intDigits = d.digits.empty() ? 0 : d.exponent + 1;
    auto digitAt = [&](int index) {  // index 0 = first significant digit
        return index >= 0 && index < static_cast<int>(d.digits.size())
                   ? d.digits[static_cast<std::size_t>(index)]
                   : '0';
    };
    if (intDigits <= 0) {
        out.push_back('0');
    } else {
        for (int i = 0; i < intDigits; ++i) out.push_back(digitAt(i));
    }
    if (decimals > 0) {
        out.push_back('.');
        for (int i = 0; i < decimals; ++i) out.push_back(digitAt(intDigits + i));
    }
    return out;
}

}  // namespace

namespace {

// The general format with `precision` digits; scientific notation once the
// rounded value has more than `fixedDigits` digits before the point.
std::string GeneralText(double value, int precision, int fixedDigits) {
    if (!std::isfinite(value)) return NonFinite(value);
    if (value == 0) return "0";
    const double magnitude = std::fabs(value);
    Decimal d = Decompose(magnitude, false);
    RoundTo(d, precision, magnitude, false);
    const std::size_t last = d.digits.find_last_not_of('0');
    d.digits.resize(last + 1);  // a non-zero value keeps at least one digit

    std::string out = value < 0 ? "-" : "";
    if (d.exponent >= fixedDigits || d.exponent < -5) {
        out.push_back(d.digits[0]);
        if (d.digits.size() > 1) {
            out.push_back('.');
            out.append(d.digits, 1);
        }
        out.push_back('E');
        out += std::to_string(d.exponent);
    } else {
        const int decimals = std::max(0, static_cast<int>(d.digits.size()) - d.exponent - 1);
        out += FixedText(d, decimals);
    }
    return out;
}

}  // namespace

std::string FormatGeneral(double value, int precision) {
    precision = std::clamp(precision, 1, 40);
    return GeneralText(value, precision, precision);
}

std::string FormatFileFloat(float value) {
    const double v = static_cast<double>(value);
    std::string text;
    for (int digits = 7; digits <= 9; ++digits) {
        text = GeneralText(v, digits, 7);
        const std::optional<double> back = ReadNumber(text);
        if (back && ToSingle(*back) == value) break;
    }
    return text;
}

std::string FormatValue(const ParameterImage& image, int medium, std::uint8_t quantity,
                        bool withUnit, bool trimRight, float value) {
    if (quantity != kNoQuantity) {
        value = ToDisplayUnit(SelectUnitRow(image, medium, quantity), value);
    }
    if (!std::isfinite(value)) return NonFinite(static_cast<double>(value));

    // Engineering scaling: the mantissa ends up in (0.001, 1000).
    int e = 0;
    const bool negative = value < 0;
    if (negative) value = -value;
    while (value > 0 && static_cast<double>(value) <= 0.001) {
        value *= 1000.0f;
        e -= 3;
    }
    while (value >= 1000.0f) {
        value /= 1000.0f;
        e += 3;
    }

    std::string number;
    if (value == 0) {
        number = "0.0000";
    } else {
        const double magnitude = static_cast<double>(value);
        Decimal d = Decompose(magnitude, false);
        RoundTo(d, d.exponent + 1 + 4, magnitude, false);
        number = FixedText(d, 4);
        if (negative) number.insert(number.begin(), '-');
    }
    std::string out;
    if (number.size() < 9) out.assign(9 - number.size(), ' ');
    out += number;
    if (e < 0) {
        out += 'E';
        out += std::to_string(e);
    } else if (e > 0) {
        out += "E+";
        out += std::to_string(e);
    } else {
        out += "   ";
    }
    if (quantity != kNoQuantity && withUnit) out += UnitText(image, medium, quantity, trimRight);
    return out;
}

std::string FormatDeviceDateTime(const DeviceDateTime& time) {
    if (time.day < 1 || time.day > 31 || time.month < 1 || time.month > 12)
        return "??.??.???? ??:??:??";
    auto two = [](std::uint16_t v) {
        std::string s = v < 10 ? std::string(1, '0') : std::string();
        s += std::to_string(v);
        return s;
    };
    return two(time.day) + "." + two(time.month) + "." + std::to_string(time.year) + " " +
           two(time.hour) + ":" + two(time.minute) + ":" + two(time.second);
}

}  // namespace parvion
