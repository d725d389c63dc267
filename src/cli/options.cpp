#include "cli/options.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>

#include "cli/cli_error.h"
#include "core/app/session.h"
#include "core/link/net_port.h"
#include "core/model/value_format.h"

namespace parvion::cli {

const char* const kHelpText = R"(usage: parvion2-cli [options] COMMAND [arguments]

Scripted access to a PV-GAS2 or PV-ENG2 flow computer over a serial line.

Commands:
  identify              identity, program text, serial number, expansion level
                        and access flags (the password is never shown)
  read-params FILE      read every parameter block and save them as a parameter
                        file of the device's variant (.PGA gas, .PEG energy; a
                        name without extension gets it); remarks already in
                        FILE are kept
  write-params FILE     load FILE by the rules of the main window's "Load"
                        (gas: the device's Ready flags are kept, and cleared
                        when the natural-gas input set changes) and write every
                        parameter block to the device
  diff FILE             read the device and list every field that differs from
                        FILE as "[Section] Key: device VALUE, file VALUE"
  live [--circuit N]    the live values of circuit N (1 or 2, default 1)
  errors [--save FILE]  the device's error protocol; with --save also write it
                        to FILE as the error page's "Speichern..." does
  integrators           the integrator records of both circuits
  trends [--export FILE]
                        read the trend memory and list its blocks, newest first;
                        with --export also write the trend export file
  clock [--set]         the device clock; --set sets it to this computer's time
  page NAME [--circuit N] [--file FILE]
                        the lines of a parameter page as the main window shows
                        them: circuit (of circuit N, default 1), units,
                        remarks, relays, outputs, display, system, trend
                        or corrections; each line that `set` changes ends
                        with its [SECTION KEY]. With --file the page of a
                        parameter file
                        (no device; the remarks exist only there)
  set SECTION KEY VALUE [--circuit N] [--file FILE]
                        change one setting with every rule of its page, as in
                        the parameter file: set T_User0 Max 120, set Flow_User1
                        Kind 4, set EG_User Ho 11.2 (for the page of circuit N),
                        set Dis_User Einheiten 1, set UserEinheiten0 Kind 1,
                        set Alm_User0 Param 15, set Aus_User0 Konstant 12
                        (mA), set Display Enable2 9 (the sum of the boxes'
                        values: 1 temperature, 2 pressure, 4 density, ...),
                        set System Kind 2 (the whole switch to one circuit),
                        set Grenzwerte Schema 1, set Vorgaben Vorgabe3 250,
                        set Trend_User Time 11, set FlowKorr_1 Stelle0 1.02,
                        set Bemerkung "Zeile 2" TEXT (--file only). VALUE is a
                        number in the base unit (degrees Celsius, kPa, ...),
                        whatever the user units, clamped to the line's limits
                        as the input dialog clamps (a note says so); a choice
                        is its index. Online the change is written to the
                        device and read back; with --file the file is saved.
                        The page is shown again afterwards
  print parameters|terminal-plan|record --pdf FILE [--file FILE]
                        the parameter printout, the terminal plan, or the
                        commissioning record (device identity and clock, the
                        printout, the plan and the remarks) as a PDF; from the
                        device, or with --file from a parameter file
  doctor                the connection test: for the chosen port (--port,
                        else the settings' port), the ports of the [Ports]
                        section and the serial ports the system lists: what
                        the path is, whether you may open it, whether another
                        program holds it, and at which baud rate a device
                        answers its identity request (the --baud rate first);
                        for a network port whether the host resolves, the
                        server accepts, takes RFC 2217 and acknowledges the
                        settings, and the round trip; nothing else is sent.
                        Exit code 0 when a device answered
  table read --kind KIND FILE
                        read the device's table of KIND (compressibility on the
                        gas computer; density, enthalpy or saturation on the
                        energy computer) into a table file (.KTB, .DTB, .ETB,
                        .STB; a name without extension gets it)
  table write FILE [--allow-missing]
                        transmit a table file; the kind is its extension. A
                        value that is not a number, or not one the device
                        holds (NAN, INF, beyond the float range), stops it
                        before anything is sent; so do cells the file does
                        not hold, which are named (--allow-missing sends
                        them as 0, with a warning)
  sgerg H2 CO2 RHO HS [--pressure BAR] [--temperature C]
                        SGERG-88 check of a natural-gas input set (H2 and CO2
                        in mol %, standard density RHO in kg/m3, calorific value
                        HS in kWh/m3): the status character and K = Z/Zn at the
                        given pressure (bar absolute, default 1.01325) and
                        temperature (degrees Celsius, default 0); no device

