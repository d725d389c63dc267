#pragma once
// Number and date texts. Every number the program writes or reads uses "."
// as decimal separator, whatever the locale; readers also accept one ","
// in its place.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/device_time.h"
#include "core/model/number.h"
#include "core/model/parameter_image.h"

namespace parvion {

// The general number format with `precision` significant digits (1..40),
// rounded half away from zero: fixed notation when the rounded value has at
// most `precision` digits before the point and a magnitude of at least
// 0.00001, else scientific notation with "E", a minus only for a negative
// exponent and at least one exponent digit. Trailing zeros and a bare point
// are dropped. Examples with 7 digits: "0", "100", "1.3125", "0.24", "-2.5",
// "1E-6", "1.234568E10". Not-a-number gives "NAN", infinities "INF" and
// "-INF". Used by the parameter files (7 digits), the value input dialog and
// the table editors.
std::string FormatGeneral(double value, int precision);

// A float as the parameter files store it: the general format with 7
// significant digits, or 8 or 9 when 7 would not read back to the same
// single (scientific notation beyond 7 digits before the point either way).
// So "0.24", "1.4125", "100", "1E-6", and any float reads back unchanged.
std::string FormatFileFloat(float value);

// A shown value: converted to the quantity's display unit (quantity 255:
// no conversion, no unit), scaled to engineering notation, written with 4
// decimals in 9 characters, then "E-3"/"E+3"... or three blanks, then the
// unit text when withUnit is set (trimmed on the right when trimRight is
// set). For example "   1.2346   ", "  -0.5000E-3", "  22.2541E+3 °F".
// Not-a-number gives "NAN", an infinite value "INF" or "-INF".
std::string FormatValue(const ParameterImage& image, int medium, std::uint8_t quantity,
                        bool withUnit, bool trimRight, float value);

// Day.month.year hour:minute:second with two-digit fields except the year
// ("01.01.5 00:00:00"); "??.??.???? ??:??:??" when day or month is invalid.
std::string FormatDeviceDateTime(const DeviceDateTime& time);

}  // namespace parvion
