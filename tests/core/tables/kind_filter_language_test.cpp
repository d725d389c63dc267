// The table editors' file filters speak the session's language and keep
// the kind's pattern.

#include <gtest/gtest.h>

#include <string>

#include "core/app/texts.h"
#include "core/model/session.h"
#include "core/tables/table_kind.h"

namespace parvion::tables {
namespace {

TEST(KindFilters, NameFromTheSessionsLibraryPatternOfTheKind) {
    struct Case {
        int medium;
        int sprache;
        TableKind kind;
        const char* filter;
    };
    const Case cases[] = {
        {0, 0, TableKind::Compressibility, "Kompr. Tabellen (*.KTB)"},
        {0, 1, TableKind::Compressibility, "Compressibility tables (*.KTB)"},
        {1, 0, TableKind::Density, "Dichte Tabellen (*.DTB)"},
        {1, 1, TableKind::Density, "Density tables (*.DTB)"},
        {1, 0, TableKind::Enthalpy, "Enthalpie Tabellen (*.ETB)"},
        {1, 1, TableKind::Enthalpy, "Enthalpy tables (*.ETB)"},
        {1, 0, TableKind::Saturation, "Satt. Tabellen (*.STB)"},
        {1, 1, TableKind::Saturation, "Saturation tables (*.STB)"},
        {0, 1, TableKind::Saturation, "Saturation tables (*.STB)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        Session session;
        session.Medium = c.medium;
        session.Sprache = c.sprache;
        const TextLibrary library(PARVION_BIN_DIR, session);
        EXPECT_EQ(KindFilter(c.kind, [&](std::uint16_t n) { return library.LoadText(n); }),
                  c.filter);
    }
}

}  // namespace
}  // namespace parvion::tables
