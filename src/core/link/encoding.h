#pragma once
// Number encodings of the device protocol: every multi-byte value is sent
// most significant byte first; floats are IEEE-754 single precision bit
// patterns.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parvion::wire {

using Bytes = std::vector<std::uint8_t>;

std::uint16_t GetWord(std::span<const std::uint8_t> b, std::size_t at);
std::uint32_t GetLong(std::span<const std::uint8_t> b, std::size_t at);
// Erased memory (FFFFFFFF) and both infinities decode to 0.
float GetFloat(std::span<const std::uint8_t> b, std::size_t at);
// The raw bit pattern, without the erased/infinity rule.
float GetRawFloat(std::span<const std::uint8_t> b, std::size_t at);

void PutWord(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v);
void PutLong(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v);
// Values strictly between -1e-9 and 1e-9 go out as 0; values beyond
// ±9999900000 as the pattern 0x50150297 with their sign (0xD0150297 below),
// the infinities too. What DeviceFloat (core/model/value_format.h) refuses
// never comes from a user's entry or a table; a NaN that a parameter file
// or the device itself holds goes out as it is.
void PutFloat(std::span<std::uint8_t> b, std::size_t at, float v);
// The plain bit pattern, no clamping (the simulator's own memory).
void PutRawFloat(std::span<std::uint8_t> b, std::size_t at, float v);

void AppendWord(Bytes& b, std::uint16_t v);
void AppendLong(Bytes& b, std::uint32_t v);
void AppendFloat(Bytes& b, float v);

// The pattern sent for values above the encodable maximum, and below its
// negative.
inline constexpr std::uint32_t kFloatCeilingBits = 0x50150297u;
inline constexpr std::uint32_t kFloatFloorBits = 0xD0150297u;

}  // namespace parvion::wire
