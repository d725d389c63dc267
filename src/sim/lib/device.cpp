#include "sim/lib/device.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/link/encoding.h"
#include "sim/lib/device_time.h"
#include "sim/lib/memory_map.h"

namespace parvion::sim {

namespace {

constexpr std::uint8_t kRead = 0xB0;
constexpr std::uint8_t kReadProgram = 0xB1;
constexpr std::uint8_t kWrite = 0xA0;

constexpr int kBaudRates[8] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

std::uint16_t sum16(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes) sum += b;
    return static_cast<std::uint16_t>(sum & 0xFFFFu);
}

void appendSum(std::vector<std::uint8_t>& reply) {
    const std::uint16_t s = sum16(reply);
    reply.push_back(static_cast<std::uint8_t>(s >> 8));
    reply.push_back(static_cast<std::uint8_t>(s & 0xFF));
}

struct Range {
    unsigned first;
    unsigned last;  // inclusive
};

// Blocks a write (0xA0) may change. Everything else is read-only or unknown.
constexpr Range kWritable[] = {
    {addr::Aus_User, addr::Flow_User + 2 * 32 - 1},  // outputs, alarms, flow inputs
    {addr::System, addr::System + 15},
    {addr::Grenzwerte, addr::Grenzwerte + 15},
    {addr::Betrieb, addr::Betrieb + 3},
    {addr::EG_User, addr::EG_User + 15},
    {addr::T_User, addr::Bez_User + 2 * 16 - 1},  // temperature, pulse, reference
    {addr::Trend_User, addr::Dis_User + 3},
    {addr::P_User, addr::FlowKorr + 2 * 32 - 1},  // pressure, design, correction
    {addr::Med_User, addr::Med_User + 2 * 32 - 1},
    {addr::UserEinheiten, addr::UserEinheiten + 16 * 16 - 1},
    {addr::Vorgaben, addr::Display + 3},
    {addr::SaturationTable, addr::PropertyTable[0].values + 18 * 56 - 1},
    {addr::PropertyTable[1].columns, addr::PropertyTable[1].values + 18 * 56 - 1},
};

bool inWritable(unsigned a) {
    for (const Range& r : kWritable) {
        if (a >= r.first && a <= r.last) return true;
    }
    return false;
}

}  // namespace

const char* faultName(Fault f) {
    switch (f) {
        case Fault::None:
            return "none";
        case Fault::BadChecksum:
            return "bad-checksum";
        case Fault::NoReply:
            return "no-reply";
        case Fault::ShortReply:
            return "short-reply";
        case Fault::LateFirstByte:
            return "late-first-byte";
        case Fault::GarbageBefore:
            return "garbage-before";
        case Fault::RejectWrite:
            return "reject-write";
        case Fault::DropLine:
            return "drop-line";
        case Fault::WrongEcho:
            return "wrong-echo";
    }
    return "?";
}

int baudRateOfIndex(int index) {
    if (index < 0 || index > 7) return 0;
    return kBaudRates[index];
}

int indexOfBaudRate(int baud) {
    for (int i = 0; i < 8; ++i) {
        if (kBaudRates[i] == baud) return i;
    }
    return -1;
}

Device::Device(DeviceOptions options)
    : options_(std::move(options)),
      mem_(0x10000, 0),
      program_(0x10000, 0xFF),
      start_(Steady::now()),
      rng_(options_.seed) {
    if (options_.ident.empty()) options_.ident = options_.medium == 0 ? "PV-GAS2 " : "PV-ENG2 ";
    baudIndex_ = (options_.baudIndex >= 0 && options_.baudIndex <= 7) ? options_.baudIndex : 7;
    clockBase_ = localNowSeconds();
    clockSetAt_ = 0;
    fillContents();
    std::lock_guard lock(mutex_);
    refresh();
}

// ---------------------------------------------------------------- framing

std::vector<std::uint8_t> Device::receive(std::span<const std::uint8_t> bytes) {
    Response r = process(bytes);
    return std::move(r.bytes);
}

