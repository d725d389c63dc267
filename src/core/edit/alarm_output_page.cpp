#include "core/edit/alarm_output_page.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "core/edit/setting_support.h"
#include "core/edit/source_codes.h"
#include "core/edit/write_back.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/profile_file.h"
#include "core/model/units.h"
#include "core/views/page_rules.h"

namespace parvion::edit {

namespace {

constexpr std::string_view kAlarmSection = "Alm_User";
constexpr std::string_view kOutputSection = "Aus_User";
constexpr std::string_view kParam = "Param";
constexpr std::string_view kKind = "Kind";
constexpr std::string_view kMin = "Min";
constexpr std::string_view kMax = "Max";
constexpr std::string_view kErr = "Err";
constexpr std::string_view kKonstant = "Konstant";
// The currents an output gives: constant and error current, in mA.
constexpr float kCurrentMin = 1.0f;
constexpr float kCurrentMax = 23.0f;
// Konstant is kept in 0.1 mA.
constexpr float kKonstantPerMilliampere = 10.0f;
// The limits of a constant output, in 0.1 mA, set when it goes constant.
constexpr float kConstantLow = 10.0f;
constexpr float kConstantHigh = 230.0f;

void AlarmWriteBack(Link& link, ParameterImage& image, int alarm) {
    WriteBack(
        link, [&] { WriteAlm_User(link, image, alarm); },
        [&] { ReadAlm_User(link, image, alarm); });
}

void OutputWriteBack(Link& link, ParameterImage& image, int output) {
    WriteBack(
        link, [&] { WriteAus_User(link, image, output); },
        [&] { ReadAus_User(link, image, output); });
}

std::size_t Slot(int i, int count) {
    return i >= 0 && i < count ? static_cast<std::size_t>(i) : 0;
}

bool ReadAlarm(Link& link, ParameterImage& image, int alarm) {
    return ReadBeforeEdit(link, image,
                          {{BlockKind::Alm_User, static_cast<int>(Slot(alarm, kAlarms))}});
}

bool ReadOutput(Link& link, ParameterImage& image, int output) {
    return ReadBeforeEdit(link, image,
                          {{BlockKind::Aus_User, static_cast<int>(Slot(output, kOutputs))}});
}

std::vector<std::string> Choices(const views::BlockLoader& load, std::uint16_t first,
                                 std::uint16_t more, std::size_t from) {
    views::TextBlock block;
    if (!load(first, 0, block)) return {};
    std::vector<std::string> out;
    for (std::size_t i = from; i < block.size() && !block[i].empty(); ++i) out.push_back(block[i]);
    if (more != 0 && load(more, 0, block)) {
        for (std::size_t i = 0; i < block.size() && !block[i].empty(); ++i) {
            out.push_back(block[i]);
        }
    }
    return out;
}

// Min and Max keep their order.
template <class Rec>
void PullAlong(Rec& r, std::string_view key) {
    if (key == kMin && r.Max < r.Min) r.Max = r.Min;
    if (key == kMax && r.Min > r.Max) r.Min = r.Max;
}

template <class Rec>
float* FloatField(Rec& r, std::string_view key) {
    if (key == kMin) return &r.Min;
    if (key == kMax) return &r.Max;
    if constexpr (requires { r.Err; }) {
        if (key == kErr) return &r.Err;
    }
    return nullptr;
}

std::vector<std::string> ListTexts(const std::vector<SourceLine>& lines, std::uint16_t block,
                                   const views::BlockLoader& load,
                                   const views::ValueFormatter& format,
                                   const std::function<float(const SourceLine&)>& value) {
    if (lines.empty()) return {};
    views::TextBlock labels;
    if (!load(block, kSourceLabelWidth, labels)) return {};
    std::vector<std::string> out;
    for (const SourceLine& l : lines) {
        out.push_back(labels[l.label] + format(l.quantity, true, true, value(l)));
    }
    return out;
}

std::string Section(std::string_view word, int i) {
    return std::string(word) + std::to_string(i);
}
std::string SettingOf(std::string_view word, int i, std::string_view key) {
    return Section(word, i) + " " + std::string(key);
}

std::optional<int> NumberedSection(std::string_view section, std::string_view word, int count) {
    const std::string s = Trim(section);
    if (s.size() != word.size() + 1 || !SameProfileName(s.substr(0, word.size()), word)) {
        return std::nullopt;
    }
    const int n = s.back() - '0';
    if (n < 0 || n >= count) return std::nullopt;
    return n;
}

std::string Shown(const std::vector<std::string>& choices, int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < choices.size()) {
        return choices[static_cast<std::size_t>(index)];
    }
    return std::to_string(index);
}

// A value setting of a list line: read, clamped as the dialog clamps,
// applied with the page's rules.
template <class Apply>
SettingOutcome LineSetting(const Setting& s, const std::vector<SourceLine>& lines,
                           const std::string& page, const std::vector<std::string>& names,
                           float scale, Apply apply) {
    const std::string key = Trim(s.key);
    for (const SourceLine& line : lines) {
        if (!SameProfileName(key, line.key)) continue;
        const std::optional<double> value = ReadValue(s.value);
        if (!value) return NotANumber(s.value);
        SettingOutcome out;
        const float accepted = AcceptValue(Trim(s.value), *value, line.min, line.max, out.notes);
        if (scale != 1) {
            const float stored = std::round(accepted * scale);
            if (stored != accepted * scale) {
                out.notes.push_back(std::string(line.key) + " is kept in steps of " +
                                    Number(1 / scale) + ": " + Number(stored / scale) + " taken");
            }
        }
        apply(line, accepted);
        return out;
    }
    return NotOnPage(s, page, names);
}

}  // namespace