Options:
  --port PORT           "Com N" (N = 1..8; mapped through the key ComN of the
                        [Ports] section of the settings file, else /dev/ttyS{N-1}),
                        a device path such as /dev/ttyUSB0 or /dev/pts/5, or a
                        serial device server: rfc2217://HOST:PORT (Telnet with
                        RFC 2217: the baud rate is set through it) or
                        tcp://HOST:PORT (raw: the baud rate is set on the
                        server; --baud then only sets the timing). An IPv6
                        address goes in brackets: rfc2217://[::1]:4001.
                        Default: the port of the settings file, else Com 1
  --baud RATE           baud-rate index 0..7 or one of 1200 2400 4800 9600 19200
                        38400 57600 115200. Default: the settings file, else 9600
  --password TEXT       password of a protected device (padded with "-" to 8
                        characters); every device command but identify needs it
  --lang de|en          language of the texts. Default: the settings file
  --circuit N           live, page, set: circuit 1 or 2 (default 1)
  --file FILE           page, set, print: work on a parameter file instead of a
                        device
  --pdf FILE            print: the PDF to write
  --allow-missing       table write: send the cells the table file lacks as 0
                        (they are named on stderr)
  -h, --help            this text

The settings file is parvion2.ini in $XDG_DATA_HOME/parvion2 (default
~/.local/share/parvion2); it is read, never written. The string libraries are
found beside the program.

Exit codes: 0 done; 1 the device or a file failed (a message on stderr says
why; nothing half-written is left behind); 2 the command line is wrong.
)";

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool AllDigits(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Options that take a value, and the commands that accept them (empty: all).
struct OptionRule {
    const char* name;
    bool takesValue;
    std::set<std::string> commands;
};

const std::vector<OptionRule>& Rules() {
    static const std::vector<OptionRule> rules = {
        {"--port", true, {}},
        {"--baud", true, {}},
        {"--password", true, {}},
        {"--lang", true, {}},
        {"--circuit", true, {"live", "page", "set"}},
        {"--file", true, {"page", "set", "print"}},
        {"--pdf", true, {"print"}},
        {"--set", false, {"clock"}},
        {"--export", true, {"trends"}},
        {"--save", true, {"errors"}},
        {"--pressure", true, {"sgerg"}},
        {"--temperature", true, {"sgerg"}},
        {"--kind", true, {"table"}},
        {"--allow-missing", false, {"table"}},
        {"--help", false, {}},
    };
    return rules;
}

const std::set<std::string>& Commands() {
    static const std::set<std::string> commands = {
        "identify", "read-params", "write-params", "diff",   "live",
        "errors",   "integrators", "trends",       "clock",  "sgerg",
        "page",     "set",         "print",        "doctor", "table"};
    return commands;
}

std::size_t ExpectedArgs(const std::string& command) {
    if (command == "read-params" || command == "write-params" || command == "diff") return 1;
    if (command == "sgerg") return 4;
    if (command == "page" || command == "print") return 1;
    if (command == "set") return 3;
    if (command == "table") return 2;
    return 0;
}

double Number(const std::string& option, const std::string& text) {
    const auto v = ReadFiniteNumber(text);
    if (!v) UsageError(option + " needs a number, not \"" + text + "\"");
    return *v;
}

// A text that looks like a negative number is an argument, not an option.
bool LooksLikeOption(const std::string& a) {
    return a.size() > 1 && a[0] == '-' && !std::isdigit(static_cast<unsigned char>(a[1])) &&
           a[1] != '.';
}

}  // namespace

std::optional<PortChoice> ParsePort(const std::string& text) {
    const std::string t = Lower(text);
    if (t.rfind("com", 0) == 0) {
        std::string rest = t.substr(3);
        rest.erase(0, rest.find_first_not_of(' '));
        if (AllDigits(rest) && rest.size() == 1 && rest[0] >= '1' && rest[0] <= '8') {
            return PortChoice{rest[0] - '0', {}};
        }
        return std::nullopt;
    }
    if (IsNetworkPortName(text)) {
        if (!ParseNetworkPort(text)) return std::nullopt;
        return PortChoice{0, text};
    }
    if (text.find('/') != std::string::npos) return PortChoice{0, text};
    return std::nullopt;
}

std::optional<int> ParseBaud(const std::string& text) {
    if (!AllDigits(text) || text.size() > 7) return std::nullopt;
    const int n = std::stoi(text);
    if (n >= 0 && n <= 7) return n;
    for (int i = 0; i < 8; ++i) {
        if (kBaudRates[i] == n) return i;
    }
    return std::nullopt;
}