Device::Response Device::process(std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    Response out;
    out.baudIndex = baudIndex_;
    if (lineDropped_) return out;

    const auto now = Steady::now();
    // A frame left unfinished for longer than the gap is given up (as a
    // device's receiver times out between characters).
    if (!rx_.empty() && now - lastRx_ > std::chrono::milliseconds(kFrameGapMs)) rx_.clear();
    if (!bytes.empty()) lastRx_ = now;
    rx_.insert(rx_.end(), bytes.begin(), bytes.end());

    const int replyBaud = baudIndex_;
    std::size_t pos = 0;
    while (pos < rx_.size() && !lineDropped_) {
        const std::uint8_t code = rx_[pos];
        if (code != kRead && code != kReadProgram && code != kWrite) {
            ++noiseDropped_;
            ++pos;
            continue;
        }
        if (rx_.size() - pos < 4) break;
        std::size_t length = 4;
        if (code == kWrite) length += std::size_t{rx_[pos + 3]} + 2;
        if (rx_.size() - pos < length) break;

        Fault fault = Fault::None;
        if (!faults_.empty()) {
            fault = faults_.front();
            faults_.pop_front();
        }
        ++frames_;
        ++framesByCode_[code];
        serveFrame(std::span<const std::uint8_t>(rx_).subspan(pos, length), fault, out);
        pos += length;
    }
    rx_.erase(rx_.begin(), rx_.begin() + static_cast<std::ptrdiff_t>(pos));
    if (lineDropped_) rx_.clear();
    // The reply leaves at the rate the request came in; a Betrieb write
    // changes the rate only after it.
    out.baudIndex = replyBaud;
    return out;
}

void Device::serveFrame(std::span<const std::uint8_t> frame, Fault fault, Response& out) {
    if (fault == Fault::NoReply) return;
    if (fault == Fault::DropLine) {
        lineDropped_ = true;
        out.dropLine = true;
        return;
    }

    refresh();
    const std::uint8_t code = frame[0];
    const auto address = static_cast<std::uint16_t>((frame[1] << 8) | frame[2]);
    const std::uint8_t count = frame[3];
    std::vector<std::uint8_t> reply;

    if (code == kRead || code == kReadProgram) {
        const std::vector<std::uint8_t>& area = code == kRead ? mem_ : program_;
        reply.assign(frame.begin(), frame.begin() + 4);
        // A reply that belongs to the next block, as a confused firmware
        // would send it: the transport takes it, the command must not.
        if (fault == Fault::WrongEcho) reply[2] = static_cast<std::uint8_t>(reply[2] + count);
        for (unsigned i = 0; i < count; ++i) reply.push_back(area[(address + i) & 0xFFFFu]);
        appendSum(reply);
        if (fault == Fault::BadChecksum) {
            // Make the sum one too small (the low byte borrows from the high).
            std::uint16_t s = static_cast<std::uint16_t>((reply[reply.size() - 2] << 8) |
                                                         reply[reply.size() - 1]);
            s = static_cast<std::uint16_t>(s - 1);
            reply[reply.size() - 2] = static_cast<std::uint8_t>(s >> 8);
            reply[reply.size() - 1] = static_cast<std::uint8_t>(s & 0xFF);
        }
    } else {
        const auto body = frame.first(4 + std::size_t{count});
        const auto sent = static_cast<std::uint16_t>((frame[4 + count] << 8) | frame[5 + count]);
        bool ok =
            sum16(body) == sent && fault != Fault::RejectWrite && writeAllowed(address, count);
        if (ok) ok = applyWrite(address, frame.subspan(4, count));
        if (ok) {
            ++writesAccepted_;
            lastWriteAddress_ = address;
            lastWriteCount_ = count;
        } else {
            ++writesRejected_;
        }
        reply.push_back(ok ? kReplyAccepted : kReplyRejected);
    }

    if (fault == Fault::ShortReply) reply.resize(reply.size() / 2);
    if (fault == Fault::GarbageBefore) {
        static constexpr std::uint8_t kNoise[] = {0x00, 0xFF, 0x13, 0x7E};
        out.bytes.insert(out.bytes.end(), std::begin(kNoise), std::end(kNoise));
    }
    if (fault == Fault::LateFirstByte && out.bytes.empty()) out.delay = lateDelay_;
    out.bytes.insert(out.bytes.end(), reply.begin(), reply.end());
}

