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

std::uint16_t getWord(std::span<const std::uint8_t> b, std::size_t at);
std::uint32_t getLong(std::span<const std::uint8_t> b, std::size_t at);
// Erased memory (FFFFFFFF) and both infinities decode to 0.
float getFloat(std::span<const std::uint8_t> b, std::size_t at);
// The raw bit pattern, without the erased/infinity rule.
float getRawFloat(std::span<const std::uint8_t> b, std::size_t at);

void putWord(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v);
void putLong(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v);
// Values strictly between -1e-9 and 1e-9 go out as 0; values above
// 9999900000 as the pattern 0x50150297. Negative values are not clipped.
void putFloat(std::span<std::uint8_t> b, std::size_t at, float v);
// The plain bit pattern, no clamping (the simulator's own memory).
void putRawFloat(std::span<std::uint8_t> b, std::size_t at, float v);

void appendWord(Bytes& b, std::uint16_t v);
void appendLong(Bytes& b, std::uint32_t v);
void appendFloat(Bytes& b, float v);

// The pattern sent for values above the encodable maximum.
inline constexpr std::uint32_t kFloatCeilingBits = 0x50150297u;

}  // namespace parvion::wire
