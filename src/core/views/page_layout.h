#pragma once
// A printed page as data: texts placed on rows in one of five horizontal
// placements, and the rules drawn between them. The parameter printout, the
// terminal plan, the remarks page and the commissioning record are built as
// such pages from the parameter image and the string library; the window's
// renderer and parvion2-cli draw them, so every row condition is decided
// here, without a drawing surface.
//
// Geometry, applied by the renderer: the font is Courier New 10 points;
// the line height h is the height of "ABC" and row r lies at y = r × h; the
// margin m is the width of "aa"; W is the page width.

#include <cstdint>
#include <string>
#include <vector>

namespace parvion::print {

// Where a text stands across the page.
enum class Placement : std::uint8_t {
    Centre = 0,      // centred: (W − text width) / 2
    LeftLabel = 1,   // m: the labels of the left half (circuit 1)
    LeftValue = 2,   // right-aligned to the middle: W / 2 − text width − m
    RightLabel = 3,  // W / 2 + m: the labels of the right half (circuit 2)
    RightValue = 4,  // right-aligned to the edge: W − text width − m
};

struct PlacedText {
    int row = 0;
    Placement placement = Placement::LeftLabel;
    std::string text;  // UTF-8
    bool bold = false;
    bool operator==(const PlacedText&) const = default;
};

// A line across the page: vertical at W / 2 from row `from` to row `to`, or
// horizontal from m to W − m at row `from`.
struct PageRule {
    bool vertical = false;
    int from = 0;
    int to = 0;
    bool operator==(const PageRule&) const = default;
};

struct PrintPage {
    std::vector<PlacedText> texts;
    std::vector<PageRule> rules;

    void add(int row, Placement placement, std::string text, bool bold = false) {
        texts.push_back({row, placement, std::move(text), bold});
    }
    bool empty() const { return texts.empty() && rules.empty(); }
};

// One print job: its title and its pages in order.
struct PrintJob {
    std::string title;
    std::vector<PrintPage> pages;
};

// The label placement of a circuit (0 or 1) and the value placement beside it.
inline Placement LabelPlacement(int circuit) {
    return circuit == 1 ? Placement::RightLabel : Placement::LeftLabel;
}
inline Placement ValuePlacement(int circuit) {
    return circuit == 1 ? Placement::RightValue : Placement::LeftValue;
}

}  // namespace parvion::print
