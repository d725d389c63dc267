#pragma once
// A parameter image on the variant's defaults with the build's string
// library and the value format the pages use, and small readers of a built
// page: the text at a row and placement, the texts of a range of rows.

#include <optional>
#include <string>
#include <vector>

#include "core/app/texts.h"
#include "core/edit/page_commands.h"
#include "core/model/defaults.h"
#include "core/model/session.h"
#include "core/model/value_format.h"
#include "core/views/page_layout.h"

namespace parvion::test {

struct PrintRig {
    explicit PrintRig(int medium, int sprache = 1) : texts(PARVION_BIN_DIR, session) {
        session.Medium = medium;
        session.Sprache = sprache;
        ResetParameters(image, medium, false);
        image.System.Ausbaustufe = 0;
        image.System.Kind = 0;
    }
    edit::PageTexts pageTexts() {
        return {[this](std::uint16_t first, std::uint8_t width, views::TextBlock& block) {
                    return texts.LoadTextBlock(first, width, block);
                },
                [this](std::uint16_t n) { return texts.LoadText(n); },
                [this](std::uint8_t q, bool withUnit, bool trim, float v) {
                    return FormatValue(image, session.Medium, q, withUnit, trim, v);
                }};
    }
    std::string text(std::uint16_t n) const { return texts.LoadText(n); }

    Session session;
    TextLibrary texts;
    ParameterImage image;
};

inline std::optional<print::PlacedText> PlacedAt(const print::PrintPage& page, int row,
                                                 print::Placement p) {
    for (const auto& t : page.texts) {
        if (t.row == row && t.placement == p) return t;
    }
    return std::nullopt;
}

inline std::optional<std::string> At(const print::PrintPage& page, int row, print::Placement p) {
    const auto t = PlacedAt(page, row, p);
    return t ? std::optional(t->text) : std::nullopt;
}

// The texts in rows first..last at the given placements, "row:placement:text".
inline std::vector<std::string> Texts(const print::PrintPage& page, int first, int last,
                                      std::vector<print::Placement> placements) {
    std::vector<std::string> out;
    for (const auto& t : page.texts) {
        if (t.row < first || t.row > last) continue;
        for (print::Placement p : placements) {
            if (t.placement == p) {
                out.push_back(std::to_string(t.row) + ":" + std::to_string(static_cast<int>(p)) +
                              ":" + t.text);
            }
        }
    }
    return out;
}

}  // namespace parvion::test
