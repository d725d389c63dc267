#pragma once
// A simulated flow computer. It keeps the device's data memory (64 KiB) and
// program memory, answers request frames byte-exactly as a real device on
// the serial line does, lets its clock run and its live values change like a
// real process, and can misbehave on demand (fault injection).
//
// Frames understood:
//   0xB0 addr-hi addr-lo count          read data memory; reply = the four
//                                       header bytes, count data bytes, and
//                                       the 16-bit sum of those, high first
//   0xB1 addr-hi addr-lo count          the same from program memory
//   0xA0 addr-hi addr-lo count data sum write; reply one byte: 0x00 accepted,
//                                       0xE0 bad checksum or a write outside
//                                       the writable blocks
// Any other first byte is line noise and is dropped. A partial frame that
// sees no further byte for kFrameGapMs is discarded.
//
// Thread safe: every member takes the one mutex.

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "sim/lib/process_model.h"

namespace parvion::sim {

struct DeviceOptions {
    int medium = 0;                // 0 gas ("PV-GAS2 "), otherwise energy ("PV-ENG2 ")
    std::uint8_t ausbaustufe = 0;  // expansion level (byte 0 of System)
    std::uint8_t kindMask = 0x07;  // system kinds the device allows (byte 2 of System)
    std::string password;          // empty = not protected
    int baudIndex = 7;             // 0..7: 1200 ... 115200
    std::string ident;             // empty = "PV-GAS2 " or "PV-ENG2 " by medium
    std::uint32_t seed = 1;        // process noise and generated history
};

enum class Fault {
    None,           // the frame is served normally (use to skip frames)
    BadChecksum,    // a read reply's sum is one too small
    NoReply,        // the frame is swallowed: not executed, not answered
    ShortReply,     // the frame is executed; only the first half of the reply is sent
    LateFirstByte,  // the reply starts only after lateDelay()
    GarbageBefore,  // a few stray bytes precede the reply
    RejectWrite,    // a write is not executed and answered 0xE0
    DropLine,       // the line goes dead: nothing more is received or sent
    WrongEcho,      // a read reply echoes the next block's address, with a fitting sum
};

const char* faultName(Fault f);

// The baud rate of an index 0..7; 0 for any other index.
int baudRateOfIndex(int index);
// The index of a baud rate; -1 for a rate outside the table.
int indexOfBaudRate(int baud);

inline constexpr std::uint8_t kReplyAccepted = 0x00;
inline constexpr std::uint8_t kReplyRejected = 0xE0;
inline constexpr int kFrameGapMs = 100;

class Device {
  public:
    // What the device sends back for a chunk of received bytes.
    struct Response {
        std::vector<std::uint8_t> bytes;
        std::chrono::milliseconds delay{0};  // pause before the first byte
        int baudIndex = 7;                   // rate at which these bytes go out
        bool dropLine = false;               // the line went dead with this chunk
    };

    explicit Device(DeviceOptions options = {});
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Reply bytes for the bytes received so far; empty while a frame is
    // incomplete (and for swallowed frames or a dead line).
    std::vector<std::uint8_t> receive(std::span<const std::uint8_t> bytes);
    // The same with timing: the serial fronts use this.
    Response process(std::span<const std::uint8_t> bytes);

    // The next `count` complete frames get this fault, after any queued before.
    void injectFault(Fault fault, int count = 1);
    void clearFaults();
    std::size_t pendingFaults() const;
    void setLateDelay(std::chrono::milliseconds delay);
    std::chrono::milliseconds lateDelay() const;

    // Current baud-rate index; a write of Betrieb changes it after its reply.
    int baudIndex() const;
    // True after a DropLine fault until restoreLine().
    bool lineDropped() const;
    void restoreLine();

    // Raw memory access (addresses wrap at 64 KiB); peek refreshes the clock
    // and live values first.
    std::vector<std::uint8_t> peek(std::uint16_t address, std::size_t n) const;
    std::vector<std::uint8_t> peekProgram(std::uint16_t address, std::size_t n) const;
    void poke(std::uint16_t address, std::span<const std::uint8_t> bytes);

    // Simulated time runs with the steady clock; tests may move it on.
    void advanceTime(std::chrono::milliseconds by);

    // Counters.
    std::uint64_t framesServed() const;                   // complete frames seen
    std::uint64_t framesServed(std::uint8_t code) const;  // by command code
    std::uint64_t writesAccepted() const;
    std::uint64_t writesRejected() const;
    std::uint64_t noiseBytesDropped() const;
    // Address and count of the last accepted write (-1 and 0 before any).
    int lastWriteAddress() const;
    int lastWriteCount() const;

    const DeviceOptions& options() const { return options_; }

  private:
    using Steady = std::chrono::steady_clock;

    void fillContents();
    void fillParameters();
    void fillTables();
    void fillErrorProtocol(std::int64_t now);
    void fillIntegrators(std::int64_t now);
    void fillTrendMemory(std::int64_t now);

    double simSeconds() const;
    std::int64_t clockNow() const;  // local wall time of the device, seconds since 1970
    double wallSeconds() const;     // the same with fractions
    void refresh() const;           // clock digits, live values, output currents
    void writeClockDigits() const;
    void updateProcess(double dt) const;

    void serveFrame(std::span<const std::uint8_t> frame, Fault fault, Response& out);
    bool writeAllowed(std::uint16_t address, std::size_t count) const;
    bool applyWrite(std::uint16_t address, std::span<const std::uint8_t> data);

    // Memory helpers; addresses below 0xFFFC (multi-byte values never wrap).
    std::uint8_t get8(unsigned a) const { return mem_[a & 0xFFFFu]; }
    void put8(unsigned a, int v) const { mem_[a & 0xFFFFu] = static_cast<std::uint8_t>(v); }
    void putWordAt(unsigned a, unsigned v) const;
    void putLongAt(unsigned a, std::uint32_t v) const;
    void putFloatAt(unsigned a, float v) const;
    float getFloatAt(unsigned a) const;
    void putText(unsigned a, const std::string& text, std::size_t n) const;

    mutable std::mutex mutex_;
    DeviceOptions options_;
    // Memory changes on reads too (clock, live values), hence mutable.
    mutable std::vector<std::uint8_t> mem_;
    std::vector<std::uint8_t> program_;

    std::vector<std::uint8_t> rx_;
    Steady::time_point lastRx_{};
    std::deque<Fault> faults_;
    std::chrono::milliseconds lateDelay_{300};
    int baudIndex_ = 7;
    bool lineDropped_ = false;

    Steady::time_point start_;
    std::chrono::milliseconds extraTime_{0};
    std::int64_t clockBase_ = 0;  // device wall seconds at simulated second clockSetAt_
    double clockSetAt_ = 0;

    // Live process state.
    struct Circuit {
        ProcessModel model;
        bool present = true;
        double totalMain = 0;      // standard volume (gas) or energy (energy)
        double totalMass = 0;      // kg
        double operatingTime = 0;  // seconds
    };
    mutable Circuit circuits_[2];
    mutable double lastUpdate_ = 0;
    mutable std::mt19937 rng_;

    std::uint64_t frames_ = 0;
    std::map<std::uint8_t, std::uint64_t> framesByCode_;
    std::uint64_t writesAccepted_ = 0;
    std::uint64_t writesRejected_ = 0;
    std::uint64_t noiseDropped_ = 0;
    int lastWriteAddress_ = -1;
    int lastWriteCount_ = 0;
};

}  // namespace parvion::sim