// --- choices -----------------------------------------------------------------

std::vector<std::string> AlarmSourceChoices(const views::BlockLoader& load) {
    return Choices(load, kAlarmBlock, kAlarmMoreBlock, 1);
}
std::vector<std::string> OutputSourceChoices(const views::BlockLoader& load) {
    return Choices(load, kOutputBlock, kOutputMoreBlock, 1);
}
std::vector<std::string> AlarmKindChoices(const views::BlockLoader& load) {
    return Choices(load, kAlarmKindBlock, 0, 0);
}

// --- relays ------------------------------------------------------------------

std::vector<SourceLine> AlarmLines(const ParameterImage& image, int medium, int alarm) {
    const Alm_UserRec& a = image.Alm_User[Slot(alarm, kAlarms)];
    if (a.Param == 0) return {};
    const std::uint8_t q = SourceQuantity(SourceUse::Alarm, a.Param);
    const ValueLimits limits = AlarmLimits(medium, a.Param);
    const SourceLine min{0, kMin, q, q, limits.min, limits.max};
    const SourceLine max{1, kMax, q, q, limits.min, limits.max};
    switch (a.Kind) {
        case 0:
            return {min};
        case 1:
            return {max};
        case 2:
            return {min, max};
        default:
            return {};
    }
}

float AlarmValue(const ParameterImage& image, int alarm, const SourceLine& line) {
    const Alm_UserRec& a = image.Alm_User[Slot(alarm, kAlarms)];
    return line.key == kMax ? a.Max : a.Min;
}

bool AlarmKindEnabled(const ParameterImage& image, int alarm) {
    return image.Alm_User[Slot(alarm, kAlarms)].Param != 0;
}

std::vector<std::string> AlarmListTexts(const ParameterImage& image, int medium, int alarm,
                                        const views::BlockLoader& load,
                                        const views::ValueFormatter& format) {
    return ListTexts(AlarmLines(image, medium, alarm), kAlarmKindBlock, load, format,
                     [&](const SourceLine& l) { return AlarmValue(image, alarm, l); });
}

int ChooseAlarmSource(Link& link, ParameterImage& image, int alarm, int index) {
    Alm_UserRec& a = image.Alm_User[Slot(alarm, kAlarms)];
    if (index < 0 || index >= SourceChoiceCount(SourceUse::Alarm) ||
        !ReadAlarm(link, image, alarm)) {
        return SourceIndex(SourceUse::Alarm, a.Param);
    }
    if (NeedsMissingCircuit2(image.System, SourceCode(SourceUse::Alarm, index))) {
        // Back to the stored source, which is written again as it is.
        index = SourceIndex(SourceUse::Alarm, a.Param);
    } else {
        a.Param = SourceCode(SourceUse::Alarm, index);
    }
    AlarmWriteBack(link, image, alarm);
    return index;
}

