// What the table editors say about a cell: its name in the value dialog,
// and the ascending axes with the message naming the neighbours.

#include "core/tables/table_cells.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/app/texts.h"
#include "core/model/session.h"

namespace parvion::tables {
namespace {

// The string library of a variant and language.
struct Library {
    Library(int medium, int sprache) { session.Medium = medium, session.Sprache = sprache; }
    views::TextLoader text() const {
        return [this](std::uint16_t n) { return library.LoadText(n); };
    }
    Session session;
    TextLibrary library{PARVION_BIN_DIR, session};
};

// Temperatures 273, 300, 0 (not in use), 350 in rows 1..4; pressures 100,
// 500 in columns 1, 2.
PropertyGrid Grid() {
    PropertyGrid g;
    ClearPropertyGrid(g);
    g.at(0, 1) = "273";
    g.at(0, 2) = "300";
    g.at(0, 4) = "350";
    g.at(1, 0) = "100";
    g.at(2, 0) = "500";
    return g;
}

TEST(TableCells, APropertyCellIsNamedByItsTemperatureAndPressure) {
    struct Case {
        int medium, sprache;
        TableKind kind;
        int col, row;
        const char* expected;
    };
    const Case cases[] = {
        {1, 0, TableKind::Density, 2, 2, "Dichte (kg/m³) bei 300 K und 500 kPa"},
        {1, 1, TableKind::Enthalpy, 1, 4, "Enthalpy (kJ/kg) at 350 K and 100 kPa"},
        {0, 0, TableKind::Compressibility, 1, 1, "Kompressibilitätszahl bei 273 K und 100 kPa"},
        {0, 1, TableKind::Compressibility, 3, 1, "Compressibility factor at 273 K"},
        {0, 0, TableKind::Compressibility, 3, 3, "Kompressibilitätszahl, Zeile 3, Spalte 3"},
        {0, 0, TableKind::Compressibility, 0, 3, "Temperatur, Zeile 3"},
        {1, 1, TableKind::Density, 7, 0, "Pressure, column 7"},
        {0, 0, TableKind::Compressibility, 0, 0, ""},
    };
    const PropertyGrid g = Grid();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        const Library lib(c.medium, c.sprache);
        EXPECT_EQ(PropertyCellName(lib.text(), g, c.kind, c.col, c.row), c.expected);
    }
}

TEST(TableCells, ASaturationCellIsNamedByItsPointsTemperature) {
    SaturationGrid g;
    g.at(0, 5) = "373.15";
    struct Case {
        int sprache;
        int col, row;
        const char* expected;
    };
    const Case cases[] = {
        {0, 1, 5, "Sättigungsdruck bei 373.15 K"},
        {0, 0, 5, "Temperatur — Punkt 5"},
        {1, 1, 6, "Saturation pressure — point 6"},
        {0, 1, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        const Library lib(1, c.sprache);
        EXPECT_EQ(SaturationCellName(lib.text(), g, c.col, c.row), c.expected);
    }
}

TEST(TableCells, AxesAscendAndAValueOutOfOrderNamesItsNeighbours) {
    struct Case {
        int col, row;
        float value;
        const char* message;  // "" when the value fits
    };
    const Case cases[] = {
        {0, 3, 320.0F, ""},  // between 300 and 350 (row 3 not in use yet)
        {0, 3, 0.0F, ""},    // 0: a point not in use
        {0, 1, 250.4F, ""},
        {0, 3, 300.0F,
         "Die Temperaturachse muss aufsteigen: 300 K muss zwischen 300 K (Zeile 2) und 350 K "
         "(Zeile 4) liegen."},
        {0, 1, 320.0F,
         "Die Temperaturachse muss aufsteigen: 320 K muss unter 300 K (Zeile 2) liegen."},
        {0, 5, 349.6F,
         "Die Temperaturachse muss aufsteigen: 350 K muss über 350 K (Zeile 4) liegen."},
        {2, 0, 90.0F,
         "Die Druckachse muss aufsteigen: 90 kPa muss über 100 kPa (Spalte 1) liegen."},
        {2, 2, 1.0F, ""},  // a value cell: no axis
    };
    const PropertyGrid g = Grid();
    const Library lib(0, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.col) + "," + std::to_string(c.row) + " " +
                     std::to_string(c.value));
        const std::optional<AxisOrderFault> fault = CheckAxisOrder(g, c.col, c.row, c.value);
        EXPECT_EQ(fault ? AxisOrderMessage(lib.text(), *fault) : std::string(), c.message);
    }
}

TEST(TableCells, AGridWhoseAxisFallsIsFoundAtThePointThatFalls) {
    struct Case {
        const char* what;
        std::function<void(PropertyGrid&)> change;
        const char* message;  // "" when both axes ascend
    };
    const Case cases[] = {
        {"ascending with a gap", [](PropertyGrid&) {}, ""},
        {"a temperature falls", [](PropertyGrid& g) { g.at(0, 5) = "340"; },
         "Die Temperaturachse muss aufsteigen: 340 K muss über 350 K (Zeile 4) liegen."},
        {"two pressures alike", [](PropertyGrid& g) { g.at(3, 0) = "500"; },
         "Die Druckachse muss aufsteigen: 500 kPa muss über 500 kPa (Spalte 2) liegen."},
    };
    const Library lib(0, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PropertyGrid g = Grid();
        c.change(g);
        const std::optional<AxisOrderFault> fault = FirstAxisOrderFault(g);
        EXPECT_EQ(fault ? AxisOrderMessage(lib.text(), *fault) : std::string(), c.message);
    }
}

}  // namespace
}  // namespace parvion::tables
