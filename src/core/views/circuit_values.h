#pragma once
// The lines of the live-value pages of circuit 1 and circuit 2: values,
// totals, operating time, analog outputs, flow-kind lines, the second
// temperature of the energy computer and the device's error state.

#include <cstdint>
#include <string>
#include <vector>

#include "core/model/device_records.h"
#include "core/model/parameter_image.h"
#include "core/views/text_source.h"

namespace parvion::views {

// Column at which the values start: labels are padded to this width.
inline constexpr std::uint8_t kLabelWidth = 54;

struct CircuitValuesInput {
    const ParameterImage& image;
    int medium = 0;   // 0 gas, 1 energy
    int circuit = 0;  // 0 or 1
    const OperatingValuesRec& values;
    const OutputCurrentsRec& currents;
    // Result of the error-state read: its number (-1 when the read failed)
    // and the byte of state bits.
    int errorNumber = -1;
    std::uint8_t errorBits = 0;
};

// Builds the list of one circuit page.
std::vector<std::string> BuildCircuitLines(const CircuitValuesInput& in, const BlockLoader& load,
                                           const ValueFormatter& format);

// "%6d:%2.2d:%2.2d    hms" of an operating time in seconds.
std::string FormatOperatingTime(std::int32_t seconds);

// Name index of an analog output source code below 32 (codes 0..5, 9..13,
// 17..21, 28, 29 give names 0..17 in this order).
int OutputSourceNameIndex(int code);

// The note over live values that a refresh could not renew (text 22638):
// when they were last read, as dd.mm.yyyy hh:mm:ss, and why the link failed
// (LinkFailureText); without a cause the note ends before it.
inline constexpr std::uint16_t kStaleNoteText = 22638;
std::string StaleValuesNote(const DeviceDateTime& lastRead, const std::string& cause,
                            const TextLoader& text);

}  // namespace parvion::views
