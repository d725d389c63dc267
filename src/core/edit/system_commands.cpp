#include "core/edit/system_commands.h"

#include "core/edit/correction.h"
#include "core/edit/setting_support.h"
#include "core/edit/system_page.h"
#include "core/edit/trend_recording.h"
#include "core/link/transport.h"
#include "core/model/parameter_walk.h"
#include "core/model/profile_file.h"
#include "core/model/units.h"
#include "core/views/page_rules.h"

namespace parvion::edit {

namespace {

constexpr std::string_view kSystem = "System";
constexpr std::string_view kGrenzwerte = "Grenzwerte";
constexpr std::string_view kVorgaben = "Vorgaben";
constexpr std::string_view kTrendUser = "Trend_User";
constexpr std::string_view kFlowKorr = "FlowKorr_";

constexpr std::string_view kKind = "Kind";
constexpr std::string_view kAnzahl = "Anzahl";
constexpr std::string_view kFaktor = "Faktor";
constexpr std::string_view kSchema = "Schema";
constexpr std::string_view kVorgabe = "Vorgabe";
constexpr std::string_view kParam = "Param";
constexpr std::string_view kTime = "Time";
constexpr std::string_view kStelle = "Stelle";

constexpr std::uint16_t kUnitsTexts = 11280;
constexpr std::uint16_t kSchemeTexts = 11296;
constexpr std::uint16_t kSystemFactorText = 11328;

std::string Key(std::string_view section, std::string_view key) {
    return std::string(section) + " " + std::string(key);
}

// The caption (entry 0) and the choices after it, up to the first empty
// entry, of a text block.
struct Choices {
    std::string caption;
    std::vector<std::string> items;
};
Choices LoadChoices(const PageTexts& texts, std::uint16_t first) {
    views::TextBlock t;
    t.fill({});
    Choices c;
    if (!texts.blocks(first, 1, t)) return c;
    c.caption = t[0];
    for (std::size_t i = 1; i < t.size() && !t[i].empty(); ++i) c.items.push_back(t[i]);
    return c;
}

std::string Chosen(const Choices& c, std::optional<int> index) {
    if (!index) return "-";
    const auto i = static_cast<std::size_t>(*index);
    return i < c.items.size() ? c.items[i] : std::to_string(*index);
}

std::string FlowKorrSection(int circuit) {
    return parameter_walk::Indexed(kFlowKorr, static_cast<std::size_t>(circuit) + 1);
}

// What the system page offers as it stands.
bool SystemDefinitionShown(const ParameterImage& image) {
    return views::AllOutputsPresent(image.System);
}
bool UnitsEnabled(const ParameterImage& image) {
    return image.System.Kind == 1 || image.System.Kind == 2;
}
bool FactorShown(const ParameterImage& image, const PageTexts& texts) {
    return SystemFactorEditable(image.System) && !texts.text(kSystemFactorText).empty();
}

std::string FactorText(float factor, const PageTexts& texts) {
    return Trim(texts.values(kNoQuantity, false, true, factor));
}

// "Vorgabe3" -> 2, "Stelle7" -> 7: the number after the word, within
// first..last, less `first`.
std::optional<std::size_t> Numbered(std::string_view key, std::string_view word, int first,
                                    int last) {
    const std::string k = Lower(Trim(key));
    const std::string w = Lower(word);
    if (k.rfind(w, 0) != 0) return std::nullopt;
    const std::optional<int> n = ReadIndex(std::string_view(k).substr(w.size()));
    if (!n || *n < first || *n > last) return std::nullopt;
    return static_cast<std::size_t>(*n - first);
}

// A choice index within the choices.
std::optional<int> ChoiceIndex(const Setting& s, const Choices& c, SettingOutcome& failure) {
    const std::optional<int> index = ReadIndex(s.value);
    if (!index) {
        failure = NotAnIndex(s.value);
        return std::nullopt;
    }
    if (static_cast<std::size_t>(*index) >= c.items.size()) {
        failure = BadChoice(*index, c.items);
        return std::nullopt;
    }
    return index;
}

SettingOutcome Refused(std::string message) {
    return Failed(SettingOutcome::Status::Refused, std::move(message));
}

SettingOutcome Done(PageName page, int circuit = 0) {
    SettingOutcome out;
    out.page = page;
    out.circuit = circuit;
    return out;
}

// --- the settings ---------------------------------------------------------

SettingOutcome ApplySystem(Link& link, ParameterImage& image, const Setting& s,
                           const PageTexts& texts) {
    const std::string key = Trim(s.key);
    SettingOutcome failure;
    if (SameProfileName(key, kKind)) {
        if (!SystemDefinitionShown(image)) {
            return Refused("this device has one circuit only: the system definition is fixed");
        }
        const Choices c = LoadChoices(texts, kSystemTexts);
        const std::optional<int> index = ChoiceIndex(s, c, failure);
        if (!index) return failure;
        if (ChangeSystemDefinition(link, image, *index) == SystemChange::Refused) {
            return Refused(texts.text(kSystemRefusedText));
        }
        return Done(PageName::System);
    }
    if (SameProfileName(key, kAnzahl)) {
        if (!UnitsEnabled(image)) {
            return Refused(
                "the number of measuring units is a setting only with a single-circuit system "
                "definition");
        }
        const std::optional<int> index = ChoiceIndex(s, LoadChoices(texts, kUnitsTexts), failure);
        if (!index) return failure;
        SetMeasuringUnits(link, image, *index);
        return Done(PageName::System);
    }
    if (SameProfileName(key, kFaktor) && FactorShown(image, texts)) {
        const std::optional<double> value = ReadValue(s.value);
        if (!value) return NotANumber(s.value);
        SettingOutcome out = Done(PageName::System);
        SetSystemFactor(
            link, image,
            AcceptValue(Trim(s.value), *value, kSystemFactorMin, kSystemFactorMax, out.notes));
        return out;
    }
    return NotOnPage(s, "system page", SystemPageSettings(image, texts));
}

SettingOutcome ApplyScheme(Link& link, ParameterImage& image, const Setting& s,
                           const PageTexts& texts) {
    if (!SameProfileName(Trim(s.key), kSchema)) {
        return NotOnPage(s, "system page", SystemPageSettings(image, texts));
    }
    SettingOutcome failure;
    const std::optional<int> index = ChoiceIndex(s, LoadChoices(texts, kSchemeTexts), failure);
    if (!index) return failure;
    ApplyLimitScheme(link, image, *index);
    return Done(PageName::System);
}

SettingOutcome ApplyPreset(Link& link, ParameterImage& image, const Setting& s,
                           const PageTexts& texts) {
    const std::optional<std::size_t> k = Numbered(s.key, kVorgabe, 1, kPresetCount);
    if (!k) return NotOnPage(s, "system page", SystemPageSettings(image, texts));
    const std::optional<double> value = ReadValue(s.value);
    if (!value) return NotANumber(s.value);
    SettingOutcome out = Done(PageName::System);
    const PresetLimits limits = PresetLimitsOf(*k, link.session().Medium);
    const float accepted = AcceptValue(Trim(s.value), *value, limits.min, limits.max, out.notes);
    if (!SetPreset(link, image, *k, accepted)) {
        out.notes.push_back("the preset already holds " + Number(accepted) + "; nothing sent");
    }
    return out;
}

SettingOutcome ApplyTrend(Link& link, ParameterImage& image, const Setting& s,
                          const PageTexts& texts) {
    if (!views::TrendRecordingPresent(image.System)) {
        return Refused("this device has no trend recording");
    }
    const std::string key = Trim(s.key);
    SettingOutcome failure;
    SettingOutcome out = Done(PageName::TrendRecording);
    if (SameProfileName(key, kParam)) {
        const std::optional<int> index =
            ChoiceIndex(s, LoadChoices(texts, kTrendSourceTexts), failure);
        if (!index) return failure;
        if (SetTrendSource(link, image, *index) != *index) {
            out.notes.push_back("circuit 2 is not available: circuit 1 is recorded");
        }
        return out;
    }
    if (SameProfileName(key, kTime)) {
        const std::optional<int> index =
            ChoiceIndex(s, LoadChoices(texts, kTrendIntervalTexts), failure);
        if (!index) return failure;
        SetTrendInterval(link, image, *index);
        return out;
    }
    return NotOnPage(s, "trend recording page", SystemPageSettings(image, texts));
}

SettingOutcome ApplyCorrection(Link& link, ParameterImage& image, const Setting& s, int circuit,
                               const PageTexts& texts) {
    if (circuit == 1 && views::Circuit2Unavailable(image.System)) {
        return Refused(
            "circuit 2 is not available: the system definition uses one circuit or the device "
            "has no second circuit");
    }
    const std::optional<std::size_t> point = Numbered(s.key, kStelle, 0, kSupportPoints - 1);
    if (!point) return NotOnPage(s, "correction page", SystemPageSettings(image, texts));
    const std::optional<double> value = ReadValue(s.value);
    if (!value) return NotANumber(s.value);
    SettingOutcome out = Done(PageName::Correction, circuit);
    SetCorrectionFactor(
        link, image, circuit, *point,
        AcceptValue(Trim(s.value), *value, kCorrectionMin, kCorrectionMax, out.notes));
    return out;
}

}  // namespace

std::optional<PageName> SystemPageOf(std::string_view section) {
    const std::string s = Trim(section);
    if (SameProfileName(s, kSystem) || SameProfileName(s, kGrenzwerte) ||
        SameProfileName(s, kVorgaben)) {
        return PageName::System;
    }
    if (SameProfileName(s, kTrendUser)) return PageName::TrendRecording;
    if (SameProfileName(s, FlowKorrSection(0)) || SameProfileName(s, FlowKorrSection(1))) {
        return PageName::Correction;
    }
    return std::nullopt;
}

std::vector<std::string> SystemPageSettings(const ParameterImage& image, const PageTexts& texts) {
    std::vector<std::string> names;
    if (SystemDefinitionShown(image)) names.push_back(Key(kSystem, kKind));
    if (UnitsEnabled(image)) names.push_back(Key(kSystem, kAnzahl));
    if (FactorShown(image, texts)) names.push_back(Key(kSystem, kFaktor));
    names.push_back(Key(kGrenzwerte, kSchema));
    for (std::size_t k = 0; k < kPresetCount; ++k) {
        names.push_back(Key(kVorgaben, parameter_walk::Indexed(kVorgabe, k + 1)));
    }
    if (views::TrendRecordingPresent(image.System)) {
        names.push_back(Key(kTrendUser, kParam));
        names.push_back(Key(kTrendUser, kTime));
    }
    for (int c : {0, 1}) {
        if (c == 1 && views::Circuit2Unavailable(image.System)) break;
        for (std::size_t p = 0; p < kSupportPoints; ++p) {
            names.push_back(Key(FlowKorrSection(c), parameter_walk::Indexed(kStelle, p)));
        }
    }
    return names;
}

SettingOutcome ApplySystemPageSetting(Link& link, ParameterImage& image, const Setting& setting,
                                      const PageTexts& texts) {
    const std::string s = Trim(setting.section);
    if (SameProfileName(s, kSystem)) return ApplySystem(link, image, setting, texts);
    if (SameProfileName(s, kGrenzwerte)) return ApplyScheme(link, image, setting, texts);
    if (SameProfileName(s, kVorgaben)) return ApplyPreset(link, image, setting, texts);
    if (SameProfileName(s, kTrendUser)) return ApplyTrend(link, image, setting, texts);
    const int circuit = SameProfileName(s, FlowKorrSection(1)) ? 1 : 0;
    return ApplyCorrection(link, image, setting, circuit, texts);
}

// --- printing -------------------------------------------------------------

std::vector<std::string> PrintSystemPage(const ParameterImage& image, int medium,
                                         const PageTexts& texts) {
    (void)medium;
    std::vector<std::string> out;
    if (SystemDefinitionShown(image)) {
        const Choices c = LoadChoices(texts, kSystemTexts);
        out.push_back(c.caption + ": " + Chosen(c, SystemChoiceOfKind(image.System.Kind)) +
                      Bracket(Key(kSystem, kKind), ChoiceRange(c.items.size())));
    }
    {
        const Choices c = LoadChoices(texts, kUnitsTexts);
        std::string line = c.caption + ": " + Chosen(c, MeasuringUnitsChoice(image.System));
        if (UnitsEnabled(image))
            line += Bracket(Key(kSystem, kAnzahl), ChoiceRange(c.items.size()));
        out.push_back(std::move(line));
    }
    if (FactorShown(image, texts)) {
        out.push_back(texts.text(kSystemFactorText) + ": " +
                      FactorText(image.System.Faktor, texts) + Bracket(Key(kSystem, kFaktor)));
    }
    {
        const Choices c = LoadChoices(texts, kSchemeTexts);
        out.push_back(c.caption + ": " + Chosen(c, LimitSchemeOf(image.Grenzwerte)) +
                      Bracket(Key(kGrenzwerte, kSchema), ChoiceRange(c.items.size())));
    }
    views::TextBlock labels;
    labels.fill({});
    texts.blocks(kPresetTexts, 1, labels);
    out.push_back(std::string(PresetsInUse(image) ? "[x] " : "[ ] ") + labels[0]);
    const std::vector<std::string> lines = PresetLineTexts(image, labels, texts.values);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        out.push_back("  " + lines[k] +
                      Bracket(Key(kVorgaben, parameter_walk::Indexed(kVorgabe, k + 1))));
    }
    return out;
}