bool Device::writeAllowed(std::uint16_t address, std::size_t count) const {
    const unsigned first = address;
    const unsigned end = first + static_cast<unsigned>(count);
    if (end > 0x10000u) return false;
    // The clock takes exactly its digit registers, from the first.
    if (first < addr::Clock + addr::ClockSize && end > addr::Clock) {
        return first == addr::Clock && count >= addr::ClockDigits && count <= addr::ClockSize;
    }
    for (unsigned a = first; a < end; ++a) {
        if (!inWritable(a)) return false;
    }
    return true;
}

bool Device::applyWrite(std::uint16_t address, std::span<const std::uint8_t> data) {
    if (address == addr::Clock) {
        int d[12];
        for (int i = 0; i < 12; ++i) {
            d[i] = data[static_cast<std::size_t>(i)];
            if (d[i] > 9) return false;
        }
        DeviceDateTime t;
        t.second = static_cast<std::uint16_t>(d[1] * 10 + d[0]);
        t.minute = static_cast<std::uint16_t>(d[3] * 10 + d[2]);
        t.hour = static_cast<std::uint16_t>(d[5] * 10 + d[4]);
        t.day = static_cast<std::uint16_t>(d[7] * 10 + d[6]);
        t.month = static_cast<std::uint16_t>(d[9] * 10 + d[8]);
        t.year = static_cast<std::uint16_t>(fullYear(d[11] * 10 + d[10]));
        if (!isValidDateTime(t)) return false;
        clockBase_ = toEpochSeconds(t);
        clockSetAt_ = simSeconds();
        writeClockDigits();
        return true;
    }

    const std::uint8_t ownKindMask = mem_[addr::System + 2];
    for (std::size_t i = 0; i < data.size(); ++i) mem_[(address + i) & 0xFFFFu] = data[i];
    // The system kinds allowed are the device's own; bytes 5..7 are always 0.
    mem_[addr::System + 2] = ownKindMask;
    for (unsigned a = addr::System + 5; a < addr::System + 8u; ++a) mem_[a] = 0;

    const unsigned first = address;
    const unsigned end = first + static_cast<unsigned>(data.size());
    if (first <= addr::Betrieb && end > addr::Betrieb) {
        const int index = mem_[addr::Betrieb];
        // The new rate applies from the next frame on; this reply still goes
        // out at the old one (see process()).
        if (index >= 0 && index <= 7) baudIndex_ = index;
    }
    return true;
}

// ----------------------------------------------------------------- faults

void Device::injectFault(Fault fault, int count) {
    std::lock_guard lock(mutex_);
    for (int i = 0; i < count; ++i) faults_.push_back(fault);
}

void Device::clearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

std::size_t Device::pendingFaults() const {
    std::lock_guard lock(mutex_);
    return faults_.size();
}

void Device::setLateDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    lateDelay_ = delay;
}

std::chrono::milliseconds Device::lateDelay() const {
    std::lock_guard lock(mutex_);
    return lateDelay_;
}

int Device::baudIndex() const {
    std::lock_guard lock(mutex_);
    return baudIndex_;
}

bool Device::lineDropped() const {
    std::lock_guard lock(mutex_);
    return lineDropped_;
}

void Device::restoreLine() {
    std::lock_guard lock(mutex_);
    lineDropped_ = false;
    rx_.clear();
}

// ----------------------------------------------------------------- memory

