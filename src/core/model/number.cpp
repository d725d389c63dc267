#include "core/model/number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace parvion {

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
