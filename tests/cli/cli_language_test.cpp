// parvion2-cli speaks the language of --lang in its labels as in its
// content, and its printouts date and title their header as the window of
// that language does.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "cli_process.h"
#include "support/pdf_text.h"

namespace parvion::test {
namespace {

namespace fs = std::filesystem;

TEST(CliLanguage, IdentifyLabelsFollowLang) {
    TempDir home;
    SimOnPty sim;
    struct Case {
        const char* lang;
        std::vector<std::string> labels;
        std::vector<std::string> foreign;
    };
    const Case cases[] = {
        {"de",
         {"Kennung:      ", "Variante:     Gas\n", "Programm:     ", "Seriennummer: ",
          "Ausbaustufe:  ", "Zugriffsbits: ", "(nicht geschützt)\n"},
         {"Identity:", "Variant:", "Serial number:", "Expansion level:", "Access flags:",
          "protected)"}},
        {"en",
         {"Identity:        ", "Variant:         gas\n", "Program:         ", "Serial number:   ",
          "Expansion level: ", "Access flags:    ", "(not protected)\n"},
         {"Kennung:", "Variante:", "Seriennummer:", "Ausbaustufe:", "Zugriffsbits:", "geschützt)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lang);
        const CliRun r = RunCli(With(sim.line(), {"--lang", c.lang, "identify"}), home.path());
        ASSERT_EQ(r.code, 0) << r.err;
        for (const std::string& label : c.labels) EXPECT_TRUE(Contains(r.out, label)) << r.out;
        for (const std::string& word : c.foreign) EXPECT_FALSE(Contains(r.out, word)) << r.out;
    }
    // The JSON keys stay English whatever the language.
    const CliRun json =
        RunCli(With(sim.line(), {"--lang", "de", "identify", "--json"}), home.path());
    ASSERT_EQ(json.code, 0) << json.err;
    EXPECT_TRUE(Contains(json.out, "\"serial")) << json.out;
    EXPECT_FALSE(Contains(json.out, "Seriennummer")) << json.out;
}

// The first line of a page as pdftotext lays it out.
std::string HeaderLine(const std::string& page) {
    std::size_t start = page.find_first_not_of("\n");
    if (start == std::string::npos) return {};
    return page.substr(start, page.find('\n', start) - start);
}

TEST(CliLanguage, PrintoutHeaderDatedInTheLanguageAndTheFileNameClearOfTheDate) {
    TempDir home;
    const fs::path folder =
        home / "Stationen" / "Nordnetz" / "Verdichterstation Hohenwarte" / "2026" / "Dezember";
    fs::create_directories(folder);
    const fs::path file = folder / "Inbetriebnahme NORD-7.PGA";
    writeFileBytes(file, "[Medium]\r\nIdent=GAS\r\n[System]\r\nKind=0\r\nAnzahl=1\r\n");
    struct Case {
        const char* lang;
        const char* what;
        const char* date;  // the pattern of the date at the line's end
    };
    const Case cases[] = {
        {"de", "parameters", R"(\d\d\.\d\d\.\d\d\d\d \d\d:\d\d$)"},
        {"en", "parameters", R"(\d\d\d\d-\d\d-\d\d \d\d:\d\d$)"},
        {"de", "terminal-plan", R"(\d\d\.\d\d\.\d\d\d\d \d\d:\d\d$)"},
        {"en", "terminal-plan", R"(\d\d\d\d-\d\d-\d\d \d\d:\d\d$)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lang) + " " + c.what);
        const fs::path pdf = home / "out.pdf";
        const CliRun r = RunCli(
            {"--lang", c.lang, "print", c.what, "--file", file.string(), "--pdf", pdf.string()},
            home.path());
        ASSERT_EQ(r.code, 0) << r.err;
        const auto pages = PdfPages(pdf);
        ASSERT_FALSE(pages.empty());
        const std::string line = HeaderLine(pages[0]);
        // The path is shortened in its middle and keeps the file's name;
        // the date stands whole after it, with room between.
        EXPECT_TRUE(Contains(line, "...")) << line;
        EXPECT_TRUE(Contains(line, "NORD-7.PGA  ")) << line;
        EXPECT_FALSE(Contains(line, "Verdichterstation Hohenwarte")) << line;
        EXPECT_TRUE(std::regex_search(line, std::regex(std::string("NORD-7\\.PGA {2,}") + c.date)))
            << line;
    }
}

// A history the settings cannot name: its cause in the language of --lang.
TEST(CliLanguage, HistoryCauseFollowsLang) {
    TempDir home;
    fs::create_directories(home.path() / ".local/share/parvion2");
    std::ofstream(home.path() / ".local/share/parvion2/parvion2.ini")
        << "[History]\nDatabase=mysql://elsewhere/db\n";
    const struct {
        const char* lang;
        const char* says;
    } rows[] = {
        {"de", "Die Gerätehistorie kann nicht geöffnet werden: [History] Database ist weder leer"},
        {"en", "[History] Database is neither empty"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lang);
        const CliRun r = RunCli({"--lang", row.lang, "history"}, home.path());
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(Contains(r.err, row.says)) << r.err;
    }
}

}  // namespace
}  // namespace parvion::test
