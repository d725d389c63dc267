#include "core/model/units.h"

#include "core/model/number.h"

namespace parvion {

namespace {

constexpr std::array<UnitRow, 71> kUnitTable{{
    {kAnySystem, 0, 0, 2, '2',
     "   \xDF"
     "C",
     " °C     ", 1.0f, 0.0f},  // 0
    {kAnySystem, 0, 1, 2, '2',
     "   \xDF"
     "F",
     " °F     ", 1.8f, 32.0f},                                                // 1
    {kAnySystem, 0, 2, 1, '2', "    K", " K      ", 1.0f, 273.15f},           // 2
    {kAnySystem, 1, 0, 3, '2', "  kPa", " kPa    ", 1.0f, 0.0f},              // 3
    {kAnySystem, 1, 1, 3, '2', "  bar", " bar    ", 0.01f, 0.0f},             // 4
    {kAnySystem, 1, 2, 4, '2', " mbar", " mbar   ", 10.0f, 0.0f},             // 5
    {kAnySystem, 1, 3, 3, '2', "  psi", " psi    ", 0.1450377f, 0.0f},        // 6
    {kAnySystem, 1, 4, 3, '2', "  mWS", " mWS    ", 0.1019716f, 0.0f},        // 7
    {kAnySystem, 2, 0, 5, '4', "kg/m3", " kg/m³  ", 1.0f, 0.0f},              // 8
    {kAnySystem, 2, 1, 4, '4', " kg/l", " kg/l   ", 0.001f, 0.0f},            // 9
    {kAnySystem, 2, 2, 4, '4', " g/m3", " g/m³   ", 1000.0f, 0.0f},           // 10
    {0, 3, 0, 5, '2', "Nm3/h", " Nm³/h  ", 1.0f, 0.0f},                       // 11
    {0, 3, 1, 5, '2', "Nm3/M", " Nm³/min", 0.016666668f, 0.0f},               // 12
    {0, 3, 2, 5, '2', "Nm3/s", " Nm³/s  ", 0.00027777778f, 0.0f},             // 13
    {0, 3, 3, 4, '2', " Nl/h", " Nl/h   ", 1000.0f, 0.0f},                    // 14
    {0, 3, 4, 4, '2', " Nl/M", " Nl/min ", 16.666666f, 0.0f},                 // 15
    {0, 3, 5, 4, '2', " Nl/s", " Nl/s   ", 0.2777778f, 0.0f},                 // 16
    {0, 3, 6, 5, '2', "SCF/h", " SCF/h  ", 38.0441f, 0.0f},                   // 17
    {0, 3, 7, 5, '2', "SCF/M", " SCF/min", 0.6340683f, 0.0f},                 // 18
    {0, 3, 8, 5, '2', "SCF/s", " SCF/s  ", 0.010567806f, 0.0f},               // 19
    {1, 3, 0, 2, '2', "   kW", " kW     ", 1.0f, 0.0f},                       // 20
    {1, 3, 1, 2, '2', "   MW", " MW     ", 0.001f, 0.0f},                     // 21
    {1, 3, 2, 1, '2', "    W", " W      ", 1000.0f, 0.0f},                    // 22
    {1, 3, 3, 2, '2', "   PS", " PS     ", 1.3596216f, 0.0f},                 // 23
    {1, 3, 4, 5, '2', "cal/s", " cal/s  ", 238.8459f, 0.0f},                  // 24
    {1, 3, 5, 5, '2', "kcl/h", " kcal/h ", 859.8452f, 0.0f},                  // 25
    {kAnySystem, 4, 0, 4, '2', " kg/h", " kg/h   ", 1.0f, 0.0f},              // 26
    {kAnySystem, 4, 1, 4, '2', " kg/M", " kg/min ", 0.016666668f, 0.0f},      // 27
    {kAnySystem, 4, 2, 4, '2', " kg/s", " kg/s   ", 0.00027777778f, 0.0f},    // 28
    {kAnySystem, 4, 3, 3, '2', "  g/h", " g/h    ", 1000.0f, 0.0f},           // 29
    {kAnySystem, 4, 4, 3, '2', "  g/M", " g/min  ", 16.666666f, 0.0f},        // 30
    {kAnySystem, 4, 5, 3, '2', "  g/s", " g/s    ", 0.2777778f, 0.0f},        // 31
    {kAnySystem, 4, 6, 3, '2', "  t/h", " t/h    ", 0.001f, 0.0f},            // 32
    {kAnySystem, 4, 7, 3, '2', "  t/M", " t/min  ", 0.000016666667f, 0.0f},   // 33
    {kAnySystem, 4, 8, 3, '2', "  t/s", " t/s    ", 0.0000002777778f, 0.0f},  // 34
    {kAnySystem, 4, 9, 4, '2', " lb/h", " lb/h   ", 2.2046196f, 0.0f},        // 35
    {kAnySystem, 4, 10, 4, '2', " lb/M", " lb/min ", 0.036743663f, 0.0f},     // 36
    {kAnySystem, 4, 11, 4, '2', " lb/s", " lb/s   ", 0.00061239436f, 0.0f},   // 37
    {0, 5, 0, 3, '2', "  Nm3", " Nm³    ", 1.0f, 0.0f},                       // 38
    {0, 5, 1, 1, '2', "    l", " Nl     ", 1000.0f, 0.0f},                    // 39
    {0, 5, 2, 3, '2', "  SCF", " SCF    ", 38.0441f, 0.0f},                   // 40
    {1, 5, 0, 3, '2', "  kWh", " kWh    ", 1.0f, 0.0f},                       // 41
    {1, 5, 1, 3, '2', "  MWh", " MWh    ", 0.001f, 0.0f},                     // 42
    {1, 5, 2, 1, '2', "    J", " J      ", 3600000.0f, 0.0f},                 // 43
    {1, 5, 3, 2, '2', "   kJ", " kJ     ", 3600.0f, 0.0f},                    // 44
    {1, 5, 4, 3, '2', "   MJ", " MJ     ", 3.6f, 0.0f},                       // 45
    {1, 5, 5, 3, '2', "   GJ", " GJ     ", 0.0036f, 0.0f},                    // 46
    {1, 5, 6, 3, '2', "  cal", " cal    ", 859845.25f, 0.0f},                 // 47
    {1, 5, 7, 4, '2', " kcal", " kcal   ", 859.8452f, 0.0f},                  // 48
    {1, 5, 8, 3, '2', "  Btu", " Btu    ", 3412.128f, 0.0f},                  // 49
    {kAnySystem, 6, 0, 2, '2', "   kg", " kg     ", 1.0f, 0.0f},              // 50
    {kAnySystem, 6, 1, 1, '2', "    g", " g      ", 1000.0f, 0.0f},           // 51
    {kAnySystem, 6, 2, 1, '2', "    t", " t      ", 0.001f, 0.0f},            // 52
    {kAnySystem, 6, 3, 2, '2', "   lb", " lb     ", 2.2046196f, 0.0f},        // 53
    {kAnySystem, 7, 0, 4, '2', " m3/h", " m³/h   ", 1.0f, 0.0f},              // 54
    {kAnySystem, 7, 1, 4, '2', " m3/M", " m³/min ", 0.016666668f, 0.0f},      // 55
    {kAnySystem, 7, 2, 4, '2', " m3/s", " m³/s   ", 0.00027777778f, 0.0f},    // 56
    {kAnySystem, 7, 3, 3, '2', "  l/h", " l/h    ", 1000.0f, 0.0f},           // 57
    {kAnySystem, 7, 4, 3, '2', "  l/M", " l/min  ", 16.666666f, 0.0f},        // 58
    {kAnySystem, 7, 5, 3, '2', "  l/s", " l/s    ", 0.2777778f, 0.0f},        // 59
    {kAnySystem, 7, 6, 4, '2', " CF/h", " CF/h   ", 38.0441f, 0.0f},          // 60
    {kAnySystem, 7, 7, 4, '2', " CF/M", " CF/min ", 0.6340683f, 0.0f},        // 61
    {kAnySystem, 7, 8, 4, '2', " CF/s", " CF/s   ", 0.010567806f, 0.0f},      // 62
    {kAnySystem, 8, 0, 5, '2', "Imp/l", " Imp/l  ", 1.0f, 0.0f},              // 63
    {kAnySystem, 9, 0, 3, '2', "  1/K", " 1/K    ", 1.0f, 0.0f},              // 64
    {kAnySystem, 10, 0, 5, '2', "Wh/m3", " Wh/m³  ", 1000.0f, 0.0f},          // 65
    {kAnySystem, 11, 0, 4, '2', " mol%", " mol%   ", 1.0f, 0.0f},             // 66
    {kAnySystem, 12, 0, 5, '2', "J/kgK", " J/kgK  ", 1000.0f, 0.0f},          // 67
    {kAnySystem, 13, 0, 1, '2', "    K", " K      ", 1.0f, 0.0f},             // 68
    {kAnySystem, 14, 0, 2, '2', "   Hz", " Hz     ", 1.0f, 0.0f},             // 69
    {kAnySystem, 15, 0, 2, '2', "   mA", " mA     ", 1.0f, 0.0f},             // 70
}};

// Base rows: the choice-0 row of each quantity (the variant's own row for
// quantities 3 and 5), with the system field 0 in both tables.
constexpr std::array<UnitRow, kQuantityCount> MakeBaseUnits(std::uint8_t system) {
    std::array<UnitRow, kQuantityCount> base{};
    for (std::size_t q = 0; q < kQuantityCount; ++q) {
        for (const UnitRow& row : kUnitTable) {
            if (row.Quantity == q && row.Choice == 0 &&
                (row.System == kAnySystem || row.System == system)) {
                base[q] = row;
                base[q].System = 0;
                break;
            }
        }
    }
    return base;
}

}  // namespace

const std::array<UnitRow, 71> UnitTable = kUnitTable;
const std::array<UnitRow, kQuantityCount> GasBaseUnits = MakeBaseUnits(0);
const std::array<UnitRow, kQuantityCount> EnergyBaseUnits = MakeBaseUnits(1);

const std::array<UnitRow, kQuantityCount>& BaseUnits(int medium) {
    return medium != 0 ? EnergyBaseUnits : GasBaseUnits;
}

const UnitRow* FindUnitRow(int medium, std::uint8_t quantity, std::uint8_t choice) {
    for (const UnitRow& row : UnitTable) {
        if ((row.System == kAnySystem || row.System == medium) && row.Quantity == quantity &&
            row.Choice == choice)
            return &row;
    }
    return nullptr;
}

const UnitRow* SelectUnitRow(const ParameterImage& image, int medium, std::uint8_t quantity,
                             UnitScope scope) {
    const std::size_t userLimit =
        scope == UnitScope::Display ? kUserUnitQuantities : kQuantityCount;
    if (image.Dis_User.Einheiten != 0 && quantity < userLimit)
        return FindUnitRow(medium, quantity, image.UserEinheiten[quantity].Kind);
    if (quantity >= kQuantityCount) return nullptr;
    return &BaseUnits(medium)[quantity];
}

void ApplyUnitRow(UserEinheitRec& unit, const UnitRow& row) {
    unit.Kind = row.Choice;
    unit.Length = row.Length;
    unit.Code = row.Code;
    unit.Text = std::string(row.DeviceText);
    unit.Factor = row.Factor;
    unit.Offset = row.Offset;
}

std::string UnitText(const ParameterImage& image, int medium, std::uint8_t quantity,
                     bool trimRight) {
    std::string text;
    if (quantity == kNoQuantity) {
        text.assign(8, ' ');
    } else if (const UnitRow* row = SelectUnitRow(image, medium, quantity)) {
        text = std::string(row->DisplayText);
    }
    if (trimRight) {
        while (!text.empty() && text.back() == ' ') text.pop_back();
    }
    return text;
}

float ToDisplayUnit(const UnitRow* row, float baseValue) {
    if (row == nullptr) return baseValue;
    return ToSingle(static_cast<double>(baseValue) * static_cast<double>(row->Factor) +
                    static_cast<double>(row->Offset));
}

float FromDisplayUnit(const UnitRow* row, float displayValue) {
    if (row == nullptr) return displayValue;
    return ToSingle((static_cast<double>(displayValue) - static_cast<double>(row->Offset)) /
                    static_cast<double>(row->Factor));
}

}  // namespace parvion
