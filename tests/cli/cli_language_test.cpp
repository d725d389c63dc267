// parvion2-cli speaks the language of --lang in its labels as in its
// content, and its printouts date and title their header as the window of
// that language does.

#include <gtest/gtest.h>

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
    // The pattern of the date at the line's end, in each language.
    const std::pair<const char*, const char*> dates[] = {
        {"de", R"(\d\d\.\d\d\.\d\d\d\d \d\d:\d\d$)"}, {"en", R"(\d\d\d\d-\d\d-\d\d \d\d:\d\d$)"}};
    for (const char* what : {"parameters", "terminal-plan"}) {
        for (const auto& [lang, date] : dates) {
            SCOPED_TRACE(std::string(lang) + " " + what);
            const fs::path pdf = home / "out.pdf";
            const CliRun r = RunCli(
                {"--lang", lang, "print", what, "--file", file.string(), "--pdf", pdf.string()},
                home.path());
            ASSERT_EQ(r.code, 0) << r.err;
            const auto pages = PdfPages(pdf);
            ASSERT_FALSE(pages.empty());
            const std::string line = HeaderLine(pages[0]);
            // The path is shortened in its middle and keeps the file's name;
            // the date stands whole after it, with room between.
            EXPECT_TRUE(Contains(line, "...")) << line;
            EXPECT_FALSE(Contains(line, "Verdichterstation Hohenwarte")) << line;
            EXPECT_TRUE(
                std::regex_search(line, std::regex(std::string("NORD-7\\.PGA {2,}") + date)))
                << line;
        }
    }
}

}  // namespace
}  // namespace parvion::test
