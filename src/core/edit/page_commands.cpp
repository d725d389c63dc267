#include "core/edit/page_commands.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/edit/alarm_output_page.h"
#include "core/edit/circuit_page.h"
#include "core/edit/correction.h"
#include "core/edit/display_settings.h"
#include "core/edit/field_ref.h"
#include "core/edit/remarks.h"
#include "core/edit/setting_support.h"
#include "core/edit/system_commands.h"
#include "core/edit/system_page.h"
#include "core/edit/trend_recording.h"
#include "core/edit/units_page.h"
#include "core/link/transport.h"
#include "core/model/parameter_file.h"
#include "core/model/profile_file.h"
#include "core/model/units.h"
#include "core/model/value_format.h"
#include "core/views/input_rules.h"
#include "core/views/page_rules.h"

namespace parvion::edit {

namespace {

// The word of a remark key, "Zeile" of "Zeile 2".
constexpr std::string_view kRemarkKey = "Zeile";
constexpr std::string_view kDisUser = "Dis_User";
constexpr std::string_view kEinheiten = "Einheiten";
constexpr std::string_view kUnitSection = "UserEinheiten";
constexpr std::string_view kKind = "Kind";

// The record whose Kind a group's combo sets.
std::optional<Record> ChoiceRecord(CircuitGroup group) {
    switch (group) {
        case CircuitGroup::Temperature:
            return Record::T_User;
        case CircuitGroup::Pressure:
            return Record::P_User;
        case CircuitGroup::Flow:
            return Record::Flow_User;
        case CircuitGroup::Medium:
            return Record::Med_User;
        case CircuitGroup::Pulse:
            return Record::Imp_User;
        case CircuitGroup::Reference:
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<CircuitGroup> ChoiceGroup(Record record) {
    for (CircuitGroup g : kCircuitGroups) {
        if (ChoiceRecord(g) == record) return g;
    }
    return std::nullopt;
}

std::string ChoiceSetting(CircuitGroup group, int circuit) {
    return SectionName(FieldRef{*ChoiceRecord(group), kKind, circuit}) + " " + std::string(kKind);
}

bool Circuit2Refused(const ParameterImage& image, int circuit) {
    return circuit == 1 && views::Circuit2Unavailable(image.System);
}

std::string CircuitWord(int circuit) {
    return "circuit " + std::to_string(circuit + 1);
}

// --- the settings each page offers as it stands ---------------------------

std::vector<std::string> CircuitSettings(const ParameterImage& image, int medium, int circuit) {
    std::vector<std::string> names;
    for (CircuitGroup group : kCircuitGroups) {
        if (ChoiceRecord(group)) names.push_back(ChoiceSetting(group, circuit));
        for (const CircuitLine& line : GroupLines(image, medium, circuit, group)) {
            if (line.action == LineAction::Dialog) names.push_back(SettingName(line.field));
        }
    }
    return names;
}

std::vector<std::string> UnitSettings(const ParameterImage& image) {
    std::vector<std::string> names = {std::string(kDisUser) + " " + std::string(kEinheiten)};
    if (image.Dis_User.Einheiten != 0) {
        for (int q = 0; q < kUnitPageQuantities; ++q) {
            names.push_back(std::string(kUnitSection) + std::to_string(q) + " " +
                            std::string(kKind));
        }
    }
    return names;
}

std::vector<std::string> RemarkSettings(const ParameterImage& image) {
    std::vector<std::string> names;
    for (std::size_t i = 1; i <= image.Bemerkung.size() + 1; ++i) {
        names.push_back(std::string(kRemarkSection) + " " + RemarkKey(i));
    }
    return names;
}

// Every setting there is now, each once.
std::vector<std::string> AllSettings(const ParameterImage& image, int medium, bool online,
                                     const PageTexts& texts) {
    std::vector<std::string> names = CircuitSettings(image, medium, 0);
    if (!views::Circuit2Unavailable(image.System)) {
        for (std::string& n : CircuitSettings(image, medium, 1)) {
            if (std::find(names.begin(), names.end(), n) == names.end()) {
                names.push_back(std::move(n));
            }
        }
    }
    for (std::string& n : UnitSettings(image)) names.push_back(std::move(n));
    for (auto* of : {RelaySettings, OutputSettings, DisplaySettings}) {
        for (std::string& n : of(image)) names.push_back(std::move(n));
    }
    for (std::string& n : SystemPageSettings(image, texts)) names.push_back(std::move(n));
    if (!online) {
        for (std::string& n : RemarkSettings(image)) names.push_back(std::move(n));
    }
    return names;
}

// --- the three pages --------------------------------------------------------

SettingOutcome ApplyRemark(ParameterImage& image, const Setting& s, bool online) {
    if (online) {
        return Failed(SettingOutcome::Status::Refused,
                      "remark lines exist only in parameter files, not in the device");
    }
    const std::string key = Lower(Trim(s.key));
    const std::string word = Lower(kRemarkKey);
    std::optional<int> number;
    if (key.rfind(word, 0) == 0) number = ReadIndex(std::string_view(key).substr(word.size()));
    const std::size_t count = image.Bemerkung.size();
    if (!number || *number < 1 || static_cast<std::size_t>(*number) > count + 1) {
        return NotOnPage(s, "remarks page", RemarkSettings(image));
    }
    // The text of a line; line breaks in it make further lines, as in the
    // page's memo.
    std::vector<std::string> lines = SplitRemarks(s.value);
    if (lines.empty()) lines.emplace_back();
    for (const std::string& line : lines) {
        if (RemarkReadsAsEnd(line)) {
            return Failed(SettingOutcome::Status::Refused,
                          "the remark line \"" + line +
                              "\" reads as \"@\", the end of the remarks in a parameter file: "
                              "every line after it would be lost; nothing was changed");
        }
    }
    auto& remarks = image.Bemerkung;
    const auto at = static_cast<std::ptrdiff_t>(*number - 1);
    if (static_cast<std::size_t>(*number) <= count) remarks.erase(remarks.begin() + at);
    remarks.insert(remarks.begin() + at, lines.begin(), lines.end());
    SettingOutcome out;
    out.page = PageName::Remarks;
    return out;
}

SettingOutcome ApplyUnitSwitch(Link& link, ParameterImage& image, const Setting& s) {
    if (!SameProfileName(Trim(s.key), kEinheiten)) {
        return NotOnPage(s, "units page", UnitSettings(image));
    }
    const auto index = ReadIndex(s.value);
    if (!index) return NotAnIndex(s.value);
    if (*index > 1) return BadChoice(*index, {"off", "on"});
    SwitchUserUnits(link, image, *index == 1);
    SettingOutcome out;
    out.page = PageName::Units;
    return out;
}

SettingOutcome ApplyUnitChoice(Link& link, ParameterImage& image, const Setting& s,
                               std::uint8_t q) {
    const int medium = link.session().Medium;
    if (!SameProfileName(Trim(s.key), kKind)) {
        return NotOnPage(s, "units page", UnitSettings(image));
    }
    if (image.Dis_User.Einheiten == 0) {
        return Failed(SettingOutcome::Status::Refused,
                      "the units page shows the unit choices only while the user units are on "
                      "(set Dis_User Einheiten 1 first)",
                      UnitSettings(image));
    }
    const auto index = ReadIndex(s.value);
    if (!index) return NotAnIndex(s.value);
    const std::vector<std::string> choices = UnitChoices(medium, q);
    if (static_cast<std::size_t>(*index) >= choices.size()) return BadChoice(*index, choices);
    SelectUnit(link, image, q, *index);
    SettingOutcome out;
    out.page = PageName::Units;
    return out;
}

// The line of the page that edits the field, and its group.
struct FoundLine {
    CircuitGroup group;
    CircuitLine line;
};

std::optional<FoundLine> FindLine(const ParameterImage& image, int medium, int circuit,
                                  const FieldRef& field) {
    for (CircuitGroup group : kCircuitGroups) {
        for (const CircuitLine& line : GroupLines(image, medium, circuit, group)) {
            if (line.action == LineAction::Dialog && line.field == field) {
                return FoundLine{group, line};
            }
        }
    }
    return std::nullopt;
}

// The value as the dialog takes it for the line; a frequency keeps its
// whole-number part.
float AcceptLineValue(const std::string& typed, double value, const CircuitLine& line,
                      std::vector<std::string>& notes) {
    const float accepted = AcceptValue(typed, value, line.min, line.max, notes);
    if (line.kind == LineKind::Frequency && std::trunc(accepted) != accepted) {
        notes.push_back(std::string(line.field.key) +
                        " keeps the whole-number part: " + Number(std::trunc(accepted)));
    }
    return accepted;
}

SettingOutcome ApplyCircuitSetting(Link& link, ParameterImage& image, const Setting& s,
                                   SectionRef section, const PageTexts& texts) {
    const int medium = link.session().Medium;
    const int circuit =
        section.record == Record::EG_User ? static_cast<int>(Index(s.circuit)) : section.circuit;
    const std::string page = CircuitWord(circuit) + " page";
    if (Circuit2Refused(image, circuit)) {
        return Failed(SettingOutcome::Status::Refused,
                      "circuit 2 is not available: the system definition uses one circuit or "
                      "the device has no second circuit");
    }
    const std::vector<std::string> names = CircuitSettings(image, medium, circuit);
    const std::string key = Trim(s.key);
    SettingOutcome out;
    out.page = PageName::Circuit;
    out.circuit = circuit;

    if (SameProfileName(key, kKind)) {
        const std::optional<CircuitGroup> group = ChoiceGroup(section.record);
        if (!group) return NotOnPage(s, page, names);
        const auto index = ReadIndex(s.value);
        if (!index) return NotAnIndex(s.value);
        const std::vector<std::string> choices = GroupChoices(*group, circuit, texts.blocks);
        if (static_cast<std::size_t>(*index) >= choices.size()) return BadChoice(*index, choices);
        ApplyChoice(link, image, circuit, *group, *index);
        return out;
    }

    const std::optional<std::string_view> canonical = CanonicalKey(section.record, key);
    const FieldRef field{section.record, canonical.value_or(std::string_view()), section.circuit};
    const std::optional<FoundLine> found =
        canonical ? FindLine(image, medium, circuit, field) : std::nullopt;
    if (!found) return NotOnPage(s, page, names);
    const std::optional<double> value = ReadValue(s.value);
    if (!value) return NotANumber(s.value);
    const float accepted = AcceptLineValue(Trim(s.value), *value, found->line, out.notes);
    ApplyLineValue(link, image, circuit, found->group, found->line, accepted);
    return out;
}

// --- printing -------------------------------------------------------------

std::vector<std::string> PrintCircuitPage(const ParameterImage& image, int medium, int circuit,
                                          const PageTexts& texts) {
    std::vector<std::string> out;
    for (CircuitGroup group : kCircuitGroups) {
        if (group == CircuitGroup::Reference && !ReferenceGroupShown(image)) continue;
        std::string head = texts.text(ChoiceBlock(group));
        if (ChoiceRecord(group)) {
            const std::vector<std::string> choices = GroupChoices(group, circuit, texts.blocks);
            const std::optional<int> choice = GroupChoice(image, circuit, group);
            std::string shown;
            if (!choice) {
                shown = texts.text(kPulseUndefinedText);
            } else if (static_cast<std::size_t>(*choice) < choices.size()) {
                shown = choices[static_cast<std::size_t>(*choice)];
            } else {
                shown = std::to_string(*choice);
            }
            head +=
                ": " + shown + Bracket(ChoiceSetting(group, circuit), ChoiceRange(choices.size()));
        }
        out.push_back(std::move(head));

        const std::vector<CircuitLine> lines = GroupLines(image, medium, circuit, group);
        views::TextBlock labels;
        if (lines.empty() ||
            !texts.blocks(LabelBlock(image, circuit, group), kCircuitLabelWidth, labels)) {
            continue;
        }
        for (const CircuitLine& line : lines) {
            std::string text = "  " + LineText(line, labels, image, texts.values);
            if (line.action == LineAction::Dialog) text += Bracket(SettingName(line.field));
            out.push_back(std::move(text));
        }
    }
    return out;
}

std::vector<std::string> PrintUnitsPage(const ParameterImage& image, int medium,
                                        const PageTexts& texts) {
    const bool on = image.Dis_User.Einheiten != 0;
    std::vector<std::string> out = {std::string(on ? "[x] " : "[ ] ") + texts.text(kUserUnitsText) +
                                    Bracket(UnitSettings(image).front(), ChoiceRange(2))};
    if (!on) return out;  // the sheets show only while the user units are on
    for (std::uint8_t q = 0; q < kUnitPageQuantities; ++q) {
        const std::vector<std::string> choices = UnitChoices(medium, q);
        const std::size_t chosen = image.UserEinheiten[q].Kind;
        out.push_back(
            texts.text(static_cast<std::uint16_t>(kUnitSheetTexts + q)) + ": " +
            (chosen < choices.size() ? choices[chosen] : std::string("?")) +
            Bracket(std::string(kUnitSection) + std::to_string(q) + " " + std::string(kKind),
                    ChoiceRange(choices.size())));
        std::string items = " ";
        for (std::size_t i = 0; i < choices.size(); ++i) {
            items +=
                std::string(i == chosen ? " (*) " : " ( ) ") + NumberedChoice(choices, i) + " ";
        }
        items.pop_back();
        out.push_back(std::move(items));
    }
    return out;
}

std::vector<std::string> PrintRemarksPage(const ParameterImage& image) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < image.Bemerkung.size(); ++i) {
        out.push_back(image.Bemerkung[i] +
                      Bracket(std::string(kRemarkSection) + " " + RemarkKey(i + 1)));
    }
    return out;
}

// The quantity of a section "UserEinheitenN" that the units page edits.
std::optional<std::uint8_t> UnitQuantity(std::string_view section) {
    const std::string s = Lower(section);
    const std::string prefix = Lower(kUnitSection);
    if (s.size() != prefix.size() + 1 || s.rfind(prefix, 0) != 0) return std::nullopt;
    const char digit = s.back();
    if (digit < '0' || digit >= static_cast<char>('0' + kUnitPageQuantities)) return std::nullopt;
    return static_cast<std::uint8_t>(digit - '0');
}

}  // namespace

std::optional<PageName> ParsePageName(std::string_view name) {
    const std::string n = Lower(name);
    if (n == "circuit") return PageName::Circuit;
    if (n == "units") return PageName::Units;
    if (n == "remarks") return PageName::Remarks;
    if (n == "relays") return PageName::Relays;
    if (n == "outputs") return PageName::Outputs;
    if (n == "display") return PageName::Display;
    if (n == "system") return PageName::System;
    if (n == "trend") return PageName::TrendRecording;
    if (n == "corrections") return PageName::Correction;
    return std::nullopt;
}

std::vector<std::string> PageNames() {
    return {"circuit", "units",  "remarks", "relays",     "outputs",
            "display", "system", "trend",   "corrections"};
}

std::optional<SettingPage> PageOfSetting(const Setting& setting) {
    const std::string section = Trim(setting.section);
    if (SameProfileName(section, kRemarkSection)) return SettingPage{PageName::Remarks, 0};
    if (AlarmOfSection(section)) return SettingPage{PageName::Relays, 0};
    if (OutputOfSection(section)) return SettingPage{PageName::Outputs, 0};
    if (IsDisplaySetting(setting)) return SettingPage{PageName::Display, 0};
    if (SameProfileName(section, kDisUser) || UnitQuantity(section)) {
        return SettingPage{PageName::Units, 0};
    }
    if (const auto page = SystemPageOf(section)) {
        const bool second = *page == PageName::Correction && section.back() == '2';
        return SettingPage{*page, second ? 1 : 0};
    }
    if (const auto ref = ParseSection(section)) {
        const int circuit = ref->record == Record::EG_User
                                ? static_cast<int>(Index(setting.circuit))
                                : ref->circuit;
        return SettingPage{PageName::Circuit, circuit};
    }
    return std::nullopt;
}

std::vector<std::string> PrintPage(PageName page, const ParameterImage& image, int medium,
                                   int circuit, const PageTexts& texts) {
    switch (page) {
        case PageName::Circuit:
            return PrintCircuitPage(image, medium, static_cast<int>(Index(circuit)), texts);
        case PageName::Units:
            return PrintUnitsPage(image, medium, texts);
        case PageName::Remarks:
            return PrintRemarksPage(image);
        case PageName::Relays:
            return PrintRelayPage(image, medium, texts);
        case PageName::Outputs:
            return PrintOutputPage(image, medium, texts);
        case PageName::Display:
            return PrintDisplayPage(image, texts);
        case PageName::System:
            return PrintSystemPage(image, medium, texts);
        case PageName::TrendRecording:
            return PrintTrendRecordingPage(image, texts);
        case PageName::Correction:
            return PrintCorrectionPage(image, texts);
    }
    return {};
}

void ReadPageRecords(Link& link, ParameterImage& image, PageName page, int circuit) {
    switch (page) {
        case PageName::Circuit:
            return ReadCircuitPage(link, image, static_cast<int>(Index(circuit)));
        case PageName::Relays:
            return ReadRelayPage(link, image);
        case PageName::Outputs:
            return ReadOutputPage(link, image);
        case PageName::Display:
            ReadDisplayPage(link, image);
            return link.ui().progressHide();
        case PageName::System:
            return ReadSystemPage(link, image);
        case PageName::TrendRecording:
            return ReadTrendRecordingPage(link, image);
        case PageName::Correction:
            return ReadCorrectionPage(link, image);
        case PageName::Units:
        case PageName::Remarks:
            return;
    }
}

SettingOutcome ApplySetting(Link& link, ParameterImage& image, const Setting& setting,
                            const PageTexts& texts) {
    const bool online = link.session().Online;
    const std::string section = Trim(setting.section);
    if (SameProfileName(section, kRemarkSection)) return ApplyRemark(image, setting, online);
    if (const auto a = AlarmOfSection(section)) {
        return ApplyRelaySetting(link, image, setting, *a, texts);
    }
    if (const auto k = OutputOfSection(section)) {
        return ApplyOutputSetting(link, image, setting, *k, texts);
    }
    if (IsDisplaySetting(setting)) return ApplyDisplaySetting(link, image, setting, texts);
    if (SameProfileName(section, kDisUser)) return ApplyUnitSwitch(link, image, setting);
    if (const auto q = UnitQuantity(section)) return ApplyUnitChoice(link, image, setting, *q);
    if (const auto ref = ParseSection(section)) {
        return ApplyCircuitSetting(link, image, setting, *ref, texts);
    }
    if (SystemPageOf(section)) return ApplySystemPageSetting(link, image, setting, texts);
    std::vector<std::string> sections;
    for (const std::string& name : AllSettings(image, link.session().Medium, online, texts)) {
        std::string s = name.substr(0, name.find(' '));
        if (std::find(sections.begin(), sections.end(), s) == sections.end()) {
            sections.push_back(std::move(s));
        }
    }
    return Failed(SettingOutcome::Status::Unknown,
                  "there is no section \"" + setting.section + "\" on the pages as they stand",
                  std::move(sections));
}

}  // namespace parvion::edit
