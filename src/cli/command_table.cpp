#include "cli/command_table.h"

#include <algorithm>

#include "cli/commands.h"
#include "cli/doctor_command.h"
#include "cli/history_command.h"
#include "cli/table_command.h"

namespace parvion::cli {

namespace {

using V = Values;

// The commands, in the order of the help text. `forms` is what the help,
// the manual page and docs/cli.md show; `arguments` what the parser counts
// and the completion offers.
const std::vector<CommandSpec> kCommands = {
    {"identify",
     RunIdentify,
     {},
     {"--json"},
     {{"",
       "identity, program text, serial number, expansion level and access flags (the "
       "password is never shown)"}}},
    {"read-params",
     RunReadParams,
     {{"FILE", V::File}},
     {},
     {{"FILE",
       "read every parameter block and save them as a parameter file of the device's variant "
       "(.PGA gas, .PEG energy; a name without extension gets it); remarks already in FILE are "
       "kept"}}},
    {"write-params",
     RunWriteParams,
     {{"FILE", V::File}},
     {},
     {{"FILE",
       "load FILE by the rules of the main window's \"Load\" (gas: the device's Ready flags are "
       "kept, and cleared when the natural-gas input set changes) and write every parameter "
       "block to the device"}}},
    {"diff",
     RunDiff,
     {{"FILE", V::File, true}},
     {"--json", "--snapshot", "--against"},
     {{"FILE",
       "read the device and list every field that differs from FILE as \"[Section] Key: device "
       "VALUE, file VALUE\""},
      {"--snapshot ID [--against ID|FILE]",
       "the fields that differ between snapshot ID of the device history and the connected "
       "device (read whole), or with --against another snapshot or a parameter file, as "
       "\"[Section] Key: LEFT, RIGHT\" with the snapshot on the left (the device on the left "
       "without --against)"}}},
    {"live",
     RunLive,
     {},
     {"--circuit", "--json"},
     {{"[--circuit N]", "the live values of circuit N (1 or 2, default 1)"}}},
    {"errors",
     RunErrors,
     {},
     {"--save", "--json"},
     {{"[--save FILE]",
       "the device's error protocol; with --save also write it to FILE as the error page's "
       "\"Speichern...\" does"}}},
    {"integrators",
     RunIntegrators,
     {},
     {"--json"},
     {{"", "the integrator records of both circuits"}}},
    {"trends",
     RunTrends,
     {},
     {"--export", "--json"},
     {{"[--export FILE]",
       "read the trend memory and list its blocks, newest first; with --export also write the "
       "trend export file"}}},
    {"clock",
     RunClock,
     {},
     {"--set", "--json"},
     {{"[--set]", "the device clock; --set sets it to this computer's time"}}},
    {"page",
     RunPage,
     {{"NAME", V::PageName}},
     {"--circuit", "--file", "--json"},
     {{"NAME [--circuit N] [--file FILE]",
       "the lines of a parameter page as the main window shows them: circuit (of circuit N, "
       "default 1), units, remarks, relays, outputs, display, system, trend or corrections; each "
       "line that `set` changes ends with its [SECTION KEY]. With --file the page of a parameter "
       "file (no device; the remarks exist only there)"}}},
    {"set",
     RunSet,
     {{"SECTION", V::Section}, {"KEY", V::Key}, {"VALUE", V::Text}},
     {"--circuit", "--file"},
     {{"SECTION KEY VALUE [--circuit N] [--file FILE]",
       "change one setting with every rule of its page, as in the parameter file: set T_User0 "
       "Max 120, set Flow_User1 Kind 4, set EG_User Ho 11.2 (for the page of circuit N), set "
       "Dis_User Einheiten 1, set UserEinheiten0 Kind 1, set Alm_User0 Param 15, set Aus_User0 "
       "Konstant 12 (mA), set Display Enable2 9 (the sum of the boxes' values: 1 temperature, 2 "
       "pressure, 4 density, ...), set System Kind 2 (the whole switch to one circuit), set "
       "Grenzwerte Schema 1, set Vorgaben Vorgabe3 250, set Trend_User Time 11, set FlowKorr_1 "
       "Stelle0 1.02, set Bemerkung \"Zeile 2\" TEXT (--file only). VALUE is a number in the "
       "base unit (degrees Celsius, kPa, ...), whatever the user units, clamped to the line's "
       "limits as the input dialog clamps (a note says so); a choice is its index. Online the "
       "change is written to the device and read back; with --file the file is saved. The page "
       "is shown again afterwards"}}},
    {"print",
     RunPrint,
     {{"KIND", V::Printout}},
     {"--pdf", "--file"},
     {{"parameters|terminal-plan|record --pdf FILE [--file FILE]",
       "the parameter printout, the terminal plan, or the commissioning record (device identity "
       "and clock, the printout, the plan and the remarks) as a PDF; from the device, or with "
       "--file from a parameter file"}}},
    {"doctor",
     RunDoctor,
     {},
     {"--json"},
     {{"",
       "the connection test: for the chosen port (--port, else the settings' port), the "
       "ports of the [Ports] section and the serial ports the system lists: what the path "
       "is, whether you may open it, whether another program holds it, and at which baud "
       "rate a device answers its identity request (the --baud rate first); for a network "
       "port whether the host resolves, the server accepts, takes RFC 2217 and acknowledges "
       "the settings, and the round trip; nothing else is sent. Exit code 0 when a device "
       "answered"}}},
    {"table",
     RunTable,
     {{"read|write", V::TableStep}, {"FILE", V::File}},
     {"--kind", "--allow-missing"},
     {{"read --kind KIND FILE",
       "read the device's table of KIND (compressibility on the gas computer; density, "
       "enthalpy or saturation on the energy computer) into a table file (.KTB, .DTB, .ETB, "
       ".STB; a name without extension gets it)"},
      {"write FILE [--allow-missing]",
       "transmit a table file; the kind is its extension. A value that is not a number, or not "
       "one the device holds (NAN, INF, beyond the float range), stops it before anything is "
       "sent; so do cells the file does not hold, which are named (--allow-missing sends them "
       "as 0, with a warning)"}}},
    {"history",
     RunHistory,
     {{"show", V::HistoryStep, true}, {"ID", V::Text, true}},
     {"--serial", "--json", "--save"},
     {{"[--serial S]",
       "the snapshots of the device history (every device, or the one with serial number S), "
       "oldest first: number, time, serial number, variant, program text, expansion level, who "
       "and which program; a device read again unchanged is counted as seen again"},
      {"show ID [--save FILE]",
       "snapshot ID: its data and the parameter set as its parameter file; --save writes that "
       "file byte for byte (.PGA or .PEG, added to a name without extension), so it loads as "
       "the set that was read"}}},
    {"journal",
     RunJournal,
     {},
     {"--serial", "--since", "--csv", "--json", "--verify"},
     {{"[--serial S] [--since DATE] [--csv FILE]",
       "the journal of the writes to devices, oldest first: one entry per changed setting with "
       "time, device, who, what, old and new value and the outcome; --since a date (2024-05-01) "
       "or UTC time; --csv also writes it for a spreadsheet (German: Windows-1252 with \";\", "
       "English: UTF-8 with \",\")"},
      {"--verify",
       "checks the journal's chain of hashes: exit code 0 when it is whole, 1 naming the first "
       "entry that was changed, inserted or deleted"}}},
    {"sgerg",
     RunSgerg,
     {{"H2", V::Text}, {"CO2", V::Text}, {"RHO", V::Text}, {"HS", V::Text}},
     {"--pressure", "--temperature"},
     {{"H2 CO2 RHO HS [--pressure BAR] [--temperature C]",
       "SGERG-88 check of a natural-gas input set (H2 and CO2 in mol %, standard density RHO "
       "in kg/m3, calorific value HS in kWh/m3): the status character and K = Z/Zn at the given "
       "pressure (bar absolute, default 1.01325) and temperature (degrees Celsius, default 0); "
       "no device"}}},
};

const std::vector<OptionSpec> kOptions = {
    {"--port", "PORT", V::Port,
     "\"Com N\" (N = 1..8; mapped through the key ComN of the [Ports] section of the settings "
     "file, else /dev/ttyS{N-1}), a device path such as /dev/ttyUSB0 or /dev/pts/5, or a "
     "serial device server: rfc2217://HOST:PORT (Telnet with RFC 2217: the baud rate is set "
     "through it) or tcp://HOST:PORT (raw: the baud rate is set on the server; --baud then "
     "only sets the timing). An IPv6 address goes in brackets: rfc2217://[::1]:4001. Default: "
     "the port of the settings file, else Com 1",
     true},
    {"--baud", "RATE", V::Baud,
     "baud-rate index 0..7 or one of 1200 2400 4800 9600 19200 38400 57600 115200. Default: the "
     "settings file, else 9600",
     true},
    {"--password", "TEXT", V::Text,
     "password of a protected device (padded with \"-\" to 8 characters); every device command "
     "but identify needs it",
     true},
    {"--lang", "de|en", V::Language, "language of the texts. Default: the settings file", true},
    {"--circuit", "N", V::Circuit, "circuit 1 or 2 (default 1)", false},
    {"--file", "FILE", V::File, "work on a parameter file instead of a device", false},
    {"--pdf", "FILE", V::File, "the PDF to write", false},
    {"--set", "", V::Text, "set the device clock to this computer's time", false},
    {"--export", "FILE", V::File, "also write the trend export file", false},
    {"--save", "FILE", V::File,
     "also write the file: the error list (errors), the snapshot's parameter file (history show)",
     false},
    {"--serial", "S", V::Text, "the device with this serial number", false},
    {"--since", "DATE", V::Text, "entries at or after this date or UTC time", false},
    {"--csv", "FILE", V::File, "also write the journal as a CSV file", false},
    {"--verify", "", V::Text, "check the journal's chain of hashes", false},
    {"--snapshot", "ID", V::Text, "a snapshot of the device history (history lists them)", false},
    {"--against", "ID|FILE", V::File, "the other side: a snapshot number or a parameter file",
     false},
    {"--kind", "KIND", V::TableKind, "the table to read", false},
    {"--allow-missing", "", V::Text,
     "send the cells the table file lacks as 0 (they are named on "
     "stderr)",
     false},
    {"--pressure", "BAR", V::Text, "absolute pressure in bar (default 1.01325)", false},
    {"--temperature", "C", V::Text, "temperature in degrees Celsius (default 0)", false},
    {"--json", "", V::Text,
     "print the result as one JSON document (values as numbers in their base units, with the unit "
     "named) "
     "instead of text lines",
     false},
    {"--version", "", V::Text, "the program's version and the commit it was built from", true},
    {"--help", "", V::Text, "this text", true},
};

// The paragraph wrapped to `width` columns, every line but the first
// indented by `indent` blanks.
std::string Wrap(std::string_view text, std::size_t indent, std::size_t width) {
    std::string out;
    std::size_t column = indent;
    std::size_t at = 0;
    bool first = true;
    while (at < text.size()) {
        std::size_t end = text.find(' ', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view word = text.substr(at, end - at);
        at = end + 1;
        if (word.empty()) continue;
        if (!first && column + 1 + word.size() > width) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (!first) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        first = false;
    }
    return out;
}

// "  NAME USAGE          help ..." with the help from column 24.
void AddEntry(std::string& out, const std::string& head, std::string_view help) {
    constexpr std::size_t kColumn = 24;
    out += "  " + head;
    if (head.size() + 2 < kColumn - 1) {
        out += std::string(kColumn - 2 - head.size(), ' ');
    } else {
        out += "\n" + std::string(kColumn, ' ');
    }
    out += Wrap(help, kColumn, 80) + "\n";
}

}  // namespace

bool CommandSpec::takes(std::string_view option) const {
    return std::find(options.begin(), options.end(), option) != options.end();
}

const std::vector<CommandSpec>& CommandTable() {
    return kCommands;
}

const std::vector<OptionSpec>& OptionTable() {
    return kOptions;
}

const CommandSpec* FindCommand(std::string_view name) {
    for (const CommandSpec& c : kCommands) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

std::string OptionHelp(const OptionSpec& option) {
    if (option.global) return std::string(option.help);
    std::string users;
    for (const CommandSpec& c : kCommands) {
        if (c.takes(option.name)) users += (users.empty() ? "" : ", ") + std::string(c.name);
    }
    return users + ": " + std::string(option.help);
}

const OptionSpec* FindOption(std::string_view name) {
    for (const OptionSpec& o : kOptions) {
        if (o.name == name) return &o;
    }
    return nullptr;
}

std::string HelpText() {
    std::string out =
        "usage: parvion2-cli [options] COMMAND [arguments]\n"
        "\n"
        "Scripted access to a PV-GAS2 or PV-ENG2 flow computer over a serial line.\n"
        "\n"
        "Commands:\n";
    for (const CommandSpec& c : kCommands) {
        for (const UsageForm& f : c.forms) {
            std::string head(c.name);
            if (!f.usage.empty()) head += " " + std::string(f.usage);
            AddEntry(out, head, f.help);
        }
    }
    out += "\nOptions:\n";
    for (const OptionSpec& o : kOptions) {
        std::string head(o.name);
        if (o.name == "--help") head = "-h, --help";
        if (!o.value.empty()) head += " " + std::string(o.value);
        AddEntry(out, head, OptionHelp(o));
    }
    out +=
        "\n"
        "The settings file is parvion2.ini in $XDG_DATA_HOME/parvion2 (default\n"
        "~/.local/share/parvion2); it is read, never written. The string libraries are\n"
        "found beside the program, or in ../share/parvion2 relative to it.\n"
        "\n"
        "Exit codes: 0 done; 1 the device or a file failed (a message on stderr says\n"
        "why; nothing half-written is left behind); 2 the command line is wrong.\n"
        "\n"
        "The manual page parvion2-cli(1) describes every command and option.\n";
    return out;
}

}  // namespace parvion::cli
