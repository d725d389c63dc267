#include "core/link/encoding.h"

#include <bit>
#include <cmath>

#include "core/model/value_format.h"

namespace parvion::wire {

std::uint16_t GetWord(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]);
}

std::uint32_t GetLong(std::span<const std::uint8_t> b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
           (std::uint32_t{b[at + 2]} << 8) | std::uint32_t{b[at + 3]};
}

float GetRawFloat(std::span<const std::uint8_t> b, std::size_t at) {
    return std::bit_cast<float>(GetLong(b, at));
}

float GetFloat(std::span<const std::uint8_t> b, std::size_t at) {
    const std::uint32_t bits = GetLong(b, at);
    if (bits == 0xFFFFFFFFu || bits == 0x7F800000u || bits == 0xFF800000u) return 0.0f;
    return std::bit_cast<float>(bits);
}

void PutWord(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}

void PutLong(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v >> 24);
    b[at + 1] = static_cast<std::uint8_t>(v >> 16);
    b[at + 2] = static_cast<std::uint8_t>(v >> 8);
    b[at + 3] = static_cast<std::uint8_t>(v);
}

void PutRawFloat(std::span<std::uint8_t> b, std::size_t at, float v) {
    PutLong(b, at, std::bit_cast<std::uint32_t>(v));
}

void PutFloat(std::span<std::uint8_t> b, std::size_t at, float v) {
    constexpr double kCeiling = 9999900000.0;
    const double d = static_cast<double>(v);
    // An infinity is no device value, but its side is known: it is clipped
    // as the overflow it stands for.
    const bool beyond = DeviceFloat(d) ? std::fabs(d) > kCeiling : std::isinf(d);
    if (d > -1e-9 && d < 1e-9) {
        PutLong(b, at, 0);
    } else if (beyond) {
        PutLong(b, at, d > 0 ? kFloatCeilingBits : kFloatFloorBits);
    } else {
        PutRawFloat(b, at, v);
    }
}

void AppendWord(Bytes& b, std::uint16_t v) {
    b.resize(b.size() + 2);
    PutWord(b, b.size() - 2, v);
}

void AppendLong(Bytes& b, std::uint32_t v) {
    b.resize(b.size() + 4);
    PutLong(b, b.size() - 4, v);
}

void AppendFloat(Bytes& b, float v) {
    b.resize(b.size() + 4);
    PutFloat(b, b.size() - 4, v);
}

}  // namespace parvion::wire
