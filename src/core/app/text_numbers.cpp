#include "core/app/text_numbers.h"

#include <array>

namespace parvion {

namespace {

using V = TextVariant;

// Limits of padded columns: parameter-page labels are padded to 18 and
// printed padded to 20; live-value labels to 54; alarm, output and
// integrator labels to 13; error group names to 28.
constexpr std::uint8_t kParamLabel = 17;
constexpr std::uint8_t kLiveLabel = 53;
constexpr std::uint8_t kShortLabel = 12;

constexpr std::array kUsed = {
    // Program texts and messages.
    TextRange{0, 0, "library signature"},
    TextRange{1, 1, "main window caption"},
    TextRange{4, 4, "parameter file of the other variant"},
    TextRange{5, 5, "settings file not writable"},
    TextRange{6, 6, "value is not a number"},
    TextRange{7, 7, "file cannot be written"},
    TextRange{16, 16, "question before the device's parameters are replaced"},
    TextRange{18, 18, "system definition not allowed by the device"},
    // About box.
    TextRange{32, 33, "about box: program lines"},
    TextRange{36, 39, "about box: expansion levels", V::Both, 40},
    TextRange{40, 43, "about box: serial number and closing lines"},
    TextRange{44, 44, "about box: caption"},
    // Settings dialog status texts.
    TextRange{48, 49, "settings dialog: status bar"},
    // Parameter printout.
    TextRange{64, 67, "parameter printout: titles", V::Both, 30},
    // Main window pages and menus.
    TextRange{512, 517, "operation display: tabs", V::Both, 0, true},
    TextRange{528, 538, "parameter pages: tabs", V::Both, 0, true},
    TextRange{1024, 1034, "menu: Parameter"},
    TextRange{1040, 1044, "menu: Options"},
    TextRange{1056, 1057, "menu: System"},
    TextRange{1072, 1073, "menu: Language"},
    TextRange{1088, 1091, "menu: Expansion level"},
    TextRange{1120, 1121, "menu: Help"},
    // Table editors.
    TextRange{1280, 1287, "table editors: file menu"},
    TextRange{1296, 1299, "table editors: view menu"},
    TextRange{14336, 14338, "table editors: questions on closing and before sending"},
    TextRange{14344, 14349, "table editors: file, value and missing-cell messages"},
    // Temperature input.
    TextRange{2048, 2048, "temperature: caption"},
    TextRange{2049, 2052, "temperature: types", V::Both, 0, true},
    TextRange{2064, 2064, "temperature: labels of type 0", V::Both, kParamLabel},
    TextRange{2080, 2081, "temperature: labels of type 1", V::Both, kParamLabel},
    // Pressure input.
    TextRange{3072, 3072, "pressure: caption"},
    TextRange{3073, 3076, "pressure: types", V::Both, 0, true},
    TextRange{3088, 3088, "pressure: labels of type 0", V::Both, kParamLabel},
    TextRange{3104, 3106, "pressure: labels of type 1", V::Both, kParamLabel},
    TextRange{3120, 3121, "pressure: labels of type 2", V::Both, kParamLabel},
    // Flow input.
    TextRange{4096, 4096, "flow: caption"},
    TextRange{4097, 4102, "flow: types", V::Both, 0, true},
    TextRange{4128, 4136, "flow: labels of type 1", V::Both, kParamLabel},
    TextRange{4144, 4152, "flow: labels of type 2", V::Both, kParamLabel},
    TextRange{4160, 4162, "flow: labels of type 3", V::Both, kParamLabel},
    TextRange{4176, 4180, "flow: labels of type 4", V::Both, kParamLabel},
    TextRange{4192, 4195, "flow: labels of type 5", V::Both, kParamLabel},
    // Medium: nine gas types, seven media of the energy computer.
    TextRange{5120, 5120, "medium: caption"},
    TextRange{5121, 5129, "medium: gas types", V::GasOnly, 0, true},
    TextRange{5121, 5127, "medium: media", V::EnergyOnly, 0, true},
    TextRange{5136, 5136, "medium: labels of medium 0", V::EnergyOnly, kParamLabel},
    TextRange{5152, 5152, "medium: labels of medium 1", V::EnergyOnly, kParamLabel},
    TextRange{5168, 5168, "medium: labels of medium 2", V::EnergyOnly, kParamLabel},
    TextRange{5184, 5185, "medium: labels of medium 3", V::EnergyOnly, kParamLabel},
    TextRange{5200, 5204, "medium: labels of medium 4", V::EnergyOnly, kParamLabel},
    TextRange{5216, 5217, "medium: table lines of medium 5", V::EnergyOnly, 40},
    TextRange{5232, 5232, "medium: saturation table line of medium 6", V::EnergyOnly, 40},
    TextRange{5232, 5235, "medium: labels of the SGERG-88 gas type", V::GasOnly, kParamLabel},
    TextRange{5248, 5251, "medium: labels of gas type 7", V::GasOnly, kParamLabel},
    TextRange{5264, 5265, "medium: labels of gas type 8", V::GasOnly, kParamLabel},
    TextRange{5266, 5266, "medium: table line of gas type 8", V::GasOnly, 40},
    // Pulse output (the caption is also the label of its line; 6148 stays
    // free so that the choice list ends after three kinds).
    TextRange{6144, 6144, "pulse output: caption and label", V::Both, kParamLabel},
    TextRange{6145, 6147, "pulse output: kinds", V::Both, 0, true},
    TextRange{6149, 6149, "pulse output: kind not in the list"},
    // Alarms.
    TextRange{7168, 7183, "alarms: caption and sources"},
    TextRange{7184, 7194, "alarms: sources (continued)", V::Both, 0, true},
    TextRange{7200, 7202, "alarms: limit kinds and labels", V::Both, kShortLabel, true},
    // Analog outputs.
    TextRange{8192, 8207, "outputs: caption and sources"},
    TextRange{8208, 8210, "outputs: sources (continued)", V::Both, 0, true},
    TextRange{8224, 8227, "outputs: labels", V::Both, kShortLabel},
    // Display.
    TextRange{9216, 9231, "display: caption and preferred values"},
    TextRange{9232, 9242, "display: preferred values (continued)", V::Both, 0, true},
    TextRange{9248, 9248, "units: user units box"},
    TextRange{9249, 9256, "units: tabs", V::Both, 0, true},
    TextRange{9264, 9264, "remarks: a line stored in another form"},
    // Trend recording.
    TextRange{10240, 10240, "trend recording: caption"},
    TextRange{10241, 10242, "trend recording: sources", V::Both, 0, true},
    TextRange{10256, 10256, "trend recording: interval caption"},
    TextRange{10257, 10268, "trend recording: intervals", V::Both, 0, true},
    // System page.
    TextRange{11264, 11264, "system: caption"},
    TextRange{11265, 11268, "system: definitions", V::Both, 0, true},
    TextRange{11280, 11280, "system: number of transmitters"},
    TextRange{11281, 11283, "system: transmitter counts", V::Both, 0, true},
    TextRange{11296, 11296, "system: output limit values"},
    TextRange{11297, 11298, "system: limit value schemes", V::Both, 0, true},
    TextRange{11312, 11320, "system: presets"},
    TextRange{11328, 11328, "system: system factor"},
    TextRange{11344, 11344, "system: caption of the device clock"},
    // Flow correction.
    TextRange{12288, 12288, "correction: caption"},
    TextRange{12289, 12296, "correction: support points", V::Both, kParamLabel, true},
    // Device display pages.
    TextRange{13312, 13319, "display pages: circuit 1"},
    TextRange{13328, 13335, "display pages: circuit 2"},
    TextRange{13344, 13351, "display pages: difference"},
    TextRange{13360, 13367, "display pages: sum"},
    TextRange{13376, 13376, "display pages: caption"},
    TextRange{13392, 13393, "display: options"},
    // Live values.
    TextRange{15360, 15362, "live values: system definitions 0 to 2", V::Both, 54},
    TextRange{15364, 15364, "live values: system definition 4", V::Both, 54},
    TextRange{15376, 15380, "live values: measured values", V::Both, kLiveLabel},
    TextRange{15872, 15875, "live values: analog outputs", V::Both, 16},
    TextRange{15888, 15905, "live values: output sources", V::Both, 33},
    TextRange{16384, 16386, "live values: mass flow and totals", V::Both, kLiveLabel},
    TextRange{16387, 16387, "live values: operating time", V::Both, 51},
    TextRange{16400, 16403, "live values: flow and second temperature", V::Both, kLiveLabel},
    // Error protocol and error state.
    TextRange{17408, 17423, "error protocol: groups, two circuits", V::Both, 28},
    TextRange{17424, 17439, "error protocol: groups, one circuit", V::Both, 28},
    TextRange{17440, 17441, "error protocol: entry states", V::Both, 12},
    TextRange{17442, 17442, "error protocol: between start and end", V::Both, 5},
    TextRange{17443, 17443, "error protocol: save item of the popup menu"},
    TextRange{17456, 17461, "live values: error state"},
    // Integrators.
    TextRange{18432, 18435, "integrators: labels", V::Both, kShortLabel},
    // Trend page.
    TextRange{19456, 19463, "trend page: grid headings", V::Both, 20},
    TextRange{19472, 19474, "trend page: read, export and graph buttons"},
    // Reference conditions.
    TextRange{20480, 20480, "reference values: caption"},
    TextRange{20481, 20483, "reference values: labels", V::Both, kParamLabel},
    // Settings dialog.
    TextRange{21504, 21509, "settings dialog: captions"},
    TextRange{21520, 21527, "settings dialog: ports", V::Both, 0, true},
    TextRange{21536, 21543, "settings dialog: baud rates", V::Both, 0, true},
    TextRange{21552, 21553, "settings dialog: connection", V::Both, 0, true},
    TextRange{21568, 21569, "settings dialog: parameter transfer", V::Both, 0, true},
    TextRange{21584, 21586, "settings dialog: refresh", V::Both, 0, true},
    // Connection test and the comparison with a parameter file.
    TextRange{22528, 22556, "connection test: findings"},
    TextRange{22560, 22575, "comparison with a parameter file"},
    // Network ports: link failures, the raw-port note, connection test.
    TextRange{22592, 22601, "network ports: link failures and the raw-port note"},
    TextRange{22608, 22620, "network ports: connection test findings"},
    // Why the link failed, and live values that are no longer current.
    TextRange{22624, 22638, "link failures"},
    TextRange{22640, 22643, "writes only with what the device returned, missing file keys"},
    // The file menu's recent files; a parameter file that cannot be read.
    TextRange{22656, 22659, "recent files, unreadable file"},
    // The device history: its warning and the command line's messages.
    TextRange{22700, 22735, "device history: warning, journal CSV, command line"},
    // The device history window: lists, filter, buttons, messages.
    TextRange{22736, 22768, "device history window"},
    // Unsaved work on closing; what happened to writes, tables, trend reads,
    // the connection and SGERG-88.
    TextRange{22800, 22822, "unsaved work and what happened"},
    // The value dialog's body, names of values, the comparison's name column,
    // the print items, the print preview, the table editors' cells.
    TextRange{22823, 22863,
              "value dialog, names of values, comparison, print menu, preview, table cells"},
    // Network ports: why a name is malformed, what broken Telnet did.
    TextRange{22864, 22877, "network ports: malformed names, broken Telnet negotiation"},
    TextRange{22902, 22905, "table editors: names of the file filters"},
    TextRange{22906, 22915, "command line: labels of identify"},
    TextRange{22919, 22921, "device history: causes of a store that cannot be written"},
    TextRange{22922, 22924, "table editors: context menu of the grid"},
    TextRange{22930, 22936, "link failures: why a port could not be opened"},
    TextRange{22937, 22937, "device history: the serial number could not be read"},
    // The graph's caption line; what the settings dialog says while a
    // connection test or a connection runs; a value set to its limit.
    TextRange{22940, 22951, "graph caption, connection progress, value set to a limit"},
    // Buttons of the small dialogs and the caption of the password dialog.
    TextRange{23552, 23554, "dialog buttons, password caption"},
    // Circuit headings of the printout and the integrator page.
    TextRange{30720, 30727, "circuit headings", V::Both, 40},
    // Terminal plan (labels get the circuit or output number appended).
    TextRange{31232, 31232, "terminal plan: title", V::Both, 30},
    TextRange{31233, 31245, "terminal plan: labels", V::Both, 27},
};

}  // namespace

std::span<const TextRange> UsedTextNumbers() {
    return kUsed;
}

bool RangeApplies(const TextRange& range, int medium) {
    switch (range.variant) {
        case TextVariant::Both:
            return true;
        case TextVariant::GasOnly:
            return medium == 0;
        case TextVariant::EnergyOnly:
            return medium == 1;
    }
    return false;
}

}  // namespace parvion
