#pragma once
// The request/reply frame transport: every exchange with the device is one
// Transaction that frames the request, sends it, waits for a reply of the
// length the caller states, checks it and retries. OpenComPort (re)opens the
// serial line. Failed transactions (and, at trace level 2, every transaction)
// are recorded in a daily trace file "YYYY-MM-DD-rs232.log" in the log folder.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/link/link_failure.h"
#include "core/link/serial_line.h"
#include "core/link/ui_hooks.h"
#include "core/model/session.h"

namespace parvion {

// Limit of each waiting phase of a transaction.
inline constexpr int kLinkTimeoutMs = 200;
// Once the first reply byte is in, no gap between bytes may exceed this.
inline constexpr int kReplyGapMs = 50;
// Attempts per transaction and the pause before each repetition.
inline constexpr int kTransactionAttempts = 4;
inline constexpr int kRetryPauseMs = 50;
// The frame capacity every caller of this system passes.
inline constexpr std::size_t kFrameCapacity = 255;
// Transactions in a row without one byte of reply after which a bulk
// operation takes the line for gone: each has made every attempt, so two
// mean about two seconds of silence.
inline constexpr int kSilentTransactions = 2;
// Entries (bytes and text lines) one transaction's trace may hold.
inline constexpr std::size_t kTraceMaxEntries = 100000;

// Command codes of the device protocol.
namespace cmd {
inline constexpr std::uint8_t Read = 0xB0;        // read a memory block
inline constexpr std::uint8_t ReadSecond = 0xB1;  // read the second memory area
inline constexpr std::uint8_t Write = 0xA0;       // write a memory block
inline constexpr std::uint8_t Write55 = 0x55;     // framed like Write
inline constexpr std::uint8_t C0 = 0xC0;          // checksum appended, no reply check
inline constexpr std::uint8_t Rejected = 0xE0;    // reply byte of a rejected write
}  // namespace cmd

// The device's access record, whose read reply carries the password.
inline constexpr std::uint16_t kAccessRecordAddress = 0x80E0;

// The 16-bit sum (mod 65536) of the bytes.
std::uint16_t FrameSum(std::span<const std::uint8_t> bytes);

// Appends the 16-bit sum of the frame, high byte first. Appends nothing and
// returns false when the two bytes would not fit within capacity.
bool AppendChecksum(std::vector<std::uint8_t>& frame, std::size_t capacity);

// Time the bytes need on the wire at the baud rate (10 bits per byte).
std::chrono::milliseconds WireTime(std::size_t bytes, int baud);

// Default port name of "Com N" on this platform ("/dev/ttyS{N-1}").
std::string DefaultPortName(int comNumber);

// Where the logs of a data folder go (the link's daily trace files, the
// error log): the folder itself; an empty folder (it could not be created)
// means the file system root, where writing will usually fail, never the
// current folder.
std::filesystem::path LogFolder(const std::filesystem::path& appDataFolder);

// Where a link records why a port could not be opened: the program's error
// log, which the program names (ErrorLogIn, core/app/error_log.h).
using ErrorLog = std::function<void(const std::string& message)>;
class RecordWatch;

class Link {
  public:
    Link(SerialLine& line, UiHooks& ui, Session& session, std::filesystem::path logFolder);
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Maps "Com N" (1..8) to a device path; the settings supply a table.
    void setPortResolver(std::function<std::string(int comNumber)> resolver);
    // Where the reasons of a port that cannot be opened go; without one they
    // are kept in lastFailure() only.
    void setErrorLog(ErrorLog log) { errorLog_ = std::move(log); }

    // (Re)opens "Com comNumber" at the baud rate of baudIndex (0..7; another
    // index keeps the rate). Afterwards session().Online tells whether the
    // port is open. Why a port could not be opened goes to the error log
    // (setErrorLog).
    bool OpenComPort(int comNumber, int baudIndex);

    // One request/reply exchange. frame holds the request on entry and, on
    // success, exactly the first replyLength (+2 for 0xB0/0xB1) reply bytes.
    // On failure the frame must not be used (it is emptied after three or
    // more checksum errors in the call).
    bool Transaction(std::vector<std::uint8_t>& frame, std::size_t capacity,
                     std::size_t replyLength);

    // Reads count bytes at address (code 0xB0, or 0xB1 for the second memory
    // area). On success data holds exactly the count data bytes; on failure
    // it is untouched.
    bool readBlock(std::uint8_t code, std::uint16_t address, std::uint8_t count,
                   std::vector<std::uint8_t>& data);
    // Writes the bytes at address (frame 0xA0, one status byte in reply).
    bool writeBlock(std::uint16_t address, std::span<const std::uint8_t> data);