std::vector<std::string> PrintTrendRecordingPage(const ParameterImage& image,
                                                 const PageTexts& texts) {
    if (!views::TrendRecordingPresent(image.System)) return {};
    const Choices source = LoadChoices(texts, kTrendSourceTexts);
    const Choices interval = LoadChoices(texts, kTrendIntervalTexts);
    const IntervalShown shown = IntervalChoiceOf(image.Trend_User.Time);
    const std::string time = shown.kind == IntervalShown::Kind::Select
                                 ? Chosen(interval, shown.index)
                                 : "Time " + std::to_string(image.Trend_User.Time);
    return {source.caption + ": " + Chosen(source, image.Trend_User.Param) +
                Bracket(Key(kTrendUser, kParam), ChoiceRange(source.items.size())),
            interval.caption + ": " + time +
                Bracket(Key(kTrendUser, kTime), ChoiceRange(interval.items.size()))};
}

std::vector<std::string> PrintCorrectionPage(const ParameterImage& image, const PageTexts& texts) {
    views::TextBlock labels;
    labels.fill({});
    texts.blocks(kCorrectionTexts, 1, labels);
    std::vector<std::string> out;
    for (int c : {0, 1}) {
        if (c == 1 && views::Circuit2Unavailable(image.System)) break;
        out.push_back(labels[0] + " " + std::to_string(c + 1));
        for (std::size_t p = 0; p < kSupportPoints; ++p) {
            out.push_back("  " + labels[p + 1] + "  " +
                          FactorText(image.FlowKorr[static_cast<std::size_t>(c)].Stelle[p], texts) +
                          Bracket(Key(FlowKorrSection(c), parameter_walk::Indexed(kStelle, p))));
        }
    }
    return out;
}

}  // namespace parvion::edit
