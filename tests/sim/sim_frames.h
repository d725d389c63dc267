#pragma once
// Frame builders for the simulator tests: requests as the transport sends
// them.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace parvion::sim::test {

using Bytes = std::vector<std::uint8_t>;

inline std::uint16_t sum16(std::span<const std::uint8_t> b) {
    unsigned s = 0;
    for (std::uint8_t x : b) s += x;
    return static_cast<std::uint16_t>(s & 0xFFFFu);
}

inline Bytes readFrame(std::uint16_t address, std::uint8_t count, std::uint8_t code = 0xB0) {
    return {code, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address),
            count};
}

inline Bytes writeFrame(std::uint16_t address, std::span<const std::uint8_t> data) {
    Bytes f(4 + data.size());
    f[0] = 0xA0;
    f[1] = static_cast<std::uint8_t>(address >> 8);
    f[2] = static_cast<std::uint8_t>(address);
    f[3] = static_cast<std::uint8_t>(data.size());
    std::copy(data.begin(), data.end(), f.begin() + 4);
    const std::uint16_t s = sum16(f);
    f.push_back(static_cast<std::uint8_t>(s >> 8));
    f.push_back(static_cast<std::uint8_t>(s));
    return f;
}

inline Bytes writeFrame(std::uint16_t address, std::initializer_list<std::uint8_t> data) {
    const Bytes d(data);
    return writeFrame(address, std::span<const std::uint8_t>(d));
}

// True when a read reply carries a correct trailing sum.
inline bool sumOk(const Bytes& reply) {
    if (reply.size() < 2) return false;
    const std::uint16_t got =
        static_cast<std::uint16_t>((reply[reply.size() - 2] << 8) | reply[reply.size() - 1]);
    return sum16(std::span<const std::uint8_t>(reply).first(reply.size() - 2)) == got;
}

}  // namespace parvion::sim::test
