#pragma once
// The units page: the user-unit switch (Dis_User.Einheiten) and, for the
// quantities 0 to 7, the unit chosen from the unit table. Like the circuit
// pages, every routine that talks to the device takes the Link, writes only
// online, takes the variant from the link's session and reports progress
// and waits through its UiHooks.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/model/parameter_image.h"

namespace parvion {
class Link;
}

namespace parvion::edit {

// The page edits the unit choice of quantities 0 .. kUnitPageQuantities-1.
inline constexpr std::uint8_t kUnitPageQuantities = 8;
// Caption of the user-unit switch; the sheet of quantity q has text
// kUnitSheetTexts + q.
inline constexpr std::uint16_t kUserUnitsText = 9248;
inline constexpr std::uint16_t kUnitSheetTexts = 9249;

// The units a quantity offers on the variant, in unit-table order, as the
// page lists them (display text without the blanks around it). The item
// index is the unit choice (UserEinheitRec::Kind).
std::vector<std::string> UnitChoices(int medium, std::uint8_t quantity);

// Columns of a radio group with `count` items: whole part of count / 4.1,
// plus 1.
int UnitColumns(std::size_t count);

// Chooses unit `choice` of quantity q (0..7): copies the unit-table row into
// UserEinheiten q and, online, writes that selection (2 progress steps, a
// 50 ms wait, no read-back). False, and nothing changed or sent, when the
// variant has no such row.
bool SelectUnit(Link& link, ParameterImage& image, std::uint8_t quantity, int choice);

// The user-unit switch. On: Einheiten 1 and, online, the 16 unit
// selections read from the device (a progress step each) and a 50 ms wait.
// Off: Einheiten 0; the unit selections stay as they are. Then, online,
// Dis_User written, 50 ms, read back.
void SwitchUserUnits(Link& link, ParameterImage& image, bool on);

// Fills the units page. Online it reads Dis_User first. The switch shows
// whether the user units are on; when the state the page shows
// (`shownOn`) differs, the switch runs as a click on it would (with its
// device traffic); with the user units on, 50 ms waits around that. Returns
// the state the switch is to show.
bool FillUnitsPage(Link& link, ParameterImage& image, bool shownOn);

}  // namespace parvion::edit
