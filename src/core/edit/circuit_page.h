#pragma once
// The circuit parameter pages (circuit 1 and circuit 2) as data and rules:
// which lines each group of a page shows, what a double click on a line
// edits (field, quantity, limits), the combo choices, the rules that follow
// an accepted value or a choice, and the write-back of every change to the
// device (writes, 50 ms waits, read-backs and progress steps in the device's
// order). The window's pages, the printouts and parvion2-cli all use this;
// the window only shows what it returns.
//
// Every routine that talks to the device takes the Link: it writes only
// while the link's session is online, it takes the variant (gas or energy)
// from the link's session, and it reports progress and waits through the
// link's UiHooks. Offline the same routines change the image
// alone. Writes and read-backs are not checked for success; a failed
// read-back leaves the image as edited.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/edit/field_ref.h"
#include "core/model/parameter_image.h"
#include "core/model/units.h"
#include "core/views/text_source.h"

namespace parvion {
class Link;
}

namespace parvion::edit {

// The groups of a circuit page, in the order the page lays them out.
enum class CircuitGroup : std::uint8_t {
    Temperature,  // TBox, ComboPT, ListePT: T_User
    Pressure,     // PBox, ComboPD, ListePD: P_User
    Flow,         // FBox, ComboPF, ListePF: Flow_User, Des_User
    Medium,       // GBox, ComboPG, ListePG: Med_User, EG_User
    Pulse,        // IBox, ComboIA, ListeImp: Imp_User
    Reference,    // VBox, ListeVL: Bez_User (no combo)
};
inline constexpr std::array<CircuitGroup, 6> kCircuitGroups = {
    CircuitGroup::Temperature, CircuitGroup::Pressure, CircuitGroup::Flow,
    CircuitGroup::Medium,      CircuitGroup::Pulse,    CircuitGroup::Reference};

// A set of groups: what to rebuild after a change.
class GroupSet {
  public:
    GroupSet() = default;
    GroupSet(std::initializer_list<CircuitGroup> groups) {
        for (CircuitGroup g : groups) add(g);
    }
    void add(CircuitGroup g) { bits_ |= bit(g); }
    bool has(CircuitGroup g) const { return (bits_ & bit(g)) != 0; }
    bool empty() const { return bits_ == 0; }
    bool operator==(const GroupSet&) const = default;

