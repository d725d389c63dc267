#pragma once
// The relay page (the two limit relays, Alm_User 0 and 1) and the output
// page (the four analog outputs, Aus_User 0 to 3) as data and rules: the
// source choices, the lines each list shows, what a double click on a line
// edits (field, quantity, limits), the rules that follow a choice or an
// accepted value, and the write-back to the device (write, progress step,
// 50 ms wait, read-back, step). The window's pages and parvion2-cli both
// use this.
//
// Every routine that talks to the device takes the Link: it writes only
// while the link's session is online, takes the variant from the session
// and reports progress and waits through the link's UiHooks. Offline the
// same routines change the image alone. Writes and read-backs are not
// checked.

#include <optional>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/edit/page_types.h"
#include "core/model/parameter_image.h"
#include "core/views/text_source.h"

namespace parvion {
class Link;
}

namespace parvion::edit {

// Text blocks: the relay group caption (+ " 1"/" 2") and the first 15
// source choices, the further source choices, the kind choices (also the
// labels of the alarm list); the same for the outputs.
inline constexpr std::uint16_t kAlarmBlock = 7168;
inline constexpr std::uint16_t kAlarmMoreBlock = 7184;
inline constexpr std::uint16_t kAlarmKindBlock = 7200;
inline constexpr std::uint16_t kOutputBlock = 8192;
inline constexpr std::uint16_t kOutputMoreBlock = 8208;
inline constexpr std::uint16_t kOutputLabelBlock = 8224;
// Width to which the loader pads the labels of the two lists.
inline constexpr std::uint8_t kSourceLabelWidth = 13;

inline constexpr int kAlarms = 2;
inline constexpr int kOutputs = 4;

// One line of an alarm or output list and what a double click on it edits.
struct SourceLine {
    std::uint8_t label = 0;         // index in the list's label block
    std::string_view key;           // "Min", "Max", "Err", "Konstant"
    std::uint8_t quantity = 0;      // how the value is shown
    std::uint8_t editQuantity = 0;  // the dialog's Quantity
    float min = 0;                  // the dialog's limits, base unit
    float max = 0;
    bool operator==(const SourceLine&) const = default;
};

// --- choices -----------------------------------------------------------------

// The source choices of the alarm combos (26) and the output combos (18):
// the block's texts from its second on, then those of the further block;
// empty when the first block cannot be loaded.
std::vector<std::string> AlarmSourceChoices(const views::BlockLoader& load);
std::vector<std::string> OutputSourceChoices(const views::BlockLoader& load);
// The limit kinds (block 7200 up to its first empty text).
std::vector<std::string> AlarmKindChoices(const views::BlockLoader& load);

// --- relays ------------------------------------------------------------------

// The lines of alarm a (0 or 1): none without a source (Param 0), Min for
// Kind 0, Max for Kind 1, both for Kind 2, none for another kind. Quantity
// and limits follow the source.
std::vector<SourceLine> AlarmLines(const ParameterImage& image, int medium, int alarm);
// The value of a line: Min or Max.
float AlarmValue(const ParameterImage& image, int alarm, const SourceLine& line);
// The kind combo is enabled only while the alarm has a source.
bool AlarmKindEnabled(const ParameterImage& image, int alarm);
// The list texts: label (block 7200, width 13) and the value with its unit.
std::vector<std::string> AlarmListTexts(const ParameterImage& image, int medium, int alarm,
                                        const views::BlockLoader& load,
                                        const views::ValueFormatter& format);

// A source chosen in the alarm's combo. With circuit 2 unavailable a
// choice above 7 is not taken: the combo goes back to the stored source.
// Param is then set from the choice, written back (2 steps). Returns the
// choice the combo shows.
int ChooseAlarmSource(Link& link, ParameterImage& image, int alarm, int index);
// Kind := index, written back.
void ChooseAlarmKind(Link& link, ParameterImage& image, int alarm, int index);
// A value accepted for a line of AlarmLines (base unit, within the line's
// limits): Min pulls Max up to it, Max pulls Min down to it; written back.
void ApplyAlarmValue(Link& link, ParameterImage& image, int alarm, const SourceLine& line,
                     float accepted);
// The relay page's reads: 2 progress steps, one per alarm read; hides the
// progress bar. Offline nothing is read.
void ReadRelayPage(Link& link, ParameterImage& image);

// --- outputs -----------------------------------------------------------------

// The lines of output k (0..3): with a source Min and Max (quantity and
// limits of the source) and Err (mA, 1..23); the constant current (Param
// 0) one line, Konstant in mA (1..23).
std::vector<SourceLine> OutputLines(const ParameterImage& image, int medium, int output);
// The list texts: label (block 8224, width 13) and value with unit.
std::vector<std::string> OutputListTexts(const ParameterImage& image, int medium, int output,
                                         const views::BlockLoader& load,
                                         const views::ValueFormatter& format);
// The value a line shows and the dialog starts from: Konstant × 0.1 mA,
// the float fields as they are.
float OutputValue(const ParameterImage& image, int output, const SourceLine& line);

// Outputs 2 to 4 exist only on a device with all outputs.
bool OutputShown(const ParameterImage& image, int output);

// A source chosen in the output's combo: Param := its code; with circuit 2
// unavailable a code above 8 falls back to code 1. Online, before the
// write-back, Min and Max are brought into the range of the new source
// (for the constant current: Min 10 when Konstant < 10, Max 230 when
// Konstant > 230). Written back (2 steps). Returns the choice the combo
// shows.
int ChooseOutputSource(Link& link, ParameterImage& image, int output, int index);
// A value accepted for a line of OutputLines: Konstant takes the value × 10
// rounded; Min pulls Max up, Max pulls Min down; written back.
void ApplyOutputValue(Link& link, ParameterImage& image, int output, const SourceLine& line,
                      float accepted);
// The output page's reads: 4 progress steps, one per output read; hides
// the progress bar.
void ReadOutputPage(Link& link, ParameterImage& image);

// --- parvion2-cli ------------------------------------------------------------

std::vector<std::string> PrintRelayPage(const ParameterImage& image, int medium,
                                        const PageTexts& texts);
std::vector<std::string> PrintOutputPage(const ParameterImage& image, int medium,
                                         const PageTexts& texts);
// "Alm_User0" .. "Alm_User1": the alarm; "Aus_User0" .. "Aus_User3": the
// output; nothing for another section.
std::optional<int> AlarmOfSection(std::string_view section);
std::optional<int> OutputOfSection(std::string_view section);
// Param (the choice index), Kind, Min, Max of an alarm; Param (choice
// index), Konstant (mA), Min, Max, Err of an output, each only where the
// page shows it as it stands.
SettingOutcome ApplyRelaySetting(Link& link, ParameterImage& image, const Setting& setting,
                                 int alarm, const PageTexts& texts);
SettingOutcome ApplyOutputSetting(Link& link, ParameterImage& image, const Setting& setting,
                                  int output, const PageTexts& texts);
std::vector<std::string> RelaySettings(const ParameterImage& image);
std::vector<std::string> OutputSettings(const ParameterImage& image);

}  // namespace parvion::edit
