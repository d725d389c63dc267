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
    const struct {
        const char* what;
        std::size_t pages;
        std::vector<std::string> first;  // on the first page
    } cases[] = {
        {"parameters", 1, {LibraryText(1, 0, 64) + " SerialNo:PVE2-0007919"}},
        {"record", 3, {"Inbetriebnahmeprotokoll", "PV-ENG2 V2.07", "Abweichung der Geräteuhr"}},
    };
    for (const auto& c : cases) {
        const CliRun r =
            RunCli(With(sim.line(), {"--lang", "de", "print", c.what, "--pdf", pdf.string()}),
                   home.path());
        ASSERT_EQ(r.code, 0) << r.err;
        const auto pages = PdfPages(pdf);
        ASSERT_EQ(pages.size(), c.pages) << c.what;
        for (const std::string& part : c.first) EXPECT_TRUE(Contains(pages[0], part)) << pages[0];
    }
}

TEST(CliPrint, FilesAndPathsThatCannotServe) {
    TempDir home;
    const auto good = home / "station.PGA";
    writeFileBytes(good, kStation);
    const auto oil = home / "oil.PGA";
    writeFileBytes(oil, "[Medium]\r\nIdent=OIL\r\n");
    writeFileBytes(home / "a-file", "x");
    // A PDF marked read-only is not replaced, by root neither.
    const auto kept = home / "kept.pdf";
    writeFileBytes(kept, "old");
    fs::permissions(kept, static_cast<fs::perms>(0444));
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
        {good, kept, "Permission denied"},
    };
    for (const Case& c : cases) {
        const CliRun r = RunCli({"--lang", "en", "print", "terminal-plan", "--file",
                                 c.file.string(), "--pdf", c.pdf.string()},
                                home.path());
        EXPECT_TRUE(Says(r, 1, c.says)) << c.file;
        if (c.pdf == kept) {
            EXPECT_EQ(readFileBytes(kept), "old");
        } else {
            EXPECT_FALSE(fs::exists(c.pdf)) << c.pdf;
        }
    }

    // Usage: what to print and where.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"print", "plan", "--pdf", "x.pdf"},
          {"print", "parameters", "--file", good.string()},
          {"page", "circuit", "--pdf", "x.pdf"}}) {
        EXPECT_EQ(RunCli(args, home.path()).code, 2) << args[1];
    }
}

}  // namespace
}  // namespace parvion::test
