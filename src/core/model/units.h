#pragma once
// Measurement units. The device keeps every value in a fixed base unit per
// quantity; the user may pick another unit for quantities 0..7 when the
// device's user-unit option (Dis_User.Einheiten) is on. UnitTable lists every
// selectable unit, the two base tables the unit of each quantity when the
// option is off.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/model/parameter_image.h"

namespace parvion {

// System selector of a unit row: 0 gas, 1 energy, or both variants.
inline constexpr std::uint8_t kAnySystem = 255;
// Quantity index meaning "no unit, no conversion".
inline constexpr std::uint8_t kNoQuantity = 255;
inline constexpr std::size_t kQuantityCount = 16;
// Quantities below this one may use the user's unit choice.
inline constexpr std::uint8_t kUserUnitQuantities = 8;

// Quantity indexes.
namespace quantity {
inline constexpr std::uint8_t Temperature = 0;
inline constexpr std::uint8_t Pressure = 1;
inline constexpr std::uint8_t Density = 2;
inline constexpr std::uint8_t Flow = 3;  // standard volume flow (gas) or power (energy)
inline constexpr std::uint8_t MassFlow = 4;
inline constexpr std::uint8_t Total = 5;  // standard volume (gas) or energy (energy)
inline constexpr std::uint8_t Mass = 6;
inline constexpr std::uint8_t VolumeFlow = 7;
inline constexpr std::uint8_t MeterFactor = 8;
inline constexpr std::uint8_t TemperatureCoefficient = 9;
inline constexpr std::uint8_t CalorificValue = 10;
inline constexpr std::uint8_t Concentration = 11;
inline constexpr std::uint8_t HeatCapacity = 12;
inline constexpr std::uint8_t TemperatureDifference = 13;
inline constexpr std::uint8_t Frequency = 14;
inline constexpr std::uint8_t Current = 15;
}  // namespace quantity

struct UnitRow {
    std::uint8_t System;    // 0 gas, 1 energy, kAnySystem
    std::uint8_t Quantity;  // 0..15
    std::uint8_t Choice;    // unit choice within the quantity (UserEinheitRec::Kind)
    std::uint8_t Length;    // significant characters of the device text
    std::uint8_t Code;      // device format code, the character '2' or '4'
    // The unit as the device shows it: 5 device bytes, right-aligned; the
    // device's character set has the degree sign at 0xDF and writes cubic as "3".
    std::string_view DeviceText;
    // The unit as the program shows it (UTF-8): one blank, the unit, blanks
    // up to 8 characters.
    std::string_view DisplayText;
    float Factor;  // display value = base value * Factor + Offset
    float Offset;
};

extern const std::array<UnitRow, 71> UnitTable;
// Row i is the unit of quantity i when the user-unit option is off.
extern const std::array<UnitRow, kQuantityCount> GasBaseUnits;
extern const std::array<UnitRow, kQuantityCount> EnergyBaseUnits;

// The base table of a variant: energy for any non-zero medium, else gas.
const std::array<UnitRow, kQuantityCount>& BaseUnits(int medium);

// The first UnitTable row of the variant (system kAnySystem or equal to
// medium) with this quantity and choice; nullptr when there is none.
const UnitRow* FindUnitRow(int medium, std::uint8_t quantity, std::uint8_t choice);

// Which quantities follow the user's unit choice: the pages and printouts
// (Display) apply it to quantities 0..7, the value input dialog to 0..15.
enum class UnitScope { Display, InputDialog };

// The row that converts and names values of a quantity: with the user-unit
// option on and the quantity in scope, the table row of the chosen unit
// (nullptr when no row matches); otherwise the base row of the variant
// (nullptr for a quantity outside 0..15, e.g. kNoQuantity).
const UnitRow* SelectUnitRow(const ParameterImage& image, int medium, std::uint8_t quantity,
                             UnitScope scope = UnitScope::Display);

// Sets a unit selection to a row: the choice and the copied row fields.
void ApplyUnitRow(UserEinheitRec& unit, const UnitRow& row);

// The display text of the quantity's unit (eight blanks for kNoQuantity,
// empty when no row is selected); trimRight drops the trailing blanks (the
// leading blank before a unit stays).
std::string UnitText(const ParameterImage& image, int medium, std::uint8_t quantity,
                     bool trimRight);

// Conversion between base and display unit in single precision; a null row
// leaves the value as it is.
float ToDisplayUnit(const UnitRow* row, float baseValue);
float FromDisplayUnit(const UnitRow* row, float displayValue);

}  // namespace parvion
