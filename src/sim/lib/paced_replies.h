#pragma once
// The device's replies on their way over a serial line: each request counts
// as arrived only after its own wire time at the device's baud rate, and the
// reply's bytes fall due one by one at the rate the device sends them (10
// bits per byte). Shared by the pseudo-terminal and the network front, so a
// device behind either has the timing of a real cable. Without pacing a
// reply is due at once (after the device's own delays).

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "sim/lib/device.h"

namespace parvion::sim {

class PacedReplies {
  public:
    using Clock = std::chrono::steady_clock;

    PacedReplies(Device& device, bool pacing) : device_(device), pacing_(pacing) {}

    // Request bytes that arrived at `arrived`: the device processes them and
    // its reply is queued. False when the device dropped the line.
    bool request(std::span<const std::uint8_t> bytes, Clock::time_point arrived,
                 std::chrono::microseconds processingDelay);
    // Hands the bytes that are due to `send`.
    void sendDue(const std::function<void(const std::uint8_t*, std::size_t)>& send);
    // When the next byte falls due; nullopt when nothing is queued.
    std::optional<Clock::time_point> nextDue() const;
    bool empty() const { return out_.empty(); }
    // Drops what was not sent yet.
    void clear();

  private:
    struct Pending {
        std::vector<std::uint8_t> bytes;
        std::size_t sent = 0;
        Clock::time_point start;  // the first byte starts on the wire here
        Clock::duration perByte{};
        Clock::time_point due(std::size_t k) const {
            return start + perByte * static_cast<long>(k + 1);
        }
    };

    Device& device_;
    bool pacing_;
    std::deque<Pending> out_;
    Clock::time_point requestWireEnd_{};  // when the last request byte has fully arrived
    Clock::time_point outputEnd_{};       // when the last queued reply byte is on the wire
};

// Time one byte takes on the wire at the rate of the index: start bit, 8
// data bits, stop bit.
std::chrono::steady_clock::duration ByteTime(int baudIndex);

}  // namespace parvion::sim
