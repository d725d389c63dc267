#include "core/edit/display_settings.h"

#include "core/edit/setting_support.h"
#include "core/edit/source_codes.h"
#include "core/edit/write_back.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/profile_file.h"
#include "core/views/page_rules.h"

namespace parvion::edit {

namespace {

constexpr int kFillSteps = 16;
constexpr std::string_view kDisUser = "Dis_User";
constexpr std::string_view kDisplay = "Display";
constexpr std::string_view kFirst = "First";
constexpr std::string_view kKind = "Kind";
constexpr std::string_view kCalcError = "CalcError";
constexpr std::string_view kEinheiten = "Einheiten";
constexpr std::string_view kEnable = "Enable";
// The sum page has no boxes for temperature, pressure and density.
constexpr int kSumPage = 3;
constexpr int kSumFirstValue = 3;

std::uint8_t& EnableByte(DisplayRec& d, int page) {
    switch (page) {
        case 1:
            return d.Enable2;
        case 2:
            return d.Enable3;
        case 3:
            return d.Enable4;
        default:
            return d.Enable1;
    }
}
std::uint8_t EnableByte(const DisplayRec& d, int page) {
    return EnableByte(const_cast<DisplayRec&>(d), page);
}

// Dis_User written, 50 ms, a step, read back, a step: the wait comes
// before the step here, unlike WriteBack.
void DisUserWriteBack(Link& link, ParameterImage& image) {
    if (!link.session().Online) return;
    UiHooks& ui = link.ui();
    ui.progressStart(2);
    WriteDis_User(link, image);
    link.PauseMs(kWriteWaitMs);
    ui.progressStep();
    ReadDis_User(link, image);
    ui.progressStep();
    ui.progressHide();
}

// The mask of the boxes a display page has.
std::uint8_t BoxMask(int page) {
    std::uint8_t mask = 0;
    for (int v = 0; v < kDisplayValues; ++v) {
        if (DisplayValueShown(page, v)) mask |= static_cast<std::uint8_t>(1u << v);
    }
    return mask;
}

std::string EnableKey(int page) {
    return std::string(kEnable) + std::to_string(page + 1);
}

// "Enable1" .. "Enable4": the display page.
std::optional<int> PageOfKey(std::string_view key) {
    const std::string k = Trim(key);
    if (k.size() != kEnable.size() + 1 || !SameProfileName(k.substr(0, kEnable.size()), kEnable)) {
        return std::nullopt;
    }
    const int page = k.back() - '1';
    if (page < 0 || page >= kDisplayPages) return std::nullopt;
    return page;
}

SettingOutcome Switch(Link& link, ParameterImage& image, const Setting& s,
                      void (*apply)(Link&, ParameterImage&, bool)) {
    const auto index = ReadIndex(s.value);
    if (!index) return NotAnIndex(s.value);
    if (*index > 1) return BadChoice(*index, {"off", "on"});
    apply(link, image, *index == 1);
    SettingOutcome out;
    out.page = PageName::Display;
    return out;
}

}  // namespace

std::vector<std::string> PreferredChoices(const views::BlockLoader& load) {
    views::TextBlock block;
    if (!load(kDisplayBlock, 0, block)) return {};
    std::vector<std::string> out;
    for (std::size_t i = 1; i < block.size() && !block[i].empty(); ++i) out.push_back(block[i]);
    if (load(kDisplayMoreBlock, 0, block)) {
        for (std::size_t i = 0; i < block.size() && !block[i].empty(); ++i) {
            out.push_back(block[i]);
        }
    }
    return out;
}

bool DisplayValueShown(int page, int value) {
    return page != kSumPage || value >= kSumFirstValue;
}

bool DisplayPageShown(const ParameterImage& image, int page) {
    return page == 0 || !views::Circuit2Unavailable(image.System);
}

bool CompactDisplayOffered(const ParameterImage& image) {
    return views::AllOutputsPresent(image.System);
}

DisplayBoxes BoxesOf(const DisplayRec& display) {
    DisplayBoxes boxes{};
    for (int p = 0; p < kDisplayPages; ++p) {
        const std::uint8_t byte = EnableByte(display, p);
        for (int v = 0; v < kDisplayValues; ++v) {
            boxes[static_cast<std::size_t>(p)][static_cast<std::size_t>(v)] = (byte >> v) & 1u;
        }
    }
    return boxes;
}

DisplayRec DisplayOfBoxes(const DisplayBoxes& boxes, bool compact) {
    DisplayRec d;
    for (int p = 0; p < kDisplayPages; ++p) {
        std::uint8_t byte = 0;
        for (int v = 0; v < kDisplayValues; ++v) {
            if (boxes[static_cast<std::size_t>(p)][static_cast<std::size_t>(v)]) {
                byte |= static_cast<std::uint8_t>(1u << v);
            }
        }
        EnableByte(d, p) = byte;
    }
    if (compact) d.Enable1 |= d.Enable2;
    return d;
}

int ChoosePreferredValue(Link& link, ParameterImage& image, int index) {
    if (index < 0 || index >= SourceChoiceCount(SourceUse::Preferred) ||
        !ReadBeforeEdit(link, image, {{BlockKind::Dis_User}})) {
        return SourceIndex(SourceUse::Preferred, image.Dis_User.First);
    }
    if (NeedsMissingCircuit2(image.System, SourceCode(SourceUse::Preferred, index))) {
        index = 0;
    }
    image.Dis_User.First = SourceCode(SourceUse::Preferred, index);
    WriteBack(
        link, [&] { WriteDis_User(link, image); }, [&] { ReadDis_User(link, image); });
    return index;
}

void SetCompactDisplay(Link& link, ParameterImage& image, bool checked) {
    if (!ReadBeforeEdit(link, image, {{BlockKind::Dis_User}})) return;
    image.Dis_User.Kind = checked ? 1 : 0;
    DisUserWriteBack(link, image);
}

void SetCalcErrorAcknowledge(Link& link, ParameterImage& image, bool checked) {
    if (!ReadBeforeEdit(link, image, {{BlockKind::Dis_User}})) return;
    image.Dis_User.CalcError = checked ? 1 : 0;
    DisUserWriteBack(link, image);
}

void SetDisplayBoxes(Link& link, ParameterImage& image, const DisplayBoxes& boxes, bool compact) {
    // The boxes give all four bytes; the device's record is still read
    // first, so that a failed read sends nothing.
    if (!ReadBeforeEdit(link, image, {{BlockKind::Display}})) return;
    image.Display = DisplayOfBoxes(boxes, compact);
    if (link.session().Online) WriteDisplay(link, image);
}

DisplayChecks ChecksOf(const ParameterImage& image) {
    return {image.Dis_User.Kind != 0 && CompactDisplayOffered(image),
            image.Dis_User.CalcError != 0};
}

void ReadDisplayPage(Link& link, ParameterImage& image) {
    UiHooks& ui = link.ui();
    ui.progressStart(kFillSteps);
    if (!link.session().Online) return;
    if (ReadDis_User(link, image)) ui.progressStep();
    if (ReadDisplay(link, image)) ui.progressStep();
}

DisplayChecks FillDisplayPage(Link& link, ParameterImage& image, DisplayChecks shown) {
    ReadDisplayPage(link, image);
    const DisplayChecks wanted = ChecksOf(image);
    if (wanted.compact != shown.compact) SetCompactDisplay(link, image, wanted.compact);
    if (wanted.calcError != shown.calcError) {
        SetCalcErrorAcknowledge(link, image, wanted.calcError);
    }
    link.ui().progressHide();
    return wanted;
}

// --- parvion2-cli ------------------------------------------------------------

bool IsDisplaySetting(const Setting& setting) {
    const std::string section = Trim(setting.section);
    if (SameProfileName(section, kDisplay)) return true;
    return SameProfileName(section, kDisUser) && !SameProfileName(Trim(setting.key), kEinheiten);
}

std::vector<std::string> DisplaySettings(const ParameterImage& image) {
    const std::string dis = std::string(kDisUser) + " ";
    std::vector<std::string> names = {dis + std::string(kFirst)};
    if (CompactDisplayOffered(image)) names.push_back(dis + std::string(kKind));
    names.push_back(dis + std::string(kCalcError));
    for (int p = 0; p < kDisplayPages; ++p) {
        if (DisplayPageShown(image, p)) names.push_back(std::string(kDisplay) + " " + EnableKey(p));
    }
    return names;
}

std::vector<std::string> PrintDisplayPage(const ParameterImage& image, const PageTexts& texts) {
    const std::vector<std::string> choices = PreferredChoices(texts.blocks);
    const int chosen = SourceIndex(SourceUse::Preferred, image.Dis_User.First);
    const std::string dis = std::string(kDisUser) + " ";
    auto box = [](bool on) { return std::string(on ? "[x] " : "[ ] "); };
    std::vector<std::string> out;
    out.push_back(texts.text(kDisplayBlock) + ": " +
                  (chosen >= 0 && static_cast<std::size_t>(chosen) < choices.size()
                       ? choices[static_cast<std::size_t>(chosen)]
                       : std::to_string(chosen)) +
                  Bracket(dis + std::string(kFirst), ChoiceRange(choices.size())));
    const DisplayChecks checks = ChecksOf(image);
    std::string compact = box(checks.compact) + texts.text(kDisplayChecksBlock);
    if (CompactDisplayOffered(image)) compact += Bracket(dis + std::string(kKind), ChoiceRange(2));
    out.push_back(std::move(compact));
    out.push_back(box(checks.calcError) +
                  texts.text(static_cast<std::uint16_t>(kDisplayChecksBlock + 1)) +
                  Bracket(dis + std::string(kCalcError), ChoiceRange(2)));
    out.push_back(texts.text(kDisplayPagesText));
    const DisplayBoxes boxes = BoxesOf(image.Display);
    for (int p = 0; p < kDisplayPages; ++p) {
        if (!DisplayPageShown(image, p)) continue;
        views::TextBlock labels;
        texts.blocks(static_cast<std::uint16_t>(kDisplayBoxBlock + 16 * p), 0, labels);
        out.push_back(labels[0] + ": " + std::to_string(EnableByte(image.Display, p)) +
                      Bracket(std::string(kDisplay) + " " + EnableKey(p)));
        for (int v = 0; v < kDisplayValues; ++v) {
            if (!DisplayValueShown(p, v)) continue;
            out.push_back(
                "  " + box(boxes[static_cast<std::size_t>(p)][static_cast<std::size_t>(v)]) +
                labels[static_cast<std::size_t>(v + 1)] + " (" + std::to_string(1u << v) + ")");
        }
    }
    return out;
}

SettingOutcome ApplyDisplaySetting(Link& link, ParameterImage& image, const Setting& s,
                                   const PageTexts& texts) {
    const std::string key = Trim(s.key);
    const std::vector<std::string> names = DisplaySettings(image);
    SettingOutcome out;
    out.page = PageName::Display;
    if (SameProfileName(Trim(s.section), kDisplay)) {
        const std::optional<int> page = PageOfKey(key);
        if (!page) return NotOnPage(s, "display page", names);
        if (!DisplayPageShown(image, *page)) {
            return Failed(SettingOutcome::Status::Refused,
                          "circuit 2 is not available: the display pages of circuit 2, the "
                          "difference and the sum are not shown");
        }
        const auto n = ReadIndex(s.value);
        if (!n) return NotAnIndex(s.value);
        const std::uint8_t mask = BoxMask(*page);
        if (*n > 127 || (static_cast<unsigned>(*n) & ~static_cast<unsigned>(mask)) != 0) {
            return Failed(SettingOutcome::Status::BadChoice,
                          "display page " + std::to_string(*page + 1) + " has no box for " +
                              std::to_string(*n) + ": its boxes add up to at most " +
                              std::to_string(mask) + " (" + EnableKey(*page) +
                              " is the sum of the values of the boxes checked)");
        }
        DisplayRec d = image.Display;
        std::uint8_t& byte = EnableByte(d, *page);
        byte = static_cast<std::uint8_t>((byte & ~mask) | *n);
        SetDisplayBoxes(link, image, BoxesOf(d), ChecksOf(image).compact);
        return out;
    }
    if (SameProfileName(key, kFirst)) {
        const auto index = ReadIndex(s.value);
        if (!index) return NotAnIndex(s.value);
        const std::vector<std::string> choices = PreferredChoices(texts.blocks);
        if (static_cast<std::size_t>(*index) >= choices.size()) return BadChoice(*index, choices);
        if (NeedsMissingCircuit2(image.System, SourceCode(SourceUse::Preferred, *index))) {
            return Circuit2Missing();
        }
        ChoosePreferredValue(link, image, *index);
        return out;
    }
    if (SameProfileName(key, kKind)) {
        if (!CompactDisplayOffered(image)) {
            return Failed(SettingOutcome::Status::Refused,
                          "the compact display needs a device with all outputs");
        }
        return Switch(link, image, s, SetCompactDisplay);
    }
    if (SameProfileName(key, kCalcError)) return Switch(link, image, s, SetCalcErrorAcknowledge);
    return NotOnPage(s, "display page", names);
}

}  // namespace parvion::edit