std::string PadPassword(const std::string& typed) {
    return (typed + "--------").substr(0, 8);
}

CliOptions ParseOptions(const std::vector<std::string>& args) {
    CliOptions o;
    std::vector<std::pair<std::string, std::string>> given;  // option, value
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string a = args[i];
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !LooksLikeOption(a)) {
            if (o.command.empty()) {
                o.command = a;
            } else {
                o.args.push_back(a);
            }
            continue;
        }
        if (a == "-h") a = "--help";
        std::string value;
        bool hasInlineValue = false;
        if (const auto eq = a.find('='); eq != std::string::npos) {
            value = a.substr(eq + 1);
            a = a.substr(0, eq);
            hasInlineValue = true;
        }
        const auto rule = std::find_if(Rules().begin(), Rules().end(),
                                       [&](const OptionRule& s) { return a == s.name; });
        if (rule == Rules().end()) UsageError("unknown option " + a);
        if (rule->takesValue && !hasInlineValue) {
            if (i + 1 >= args.size()) UsageError(a + " needs a value");
            value = args[++i];
        } else if (!rule->takesValue && hasInlineValue) {
            UsageError(a + " takes no value");
        }
        given.emplace_back(a, value);
    }

    for (const auto& [name, value] : given) {
        if (name == "--help") o.help = true;
    }
    if (o.command == "help") o.help = true;
    if (o.help) return o;

    if (o.command.empty()) UsageError("no command given");
    if (!Commands().contains(o.command)) UsageError("unknown command \"" + o.command + "\"");
    if (o.args.size() != ExpectedArgs(o.command)) {
        UsageError(o.command + " takes " + std::to_string(ExpectedArgs(o.command)) +
                   " argument(s), got " + std::to_string(o.args.size()));
    }

    for (const auto& [name, value] : given) {
        // A structured binding is not captured by a lambda in every compiler
        // the project builds with (clang 14 for the fuzz harnesses).
        const std::string& option = name;
        const auto rule = std::find_if(Rules().begin(), Rules().end(),
                                       [&](const OptionRule& s) { return option == s.name; });
        if (!rule->commands.empty() && !rule->commands.contains(o.command)) {
            UsageError(name + " does not apply to " + o.command);
        }
        if (name == "--port") {
            std::string why;
            if (IsNetworkPortName(value) && !ParseNetworkPort(value, &why)) {
                UsageError("--port " + value + ": " + why);
            }
            o.port = ParsePort(value);
            if (!o.port) {
                UsageError(
                    "--port needs \"Com N\" (N = 1..8), a device path, rfc2217://HOST:PORT or "
                    "tcp://HOST:PORT");
            }
        } else if (name == "--baud") {
            o.baudIndex = ParseBaud(value);
            if (!o.baudIndex) {
                UsageError(
                    "--baud needs an index 0..7 or one of 1200 2400 4800 9600 19200 "
                    "38400 57600 115200");
            }
        } else if (name == "--password") {
            if (value.empty()) UsageError("--password needs a text");
            o.password = value;
        } else if (name == "--lang") {
            const std::string l = Lower(value);
            if (l == "de") {
                o.sprache = 0;
            } else if (l == "en") {
                o.sprache = 1;
            } else {
                UsageError("--lang needs de or en");
            }
        } else if (name == "--circuit") {
            if (value != "1" && value != "2") UsageError("--circuit needs 1 or 2");
            o.circuit = value[0] - '0';
        } else if (name == "--pdf") {
            if (value.empty()) UsageError("--pdf needs a file name");
            o.pdfFile = value;
        } else if (name == "--file") {
            if (value.empty()) UsageError("--file needs a file name");
            o.file = value;
        } else if (name == "--set") {
            o.setClock = true;
        } else if (name == "--export") {
            if (value.empty()) UsageError("--export needs a file name");
            o.exportFile = value;
        } else if (name == "--save") {
            if (value.empty()) UsageError("--save needs a file name");
            o.saveFile = value;
        } else if (name == "--pressure") {
            o.pressure = Number(name, value);
            if (o.pressure < 0) UsageError("--pressure must not be negative");
        } else if (name == "--kind") {
            o.tableKind = value;
        } else if (name == "--allow-missing") {
            o.allowMissing = true;
        } else if (name == "--temperature") {
            o.temperature = Number(name, value);
            if (o.temperature <= -273.15) UsageError("--temperature must be above -273.15");
        }
    }
    return o;
}

}  // namespace parvion::cli
