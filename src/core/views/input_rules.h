#pragma once
// The rules of the value input dialog that are not about widgets: which
// unit row converts the value, how value and limits are written, which
// keystrokes the entry accepts, and how an entry becomes the accepted value
// (near-zero snapping, clamping to the limits, conversion back to the base
// unit).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/parameter_image.h"
#include "core/model/units.h"
#include "core/views/text_source.h"

namespace parvion::views {

// Longest entry the dialog's edit holds.
inline constexpr int kInputMaxLength = 20;
// Entries closer to zero than this (and not zero) become zero.
inline constexpr float kInputNearZero = 1e-9f;

// The row that converts between base and display unit for the dialog: with
// the user-unit option on, the user's unit of quantities 0..15 (nullptr when
// the table has no such row: no conversion); otherwise the base row of the
// variant. nullptr for kNoQuantity.
const UnitRow* InputUnitRow(const ParameterImage& image, int medium, std::uint8_t quantity);

// A number as the dialog shows it. Integer mode: rounded to the nearest
// whole number. Otherwise `precision` significant digits (1..9), fixed
// notation when the integer part has at most `precision` digits and the
// magnitude is at least 0.00001, else scientific ("1.5E-6", "2E12");
// trailing zeros and a bare point dropped; "." as the decimal separator.
std::string FormatInputNumber(float value, bool integerMode, int precision);

// The window caption: "min .. max".
std::string InputCaption(std::string_view formattedMin, std::string_view formattedMax);

// Text numbers of the dialog's body: what is edited, its unit and limits,
// and why an entry was not taken.
namespace input_text {
inline constexpr std::uint16_t kLabelUnit = 22823;   // "%1 (%2): %3 … %4"
inline constexpr std::uint16_t kLabel = 22824;       // "%1: %2 … %3"
inline constexpr std::uint16_t kUnit = 22825;        // "Allowed (%1): %2 … %3"
inline constexpr std::uint16_t kBare = 22826;        // "Allowed: %1 … %2"
inline constexpr std::uint16_t kEmpty = 22827;       // "The field is empty: …"
inline constexpr std::uint16_t kNotANumber = 22828;  // "\"%1\" is not a number: …"
}  // namespace input_text

// The unit the dialog shows its numbers in: the row's display text without
// its blanks; empty without a row.
std::string InputUnitName(const UnitRow* row);

// The line in the dialog's body that names the value edited, its unit and
// its limits: "Wert bei 20 mA (bar): 0 … 100". Without a label or a unit
// the line says what it can ("Erlaubt (bar): 0 … 100", "Faktor: 0.5 … 2").
std::string InputPrompt(const TextLoader& text, std::string_view label, std::string_view unit,
                        std::string_view formattedMin, std::string_view formattedMax);

// Why OK took nothing: the entry is empty, or holds no number ("-", ".").
// Both name the limits, so the user knows what to type.
std::string InputRefusal(const TextLoader& text, std::string_view entry,
                         std::string_view formattedMin, std::string_view formattedMax);

// Backspace as a typed character.
inline constexpr char kBackspace = '\b';

// The key filter. `key` is the typed character; `text` the edit's text
// before it, `selected` the length of its selection, `precision` the
// dialog's precision. Returns the character to insert (turned to upper case,
// "," made "."), or nothing when the key is swallowed.
std::optional<char> FilterInputKey(char key, std::string_view text, std::size_t selected,
                                   int precision);

// Reads an entry: "," counts as ".", and the longest leading part that is a
// number is taken ("1.5E" gives 1.5). Nothing when the text holds no number
// at all (empty, "-", ".", "E5").
std::optional<float> ParseInputNumber(std::string_view text);

struct InputLimits {
    float displayMin = 0;
    float displayMax = 0;
    float baseMin = 0;
    float baseMax = 0;
};

// Whether an entry was set to a limit.
enum class InputClamp : std::uint8_t { None, ToMin, ToMax };

struct AcceptedInput {
    float displayValue = 0;  // after snapping and clamping
    float baseValue = 0;     // what the caller stores
    bool beep = false;       // snapped to zero or clamped
    InputClamp clamp = InputClamp::None;
    float entered = 0;  // the entry as typed (display unit)
};

// The OK rule for an entry v in the display unit: a non-zero v within
// (-1E-9, 1E-9) becomes 0; v above the display maximum becomes the maximum,
// below the minimum the minimum (each with a beep); the result converted
// back with the row (none: unchanged). A clamped entry yields exactly the
// base limit.
AcceptedInput AcceptInputValue(float v, const InputLimits& limits, const UnitRow* row);

// Text numbers of the line that says an entry was set to a limit.
inline constexpr std::uint16_t kTextClampedToMax = 22950;  // %1 name, %2 entry, %3 limit
inline constexpr std::uint16_t kTextClampedToMin = 22951;

// What the status line says about an entry set to a limit: "Calorific val.
// Ho: maximum 13000 Wh/m³ taken, not 15000 Wh/m³" — the value's name (%1),
// the entry (%2) and the limit (%3) as the dialog writes them
// (`precision` significant digits) with the unit of the row (none: no
// unit). Nothing when the entry was not clamped.
std::string ClampedInputText(const TextLoader& text, std::string_view name,
                             const AcceptedInput& accepted, const UnitRow* row, int precision = 5);

}  // namespace parvion::views
