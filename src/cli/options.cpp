#include "cli/options.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "cli/cli_error.h"
#include "cli/command_table.h"
#include "core/history/history_types.h"
#include "core/link/net_port.h"
#include "core/model/session.h"
#include "core/model/value_format.h"

namespace parvion::cli {

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

std::int64_t SnapshotId(const std::string& option, const std::string& text) {
    std::int64_t id = 0;
    bool digits = !text.empty() && text.size() <= 18;
    for (const char c : text) {
        if (c < '0' || c > '9') digits = false;
        if (digits) id = id * 10 + (c - '0');
    }
    if (!digits || id < 1)
        UsageError(option + " needs a snapshot number (1 or more), not \"" + text + "\"");
    return id;
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
        const OptionSpec* option = FindOption(a);
        if (option == nullptr) UsageError("unknown option " + a);
        const bool takesValue = !option->value.empty();
        if (takesValue && !hasInlineValue) {
            if (i + 1 >= args.size()) UsageError(a + " needs a value");
            value = args[++i];
        } else if (!takesValue && hasInlineValue) {
            UsageError(a + " takes no value");
        }
        given.emplace_back(a, value);
    }

    for (const auto& [name, value] : given) {
        if (name == "--help") o.help = true;
        if (name == "--version") o.version = true;
    }
    if (o.command == "help") o.help = true;
    if (o.help || o.version) return o;

    if (o.command.empty()) UsageError("no command given");
    const CommandSpec* command = FindCommand(o.command);
    if (command == nullptr) UsageError("unknown command \"" + o.command + "\"");
    const std::size_t expected = command->arguments.size();
    std::size_t required = 0;
    while (required < expected && !command->arguments[required].optional) ++required;
    if (o.args.size() > expected || o.args.size() < required) {
        const std::string count =
            required == expected ? std::to_string(expected)
                                 : std::to_string(required) + " to " + std::to_string(expected);
        UsageError(o.command + " takes " + count + " argument(s), got " +
                   std::to_string(o.args.size()));
    }

    for (const auto& [name, value] : given) {
        if (!FindOption(name)->global && !command->takes(name)) {
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
        } else if (name == "--json") {
            o.json = true;
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
        } else if (name == "--serial") {
            if (value.empty()) UsageError("--serial needs a serial number");
            o.serial = value;
        } else if (name == "--since") {
            o.since = parvion::history::ParseUtc(value);
            if (!o.since) {
                UsageError(
                    "--since needs a date (2024-05-01) or a UTC time (2024-05-01T12:00:00Z)");
            }
        } else if (name == "--csv") {
            if (value.empty()) UsageError("--csv needs a file name");
            o.csvFile = value;
        } else if (name == "--verify") {
            o.verify = true;
        } else if (name == "--snapshot") {
            o.snapshot = SnapshotId(name, value);
        } else if (name == "--against") {
            if (value.empty()) UsageError("--against needs a snapshot number or a file name");
            o.against = value;
        } else if (name == "--temperature") {
            o.temperature = Number(name, value);
            if (o.temperature <= -273.15) UsageError("--temperature must be above -273.15");
        }
    }
    return o;
}

}  // namespace parvion::cli