    // Waits while the window keeps processing its events.
    void PauseMs(int ms);

    // Replies rejected for a wrong checksum since the link was made.
    int TransmissionErrors() const { return transmissionErrors_; }
    // Limit of each waiting phase; 0 until the first OpenComPort.
    int LinkTimeout() const { return linkTimeoutMs_; }
    // Attempts per transaction (kTransactionAttempts unless changed): a
    // probe that tries many baud rates makes one attempt at each.
    void setAttempts(int attempts) { attempts_ = attempts < 1 ? 1 : attempts; }
    // Attempts made by the last transaction that got past the online test.
    int lastAttempts() const { return lastAttempts_; }
    // Transactions that got past the online test and failed, since the link
    // was made: what bulk operations that go on after a failure leave behind.
    // A reply the command refused (an echo of another block, a block too
    // short for its record) counts too: the data did not arrive.
    int failedTransactions() const { return failedTransactions_; }
    // A command refused a reply the transport accepted.
    void noteRefusedReply();
    // A write of a record that was not read from this device was refused
    // before anything was sent.
    void noteUnreadRecord();

    // Number of the connection: a new one each time the port is opened;
    // 0 while offline. Records read in one connection are not taken for
    // the device's in the next (model/device_marks.h).
    std::uint32_t connection() const { return session_.Online ? connection_ : 0; }

    // A bulk operation (every parameter block, the trend memory, a table):
    // it goes on past a block that failed while the device still answers,
    // but ends at once when the line has gone: the port closed, or
    // kSilentTransactions transactions in a row without one byte of reply.
    // Within the scope, once the line has gone, further transactions fail
    // at once without traffic; lineGone() tells the operation to stop.
    class BulkOperation {
      public:
        explicit BulkOperation(Link& link);
        ~BulkOperation();
        BulkOperation(const BulkOperation&) = delete;
        BulkOperation& operator=(const BulkOperation&) = delete;

      private:
        Link& link_;
    };
    // Inside a bulk operation: the line has gone and the operation ends.
    bool lineGone() const { return bulkDepth_ > 0 && gone_; }
    // The last bulk operation ended because the line had gone.
    bool lastBulkLostLine() const { return lastBulkLostLine_; }
    // Why the link last failed: an open of the port, a transaction, or a
    // reply a command refused. A transaction while offline keeps a port
    // that could not be opened or was lost as the cause, and is Offline
    // otherwise; a successful OpenComPort clears it; a successful
    // transaction leaves it.
    const LinkFailure& lastFailure() const { return failure_; }
    // The baud rate of the line as last set by OpenComPort.
    int baudRate() const { return baud_; }
    const std::string& portName() const { return portName_; }

    // The trace file of the day of the given moment.
    std::filesystem::path traceFile(std::chrono::system_clock::time_point when) const;

    UiHooks& ui() { return ui_; }
    // Who is told of each record, clock and table read or written (the
    // device history); null: nobody.
    void setRecordWatch(RecordWatch* watch) { watch_ = watch; }
    RecordWatch* recordWatch() const { return watch_; }
    Session& session() { return session_; }
    const Session& session() const { return session_; }
    SerialLine& line() { return line_; }
    const std::filesystem::path& logFolder() const { return logFolder_; }

  private:
    class Trace;

    // One attempt; None when it succeeded, else why it failed.
    LinkCause attempt(std::vector<std::uint8_t>& frame, std::size_t replyLength, Trace& trace,
                      std::vector<std::uint8_t>& received);
    bool reopen();
    void fail(LinkCause cause, int errorNumber = 0, std::string detail = {});

    SerialLine& line_;
    UiHooks& ui_;
    Session& session_;
    std::filesystem::path logFolder_;
    std::function<std::string(int)> resolver_;
    ErrorLog errorLog_;
    std::string portName_;
    int baud_ = 9600;
    int linkTimeoutMs_ = 0;
    int transmissionErrors_ = 0;
    int lastAttempts_ = 0;
    int failedTransactions_ = 0;
    int attempts_ = kTransactionAttempts;
    std::uint32_t connection_ = 0;
    int silentTransactions_ = 0;  // in a row, without one byte of reply
    int bulkDepth_ = 0;
    bool gone_ = false;
    bool lastBulkLostLine_ = false;
    LinkFailure failure_;
    RecordWatch* watch_ = nullptr;
};

}  // namespace parvion