std::vector<std::uint8_t> Device::peek(std::uint16_t address, std::size_t n) const {
    std::lock_guard lock(mutex_);
    refresh();
    std::vector<std::uint8_t> out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = mem_[(address + i) & 0xFFFFu];
    return out;
}

std::vector<std::uint8_t> Device::peekProgram(std::uint16_t address, std::size_t n) const {
    std::lock_guard lock(mutex_);
    std::vector<std::uint8_t> out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = program_[(address + i) & 0xFFFFu];
    return out;
}

void Device::poke(std::uint16_t address, std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < bytes.size(); ++i) mem_[(address + i) & 0xFFFFu] = bytes[i];
}

void Device::advanceTime(std::chrono::milliseconds by) {
    std::lock_guard lock(mutex_);
    extraTime_ += by;
}

// --------------------------------------------------------------- counters

std::uint64_t Device::framesServed() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

std::uint64_t Device::framesServed(std::uint8_t code) const {
    std::lock_guard lock(mutex_);
    const auto it = framesByCode_.find(code);
    return it == framesByCode_.end() ? 0 : it->second;
}

std::uint64_t Device::writesAccepted() const {
    std::lock_guard lock(mutex_);
    return writesAccepted_;
}

std::uint64_t Device::writesRejected() const {
    std::lock_guard lock(mutex_);
    return writesRejected_;
}

std::uint64_t Device::noiseBytesDropped() const {
    std::lock_guard lock(mutex_);
    return noiseDropped_;
}

int Device::lastWriteAddress() const {
    std::lock_guard lock(mutex_);
    return lastWriteAddress_;
}

int Device::lastWriteCount() const {
    std::lock_guard lock(mutex_);
    return lastWriteCount_;
}

// ---------------------------------------------------------------- helpers

void Device::putWordAt(unsigned a, unsigned v) const {
    wire::PutWord(std::span<std::uint8_t>(mem_), a & 0xFFFFu, static_cast<std::uint16_t>(v));
}

void Device::putLongAt(unsigned a, std::uint32_t v) const {
    wire::PutLong(std::span<std::uint8_t>(mem_), a & 0xFFFFu, v);
}

void Device::putFloatAt(unsigned a, float v) const {
    wire::PutRawFloat(std::span<std::uint8_t>(mem_), a & 0xFFFFu, v);
}

float Device::getFloatAt(unsigned a) const {
    return wire::GetFloat(std::span<const std::uint8_t>(mem_), a & 0xFFFFu);
}

void Device::putText(unsigned a, const std::string& text, std::size_t n) const {
    for (std::size_t i = 0; i < n; ++i) {
        mem_[(a + i) & 0xFFFFu] =
            i < text.size() ? static_cast<std::uint8_t>(text[i]) : std::uint8_t{' '};
    }
}

// ------------------------------------------------------------ live state

double Device::simSeconds() const {
    const auto elapsed = Steady::now() - start_ + extraTime_;
    return std::chrono::duration<double>(elapsed).count();
}

std::int64_t Device::clockNow() const {
    return clockBase_ + static_cast<std::int64_t>(std::floor(simSeconds() - clockSetAt_));
}

void Device::refresh() const {
    writeClockDigits();
    const double now = simSeconds();
    const double dt = now - lastUpdate_;
    lastUpdate_ = now;
    updateProcess(dt > 0 ? dt : 0);
}

void Device::writeClockDigits() const {
    const DeviceDateTime t = fromEpochSeconds(clockNow());
    const int fields[6] = {t.second, t.minute, t.hour, t.day, t.month, t.year % 100};
    for (unsigned i = 0; i < 6; ++i) {
        put8(addr::Clock + 2 * i, fields[i] % 10);
        put8(addr::Clock + 2 * i + 1, fields[i] / 10);
    }
    for (unsigned a = addr::Clock + 12; a < addr::Clock + 16u; ++a) mem_[a] = 0;
}

}  // namespace parvion::sim
