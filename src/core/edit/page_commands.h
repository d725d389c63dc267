#pragma once
// The parameter pages as text and as settings named like the parameter
// file: what parvion2-cli prints for `page NAME` and what it changes for
// `set SECTION KEY VALUE`. A setting goes through the same edit layer as a
// double click or a choice on the page: the same lines, limits, rules and
// write-back.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/parameter_image.h"
#include "core/views/text_source.h"

namespace parvion {
class Link;
}

namespace parvion::edit {

enum class PageName {
    Circuit,         // the circuit page of one circuit
    Units,           // display units
    Remarks,         // remark lines of the parameter set
    Relays,          // the two limit relays
    Outputs,         // the four analog outputs
    Display,         // the device display
    System,          // system definition, limit scheme, presets, system factor
    TrendRecording,  // what the device records as trend
    Correction,      // the flow correction factors
};

// "circuit", "units", "remarks", "relays", "outputs", "display", "system",
// "trend", "corrections" (any case); nothing for another name.
std::optional<PageName> ParsePageName(std::string_view name);
// The names ParsePageName knows, for messages.
std::vector<std::string> PageNames();

// Where the page texts come from: the current string library and the
// value format of the session (the user's units).
struct PageTexts {
    views::BlockLoader blocks;
    views::TextLoader text;
    views::ValueFormatter values;
};

// The page as the window shows it, one text line per list line, group by
// group: the group's caption and its choice, then its lines. Each line that
// a setting changes ends with the setting in brackets ("[T_User0 Max]",
// "[T_User0 Kind 0..3]" for a choice). Circuit: 0 or 1.
std::vector<std::string> PrintPage(PageName page, const ParameterImage& image, int medium,
                                   int circuit, const PageTexts& texts);

// A change named as in a parameter file.
struct Setting {
    std::string section;  // "T_User0", "Flow_User1", "EG_User", "Dis_User", "UserEinheiten3",
                          // "Bemerkung"
    std::string key;      // "Max", "Kind", "Einheiten", "Zeile 2"
    std::string value;    // a number in the base unit, a choice index, or a remark line
    // The circuit page an EG_User value is entered on (0 or 1): its Med_User
    // loses Ready when the value changes.
    int circuit = 0;
};

struct SettingOutcome {
    enum class Status {
        Applied,
        NotANumber,  // the value does not read as a number (or a choice index)
        Unknown,     // no such section or key on the page as it stands now
        BadChoice,   // a choice index the combo does not have
        Refused,     // the page does not offer it here (circuit 2 absent, remarks online)
    };
    Status status = Status::Applied;
    // Failures: what is wrong, in one sentence.
    std::string message;
    // Unknown and BadChoice: what would have been valid ("T_User0 Max", or
    // the choices "0 Konstant").
    std::vector<std::string> valid;
    // Applied: what the rules changed about the entry, as the dialog would
    // have done it ("2000 is above the limit; 1500 taken").
    std::vector<std::string> notes;
    // The page the setting belongs to and its circuit, to show it again.
    PageName page = PageName::Circuit;
    int circuit = 0;
    bool ok() const { return status == Status::Applied; }
};

// The page a setting's section belongs to: "T_User1" the circuit page of
// circuit 2, "EG_User" that of setting.circuit, "Dis_User Einheiten" and
// "UserEinheiten0".."UserEinheiten7" the units page, "Bemerkung" the
// remarks, "Alm_User0" the relays, "Aus_User0" the outputs, the other keys
// of "Dis_User" and "Display" the display page; nothing for a section no page has. Nothing is
// checked beyond the section name: it tells a caller which page to read before ApplySetting.
struct SettingPage {
    PageName page = PageName::Circuit;
    int circuit = 0;
    bool operator==(const SettingPage&) const = default;
};
std::optional<SettingPage> PageOfSetting(const Setting& setting);

// Reads from the device what the page reads when it is filled (the circuit
// page that of `circuit`), with the page's progress steps; the units and
// remarks read nothing here.
void ReadPageRecords(Link& link, ParameterImage& image, PageName page, int circuit = 0);

// Checks the setting against the page as the image shows it (the kind of
// each group decides which values exist), and applies it with every rule of
// the page; online the change is written back as the page writes it. On any
// failure nothing is changed and nothing is sent. The value is read as the
// value input dialog takes it, but always in the base unit, and clamped as
// the dialog clamps; a choice is the index of the combo (or radio item).
SettingOutcome ApplySetting(Link& link, ParameterImage& image, const Setting& setting,
                            const PageTexts& texts);

}  // namespace parvion::edit
