#include "sim/lib/sim_line.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

namespace parvion::sim {

SimLine::SimLine(Device& device) : device_(device) {}

bool SimLine::open(const std::string& port, int baud, std::string* error, int* errorNumber) {
    if (device_.lineDropped()) {
        if (error) *error = "no device on " + port + " (line dropped)";
        if (errorNumber) *errorNumber = ENXIO;
        open_ = false;
        return false;
    }
    port_ = port;
    baud_ = baud;
    input_.clear();
    open_ = true;
    return true;
}

void SimLine::close() {
    open_ = false;
    input_.clear();
}

bool SimLine::isOpen() const {
    return open_ && !device_.lineDropped();
}

bool SimLine::setBaudRate(int baud) {
    if (baud <= 0) return false;
    baud_ = baud;
    return true;
}

void SimLine::checkDropped() {
    if (open_ && device_.lineDropped()) {
        open_ = false;
        input_.clear();
    }
}

void SimLine::discardInput() {
    // Only what has arrived can be thrown away; a reply still on its way
    // (a late one) arrives afterwards, as on a real line.
    const auto now = Clock::now();
    while (!input_.empty() && input_.front().readableAt <= now) input_.pop_front();
}

void SimLine::discardOutput() {}

bool SimLine::write(const std::uint8_t* data, std::size_t n) {
    checkDropped();
    if (!open_) return false;
    written_ += n;
    // At another baud rate the device hears only noise it cannot frame:
    // a silent device.
    if (baud_ != baudRateOfIndex(device_.baudIndex())) return true;
    Device::Response r = device_.process(std::span<const std::uint8_t>(data, n));
    if (r.dropLine) {
        checkDropped();
        return true;
    }
    if (!r.bytes.empty()) {
        Chunk c;
        c.readableAt = Clock::now() + r.delay;
        // Bytes queued before stay in front: a later chunk never overtakes.
        if (!input_.empty() && input_.back().readableAt > c.readableAt) {
            c.readableAt = input_.back().readableAt;
        }
        c.bytes = std::move(r.bytes);
        input_.push_back(std::move(c));
    }
    return true;
}

std::size_t SimLine::readableNow(Clock::time_point now) const {
    std::size_t n = 0;
    for (const Chunk& c : input_) {
        if (c.readableAt > now) break;
        n += c.bytes.size();
    }
    return n;
}

std::size_t SimLine::bytesWaiting() {
    checkDropped();
    return open_ ? readableNow(Clock::now()) : 0;
}

std::size_t SimLine::bytesPending() {
    return 0;
}

std::size_t SimLine::read(std::uint8_t* data, std::size_t max) {
    checkDropped();
    if (!open_) return 0;
    const auto now = Clock::now();
    std::size_t n = 0;
    while (n < max && !input_.empty() && input_.front().readableAt <= now) {
        Chunk& c = input_.front();
        const std::size_t take = std::min(max - n, c.bytes.size());
        std::memcpy(data + n, c.bytes.data(), take);
        n += take;
        c.bytes.erase(c.bytes.begin(), c.bytes.begin() + static_cast<std::ptrdiff_t>(take));
        if (c.bytes.empty()) input_.pop_front();
    }
    return n;
}

void SimLine::waitForActivity(Clock::time_point deadline) {
    checkDropped();
    if (!open_) return;
    auto announce = [this](Clock::time_point now) {
        bool any = false;
        for (Chunk& c : input_) {
            if (c.readableAt > now) break;
            if (!c.announced) any = true;
            c.announced = true;
        }
        return any;
    };
    if (announce(Clock::now())) return;
    // Nothing new: sleep until the next delayed reply becomes readable or
    // the deadline, whichever comes first.
    Clock::time_point until = deadline;
    for (const Chunk& c : input_) {
        if (!c.announced) {
            until = std::min(until, c.readableAt);
            break;
        }
    }
    std::this_thread::sleep_until(until);
    announce(Clock::now());
}

}  // namespace parvion::sim
