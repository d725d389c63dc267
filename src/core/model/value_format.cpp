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

std::optional<double> ReadNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    std::string s(text);
    if (const std::size_t comma = s.find(','); comma != std::string::npos) s[comma] = '.';

    bool negative = false;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    std::string upper;
    for (std::size_t j = i; j < s.size(); ++j)
        upper.push_back(s[j] >= 'a' && s[j] <= 'z' ? static_cast<char>(s[j] - 'a' + 'A') : s[j]);
    if (upper == "NAN" && i == 0) return std::numeric_limits<double>::quiet_NaN();
    if (upper == "INF") {
        const double inf = std::numeric_limits<double>::infinity();
        return negative ? -inf : inf;
    }

    // Syntax: digits [ "." digits ] [ ("E"|"e") [sign] digits ], at least
    // one mantissa digit.
    const std::size_t start = i;
    int intDigits = 0;     // significant digits before the point
    int leadingZeros = 0;  // zeros after the point before the first non-zero digit
    bool nonZero = false;
    bool anyDigit = false;
    bool afterPoint = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            anyDigit = true;
            if (c != '0') nonZero = true;
            if (!afterPoint && nonZero) ++intDigits;
            if (afterPoint && !nonZero) ++leadingZeros;
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return std::nullopt;
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            expNegative = s[i] == '-';
            ++i;
        }
        const std::size_t expStart = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            if (exponent < 1000000) exponent = exponent * 10 + (s[i] - '0');
            ++i;
        }
        if (i == expStart) return std::nullopt;
        if (expNegative) exponent = -exponent;
    }
    if (i != s.size()) return std::nullopt;

    double result = 0;
    const auto [ptr, ec] =
        std::from_chars(s.data() + start, s.data() + s.size(), result, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Overflow or underflow, by the decimal power of the first digit.
        const long long power = exponent + (intDigits > 0 ? intDigits - 1 : -leadingZeros - 1);
        result = nonZero && power > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc() || ptr != s.data() + s.size()) {
        return std::nullopt;
    }
    return negative ? -result : result;
}

std::optional<double> ReadFiniteNumber(std::string_view text) {
    const std::optional<double> v = ReadNumber(text);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return v;
}

float ToSingle(double value) {
    constexpr double kMax = static_cast<double>(std::numeric_limits<float>::max());
    if (std::isfinite(value) && std::fabs(value) > kMax) {
        // Values that round to the largest float stay finite.
        const double limit = kMax + std::ldexp(1.0, 103);  // half an ulp above FLT_MAX
        if (std::fabs(value) >= limit) {
            const float inf = std::numeric_limits<float>::infinity();
            return value < 0 ? -inf : inf;
        }
        return value < 0 ? -std::numeric_limits<float>::max() : std::numeric_limits<float>::max();
    }
    return static_cast<float>(value);
}

std::optional<float> DeviceFloat(double value) {
    const float single = ToSingle(value);
    if (!std::isfinite(single)) return std::nullopt;
    return single;
}

std::optional<float> ReadDeviceFloat(std::string_view text) {
    const std::optional<double> v = ReadNumber(text);
    if (!v) return std::nullopt;
    return DeviceFloat(*v);
}

std::optional<std::uint32_t> TruncateToBits(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    constexpr double kTwo32 = 4294967296.0;
    double wrapped = std::fmod(std::trunc(value), kTwo32);
    if (wrapped < 0) wrapped += kTwo32;
    return static_cast<std::uint32_t>(wrapped);
}

}  // namespace parvion
