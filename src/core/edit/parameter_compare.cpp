#include "core/edit/parameter_compare.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "core/edit/alarm_output_page.h"
#include "core/edit/circuit_page.h"
#include "core/edit/field_ref.h"
#include "core/edit/page_commands.h"
#include "core/model/parameter_diff.h"
#include "core/model/units.h"
#include "core/model/value_format.h"

namespace parvion::edit {

namespace {

// Text of the tab that shows the page, and the page's place in the order.
struct PagePlace {
    std::uint16_t tabText;
    int rank;
};

constexpr std::uint16_t kOtherText = compare_text::kOtherPage;
constexpr int kOtherRank = 100;

PagePlace PlaceOf(const std::string& section, const std::string& key) {
    const auto page = PageOfSetting(Setting{section, key, {}, 0});
    if (!page) return {kOtherText, kOtherRank};
    switch (page->page) {
        case PageName::Circuit:
            return {static_cast<std::uint16_t>(529 + page->circuit), page->circuit};
        case PageName::Relays:
            return {531, 2};
        case PageName::Outputs:
            return {532, 3};
        case PageName::Display:
            return {533, 4};
        case PageName::TrendRecording:
            return {534, 5};
        case PageName::System:
            return {535, 6};
        case PageName::Correction:
            return {536, 7};
        case PageName::Units:
            return {537, 8};
        case PageName::Remarks:
            return {538, 9};
    }
    return {kOtherText, kOtherRank};
}

// The quantity a circuit page shows the field in, looked up in the lines
// of either image (a kind may show a value that the other does not).
std::uint8_t QuantityOf(const ParameterImage& left, const ParameterImage& right, int medium,
                        const FieldRef& field) {
    for (const ParameterImage* img : {&left, &right}) {
        for (const CircuitGroup group : kCircuitGroups) {
            for (const CircuitLine& line : GroupLines(*img, medium, field.circuit, group)) {
                if (line.kind == LineKind::Value && line.field == field) return line.quantity;
            }
        }
    }
    return kNoQuantity;
}

// The index of "Alm_User1" for the prefix "Alm_User"; nothing otherwise.
std::optional<int> Numbered(const std::string& section, std::string_view prefix, int count) {
    if (section.size() != prefix.size() + 1 || section.rfind(prefix, 0) != 0) return std::nullopt;
    const int n = section.back() - '0';
    if (n < 0 || n >= count) return std::nullopt;
    return n;
}

// A relay or output value: the quantity of its source in either image, and
// the value as the page shows it.
struct SourceValue {
    std::uint8_t quantity = kNoQuantity;
    float left = 0;
    float right = 0;
};

std::optional<SourceValue> RelayOrOutputValue(const ParameterImage& left,
                                              const ParameterImage& right, int medium,
                                              const std::string& section, const std::string& key) {
    if (const auto a = Numbered(section, "Alm_User", kAlarms)) {
        for (const ParameterImage* img : {&left, &right}) {
            for (const SourceLine& line : AlarmLines(*img, medium, *a)) {
                if (line.key == key) {
                    return SourceValue{line.quantity, AlarmValue(left, *a, line),
                                       AlarmValue(right, *a, line)};
                }
            }
        }
    }
    if (const auto k = Numbered(section, "Aus_User", kOutputs)) {
        for (const ParameterImage* img : {&left, &right}) {
            for (const SourceLine& line : OutputLines(*img, medium, *k)) {
                if (line.key == key) {
                    return SourceValue{line.quantity, OutputValue(left, *k, line),
                                       OutputValue(right, *k, line)};
                }
            }
        }
    }
    return std::nullopt;
}

// "   1.2346    °C" as "1.2346 °C".
std::string Compact(const std::string& s) {
    std::string out;
    bool blank = false;
    for (const char c : s) {
        if (c == ' ') {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

}  // namespace

std::vector<ComparisonRow> CompareParameterSets(const ParameterImage& left,
                                                const ParameterImage& right, int medium,
                                                const views::TextLoader& text) {
    struct Ranked {
        int rank;
        ComparisonRow row;
    };
    std::vector<Ranked> ranked;
    for (const ParameterDifference& d : DiffParameterImages(left, right, medium, true)) {
        ComparisonRow row{{}, d.section, d.key, d.left, d.right};
        const PagePlace place = PlaceOf(d.section, d.key);
        row.page = text ? text(place.tabText) : std::string();
        SourceValue shown;
        if (const auto ref = ParseSection(d.section)) {
            if (const auto key = CanonicalKey(ref->record, d.key)) {
                const FieldRef field{ref->record, *key, ref->circuit};
                shown = {QuantityOf(left, right, medium, field), GetField(left, field),
                         GetField(right, field)};
            }
        } else if (const auto v = RelayOrOutputValue(left, right, medium, d.section, d.key)) {
            shown = *v;
        }
        if (shown.quantity != kNoQuantity) {
            row.quantity = shown.quantity;
            row.leftValue = shown.left;
            row.rightValue = shown.right;
            // Values that differ beyond the shown digits keep the file's
            // texts, so that the row still shows a difference.
            std::string a =
                Compact(FormatValue(left, medium, shown.quantity, true, true, shown.left));
            std::string b =
                Compact(FormatValue(left, medium, shown.quantity, true, true, shown.right));
            if (a != b) {
                row.left = std::move(a);
                row.right = std::move(b);
            }
        }
        ranked.push_back({place.rank, std::move(row)});
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const Ranked& a, const Ranked& b) { return a.rank < b.rank; });
    std::vector<ComparisonRow> out;
    out.reserve(ranked.size());
    for (Ranked& r : ranked) out.push_back(std::move(r.row));
    return out;
}

std::vector<std::string> ComparisonLines(const std::vector<ComparisonRow>& rows,
                                         const views::TextLoader& text) {
    const auto word = [&text](std::uint16_t number, const char* fallback) {
        std::string w = text ? text(number) : std::string();
        return w.empty() ? std::string(fallback) : w;
    };
    const std::string device = word(compare_text::kDevice, "device");
    const std::string file = word(compare_text::kFile, "file");
    std::vector<std::string> out;
    const std::string* page = nullptr;
    for (const ComparisonRow& r : rows) {
        if (page == nullptr || *page != r.page) {
            out.push_back(r.page + ":");
            page = &r.page;
        }
        out.push_back("[" + r.section + "] " + r.key + ": " + device + " " + r.left + ", " + file +
                      " " + r.right);
    }
    return out;
}

}  // namespace parvion::edit
