#pragma once
// The comparison of two parameter sets as a person reads it: every field
// that differs, with both values in the user's units where the field is a
// value shown on a page, grouped by the page that shows it. The window's
// comparison before a load is written, its "compare with file" and
// `parvion2-cli diff` all show this.

#include <cstdint>
#include <string>
#include <vector>

#include "core/model/parameter_image.h"
#include "core/views/text_source.h"

namespace parvion::edit {

// Text numbers of the comparison (string libraries).
namespace compare_text {
inline constexpr std::uint16_t kTitle = 22560;
inline constexpr std::uint16_t kSection = 22561;  // column heads: section, key,
inline constexpr std::uint16_t kKey = 22562;      // device, file
inline constexpr std::uint16_t kDevice = 22563;
inline constexpr std::uint16_t kFile = 22564;
inline constexpr std::uint16_t kCount = 22565;  // "Differences:"
inline constexpr std::uint16_t kAgreeNothingWritten = 22566;
inline constexpr std::uint16_t kWrite = 22567;
inline constexpr std::uint16_t kCancel = 22568;
inline constexpr std::uint16_t kMenu = 22569;     // "Compare with file..."
inline constexpr std::uint16_t kProgram = 22570;  // column head of the program's parameters
inline constexpr std::uint16_t kClose = 22571;
inline constexpr std::uint16_t kNoDifferences = 22572;
inline constexpr std::uint16_t kOtherPage = 22573;
inline constexpr std::uint16_t kSwitch = 22574;  // settings dialog: "Compare before writing"
inline constexpr std::uint16_t kDeviceUnreadable = 22575;
}  // namespace compare_text

struct ComparisonRow {
    std::string page;  // the page's tab caption ("Circuit 1"), or the text for other fields
    std::string section;
    std::string key;
    std::string left;  // as shown: value and unit, or the file's text
    std::string right;
    // A value a page shows: its quantity and both values in the base unit
    // (for --json); 255 (no quantity) for choices, codes and texts.
    std::uint8_t quantity = 255;
    float leftValue = 0;
    float rightValue = 0;
    bool operator==(const ComparisonRow&) const = default;
};

// The differences between `left` (the device, or the program's parameters)
// and `right` (a loaded file), in page order (circuit 1, circuit 2, relays,
// outputs, display, trend, system, correction factors, units, the rest),
// in file order within a page. Which fields exist is decided by the left
// image's expansion level; values are shown in the units the left image
// selects. Page captions come from `text` (the tab texts).
std::vector<ComparisonRow> CompareParameterSets(const ParameterImage& left,
                                                const ParameterImage& right, int medium,
                                                const views::TextLoader& text);

// The comparison as lines of text: a line with the page caption ending in
// ":" before each page's rows, then "[Section] Key: device LEFT, file RIGHT",
// the two sides named as the comparison window's column heads in the
// language of `text` ("Gerät", "Datei"; "device" and "file" without one).
std::vector<std::string> ComparisonLines(const std::vector<ComparisonRow>& rows,
                                         const views::TextLoader& text = {});

}  // namespace parvion::edit
