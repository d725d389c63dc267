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

#include "core/edit/page_types.h"
#include "core/model/parameter_image.h"

namespace parvion {
class Link;
}

namespace parvion::edit {

// "circuit", "units", "remarks", "relays", "outputs", "display", "system",
// "trend", "corrections" (any case); nothing for another name.
std::optional<PageName> ParsePageName(std::string_view name);
// The names ParsePageName knows, for messages.
std::vector<std::string> PageNames();

// The page as the window shows it, one text line per list line, group by
// group: the group's caption and its choice, then its lines. Each line that
// a setting changes ends with the setting in brackets ("[T_User0 Max]",
// "[T_User0 Kind 0..3]" for a choice). Circuit: 0 or 1.
std::vector<std::string> PrintPage(PageName page, const ParameterImage& image, int medium,
                                   int circuit, const PageTexts& texts);

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