  private:
    static unsigned bit(CircuitGroup g) { return 1u << static_cast<unsigned>(g); }
    unsigned bits_ = 0;
};

// Width to which the loader pads the labels of a group's list.
inline constexpr std::uint8_t kCircuitLabelWidth = 18;
// Text the pulse combo shows when Imp_User.Kind has no choice (3 and up).
inline constexpr std::uint16_t kPulseUndefinedText = 6149;
// Text block of the reference group (caption = its first text).
inline constexpr std::uint16_t kReferenceBlock = 20480;

enum class LineKind : std::uint8_t {
    Value,      // label + the value formatted in its quantity's unit
    Frequency,  // label + MaxFreq right-aligned in 4 characters + "          Hz"
    Plain,      // the label alone (the lines that open a table editor)
    Status,     // the SGERG-88 status line of the gas calculation
};

// What a double click on a line does.
enum class LineAction : std::uint8_t {
    None,             // nothing: no dialog, nothing written
    Dialog,           // the value input dialog with the line's settings
    PropertyTable,    // the property table editor, with tableTag as its Tag
    SaturationTable,  // the saturation table editor
};

struct CircuitLine {
    LineKind kind = LineKind::Value;
    std::uint8_t label = 0;               // index of the label in the group's text block
    FieldRef field;                       // the value shown and edited (Value, Frequency)
    std::uint8_t quantity = kNoQuantity;  // how the value is shown
    std::string status;                   // Status: the whole line
    // The double click.
    LineAction action = LineAction::None;
    std::uint8_t editQuantity = kNoQuantity;  // the dialog's Quantity
    float min = 0;                            // limits in base units, resolved
    float max = 0;                            // against the image (Schleich up to Desdp, ...)
    int tableTag = 0;                         // PropertyTable: the editor's Tag
    bool operator==(const CircuitLine&) const = default;
};

// The first text of the block that labels the group's lines for the image's
// present kind: 2048 + 16 × (Kind + 1) for temperature, 3072 + … pressure,
// 4096 + … flow, 5120 + … medium, 6144 for the pulse output, 20480 for the
// reference values.
std::uint16_t LabelBlock(const ParameterImage& image, int circuit, CircuitGroup group);

// The lines the group's list shows, in order; empty when the group shows
// none (temperature or pressure taken from the other circuit, a kind
// without lines, the reference group hidden).
std::vector<CircuitLine> GroupLines(const ParameterImage& image, int medium, int circuit,
                                    CircuitGroup group);

// The text of one line: the label (padded by the loader to 18 characters)
// followed by the value in the user's unit.
std::string LineText(const CircuitLine& line, const views::TextBlock& labels,
                     const ParameterImage& image, const views::ValueFormatter& format);

// The texts of the group's list; empty when its label block cannot be
// loaded.
std::vector<std::string> GroupListTexts(const ParameterImage& image, int medium, int circuit,
                                        CircuitGroup group, const views::BlockLoader& load,
                                        const views::ValueFormatter& format);

// The reference group is hidden when the System field Kind is 4.
bool ReferenceGroupShown(const ParameterImage& image);

// The first text of the block that holds the group's caption and choices:
// 2048, 3072, 4096, 5120, 6144; the reference group has no combo (its
// caption is text 20480).
std::uint16_t ChoiceBlock(CircuitGroup group);

// The combo's choices for the page of the circuit: the block's texts from
// its second on, up to the first empty one; the fourth temperature and
// pressure choice names the other circuit (" 2" on circuit 1, " 1" on
// circuit 2). Empty when the block cannot be loaded or the group has none.
std::vector<std::string> GroupChoices(CircuitGroup group, int circuit,
                                      const views::BlockLoader& load);

// The choice the combo shows for the image: temperature and pressure 3 when
// Eq ≥ 2, else Kind; flow and medium Kind; pulse Kind when below 3, else
// nothing (the combo then shows text 6149). Nothing for the reference group.
std::optional<int> GroupChoice(const ParameterImage& image, int circuit, CircuitGroup group);

// --- changes -------------------------------------------------------------

// Applies choice `index` of the group's combo with its rules and, online,
// writes it back:
//  - temperature and pressure: index 3 and up takes the value from the
//    other circuit (Eq 2 here, Eq 1 there, and online the other circuit's
//    record is written at once, followed by a 50 ms wait); any other index
//    sets Kind and, unless Eq is 1, Eq 0; then write and read back
//    (2 progress steps);
//  - flow and pulse: Kind, then write and read back (2 steps);
//  - medium: Kind, then write, wait, read back, and on the gas computer
//    with Kind 6 also EG_User read back (3 steps).
// Returns the groups whose lists change.
GroupSet ApplyChoice(Link& link, ParameterImage& image, int circuit, CircuitGroup group, int index);

// Applies a value accepted for a line of GroupLines (base unit, already
// within the line's limits) with the rules that follow it, and writes the
// change back online:
//  - temperature: Min pulls Max up to it, Max pulls Min down to it;
//    pressure the same only with Kind 1;
//  - flow: Desdp of circuit 1 with system Kind 1 lowers Desdp2..Desdp4 to
//    it, with system Kind 2 sets all three to it; Min/Max of kinds 3 and 4
//    pull each other along and keep Schleich at most Max; MaxFreq takes the
//    whole-number part;
//  - medium: an EG_User value that differs from the old one clears Ready
//    of the circuit's Med_User; on the gas computer with Kind 6 the
//    SGERG-88 status goes into Dummy2 of both circuits' Med_User;
// and the group's write-back: temperature, pressure, pulse output and
// reference values 2 steps (write, wait, read back); flow 4 steps
// (Des_User and Flow_User written, each with its wait, then both read
// back); medium 4 steps (Med_User written, then on the gas computer with
// Kind 6 EG_User written and read back, then Med_User read back). Returns
// the groups whose lists change.
GroupSet ApplyLineValue(Link& link, ParameterImage& image, int circuit, CircuitGroup group,
                        const CircuitLine& line, float accepted);

// The part of a line edit that follows without a new value: after a table
// editor has closed (medium), or a double click on a pulse list whose kind
// has no line. Medium: the SGERG-88 status and the medium write-back;
// pulse: its write-back. Other groups: nothing.
GroupSet ApplyWithoutValue(Link& link, ParameterImage& image, int circuit, CircuitGroup group);

// Reads what the circuit page shows (ReadCircuitParameters, ReadBez_User,
// ReadImp_User, each followed by a progress step when it succeeds; 3 steps
// in all) and hides the progress bar. Offline it reads nothing.
void ReadCircuitPage(Link& link, ParameterImage& image, int circuit);

}  // namespace parvion::edit
