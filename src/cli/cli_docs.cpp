// The manual page and the bash completion of parvion2-cli, made from the
// command table (the program parvion2-cli-docs writes them at build time).

#include <algorithm>
#include <cctype>

#include "cli/command_table.h"
#include "core/app/texts.h"
#include "core/edit/page_commands.h"
#include "core/link/termios_line.h"
#include "core/link/transport.h"
#include "core/link/ui_hooks.h"
#include "core/model/defaults.h"
#include "core/model/parameter_file.h"
#include "core/model/session.h"
#include "core/model/value_format.h"
#include "core/model/variant.h"
#include "core/tables/table_kind.h"
#include "version/version.h"

namespace parvion::cli {

namespace {

// Text for roff: backslashes and minus signs escaped, no control word at
// the start of a line.
std::string Roff(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::string Join(const std::vector<std::string>& words, std::string_view separator = " ") {
    std::string out;
    for (const std::string& w : words) {
        if (!out.empty()) out += separator;
        out += w;
    }
    return out;
}

// The settings `set` takes, by section, in the order the pages list them:
// asked of the edit layer itself, on the default parameter sets of both
// variants with the user units on and with every choice of every group in
// turn (a choice decides which values a group shows).
struct SettingNames {
    std::vector<std::string> sections;
    std::vector<std::pair<std::string, std::vector<std::string>>> keys;

    void add(const std::string& section, const std::string& key) {
        auto at = std::find_if(keys.begin(), keys.end(),
                               [&](const auto& k) { return k.first == section; });
        if (at == keys.end()) {
            sections.push_back(section);
            keys.push_back({section, {}});
            at = keys.end() - 1;
        }
        // Remark keys hold a blank ("Zeile 2") and are not offered.
        if (!key.empty() && key.find(' ') == std::string::npos &&
            std::find(at->second.begin(), at->second.end(), key) == at->second.end()) {
            at->second.push_back(key);
        }
    }
};

std::filesystem::path& TextFolder() {
    static std::filesystem::path folder;
    return folder;
}

const SettingNames& Settings() {
    static const SettingNames names = [] {
        SettingNames n;
        TermiosLine line;
        NullUiHooks ui;
        Session session;
        session.Online = false;
        session.Sprache = 1;
        Link link(line, ui, session, {});
        const TextLibrary texts(TextFolder(), session);
        ParameterImage image;
        const edit::PageTexts pageTexts{
            [&](std::uint16_t first, std::uint8_t width, views::TextBlock& t) {
                return texts.LoadTextBlock(first, width, t);
            },
            [&](std::uint16_t number) { return texts.LoadText(number); },
            [&](std::uint8_t q, bool withUnit, bool trim, float v) {
                return FormatValue(image, session.Medium, q, withUnit, trim, v);
            }};
        auto apply = [&](ParameterImage& img, const std::string& section, const std::string& key,
                         const std::string& value) {
            return edit::ApplySetting(link, img, {section, key, value, 0}, pageTexts);
        };
        // The sections of the pages as `img` stands, then each one's keys
        // (a section without settings now answers with the whole page's).
        auto collect = [&](ParameterImage& img) {
            for (const std::string& section : apply(img, "-", "-", "0").valid) {
                if (section == kRemarkSection) {
                    n.add(section, {});
                    continue;
                }
                for (const std::string& setting : apply(img, section, "-", "0").valid) {
                    const std::size_t blank = setting.find(' ');
                    if (setting.substr(0, blank) != section) continue;
                    n.add(section, setting.substr(blank + 1));
                }
            }
        };
        // Every choice of a section's key on top of `from`; the images where
        // it was taken.
        auto choices = [&](const ParameterImage& from, const std::string& section,
                           const char* key) {
            std::vector<ParameterImage> taken;
            for (int choice = 0; choice < 40; ++choice) {
                ParameterImage img = from;
                if (apply(img, section, key, std::to_string(choice)).ok()) taken.push_back(img);
            }
            return taken;
        };
        for (const Variant& variant : Variants()) {
            const int medium = variant.medium;
            session.Medium = medium;
            ParameterImage base;
            ResetParameters(base, medium, false);
            // A parameter file: no device limits the system definitions.
            base.System.KindMask = 0xFF;
            apply(base, "Dis_User", "Einheiten", "1");
            // The units page's switch shares its section with the display
            // page, which answers the probe of Dis_User.
            n.add("Dis_User", "Einheiten");
            // The set as it is, and one circuit metered by four transmitters
            // (the further design pressures of circuit 1).
            ParameterImage multi = base;
            apply(multi, "System", "Kind", "1");
            apply(multi, "System", "Anzahl", "2");
            for (const ParameterImage& start : {base, multi}) {
                ParameterImage first = start;
                collect(first);
                for (const std::string& section : apply(first, "-", "-", "0").valid) {
                    // A source (Param) decides which kinds and limits a relay
                    // or output shows; a kind decides the lines of a group.
                    std::vector<ParameterImage> sources = choices(start, section, "Param");
                    for (ParameterImage& img : sources) collect(img);
                    sources.insert(sources.begin(), start);
                    for (const ParameterImage& from : {sources.front(), sources.back()}) {
                        for (ParameterImage& img : choices(from, section, "Kind")) collect(img);
                    }
                }
            }
        }
        return n;
    }();
    return names;
}

// A shell word list: the choices of an argument or option value.
std::string Words(Values values) {
    return Join(ValueChoices(values));
}

// How the completion offers the value of an option.
std::string_view CompletionKind(Values values) {
    switch (values) {
        case Values::File:
            return "file";
        case Values::Port:
            return "port";
        case Values::Text:
            return "text";
        default:
            return "words";
    }
}

}  // namespace

std::vector<std::string> ValueChoices(Values values) {
    switch (values) {
        case Values::Baud:
            return {"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
        case Values::Language:
            return {"de", "en"};
        case Values::Circuit:
            return {"1", "2"};
        case Values::PageName:
            return edit::PageNames();
        case Values::Printout:
            return {"parameters", "terminal-plan", "record"};
        case Values::TableStep:
            return {"read", "write"};
        case Values::HistoryStep:
            return {"show"};
        case Values::TableKind: {
            std::vector<std::string> kinds;
            for (const auto kind : {tables::TableKind::Compressibility, tables::TableKind::Density,
                                    tables::TableKind::Enthalpy, tables::TableKind::Saturation}) {
                kinds.emplace_back(tables::KindInfo(kind).name);
            }
            return kinds;
        }
        case Values::Port: {
            std::vector<std::string> ports;
            for (int n = 1; n <= 8; ++n) ports.push_back("COM" + std::to_string(n));
            return ports;
        }
        case Values::Section:
            return Settings().sections;
        case Values::Text:
        case Values::File:
        case Values::Key:
            return {};
    }
    return {};
}

std::vector<std::string> SectionKeys(std::string_view section) {
    for (const auto& [name, keys] : Settings().keys) {
        if (name.size() == section.size() &&
            std::equal(name.begin(), name.end(), section.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            return keys;
        }
    }
    return {};
}

std::string ManualPage() {
    std::string out;
    out += ".TH PARVION2\\-CLI 1 \"\" \"parvion2 " + std::string(ProgramVersion()) +
           "\" \"User Commands\"\n";
    out +=
        ".SH NAME\nparvion2\\-cli \\- scripted access to PV\\-GAS2 and PV\\-ENG2 flow computers\n";
    out +=
        ".SH SYNOPSIS\n.B parvion2\\-cli\n[\\fIoptions\\fR] \\fICOMMAND\\fR [\\fIarguments\\fR]\n";
    out +=
        ".SH DESCRIPTION\n"
        "parvion2\\-cli reads and writes a two\\-circuit flow computer over a serial line "
        "(RS\\-232), with the same core, transport, time limits and trace files as the "
        "window program \\fBparvion2\\fR(1): for service engineers who read many devices, "
        "and for automated checks. Each run does one command and ends with an exit code. "
        "Options may stand before or after the command, as \\fB\\-\\-name value\\fR or "
        "\\fB\\-\\-name=value\\fR; a remark text that starts with \"\\-\" follows "
        "\\fB\\-\\-\\fR.\n";
    out += ".SH COMMANDS\n";
    for (const CommandSpec& c : CommandTable()) {
        for (const UsageForm& f : c.forms) {
            out += ".TP\n\\fB" + Roff(c.name) + "\\fR";
            if (!f.usage.empty()) out += " " + Roff(f.usage);
            out += "\n" + Roff(f.help) + ".\n";
        }
    }
    out += ".SH OPTIONS\n";
    for (const OptionSpec& o : OptionTable()) {
        out += ".TP\n";
        if (o.name == "--help") out += "\\fB\\-h\\fR, ";
        out += "\\fB" + Roff(o.name) + "\\fR";
        if (!o.value.empty()) out += " \\fI" + Roff(o.value) + "\\fR";
        out += "\n" + Roff(OptionHelp(o)) + ".\n";
    }
    out +=
        ".SH JSON OUTPUT\n"
        "With \\fB\\-\\-json\\fR a command prints one JSON object (UTF\\-8, one line, then a "
        "line feed) instead of its text lines. Every object has \\fB\"schema\"\\fR "
        "(\\fB\"parvion2\\-cli/1\"\\fR) and \\fB\"command\"\\fR. A measured or set value is an "
        "object with \\fB\"value\"\\fR (a number in the quantity's base unit: degrees Celsius, "
        "kPa, kg/m3, ...; \\fBnull\\fR when it is not a finite number), \\fB\"unit\"\\fR (the "
        "base unit's text) and \\fB\"quantity\"\\fR (\\fB\"temperature\"\\fR, "
        "\\fB\"pressure\"\\fR, ...); times are local date\\-times as "
        "\\fBYYYY\\-MM\\-DDThh:mm:ss\\fR. Key names are the same in every language; texts "
        "from the string library follow \\fB\\-\\-lang\\fR. Errors still go to the error "
        "output as text, and the exit codes are those of the text output. The whole "
        "schema is in cli.md of the package's documentation "
        "(/usr/share/doc/parvion2/docs/cli.md).\n";
    out +=
        ".SH FILES\n"
        ".TP\n\\fI$XDG_DATA_HOME/parvion2/parvion2.ini\\fR\n"
        "The settings file of parvion2 (default \\fI~/.local/share/parvion2\\fR): port "
        "(\\fBAnschlu\\(ss\\fR), baud rate, language, and section \\fB[Ports]\\fR, which maps "
        "\"Com N\" to a device path (\\fBCom1=/dev/ttyUSB0\\fR). Only read, never written.\n"
        ".TP\n\\fI$XDG_DATA_HOME/parvion2/Errors.log\\fR\n"
        "Why a connection step or a port failed, one line each.\n"
        ".TP\n\\fI$XDG_DATA_HOME/parvion2/YYYY\\-MM\\-DD\\-rs232.log\\fR\n"
        "The serial trace, when \\fBRS232\\fR in section \\fB[Debug]\\fR is above 0.\n"
        ".TP\n\\fI../share/parvion2/*.txt\\fR\n"
        "The four string libraries, looked up beside the program and then relative to it; "
        "without one whose text 0 is the signature the program stops with \"Sprachen \\- Dll "
        "fehlt!\".\n";
    out +=
        ".SH ENVIRONMENT\n"
        ".TP\n.B XDG_DATA_HOME\nThe data folder's parent (default \\fI~/.local/share\\fR).\n"
        ".TP\n.B HOME\nThe home folder, when XDG_DATA_HOME is not set.\n";
    out +=
        ".SH EXIT STATUS\n"
        ".TP\n.B 0\nDone (also when the output's reader stopped reading early, as with "
        "\\fBhead\\fR).\n"
        ".TP\n.B 1\nThe device or a file failed: no reply, an unsupported identity, a "
        "protected device without the right password, a failed read or write, a file of "
        "the wrong variant, a value that is not a number, a file that cannot be read or "
        "written; nothing half\\-written is left behind. A message on the error output says "
        "why.\n"
        ".TP\n.B 2\nThe command line is wrong.\n";
    out +=
        ".SH EXAMPLES\n"
        ".nf\n"
        "parvion2\\-sim \\-\\-path\\-file /tmp/pty &\n"
        "parvion2\\-cli \\-\\-port \"$(cat /tmp/pty)\" \\-\\-baud 115200 identify\n"
        "parvion2\\-cli \\-\\-port /dev/ttyUSB0 read\\-params station7\n"
        "parvion2\\-cli \\-\\-port /dev/ttyUSB0 \\-\\-password 1234 diff released.PGA\n"
        "parvion2\\-cli \\-\\-port /dev/ttyUSB0 set T_User1 Max 120\n"
        "parvion2\\-cli \\-\\-port /dev/ttyUSB0 live \\-\\-json\n"
        "parvion2\\-cli \\-\\-file released.PGA print terminal\\-plan \\-\\-pdf plan.pdf\n"
        ".fi\n";
    out += ".SH SEE ALSO\n\\fBparvion2\\fR(1), \\fBparvion2\\-sim\\fR(1)\n";
    return out;
}

std::string BashCompletion(const std::filesystem::path& textFolder) {
    TextFolder() = textFolder;
    std::string out =
        "# bash completion for parvion2-cli -*- shell-script -*-\n"
        "# Made from the program's command table by parvion2-cli-docs; not edited by hand.\n"
        "\n"
        "_parvion2_cli_keys()\n"
        "{\n"
        "    case \"${1,,}\" in\n";
    for (const auto& [section, keys] : Settings().keys) {
        std::string lower = section;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        out += "        " + lower + ") echo \"" + Join(keys) + "\" ;;\n";
    }
    out +=
        "    esac\n"
        "}\n"
        "\n"
        "_parvion2_cli()\n"
        "{\n"
        "    local cur prev words cword split\n"
        "    _init_completion -s || return\n"
        "\n"
        "    local -A value_of=(";
    for (const OptionSpec& o : OptionTable()) {
        if (o.value.empty()) continue;
        out += " [" + std::string(o.name) + "]=" + std::string(CompletionKind(o.values));
    }
    out += " )\n    local command=\"\" i skip=0 ended=0\n    local -a positional=()\n";
    out +=
        "    for ((i = 1; i < cword; i++)); do\n"
        "        local w=\"${words[i]}\"\n"
        "        if ((skip)); then skip=0; continue; fi\n"
        "        if ((!ended)) && [[ $w == -- ]]; then ended=1; continue; fi\n"
        "        if ((!ended)) && [[ $w == -* ]]; then\n"
        "            [[ $w != *=* && -n ${value_of[$w]-} ]] && skip=1\n"
        "            continue\n"
        "        fi\n"
        "        if [[ -z $command ]]; then command=$w; else positional+=(\"$w\"); fi\n"
        "    done\n"
        "\n"
        "    case \"${value_of[$prev]-}\" in\n"
        "        file) _filedir; return ;;\n"
        "        text) return ;;\n"
        "        port)\n"
        "            if [[ $cur == */* ]]; then _filedir; else\n"
        "                COMPREPLY=($(compgen -W \"" +
        Words(Values::Port) +
        "\" -- \"$cur\")); fi\n"
        "            return ;;\n"
        "        words)\n"
        "            case $prev in\n";
    for (const OptionSpec& o : OptionTable()) {
        if (o.value.empty() || CompletionKind(o.values) != "words") continue;
        out += "                " + std::string(o.name) + ") COMPREPLY=($(compgen -W \"" +
               Words(o.values) + "\" -- \"$cur\")) ;;\n";
    }
    out +=
        "            esac\n"
        "            return ;;\n"
        "    esac\n"
        "\n"
        "    if [[ $cur == -* ]]; then\n"
        "        local options=\"";
    std::vector<std::string> global;
    std::vector<std::string> all;
    for (const OptionSpec& o : OptionTable()) {
        if (o.global) global.emplace_back(o.name);
        all.emplace_back(o.name);
    }
    out += Join(global) + "\"\n        case $command in\n";
    for (const CommandSpec& c : CommandTable()) {
        std::vector<std::string> own(c.options.begin(), c.options.end());
        if (own.empty()) continue;
        out += "            " + std::string(c.name) + ") options+=\" " + Join(own) + "\" ;;\n";
    }
    out += "            \"\") options=\"" + Join(all) + "\" ;;\n";
    out +=
        "        esac\n"
        "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
        "        return\n"
        "    fi\n"
        "\n"
        "    if [[ -z $command ]]; then\n"
        "        COMPREPLY=($(compgen -W \"";
    std::vector<std::string> names;
    for (const CommandSpec& c : CommandTable()) names.emplace_back(c.name);
    out += Join(names) +
           "\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "\n"
           "    case $command:${#positional[@]} in\n";
    for (const CommandSpec& c : CommandTable()) {
        for (std::size_t i = 0; i < c.arguments.size(); ++i) {
            const Values v = c.arguments[i].values;
            std::string action;
            if (v == Values::File) {
                action = "_filedir";
            } else if (v == Values::Key) {
                action = "COMPREPLY=($(compgen -W \"$(_parvion2_cli_keys \"${positional[" +
                         std::to_string(i - 1) + "]}\")\" -- \"$cur\"))";
            } else if (!ValueChoices(v).empty()) {
                action = "COMPREPLY=($(compgen -W \"" + Words(v) + "\" -- \"$cur\"))";
            } else {
                continue;
            }
            out += "        " + std::string(c.name) + ":" + std::to_string(i) + ") " + action +
                   " ;;\n";
        }
    }
    out +=
        "    esac\n"
        "} &&\n"
        "    complete -F _parvion2_cli parvion2-cli\n";
    return out;
}

}  // namespace parvion::cli
