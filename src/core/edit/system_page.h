#pragma once
// The system page: the system definition and what a switch to a
// single-circuit definition rewrites in the device, the number of measuring
// units, the limit-value scheme of the current outputs, the hand-set presets
// and the system factor. Each change goes into the image at once; online it
// is written to the device in the page's order and mostly read back.
// Progress and waits go through the link's UiHooks; refilling the page
// afterwards is the caller's.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/model/parameter_image.h"
#include "core/views/text_source.h"

namespace parvion {
class Link;
}

namespace parvion::edit {

// --- system definition ------------------------------------------------------

// Choice index of the system definition combo -> System Kind.
inline constexpr std::array<std::uint8_t, 4> kSystemKinds = {0, 1, 2, 4};
// The choices: "Zwei getrennte Kreise", ... (block 11265 on).
inline constexpr std::uint16_t kSystemTexts = 11264;
// The message when the device does not allow a definition.
inline constexpr std::uint16_t kSystemRefusedText = 18;
// Progress maximum of the switch to a single-circuit definition.
inline constexpr int kSingleCircuitSwitchSteps = 33;

// The combo index that shows a Kind; nothing for a Kind outside 0, 1, 2, 4.
std::optional<int> SystemChoiceOfKind(std::uint8_t kind);

enum class SystemChange {
    Refused,     // the device does not allow the definition: nothing changed, nothing sent
    Stored,      // the Kind is in the image; nothing sent (offline, or unchanged)
    SystemOnly,  // online: only the System record was written
    Switched,    // online: the switch to one circuit rewrote the dependent records
    NotSent,     // online: a record the change writes could not be read; nothing changed or sent
};

// The system definition of the combo's choice index (0..3). Online, a
// definition the device's KindMask does not allow is refused. A switch to a
// single-circuit definition first reads the records that depend on circuit
// 2, maps them onto circuit 1 and writes them — circuit 1's three input
// records, then circuit 2's with their kinds switched off (33 progress
// steps); every change online then writes the System record. The progress
// bar is hidden at the end. When a read fails (System, or one of the 17),
// nothing is written and Kind stays: the user is told why. A device that
// stops answering during the writes ends the sequence where it stands.
SystemChange ChangeSystemDefinition(Link& link, ParameterImage& image, int choice);

// The records of a switch to single-circuit definition `kind` (1 or 2),
// mapped in the image as the device gets them: circuit 2's inputs off,
// sources of circuit 2, difference and sum moved to circuit 1 or cleared,
// at least two measuring units, the extra design differential pressures of
// circuit 1 set. Without device traffic; ChangeSystemDefinition uses it
// between its reads and writes.
void MapToSingleCircuit(ParameterImage& image, std::uint8_t kind);

// --- measuring units, limit scheme ----------------------------------------

// Anzahl from the choice index (0..2 -> 2..4 units), written and read back
// online.
void SetMeasuringUnits(Link& link, ParameterImage& image, int choice);
// The radio item that shows Anzahl, nothing outside 2..4.
std::optional<int> MeasuringUnitsChoice(const SystemRec& system);

struct LimitScheme {
    float U_Max, U_Min, L_Max, L_Min;
};
// 0 "Grenzwerte nach Namur", 1 "Grenzwerte der Industrie".
inline constexpr std::array<LimitScheme, 2> kLimitSchemes = {{
    {1.3125f, 1.28125f, 0.24f, 0.225f},
    {1.4125f, 1.375f, 0.24f, 0.225f},
}};
// The scheme the limits are shown as: industry when U_Max x 16 > 21.99.
int LimitSchemeOf(const GrenzwerteRec& limits);
// Sets the four limits of the scheme (0 or 1), written and read back online.
void ApplyLimitScheme(Link& link, ParameterImage& image, int scheme);

// --- presets ----------------------------------------------------------------

inline constexpr std::size_t kPresetCount = 8;
// The label block of the preset list: 11312 is the box, 11313 + k the
// label of preset k.
inline constexpr std::uint16_t kPresetTexts = 11312;

// What the value dialog of a preset shows and allows.
struct PresetLimits {
    std::uint8_t quantity;
    float min;
    float max;
};
// Preset k (0..7): temperatures in kelvin, pressures, flows, masses of
// circuit 1, then of circuit 2.
PresetLimits PresetLimitsOf(std::size_t k, int medium);

// The eight lines of the preset list: label and value with its unit.
std::vector<std::string> PresetLineTexts(const ParameterImage& image,
                                         const views::TextBlock& labels,
                                         const views::ValueFormatter& format);

// The presets are in use (the box ticked) when any of them is above 0.
bool PresetsInUse(const ParameterImage& image);

// Stores a preset accepted by the dialog; online it is written (no
// read-back). False, and nothing sent, when the value is the old one.
bool SetPreset(Link& link, ParameterImage& image, std::size_t k, float value);
// Unticking the box: all eight presets to 0, each written online.
void ClearPresets(Link& link, ParameterImage& image);

// --- system factor ----------------------------------------------------------

inline constexpr float kSystemFactorMin = 0.9f;
inline constexpr float kSystemFactorMax = 1.1f;
// The system factor is a setting only with the balance definition (Kind 4).
bool SystemFactorEditable(const SystemRec& system);
// Stores the factor; online writes System and reads it back.
void SetSystemFactor(Link& link, ParameterImage& image, float factor);

// --- fill -------------------------------------------------------------------

// Online: System, the limits and the eight presets from the device, three
// progress steps; the caller rebuilds the page and hides the progress bar.
void ReadSystemPage(Link& link, ParameterImage& image);

}  // namespace parvion::edit
