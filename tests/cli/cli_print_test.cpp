// parvion2-cli print: the printouts as real PDFs, read back with pdftotext,
// from parameter files and from the simulated device over a pseudo-terminal;
// files and paths that cannot serve.

#include <gtest/gtest.h>

#include "cli_process.h"
#include "support/pdf_text.h"

namespace parvion::test {
namespace {

namespace fs = std::filesystem;

const char* const kStation =
    "[Medium]\r\nIdent=GAS\r\n[T_User0]\r\nKind=1\r\nEq=0\r\n[P_User0]\r\nKind=1\r\nEq=0\r\n"
    "[Flow_User0]\r\nKind=2\r\n[System]\r\nKind=0\r\nAnzahl=1\r\n"
    "[Bemerkung]\r\nZeile 1=Pumpstation 7\r\n";

TEST(CliPrint, EachPrintoutFromAParameterFile) {
    TempDir home;
    const auto file = home / "station.PGA";
    writeFileBytes(file, kStation);
    struct Case {
        const char* what;
        std::size_t pages;
        std::uint16_t titleText;
        int titlePage;
    };
    for (const Case c : {Case{"parameters", 2, 64, 0}, Case{"terminal-plan", 2, 31232, 0},
                         Case{"record", 4, 31232, 2}}) {
        const auto pdf = home / (std::string(c.what) + ".pdf");
        const CliRun r = RunCli(
            {"--lang", "en", "print", c.what, "--file", file.string(), "--pdf", pdf.string()},
            home.path());
        ASSERT_EQ(r.code, 0) << c.what << ": " << r.err;
        EXPECT_EQ(r.out, pdf.string() + "\n");
        const auto pages = PdfPages(pdf);
        ASSERT_EQ(pages.size(), c.pages) << c.what;
        const auto& titled = pages[static_cast<std::size_t>(c.titlePage)];
        // Offline the title names the file as the status bar does.
        EXPECT_TRUE(Contains(titled, LibraryText(0, 1, c.titleText) + "  ")) << titled;
        EXPECT_TRUE(Contains(titled, "station.PGA")) << titled;
        EXPECT_TRUE(Contains(pages.back(), "Pumpstation 7"));
    }
    // What each printout holds: the print tests of the core.
}

TEST(CliPrint, FromTheDeviceWithItsSerialNumberAndClock) {
    TempDir home;
    sim::DeviceOptions o;
    o.medium = 1;
    SimOnPty sim(o);
    const auto pdf = home / "p.pdf";
    CliRun r =
        RunCli(With(sim.line(), {"--lang", "de", "print", "parameters", "--pdf", pdf.string()}),
               home.path());
    ASSERT_EQ(r.code, 0) << r.err;
    auto pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(Contains(pages[0], LibraryText(1, 0, 64) + " SerialNo:PVE2-0007919")) << pages[0];

    r = RunCli(With(sim.line(), {"--lang", "de", "print", "record", "--pdf", pdf.string()}),
               home.path());
    ASSERT_EQ(r.code, 0) << r.err;
    pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_TRUE(Contains(pages[0], "Inbetriebnahmeprotokoll"));
    EXPECT_TRUE(Contains(pages[0], "PV-ENG2 V2.07"));
    EXPECT_TRUE(Contains(pages[0], "Abweichung der Geräteuhr"));
}

TEST(CliPrint, FilesAndPathsThatCannotServe) {
    TempDir home;
    const auto good = home / "station.PGA";
    writeFileBytes(good, kStation);
    const auto oil = home / "oil.PGA";
    writeFileBytes(oil, "[Medium]\r\nIdent=OIL\r\n");
    writeFileBytes(home / "a-file", "x");
    struct Case {
        fs::path file;
        fs::path pdf;
        std::string says;
    };
    const Case cases[] = {
        {oil, home / "o.pdf", LibraryText(0, 1, 4)},
        {home / "missing.PGA", home / "m.pdf", "no such file"},
        {home.path(), home / "d.pdf", "it is a folder, not a file"},
        {good, home / "no-folder" / "x.pdf", LibraryText(0, 1, 7)},
        {good, home / "a-file" / "x.pdf", LibraryText(0, 1, 7)},
    };
    for (const Case& c : cases) {
        const CliRun r = RunCli({"--lang", "en", "print", "terminal-plan", "--file",
                                 c.file.string(), "--pdf", c.pdf.string()},
                                home.path());
        EXPECT_EQ(r.code, 1) << c.file;
        EXPECT_TRUE(Contains(r.err, c.says)) << r.err;
        EXPECT_FALSE(fs::exists(c.pdf)) << c.pdf;
    }
    // A PDF marked read-only is not replaced, by root neither.
    const auto kept = home / "kept.pdf";
    writeFileBytes(kept, "old");
    fs::permissions(kept, static_cast<fs::perms>(0444));
    const CliRun readOnly = RunCli(
        {"--lang", "en", "print", "terminal-plan", "--file", good.string(), "--pdf", kept.string()},
        home.path());
    EXPECT_EQ(readOnly.code, 1);
    EXPECT_TRUE(Contains(readOnly.err, "Permission denied")) << readOnly.err;
    EXPECT_EQ(readFileBytes(kept), "old");

    // Usage: what to print and where.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"print", "plan", "--pdf", "x.pdf"},
          std::vector<std::string>{"print", "parameters", "--file", good.string()},
          std::vector<std::string>{"page", "circuit", "--pdf", "x.pdf"}}) {
        const CliRun r = RunCli(args, home.path());
        EXPECT_EQ(r.code, 2) << args[1];
    }
}

}  // namespace
}  // namespace parvion::test
