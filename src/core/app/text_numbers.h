#pragma once
// Every text number the program looks up in the string libraries, as data:
// ranges of consecutive numbers with the area that uses them. The libraries
// must hold each of them (the checks in the tests walk this list), and no
// number that is not listed here.

#include <cstdint>
#include <span>
#include <string_view>

namespace parvion {

// Which libraries hold a range: numbers whose count differs between the gas
// and the energy computer (their choice lists have different lengths) exist
// only in the libraries of one variant.
enum class TextVariant : std::uint8_t { Both, GasOnly, EnergyOnly };

struct TextRange {
    std::uint16_t first = 0;
    std::uint16_t last = 0;  // inclusive
    std::string_view area;
    TextVariant variant = TextVariant::Both;
    // Longest text, in characters, that keeps the column of the list or
    // printout that pads it aligned; 0 for no limit of its own.
    std::uint8_t maxChars = 0;
    // The range is a choice list that the program reads up to the first
    // missing number: the number after `last` must not exist, or the list
    // would gain a choice that has no meaning.
    bool endsList = false;
};

std::span<const TextRange> UsedTextNumbers();

// True when the range applies to the libraries of `medium` (0 gas, 1 energy).
bool RangeApplies(const TextRange& range, int medium);

}  // namespace parvion