void ChooseAlarmKind(Link& link, ParameterImage& image, int alarm, int index) {
    if (index < 0 || index > 255 || !ReadAlarm(link, image, alarm)) return;
    image.Alm_User[Slot(alarm, kAlarms)].Kind = static_cast<std::uint8_t>(index);
    AlarmWriteBack(link, image, alarm);
}

void ApplyAlarmValue(Link& link, ParameterImage& image, int alarm, const SourceLine& line,
                     float accepted) {
    Alm_UserRec& a = image.Alm_User[Slot(alarm, kAlarms)];
    float* field = FloatField(a, line.key);
    if (field == nullptr || !ReadAlarm(link, image, alarm)) return;
    *field = accepted;
    PullAlong(a, line.key);
    AlarmWriteBack(link, image, alarm);
}

void ReadRelayPage(Link& link, ParameterImage& image) {
    UiHooks& ui = link.ui();
    ui.progressStart(kAlarms);
    for (int a = 0; a < kAlarms; ++a) {
        if (link.session().Online && ReadAlm_User(link, image, a)) ui.progressStep();
    }
    ui.progressHide();
}

// --- outputs -----------------------------------------------------------------

std::vector<SourceLine> OutputLines(const ParameterImage& image, int medium, int output) {
    const Aus_UserRec& o = image.Aus_User[Slot(output, kOutputs)];
    const std::uint8_t mA = quantity::Current;
    if (o.Param == 0) return {{3, kKonstant, mA, mA, kCurrentMin, kCurrentMax}};
    const std::uint8_t q = SourceQuantity(SourceUse::Output, o.Param);
    const ValueLimits limits = OutputLimits(medium, o.Param);
    return {{0, kMin, q, q, limits.min, limits.max},
            {1, kMax, q, q, limits.min, limits.max},
            {2, kErr, mA, kNoQuantity, kCurrentMin, kCurrentMax}};
}

float OutputValue(const ParameterImage& image, int output, const SourceLine& line) {
    const Aus_UserRec& o = image.Aus_User[Slot(output, kOutputs)];
    if (line.key == kKonstant) return static_cast<float>(o.Konstant) / kKonstantPerMilliampere;
    if (line.key == kMin) return o.Min;
    if (line.key == kMax) return o.Max;
    return o.Err;
}

std::vector<std::string> OutputListTexts(const ParameterImage& image, int medium, int output,
                                         const views::BlockLoader& load,
                                         const views::ValueFormatter& format) {
    return ListTexts(OutputLines(image, medium, output), kOutputLabelBlock, load, format,
                     [&](const SourceLine& l) { return OutputValue(image, output, l); });
}

bool OutputShown(const ParameterImage& image, int output) {
    return output == 0 || views::AllOutputsPresent(image.System);
}

int ChooseOutputSource(Link& link, ParameterImage& image, int output, int index) {
    Aus_UserRec& o = image.Aus_User[Slot(output, kOutputs)];
    if (index < 0 || index >= SourceChoiceCount(SourceUse::Output) ||
        !ReadOutput(link, image, output)) {
        return SourceIndex(SourceUse::Output, o.Param);
    }
    o.Param = SourceCode(SourceUse::Output, index);
    if (NeedsMissingCircuit2(image.System, o.Param)) {
        o.Param = 1;
        index = SourceIndex(SourceUse::Output, o.Param);
    }
    if (link.session().Online) {
        if (o.Param == 0) {
            if (o.Konstant < kConstantLow) o.Min = kConstantLow;
            if (o.Konstant > kConstantHigh) o.Max = kConstantHigh;
        } else if (const OutputRange r = OutputSourceRange(link.session().Medium, o.Param);
                   r.applies) {
            if (o.Min < r.min) o.Min = r.min;
            if (o.Max > r.max) o.Max = r.max;
        }
    }
    OutputWriteBack(link, image, output);
    return index;
}

