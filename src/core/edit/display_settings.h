#pragma once
// The display page: the device display's preferred value (Dis_User First,
// a source code), the compact display (Dis_User Kind), the automatic
// acknowledgement of calculation errors (Dis_User CalcError), and the
// values each of the four display pages of the device shows (Display
// Enable1..Enable4: circuit 1, circuit 2, difference 2 − 1, sum 1 + 2; one
// bit per value). The window's page and parvion2-cli both use this.
//
// Routines that talk to the device take the Link: they write only while
// the session is online and report progress and waits through its UiHooks.

#include <optional>
#include <string_view>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/edit/page_types.h"
#include "core/model/parameter_image.h"
#include "core/views/text_source.h"

namespace parvion {
class Link;
}

namespace parvion::edit {

// Text blocks: the group caption and the first 15 preferred-value choices,
// the further choices; the operation display group; the compact display
// and calculation error boxes; the display box of page b (caption and its
// seven values) at kDisplayBoxBlock + 16 × b.
inline constexpr std::uint16_t kDisplayBlock = 9216;
inline constexpr std::uint16_t kDisplayMoreBlock = 9232;
inline constexpr std::uint16_t kDisplayPagesText = 13376;
inline constexpr std::uint16_t kDisplayChecksBlock = 13392;
inline constexpr std::uint16_t kDisplayBoxBlock = 13312;

inline constexpr int kDisplayPages = 4;
// The values of a display page, bit 0 .. 6: temperature, pressure,
// density, power or standard flow, mass flow, total energy or standard
// volume, total mass (Chk_T, Chk_P, Chk_R, Chk_F, Chk_M, Chk_TF, Chk_TM).
inline constexpr int kDisplayValues = 7;
using DisplayBoxes = std::array<std::array<bool, kDisplayValues>, kDisplayPages>;

// The preferred-value choices (26).
std::vector<std::string> PreferredChoices(const views::BlockLoader& load);

// Whether display page p (0..3) has a box for value v (0..6): the sum page
// has no temperature, pressure and density.
bool DisplayValueShown(int page, int value);
// Display pages 2 to 4 exist only while circuit 2 is available.
bool DisplayPageShown(const ParameterImage& image, int page);
// The compact display can be chosen only on a device with all outputs.
bool CompactDisplayOffered(const ParameterImage& image);

// The box states of the Display bytes.
DisplayBoxes BoxesOf(const DisplayRec& display);
// The Display bytes of the box states (every box counts, shown or not);
// with the compact display checked, Enable1 also takes the bits of Enable2.
DisplayRec DisplayOfBoxes(const DisplayBoxes& boxes, bool compact);

// A preferred value chosen: with circuit 2 unavailable a choice above 7
// goes back to 0. First := its code; online written back (write, step,
// 50 ms, read back, step). Returns the choice the combo shows.
int ChoosePreferredValue(Link& link, ParameterImage& image, int index);
// CheckDisplay and CheckCalc clicked: Kind or CalcError := 1 when checked,
// else 0; online written (write, 50 ms, step, read back, step).
void SetCompactDisplay(Link& link, ParameterImage& image, bool checked);
void SetCalcErrorAcknowledge(Link& link, ParameterImage& image, bool checked);
// A display box clicked: the Display bytes from the boxes (the compact
// rule with `compact`, the state of CheckDisplay); online Display written,
// without read-back or progress.
void SetDisplayBoxes(Link& link, ParameterImage& image, const DisplayBoxes& boxes, bool compact);

// What the page shows of Dis_User.
struct DisplayChecks {
    bool compact = false;    // CheckDisplay
    bool calcError = false;  // CheckCalc
    bool operator==(const DisplayChecks&) const = default;
};
// The states the image asks for: the compact display only where it is
// offered.
DisplayChecks ChecksOf(const ParameterImage& image);

// The display page's reads (16 progress steps at most: Dis_User and
// Display, a step after each that succeeds), leaving the progress bar up.
void ReadDisplayPage(Link& link, ParameterImage& image);
// Fills the display page: the reads, then, for each check box whose state
// (`shown`) differs from the image, its click as a user's would be (with
// its write-back); then the progress bar is hidden. Never writes Display.
// Returns the states the boxes are to show.
DisplayChecks FillDisplayPage(Link& link, ParameterImage& image, DisplayChecks shown);

// --- parvion2-cli ------------------------------------------------------------

std::vector<std::string> PrintDisplayPage(const ParameterImage& image, const PageTexts& texts);
// "Dis_User" (First, Kind, CalcError) or "Display" (Enable1..Enable4).
bool IsDisplaySetting(const Setting& setting);
// First: the choice index; Kind and CalcError: 0 or 1; EnableN: the boxes
// of display page N as one number, the sum of 2^v over the values v
// checked (bit 0 temperature .. bit 6 total mass, as in the Display
// record). Enable4 has no boxes for bits 0..2: they must be 0 and keep
// what the record holds. The compact rule follows as on the page.
SettingOutcome ApplyDisplaySetting(Link& link, ParameterImage& image, const Setting& setting,
                                   const PageTexts& texts);
std::vector<std::string> DisplaySettings(const ParameterImage& image);

}  // namespace parvion::edit
