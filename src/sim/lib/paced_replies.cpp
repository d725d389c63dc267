#include "sim/lib/paced_replies.h"

#include <algorithm>

namespace parvion::sim {

std::chrono::steady_clock::duration ByteTime(int baudIndex) {
    const int baud = baudRateOfIndex(baudIndex);
    if (baud <= 0) return std::chrono::steady_clock::duration::zero();
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::nanoseconds(10'000'000'000LL / baud));
}

bool PacedReplies::request(std::span<const std::uint8_t> bytes, Clock::time_point arrived,
                           std::chrono::microseconds processingDelay) {
    if (pacing_) {
        requestWireEnd_ = std::max(requestWireEnd_, arrived) +
                          ByteTime(device_.baudIndex()) * static_cast<long>(bytes.size());
    } else {
        requestWireEnd_ = arrived;
    }
    Device::Response resp = device_.process(bytes);
    if (resp.dropLine) return false;
    if (resp.bytes.empty()) return true;
    Pending p;
    p.bytes = std::move(resp.bytes);
    p.perByte = pacing_ ? ByteTime(resp.baudIndex) : Clock::duration::zero();
    p.start = std::max({requestWireEnd_, outputEnd_, arrived}) + resp.delay +
              std::chrono::duration_cast<Clock::duration>(processingDelay);
    outputEnd_ = p.start + p.perByte * static_cast<long>(p.bytes.size());
    out_.push_back(std::move(p));
    return true;
}

void PacedReplies::sendDue(const std::function<void(const std::uint8_t*, std::size_t)>& send) {
    const auto now = Clock::now();
    while (!out_.empty()) {
        Pending& p = out_.front();
        std::size_t n = 0;
        while (p.sent + n < p.bytes.size() && p.due(p.sent + n) <= now) ++n;
        if (n > 0) {
            send(p.bytes.data() + p.sent, n);
            p.sent += n;
        }
        if (p.sent < p.bytes.size()) break;
        out_.pop_front();
    }
}

std::optional<PacedReplies::Clock::time_point> PacedReplies::nextDue() const {
    if (out_.empty()) return std::nullopt;
    return out_.front().due(out_.front().sent);
}

void PacedReplies::clear() {
    out_.clear();
    outputEnd_ = Clock::now();
}

}  // namespace parvion::sim