void ApplyOutputValue(Link& link, ParameterImage& image, int output, const SourceLine& line,
                      float accepted) {
    Aus_UserRec& o = image.Aus_User[Slot(output, kOutputs)];
    if (!ReadOutput(link, image, output)) return;
    if (line.key == kKonstant) {
        o.Konstant = static_cast<std::uint8_t>(
            std::lround(std::clamp(accepted, kCurrentMin, kCurrentMax) * kKonstantPerMilliampere));
    } else if (float* field = FloatField(o, line.key)) {
        *field = accepted;
        PullAlong(o, line.key);
    } else {
        return;
    }
    OutputWriteBack(link, image, output);
}

void ReadOutputPage(Link& link, ParameterImage& image) {
    UiHooks& ui = link.ui();
    ui.progressStart(kOutputs);
    for (int k = 0; k < kOutputs; ++k) {
        if (link.session().Online && ReadAus_User(link, image, k)) ui.progressStep();
    }
    ui.progressHide();
}

// --- parvion2-cli ------------------------------------------------------------

std::optional<int> AlarmOfSection(std::string_view section) {
    return NumberedSection(section, kAlarmSection, kAlarms);
}
std::optional<int> OutputOfSection(std::string_view section) {
    return NumberedSection(section, kOutputSection, kOutputs);
}

std::vector<std::string> RelaySettings(const ParameterImage& image) {
    std::vector<std::string> names;
    for (int a = 0; a < kAlarms; ++a) {
        names.push_back(SettingOf(kAlarmSection, a, kParam));
        if (AlarmKindEnabled(image, a)) names.push_back(SettingOf(kAlarmSection, a, kKind));
        for (const SourceLine& l : AlarmLines(image, medium::Gas, a)) {
            names.push_back(SettingOf(kAlarmSection, a, l.key));
        }
    }
    return names;
}

std::vector<std::string> OutputSettings(const ParameterImage& image) {
    std::vector<std::string> names;
    for (int k = 0; k < kOutputs; ++k) {
        if (!OutputShown(image, k)) continue;
        names.push_back(SettingOf(kOutputSection, k, kParam));
        for (const SourceLine& l : OutputLines(image, medium::Gas, k)) {
            names.push_back(SettingOf(kOutputSection, k, l.key));
        }
    }
    return names;
}

std::vector<std::string> PrintRelayPage(const ParameterImage& image, int medium,
                                        const PageTexts& texts) {
    const std::vector<std::string> sources = AlarmSourceChoices(texts.blocks);
    const std::vector<std::string> kinds = AlarmKindChoices(texts.blocks);
    const std::string caption = texts.text(kAlarmBlock);
    std::vector<std::string> out;
    for (int a = 0; a < kAlarms; ++a) {
        const Alm_UserRec& r = image.Alm_User[static_cast<std::size_t>(a)];
        out.push_back(caption + " " + std::to_string(a + 1) + ": " +
                      Shown(sources, SourceIndex(SourceUse::Alarm, r.Param)) +
                      Bracket(SettingOf(kAlarmSection, a, kParam), ChoiceRange(sources.size())));
        std::string kind = "  " + Shown(kinds, r.Kind);
        if (AlarmKindEnabled(image, a)) {
            kind += Bracket(SettingOf(kAlarmSection, a, kKind), ChoiceRange(kinds.size()));
        }
        out.push_back(std::move(kind));
        const std::vector<SourceLine> lines = AlarmLines(image, medium, a);
        const std::vector<std::string> list =
            AlarmListTexts(image, medium, a, texts.blocks, texts.values);
        for (std::size_t i = 0; i < list.size(); ++i) {
            out.push_back("  " + list[i] + Bracket(SettingOf(kAlarmSection, a, lines[i].key)));
        }
    }
    return out;
}

