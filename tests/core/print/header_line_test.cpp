// The header line of the printouts: the date in the window's form of the
// language, and a file name shortened in its middle so that the centred
// title never reaches the date.

#include <gtest/gtest.h>

#include <string>

#include "core/print/printouts.h"

namespace parvion::print {
namespace {

std::size_t Columns(const std::string& text) {
    std::size_t n = 0;
    for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

TEST(HeaderLine, DateAsTheWindowOfTheLanguageShowsIt) {
    struct Case {
        DeviceDateTime now;
        int sprache;
        const char* expected;
    };
    const Case cases[] = {
        {{2026, 12, 7, 14, 3, 59}, 0, "07.12.2026 14:03"},
        {{2026, 12, 7, 14, 3, 59}, 1, "2026-12-07 14:03"},
        {{2027, 1, 31, 0, 0, 0}, 0, "31.01.2027 00:00"},
        {{2027, 1, 31, 23, 59, 0}, 1, "2027-01-31 23:59"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(HeaderDateTime(c.now, c.sprache), c.expected);
    }
}

TEST(HeaderLine, AFileNameNeverRunsIntoTheDate) {
    const std::string longest = std::string(30, 'T');  // the library's titles: 30 at most
    struct Case {
        const char* what;
        std::string title;
        std::string file;
        std::string kept;  // what the title line must still hold
        bool whole;
    };
    const Case cases[] = {
        {"short name", "PV-GAS2 Basisversion", "station.PGA", "station.PGA", true},
        {"short path", "PV-GAS2 basic version", "/srv/anlagen/st7.PGA", "/srv/anlagen/st7.PGA",
         true},
        {"path under the status bar's limit", "PV-GAS2 basic version",
         "/home/me/ab/cd/ef/gh/ij/kl/mn/op/st.PGA", "/home/me/ab/cd/", false},
        {"deep path", "PV-GAS2 Basisversion + a1",
         "/home/operator/Stationen/Nord/2026/Dezember/Inbetriebnahme/NORD-7.PGA", "/NORD-7.PGA",
         false},
        {"Windows path", "PV-ENG2 high-end version",
         "C:\\Users\\operator\\Documents\\Parameter\\Kesselhaus West\\Kessel 3.PEG",
         "\\Kessel 3.PEG", false},
        {"no separator", "PV-GAS2 High-End-Version",
         "Stationsparameter-Nord-Dezember-2026-nach-der-Umruestung.PGA", "Umruestung.PGA", false},
        {"umlauts count as one column", "PV-GAS2 Basisversion",
         "/home/bediener/Übergabestation/Größere Anlagen/Gaszähler Süd/Zähler-Übergabe.PGA",
         "Übergabe.PGA", false},
        {"longest title", longest,
         "/home/operator/Stationen/Nord/2026/Dezember/Inbetriebnahme/NORD-7.PGA", "PGA", false},
    };
    for (const int sprache : {0, 1}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (sprache == 1 ? " (English)" : " (German)"));
            PrintHeader header;
            header.source.statusText = c.file;
            header.dateTime = HeaderDateTime({2026, 12, 7, 14, 3, 0}, sprache);
            const std::string line = HeaderTitle(c.title, header);
            EXPECT_EQ(line.rfind(c.title + "  ", 0), 0U) << line;
            EXPECT_NE(line.find(c.kept), std::string::npos) << line;
            EXPECT_EQ(line == c.title + "  " + c.file, c.whole) << line;
            // Centred, the line ends at (C + n) / 2; the date starts at
            // C - 2 - d; two columns stay free.
            const std::size_t n = Columns(line);
            const std::size_t d = Columns(header.dateTime);
            EXPECT_LE((kPageColumns + n + 1) / 2 + 2, kPageColumns - 2 - d) << line;
        }
    }
    // Online the serial number follows the title as it is.
    PrintHeader online;
    online.source.online = true;
    online.source.serialNo = "123456";
    EXPECT_EQ(HeaderTitle("PV-GAS2 Basisversion", online), "PV-GAS2 Basisversion SerialNo:123456");
}

}  // namespace
}  // namespace parvion::print
