#include "core/edit/value_names.h"

#include <optional>

#include "core/edit/correction.h"
#include "core/edit/field_ref.h"
#include "core/edit/system_page.h"

namespace parvion::edit {

namespace {

constexpr std::uint16_t kSystemFactorText = 11328;

std::uint16_t Offset(std::uint16_t block, std::size_t index) {
    return static_cast<std::uint16_t>(block + index);
}

// "Grenzwertrelais" and the number: the caption the page gives the group.
std::string Numbered(const std::string& caption, int number) {
    return caption.empty() ? std::string() : caption + " " + std::to_string(number);
}

// The digit after `prefix` ("Alm_User1" gives 1), below `count`.
std::optional<int> Suffix(std::string_view s, std::string_view prefix, int count) {
    if (s.size() != prefix.size() + 1 || !s.starts_with(prefix)) return std::nullopt;
    const int n = s.back() - '0';
    if (n < 0 || n >= count) return std::nullopt;
    return n;
}

}  // namespace

std::string JoinNames(const views::TextLoader& text, std::string_view outer,
                      std::string_view inner) {
    if (outer.empty() || outer == inner) return std::string(inner);
    if (inner.empty()) return std::string(outer);
    return views::FillText(text, kNameJoinText, {std::string(outer), std::string(inner)});
}

std::string CircuitLineName(const ParameterImage& image, int circuit, CircuitGroup group,
                            const CircuitLine& line, const views::TextLoader& text) {
    const std::string caption = text(ChoiceBlock(group));
    const std::string label = text(Offset(LabelBlock(image, circuit, group), line.label));
    return JoinNames(text, caption, label);
}

std::string AlarmLineName(int alarm, const SourceLine& line, const views::TextLoader& text) {
    return JoinNames(text, Numbered(text(kAlarmBlock), alarm + 1),
                     text(Offset(kAlarmKindBlock, line.label)));
}

std::string OutputLineName(int output, const SourceLine& line, const views::TextLoader& text) {
    return JoinNames(text, Numbered(text(kOutputBlock), output + 1),
                     text(Offset(kOutputLabelBlock, line.label)));
}

std::string PresetName(std::size_t k, const views::TextLoader& text) {
    return JoinNames(text, text(kPresetTexts), text(Offset(kPresetTexts, k + 1)));
}

std::string SystemFactorName(const views::TextLoader& text) {
    return text(kSystemFactorText);
}

std::string CorrectionPointName(int circuit, std::size_t point, const views::TextLoader& text) {
    return JoinNames(text, Numbered(text(kCorrectionTexts), circuit + 1),
                     text(Offset(kCorrectionTexts, point + 1)));
}

std::string FieldName(const ParameterImage& left, const ParameterImage& right, int medium,
                      std::string_view section, std::string_view key,
                      const views::TextLoader& text) {
    if (!text) return {};
    if (const auto ref = ParseSection(section)) {
        const auto canonical = CanonicalKey(ref->record, key);
        if (!canonical) return {};
        const FieldRef field{ref->record, *canonical, ref->circuit};
        for (const ParameterImage* img : {&left, &right}) {
            for (const CircuitGroup group : kCircuitGroups) {
                for (const CircuitLine& line : GroupLines(*img, medium, ref->circuit, group)) {
                    if (line.kind != LineKind::Status && line.field == field) {
                        return CircuitLineName(*img, ref->circuit, group, line, text);
                    }
                }
            }
        }
        return {};
    }
    if (const auto a = Suffix(section, "Alm_User", kAlarms)) {
        for (const ParameterImage* img : {&left, &right}) {
            for (const SourceLine& line : AlarmLines(*img, medium, *a)) {
                if (line.key == key) return AlarmLineName(*a, line, text);
            }
        }
        return {};
    }
    if (const auto o = Suffix(section, "Aus_User", kOutputs)) {
        for (const ParameterImage* img : {&left, &right}) {
            for (const SourceLine& line : OutputLines(*img, medium, *o)) {
                if (line.key == key) return OutputLineName(*o, line, text);
            }
        }
        return {};
    }
    if (section == "Vorgaben") {
        if (const auto k = Suffix(key, "Vorgabe", static_cast<int>(kPresetCount) + 1);
            k && *k > 0) {
            return PresetName(static_cast<std::size_t>(*k - 1), text);
        }
        return {};
    }
    if (section == "System" && key == "Faktor") return SystemFactorName(text);
    if (const auto c = Suffix(section, "FlowKorr_", 3); c && *c > 0) {
        if (const auto p = Suffix(key, "Stelle", static_cast<int>(kSupportPoints))) {
            return CorrectionPointName(*c - 1, static_cast<std::size_t>(*p), text);
        }
    }
    return {};
}

}  // namespace parvion::edit
