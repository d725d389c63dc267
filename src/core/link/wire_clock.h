#pragma once
// When bytes written to a serial line will really have left it: at 10 bits
// per byte at the line's baud rate. Lines whose driver hands bytes on at once
// (a pseudo-terminal, a USB adapter with a buffer of its own) count their
// output as pending until then, as a plain UART's driver would.

#include <algorithm>
#include <chrono>
#include <cstddef>

#include "core/link/serial_line.h"

namespace parvion {

class WireClock {
  public:
    using Clock = SerialLine::Clock;

    // n bytes were handed to the driver now.
    void sent(std::size_t n, int baud) {
        if (baud <= 0) return;
        const auto start = std::max(doneAt_, Clock::now());
        doneAt_ = start + std::chrono::duration_cast<Clock::duration>(std::chrono::microseconds(
                              static_cast<long long>(n) * 10'000'000LL / baud));
    }
    // The output was discarded.
    void reset() { doneAt_ = {}; }
    // Bytes still due on the wire, rounded up.
    std::size_t pending(int baud) const {
        const auto left = doneAt_ - Clock::now();
        if (baud <= 0 || left <= Clock::duration::zero()) return 0;
        const auto us = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
        return static_cast<std::size_t>((us * baud + 9'999'999) / 10'000'000);
    }
    // When the last byte will have left.
    Clock::time_point doneAt() const { return doneAt_; }

  private:
    Clock::time_point doneAt_{};
};

}  // namespace parvion