std::vector<std::string> PrintOutputPage(const ParameterImage& image, int medium,
                                         const PageTexts& texts) {
    const std::vector<std::string> sources = OutputSourceChoices(texts.blocks);
    const std::string caption = texts.text(kOutputBlock);
    std::vector<std::string> out;
    for (int k = 0; k < kOutputs; ++k) {
        if (!OutputShown(image, k)) continue;
        const Aus_UserRec& r = image.Aus_User[static_cast<std::size_t>(k)];
        out.push_back(caption + " " + std::to_string(k + 1) + ": " +
                      Shown(sources, SourceIndex(SourceUse::Output, r.Param)) +
                      Bracket(SettingOf(kOutputSection, k, kParam), ChoiceRange(sources.size())));
        const std::vector<SourceLine> lines = OutputLines(image, medium, k);
        const std::vector<std::string> list =
            OutputListTexts(image, medium, k, texts.blocks, texts.values);
        for (std::size_t i = 0; i < list.size(); ++i) {
            out.push_back("  " + list[i] + Bracket(SettingOf(kOutputSection, k, lines[i].key)));
        }
    }
    return out;
}

SettingOutcome ApplyRelaySetting(Link& link, ParameterImage& image, const Setting& s, int alarm,
                                 const PageTexts& texts) {
    const std::string page = "relay page";
    const std::vector<std::string> names = RelaySettings(image);
    const std::string key = Trim(s.key);
    SettingOutcome out;
    out.page = PageName::Relays;
    if (SameProfileName(key, kParam)) {
        const auto index = ReadIndex(s.value);
        if (!index) return NotAnIndex(s.value);
        const std::vector<std::string> choices = AlarmSourceChoices(texts.blocks);
        if (static_cast<std::size_t>(*index) >= choices.size()) return BadChoice(*index, choices);
        if (NeedsMissingCircuit2(image.System, SourceCode(SourceUse::Alarm, *index))) {
            return Circuit2Missing();
        }
        ChooseAlarmSource(link, image, alarm, *index);
        return out;
    }
    if (SameProfileName(key, kKind)) {
        if (!AlarmKindEnabled(image, alarm)) {
            return Failed(SettingOutcome::Status::Refused,
                          "the limit kind of a relay without a source cannot be chosen (set " +
                              SettingOf(kAlarmSection, alarm, kParam) + " first)");
        }
        const auto index = ReadIndex(s.value);
        if (!index) return NotAnIndex(s.value);
        const std::vector<std::string> choices = AlarmKindChoices(texts.blocks);
        if (static_cast<std::size_t>(*index) >= choices.size()) return BadChoice(*index, choices);
        ChooseAlarmKind(link, image, alarm, *index);
        return out;
    }
    SettingOutcome value = LineSetting(
        s, AlarmLines(image, link.session().Medium, alarm), page, names, 1,
        [&](const SourceLine& l, float v) { ApplyAlarmValue(link, image, alarm, l, v); });
    value.page = PageName::Relays;
    return value;
}

SettingOutcome ApplyOutputSetting(Link& link, ParameterImage& image, const Setting& s, int output,
                                  const PageTexts& texts) {
    const std::string page = "output page";
    const std::vector<std::string> names = OutputSettings(image);
    if (!OutputShown(image, output)) {
        return Failed(SettingOutcome::Status::Refused,
                      "outputs 2 to 4 are not fitted on this expansion level");
    }
    const std::string key = Trim(s.key);
    SettingOutcome out;
    out.page = PageName::Outputs;
    if (SameProfileName(key, kParam)) {
        const auto index = ReadIndex(s.value);
        if (!index) return NotAnIndex(s.value);
        const std::vector<std::string> choices = OutputSourceChoices(texts.blocks);
        if (static_cast<std::size_t>(*index) >= choices.size()) return BadChoice(*index, choices);
        if (NeedsMissingCircuit2(image.System, SourceCode(SourceUse::Output, *index))) {
            return Circuit2Missing();
        }
        ChooseOutputSource(link, image, output, *index);
        return out;
    }
    const std::vector<SourceLine> lines = OutputLines(image, link.session().Medium, output);
    const float scale =
        image.Aus_User[Slot(output, kOutputs)].Param == 0 ? kKonstantPerMilliampere : 1;
    SettingOutcome value = LineSetting(
        s, lines, page, names, scale,
        [&](const SourceLine& l, float v) { ApplyOutputValue(link, image, output, l, v); });
    value.page = PageName::Outputs;
    return value;
}

}  // namespace parvion::edit
