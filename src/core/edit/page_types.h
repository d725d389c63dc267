#pragma once
// What the page modules of the edit layer and page_commands.h share: the
// names of the parameter pages, where their texts come from, and a setting
// named as in a parameter file with its outcome. The modules include this,
// never page_commands.h, which stands above them.

#include <string>
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

// Where the page texts come from: the current string library and the
// value format of the session (the user's units).
struct PageTexts {
    views::BlockLoader blocks;
    views::TextLoader text;
    views::ValueFormatter values;
};

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

}  // namespace parvion::edit
