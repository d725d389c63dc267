// Command lines that are wrong end with exit code 2 before any device or
// file is touched; the SGERG-88 check needs no device.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "cli/command_table.h"
#include "cli_process.h"
#include "version/version.h"

namespace parvion::test {
namespace {

TEST(CliUsage, WrongCommandLinesEndWithCode2AndSayWhatIsWrong) {
    TempDir home;
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{}, "no command"},
        {{"fly"}, "unknown command"},
        {{"identify", "--frobnicate"}, "unknown option --frobnicate"},
        {{"read-params"}, "read-params takes 1 argument"},
        {{"--baud", "8", "identify"}, "--baud"},
        {{"--port", "Com 9", "identify"}, "--port"},
        {{"--port", "ttyS0", "identify"}, "--port"},
        // A network port: the name and the cause (the causes: the link's tests).
        {{"--port", "tcp://station-7:0", "identify"}, "--port tcp://station-7:0: port 0 is not"},
        {{"--lang", "fr", "identify"}, "--lang"},
        {{"live", "--circuit", "3"}, "--circuit"},
        {{"sgerg", "0", "1", "abc", "11"}, "RHO needs a number"},
        {{"sgerg", "0", "1", "0.8", "11", "--pressure", "-1"}, "--pressure"},
        {{"trends", "--export"}, "--export needs a value"},
        {{"table", "write", "--allow-missing=yes", "x.STB"}, "--allow-missing takes no value"},
        {{"set", "T_User0", "Max", "1", "--json"}, "--json does not apply to set"},
    };
    for (const Case& c : cases) {
        const CliRun r = RunCli(c.args, home.path());
        EXPECT_TRUE(Says(r, 2, c.says));
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    // Nothing was created in the home folder (no settings, no log).
    EXPECT_FALSE(std::filesystem::exists(home / ".local"));
}

TEST(CliUsage, HelpAndVersionEndWithCode0) {
    TempDir home;
    for (const char* help : {"--help", "-h", "help"}) {
        const CliRun r = RunCli({help}, home.path());
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.out, cli::HelpText());
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--version"}, {"identify", "--version"}}) {
        const CliRun r = RunCli(args, home.path());
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.out, VersionLine("parvion2-cli") + "\n");
        EXPECT_TRUE(Has(r.out, std::string(ProgramVersion()))) << r.out;
    }
}

// docs/cli.md describes every way to call a command and every option of
// the command table (the manual page and --help are made from the table),
// and no command the program does not have.
TEST(CliUsage, TheGuideAgreesWithTheCommandTable) {
    const std::string guide = readFileBytes(std::filesystem::path(PARVION_DOCS_DIR) / "cli.md");
    ASSERT_FALSE(guide.empty());
    auto escaped = [](std::string s) {
        for (std::size_t at = s.find('|'); at != std::string::npos; at = s.find('|', at + 2)) {
            s.insert(at, "\\");
        }
        return s;
    };
    std::size_t forms = 0;
    for (const cli::CommandSpec& c : cli::CommandTable()) {
        for (const cli::UsageForm& f : c.forms) {
            const std::string usage =
                std::string(c.name) + (f.usage.empty() ? "" : " ") + std::string(f.usage);
            EXPECT_TRUE(Has(guide, "| `" + escaped(usage) + "` |")) << usage;
            ++forms;
        }
        for (const std::string_view option : c.options) {
            if (option == "--json") {
                EXPECT_TRUE(Has(guide, "`" + std::string(c.name) + " --json`")) << c.name;
            }
        }
    }
    for (const cli::OptionSpec& o : cli::OptionTable()) {
        EXPECT_TRUE(Has(guide, "`" + std::string(o.name))) << o.name;
    }
    // Every row of the guide's command table is a form of the program.
    std::size_t rows = 0;
    const std::size_t table = guide.find("## Commands");
    const std::size_t end = guide.find("\n## ", table + 1);
    for (const std::string& line : SplitLines(guide.substr(table, end - table))) {
        if (line.rfind("| `", 0) == 0) ++rows;
    }
    EXPECT_EQ(rows, forms);
}

// The status concerns the composition and is always given; the figures
// only where the method gives them, with a warning outside its range (the
// range and where the method converges: the calculation's tests).
TEST(CliSgerg, TheStatusAlwaysTheFiguresWhereTheMethodGivesThem) {
    TempDir home;
    enum class Expect { Figures, Warning, NoFigures };
    struct Case {
        const char* line;  // after "sgerg"
        const char* shows;
        Expect expect;
        const char* says;  // on the error output
    };
    const Case cases[] = {
        {"0 1 0.80 11.0 --pressure 50 --temperature 20", "status: 0\nK: 0.9039", Expect::Figures,
         ""},
        // A comma works as the decimal point; an implausible set gives its
        // status; at standard conditions K is 1.
        {"0 0 0,71 6", "status: 2\nK: 1.0000000\n", Expect::Figures, ""},
        {"0 0.6 0.75 11.3 --pressure 120.5 --temperature 20", "status: 0\n", Expect::Warning,
         "120.5 bar and 20 degrees Celsius lie outside"},
        {"0 0.6 0.75 11.3 --pressure 10000 --temperature 10", "status: 0\n", Expect::NoFigures,
         "does not converge at 10000 bar and 10 degrees"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::string> args{"sgerg"};
        std::istringstream words(c.line);
        for (std::string w; words >> w;) args.push_back(w);
        const CliRun r = RunCli(args, home.path());
        if (c.expect == Expect::NoFigures) {
            EXPECT_TRUE(Says(r, 1, c.says));
            EXPECT_EQ(r.out, c.shows);
            continue;
        }
        EXPECT_TRUE(Shows(r, c.shows));
        EXPECT_TRUE(Has(r.err, c.says)) << r.err;
        EXPECT_EQ(Has(r.err, "warning"), c.expect == Expect::Warning) << r.err;
        for (const char* figure : {"\nK: ", "\nZ: ", "\nZn: ", "\ndensity: "}) {
            const auto at = r.out.find(figure);
            ASSERT_NE(at, std::string::npos) << figure;
            EXPECT_TRUE(
                std::isfinite(std::strtod(r.out.c_str() + at + std::strlen(figure), nullptr)))
                << figure;
        }
    }
}

TEST(CliOutput, AReaderThatHasGoneIsAQuietEnd) {
    // As with `parvion2-cli ... | head -1`: the rest of the output has no
    // reader; that is no failure and needs no message.
    TempDir home;
    const CliRun r =
        RunCli({"sgerg", "0", "1", "0.80", "11.0"}, home.path(), CliStdout::ClosedPipe);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");

    // Output that is lost for another reason (a full disk) is a failure.
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_TRUE(
            Says(RunCli({"sgerg", "0", "1", "0.80", "11.0"}, home.path(), CliStdout::FullDevice), 1,
                 "the output cannot be written"));
    }
}

}  // namespace
}  // namespace parvion::test
