#pragma once
// How the view builders get their texts: by number from the current string
// library, one text or a block of 16. The window binds these to its
// TextLibrary; the builders never load anything themselves.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

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

}  // namespace parvion::views
