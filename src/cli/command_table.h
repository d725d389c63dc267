#pragma once
// The one table of parvion2-cli's commands and options. The parser, the
// dispatch, `--help`, the manual page and the bash completion are all made
// from it: a new command is one entry here plus its handler.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace parvion::cli {

class Context;

// What an argument or an option value is, for the completion and the
// manual page.
enum class Values {
    Text,         // anything (a number, a remark)
    File,         // a file name
    Port,         // "Com N" or a device path
    Baud,         // a baud-rate index or rate
    Language,     // de, en
    Circuit,      // 1, 2
    PageName,     // circuit, units, ...
    Printout,     // parameters, terminal-plan, record
    TableStep,    // read, write
    TableKind,    // compressibility, density, enthalpy, saturation
    Section,      // a section of the parameter file (set)
    Key,          // a key of that section (set)
    HistoryStep,  // show (history)
};

struct ArgumentSpec {
    std::string_view name;  // "FILE", as the usage names it
    Values values;
    // May be left out (with every argument after it): `history` alone or
    // `history show ID`.
    bool optional = false;
};

// One way to call a command: its usage after the command's name, and what it
// does (one paragraph, wrapped where it is shown).
struct UsageForm {
    std::string_view usage;
    std::string_view help;
};

struct CommandSpec {
    std::string_view name;
    void (*run)(Context&);
    std::vector<ArgumentSpec> arguments;
    // The command's own options beside the global ones ("--circuit", "--json").
    std::vector<std::string_view> options;
    std::vector<UsageForm> forms;
    bool takes(std::string_view option) const;
};

struct OptionSpec {
    std::string_view name;   // "--port"
    std::string_view value;  // "PORT"; empty for a switch
    Values values;
    std::string_view help;
    bool global;  // taken by every command
};

// Every command in the order of the help text.
const std::vector<CommandSpec>& CommandTable();
// Every option in the order of the help text.
const std::vector<OptionSpec>& OptionTable();
const CommandSpec* FindCommand(std::string_view name);
const OptionSpec* FindOption(std::string_view name);

// The option's help with the commands that take it ("live, page, set:
// circuit 1 or 2") unless it is global.
std::string OptionHelp(const OptionSpec& option);
// The text of `--help`.
std::string HelpText();
// The manual page parvion2-cli(1) in roff (man macros).
std::string ManualPage();
// The bash completion script for parvion2-cli; the settings of `set` are
// asked of the edit layer with the string libraries in `textFolder`.
std::string BashCompletion(const std::filesystem::path& textFolder);

// The texts of the choices an argument or option value may take (empty for
// free values and files): page names, printouts, table kinds, sections.
std::vector<std::string> ValueChoices(Values values);
// Every key of a section that `set` takes on a page of either variant, in
// some state of the page (needs BashCompletion's text folder set first).
std::vector<std::string> SectionKeys(std::string_view section);

}  // namespace parvion::cli
