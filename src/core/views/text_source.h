#pragma once
// How the view builders get their texts: by number from the current string
// library, one text or a block of 16. The window binds these to its
// TextLibrary; the builders never load anything themselves.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace parvion::views {

using TextBlock = std::array<std::string, 16>;

// Loads the texts first .. first+15, trimmed and padded with blanks to at
// least width characters; stops at the first missing number. False when not
// even the first text exists.
using BlockLoader = std::function<bool(std::uint16_t first, std::uint8_t width, TextBlock& texts)>;
// One text, trimmed; empty when missing.
using TextLoader = std::function<std::string(std::uint16_t number)>;
// A value as the pages show it: quantity (255 = none), with unit, unit
// trimmed on the right, the value in its base unit.
using ValueFormatter =
    std::function<std::string(std::uint8_t quantity, bool withUnit, bool trimRight, float value)>;

// A library text with its placeholders filled: %1 .. %9 become args[0] ..
// args[8]; a placeholder without an argument becomes nothing.
inline std::string FillPlaceholders(std::string_view pattern,
                                    const std::vector<std::string>& args) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
            pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) out += args[n];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

// The library text `number` with its placeholders filled from args. A text
// missing from the library falls back to "#number" and the arguments, so
// that nothing is lost.
inline std::string FillText(const TextLoader& text, std::uint16_t number,
                            const std::vector<std::string>& args) {
    std::string s = text ? text(number) : std::string();
    if (s.empty()) {
        s = "#" + std::to_string(number);
        for (const std::string& a : args) s += " " + a;
        return s;
    }
    return FillPlaceholders(s, args);
}

}  // namespace parvion::views
