#pragma once
// Numbers read from texts and bound for the device: the reader every file,
// dialog and setting uses ("." as decimal separator whatever the locale,
// one "," accepted in its place), single precision without undefined
// conversions, and the one rule for a value the device can hold.

#include <cstdint>
#include <optional>
#include <string_view>

namespace parvion {

// Reads a number as the files and the clipboard hold it: the first "," is
// taken as ".", then the whole text (blanks around it allowed) must be a
// decimal number with optional sign, fraction and exponent. "NAN", "INF"
// and "-INF" (any case), as FormatGeneral writes them, are accepted too.
// Returns nothing when the text is not a number. Magnitudes beyond the
// double range become infinite, tiny ones zero.
std::optional<double> ReadNumber(std::string_view text);
// The same without "NAN", "INF" and magnitudes beyond the double range.
std::optional<double> ReadFiniteNumber(std::string_view text);

// A double as single precision: the nearest float, infinite beyond the
// float range (no undefined conversion).
float ToSingle(double value);

// The one rule for a value bound for the device, whether typed for a page's
// setting, held by a table grid or a table file, or handed to the float
// encoder: a number that is finite and within the range of a 32-bit float
// (one that rounds to the largest float is within it), as that float.
// Nothing for NaN, an infinity or a magnitude beyond the float range.
std::optional<float> DeviceFloat(double value);
// A text read as ReadNumber reads it, then held to DeviceFloat.
std::optional<float> ReadDeviceFloat(std::string_view text);

// An integer field's value from a number read from a file: truncated toward
// zero and wrapped to the field's width (300 -> 44 and -1 -> 255 for a byte).
// Returns nothing for a value that is not finite.
std::optional<std::uint32_t> TruncateToBits(double value);

}  // namespace parvion
