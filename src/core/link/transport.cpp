#include "core/link/transport.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <system_error>
#include <utility>

namespace parvion {

namespace {

using Clock = SerialLine::Clock;
using std::chrono::milliseconds;

// The device addresses that hold the access password; whatever of them a
// frame carries is written to the trace as "**".
constexpr std::uint32_t kPasswordFirst = kAccessRecordAddress + 4;
constexpr std::uint32_t kPasswordEnd = kAccessRecordAddress + 12;

int elapsedMs(Clock::time_point since) {
    return static_cast<int>(std::chrono::duration_cast<milliseconds>(Clock::now() - since).count());
}

__attribute__((format(printf, 1, 2))) std::string format(const char* pattern, ...) {
    char buffer[160];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(buffer, sizeof buffer, pattern, args);
    va_end(args);
    return buffer;
}

std::tm localTime(std::chrono::system_clock::time_point when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

bool isRead(std::uint8_t code) {
    return code == cmd::Read || code == cmd::ReadSecond;
}

// Frame positions [first, second) of the password bytes that a frame carries
// whose data (from frame position 4) lies at the request's address onwards.
std::pair<std::size_t, std::size_t> passwordPositions(std::span<const std::uint8_t> request) {
    if (request.size() < 4) return {0, 0};
    const std::uint32_t address = (std::uint32_t{request[1]} << 8) | request[2];
    const std::uint32_t first = std::max(address, kPasswordFirst);
    const std::uint32_t end = std::min(address + request[3], kPasswordEnd);
    if (first >= end) return {0, 0};
    return {4 + first - address, 4 + end - address};
}

}  // namespace

// The recording of one transaction: the text lines of the transport
// interleaved with the bytes sent and received, in hexadecimal.
class Link::Trace {
  public:
    Trace(bool on, std::chrono::system_clock::time_point started) : on_(on) {
        if (!on_) return;
        const std::tm tm = localTime(started);
        const auto ms = std::chrono::duration_cast<milliseconds>(started.time_since_epoch()) % 1000;
        text(format("=== %02d:%02d:%02d.%03d", tm.tm_hour, tm.tm_min, tm.tm_sec,
                    static_cast<int>(ms.count())));
    }

    bool on() const { return on_; }

    void text(std::string line) {
        if (!on_ || !take(1)) return;
        lines_.push_back(std::move(line));
    }

    // Bytes sent or received; those at positions [maskFrom, maskTo) are
    // written as "**".
    void bytes(const char* direction, std::span<const std::uint8_t> data, std::size_t maskFrom,
               std::size_t maskTo) {
        if (!on_ || data.empty()) return;
        static constexpr char kHex[] = "0123456789ABCDEF";
        constexpr std::size_t kPerLine = 32;
        std::string line = std::string(direction) + ":";
        for (std::size_t i = 0; i < data.size(); ++i) {
            if (!take(1)) break;
            if (i > 0 && i % kPerLine == 0) {
                lines_.push_back(std::move(line));
                line = "   ";
            }
            line += ' ';
            if (i >= maskFrom && i < maskTo) {
                line += "**";
            } else {
                line += kHex[data[i] >> 4];
                line += kHex[data[i] & 0x0F];
            }
        }
        lines_.push_back(std::move(line));
    }

    // Appends the recording to the file; earlier content stays.
    void appendTo(const std::filesystem::path& file) const {
        if (!on_) return;
        std::error_code ec;
        if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
        std::ofstream out(file, std::ios::binary | std::ios::app);
        if (!out) return;
        std::string all;
        for (const auto& line : lines_) {
            all += line;
            all += '\n';
        }
        if (truncated_) all += "... trace cut after 100000 entries\n";
        out << all;
    }

  private:
    bool take(std::size_t n) {
        if (entries_ + n > kTraceMaxEntries) {
            truncated_ = true;
            return false;
        }
        entries_ += n;
        return true;
    }

    bool on_;
    bool truncated_ = false;
    std::size_t entries_ = 0;
    std::vector<std::string> lines_;
};

std::uint16_t FrameSum(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (const std::uint8_t b : bytes) sum += b;
    return static_cast<std::uint16_t>(sum & 0xFFFFu);
}

bool AppendChecksum(std::vector<std::uint8_t>& frame, std::size_t capacity) {
    if (frame.size() + 2 > capacity) return false;
    const std::uint16_t sum = FrameSum(frame);
    frame.push_back(static_cast<std::uint8_t>(sum >> 8));
    frame.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    return true;
}

std::chrono::milliseconds WireTime(std::size_t bytes, int baud) {
    if (baud <= 0) return milliseconds(0);
    const auto bits = static_cast<long long>(bytes) * 10 * 1000;
    return milliseconds((bits + baud - 1) / baud);
}

std::string DefaultPortName(int comNumber) {
    return "/dev/ttyS" + std::to_string(comNumber - 1);
}

Link::Link(SerialLine& line, UiHooks& ui, Session& session, std::filesystem::path logFolder)
    : line_(line), ui_(ui), session_(session), logFolder_(std::move(logFolder)) {}

std::filesystem::path LogFolder(const std::filesystem::path& appDataFolder) {
    return appDataFolder.empty() ? std::filesystem::path("/") : appDataFolder;
}

void Link::setPortResolver(std::function<std::string(int)> resolver) {
    resolver_ = std::move(resolver);
}

std::filesystem::path Link::traceFile(std::chrono::system_clock::time_point when) const {
    const std::tm tm = localTime(when);
    return LogFolder(logFolder_) /
           format("%4.4d-%2.2d-%2.2d-rs232.log", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

void Link::PauseMs(int ms) {
    ui_.waitMs(ms);
}

void Link::fail(LinkCause cause, int errorNumber, std::string detail) {
    failure_.cause = cause;
    failure_.errorNumber = errorNumber;
    failure_.detail = std::move(detail);
    failure_.port = portName_;
    failure_.baud = baud_;
}

void Link::noteRefusedReply() {
    ++failedTransactions_;
    fail(LinkCause::RefusedReply);
}

void Link::noteUnreadRecord() {
    ++failedTransactions_;
    fail(LinkCause::UnreadRecord);
}

Link::BulkOperation::BulkOperation(Link& link) : link_(link) {
    if (link_.bulkDepth_++ == 0) {
        link_.gone_ = false;
        link_.silentTransactions_ = 0;
    }
}

Link::BulkOperation::~BulkOperation() {
    if (--link_.bulkDepth_ == 0) {
        link_.lastBulkLostLine_ = link_.gone_;
        link_.gone_ = false;
    }
}

bool Link::OpenComPort(int comNumber, int baudIndex) {
    if (line_.isOpen()) {
        line_.close();
        PauseMs(150);
    }
    linkTimeoutMs_ = kLinkTimeoutMs;
    if (baudIndex >= 0 && baudIndex < 8) baud_ = kBaudRates[baudIndex];
    session_.Online = false;

    if (comNumber < 1) {
        portName_ = "Com " + std::to_string(comNumber);
        fail(LinkCause::OpenFailed, ENODEV, "no such port");
        if (errorLog_) errorLog_(format("Com %d cannot be opened: no such port", comNumber));
        portName_.clear();
        return false;
    }
    portName_ = resolver_ ? resolver_(comNumber) : DefaultPortName(comNumber);
    line_.setLatencyAllowance(milliseconds(session_.NetLatencyMs));
    if (!line_.isOpen()) {
        PauseMs(150);
        std::string error;
        int errorNumber = 0;
        if (!line_.open(portName_, baud_, &error, &errorNumber)) {
            line_.close();
            if (error.empty()) error = "unknown reason";
            fail(LinkCause::OpenFailed, errorNumber, error);
            if (errorLog_) {
                errorLog_("Com " + std::to_string(comNumber) + " (" + portName_ +
                          ") cannot be opened: " + error);
            }
        }
    }
    session_.Online = line_.isOpen();
    if (session_.Online) {
        failure_ = LinkFailure{};
        ++connection_;
    }
    return session_.Online;
}

bool Link::reopen() {
    if (portName_.empty()) return false;
    std::string error;
    int errorNumber = 0;
    if (line_.open(portName_, baud_, &error, &errorNumber)) {
        ++connection_;  // whatever answers now may be another device
        return true;
    }
    line_.close();
    fail(LinkCause::OpenFailed, errorNumber, error);
    return false;
}

LinkCause Link::attempt(std::vector<std::uint8_t>& frame, std::size_t replyLength, Trace& trace,
                        std::vector<std::uint8_t>& received) {
    const std::uint8_t code = frame[0];
    const auto secret = passwordPositions(frame);
    const auto none = std::pair<std::size_t, std::size_t>{0, 0};

    trace.text("FlushOutBuffer");
    line_.discardOutput();
    line_.processEvents();
    trace.text("FlushInBuffer");
    line_.discardInput();
    line_.processEvents();

    trace.text(format("Transmit %d Zeichen...", static_cast<int>(frame.size())));
    const auto txMask = (code == cmd::Write || code == cmd::Write55) ? secret : none;
    trace.bytes("TX", frame, txMask.first, txMask.second);
    if (!line_.write(frame.data(), frame.size())) {
        trace.text("Error port closed");
        return LinkCause::PortClosed;
    }

    // Drain: the frame must leave the port. The limit grows with the frame's
    // time on the wire, so that long frames pass at low baud rates too.
    const auto drainLimit = milliseconds(linkTimeoutMs_) + WireTime(frame.size(), baud_);
    auto start = Clock::now();
    auto deadline = start + drainLimit;
    bool drained = false;
    while (line_.isOpen()) {
        if (line_.bytesPending() == 0) {
            drained = true;
            break;
        }
        if (Clock::now() > deadline) break;
        line_.waitForActivity(deadline);
    }
    trace.text("...until");
    if (!drained) {
        if (!line_.isOpen()) {
            trace.text("Error port closed");
            return LinkCause::PortClosed;
        }
        trace.text(format("Error Timeout_1 %dms (%dms)", elapsedMs(start),
                          static_cast<int>(drainLimit.count())));
        return LinkCause::SendTimeout;
    }

    // Reply: the first byte within LinkTimeout, then no gap above 50 ms. A
    // network line adds its latency allowance to both (a local line none).
    trace.text(format("repeat warte auf %d zeichen...", static_cast<int>(replyLength)));
    const milliseconds allowance = line_.latencyAllowance();
    const milliseconds replyLimit = milliseconds(linkTimeoutMs_) + allowance;
    // The input was emptied before the request went out, so whatever is
    // waiting already came after it: the gap rule starts from that.
    std::size_t seen = 0;
    start = Clock::now();
    deadline = start + replyLimit;
    bool complete = false;
    while (line_.isOpen()) {
        const std::size_t waiting = line_.bytesWaiting();
        const auto now = Clock::now();
        if (waiting > seen) {
            seen = waiting;
            deadline = now + milliseconds(kReplyGapMs) + allowance;
        }
        if (waiting >= replyLength) {
            complete = true;
            break;
        }
        if (now > deadline) break;
        line_.waitForActivity(deadline);
    }
    const bool open = line_.isOpen();
    const std::size_t waiting = open ? line_.bytesWaiting() : 0;
    trace.text(format("...until %d Zeichen empfangen", static_cast<int>(waiting)));

    received.assign(std::max(kFrameCapacity, replyLength), 0);
    const std::size_t taken =
        open ? line_.read(received.data(), std::min(waiting, received.size())) : 0;
    const auto rxMask = code == cmd::Read ? secret : none;
    trace.bytes("RX", std::span(received.data(), taken), rxMask.first, rxMask.second);
    if (!complete) {
        if (!open) {
            trace.text("Error port closed");
            return LinkCause::PortClosed;
        }
        trace.text(format("Error Timeout_2 %dms (%dms)", elapsedMs(start),
                          static_cast<int>(replyLimit.count())));
        return seen == 0 ? LinkCause::NoReply : LinkCause::IncompleteReply;
    }

    if (code == cmd::Read && replyLength >= 2) {
        const unsigned stated =
            (unsigned{received[replyLength - 2]} << 8) | received[replyLength - 1];
        const unsigned sum = FrameSum(std::span(received.data(), replyLength - 2));
        if (((stated - sum) & 0xFFFFu) != 0) {
            trace.text(
                format("Error Pr\xC3\xBC"
                       "fsumme %d von %d zeichen",
                       static_cast<int>(taken), static_cast<int>(replyLength)));
            ++transmissionErrors_;
            return LinkCause::BadChecksum;
        }
    }
    if ((code == cmd::Write || code == cmd::Write55) && received[0] == cmd::Rejected) {
        trace.text("Error Buff[1] = 224");
        return LinkCause::Rejected;
    }
    return LinkCause::None;
}

bool Link::Transaction(std::vector<std::uint8_t>& frame, std::size_t capacity,
                       std::size_t replyLength) {
    if (!session_.Online) {
        // A port that could not be opened or was lost still says why
        // nothing goes; otherwise the program is offline by its own choice.
        if (failure_.cause != LinkCause::OpenFailed && failure_.cause != LinkCause::PortClosed) {
            fail(LinkCause::Offline);
        }
        return false;
    }
    if (lineGone()) {
        // The bulk operation this belongs to has lost the line: the cause
        // stays what it was.
        ++failedTransactions_;
        return false;
    }

    const auto started = std::chrono::system_clock::now();
    lastAttempts_ = 0;
    const bool portOpen = line_.isOpen() || reopen();

    bool framed = !frame.empty() && frame.size() <= capacity;
    if (framed) {
        const std::uint8_t code = frame[0];
        if (isRead(code)) replyLength += 2;
        if (code == cmd::Write || code == cmd::Write55 || code == cmd::C0) {
            framed = AppendChecksum(frame, capacity);
        }
    }

    Trace trace(session_.TraceLevel > 0, started);
    const int errorsBefore = transmissionErrors_;
    LinkCause cause = LinkCause::None;
    std::vector<std::uint8_t> received;
    bool anyByte = false;
    if (!framed) {
        trace.text("Error frame empty or beyond capacity");
        cause = LinkCause::BadFrame;
    } else if (!portOpen) {
        trace.text("Error port closed");
        cause = LinkCause::OpenFailed;  // reopen() has noted why
    } else {
        for (int n = 0; n < attempts_; ++n) {
            if (n > 0) PauseMs(kRetryPauseMs);
            if (!line_.isOpen()) {  // a pulled cable: no point in repeating
                cause = LinkCause::PortClosed;
                break;
            }
            ++lastAttempts_;
            cause = attempt(frame, replyLength, trace, received);
            if (cause != LinkCause::NoReply) anyByte = true;
            if (cause == LinkCause::None) break;
        }
    }
    bool ok = cause == LinkCause::None;
    // NoReply is the last attempt's cause; only a transaction none of whose
    // attempts saw a byte counts as silent.
    silentTransactions_ = cause == LinkCause::NoReply && !anyByte ? silentTransactions_ + 1 : 0;

    if (trace.on() && (lastAttempts_ > 1 || !ok || session_.TraceLevel >= 2)) {
        trace.appendTo(traceFile(started));
    }

    if (ok) {
        frame.assign(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(
                                                              std::min(replyLength, capacity)));
    } else if (transmissionErrors_ - errorsBefore >= 3) {
        ui_.beep();
        frame.clear();
    }

    if (!line_.isOpen()) {
        if (ok || cause != LinkCause::OpenFailed) cause = LinkCause::PortClosed;
        ok = false;
        session_.Online = false;
    }
    if (!ok && cause != LinkCause::OpenFailed) fail(cause);
    if (cause == LinkCause::PortClosed || silentTransactions_ >= kSilentTransactions) gone_ = true;
    if (!(session_.Online && ok)) ++failedTransactions_;
    ui_.showOnline(session_.Online && ok);
    ui_.enableOfflineMenus(!session_.Online);
    return ok;
}

bool Link::readBlock(std::uint8_t code, std::uint16_t address, std::uint8_t count,
                     std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> frame = {code, static_cast<std::uint8_t>(address >> 8),
                                       static_cast<std::uint8_t>(address & 0xFF), count};
    const std::size_t replyLength = 4u + count;
    if (!Transaction(frame, std::max(kFrameCapacity, replyLength + 2), replyLength)) return false;
    if (frame.size() < replyLength) return false;
    data.assign(frame.begin() + 4, frame.begin() + static_cast<std::ptrdiff_t>(replyLength));
    return true;
}

bool Link::writeBlock(std::uint16_t address, std::span<const std::uint8_t> data) {
    if (data.size() > kFrameCapacity - 6) {
        fail(LinkCause::BadFrame);
        return false;
    }
    std::vector<std::uint8_t> frame = {cmd::Write, static_cast<std::uint8_t>(address >> 8),
                                       static_cast<std::uint8_t>(address & 0xFF),
                                       static_cast<std::uint8_t>(data.size())};
    frame.insert(frame.end(), data.begin(), data.end());
    return Transaction(frame, kFrameCapacity, 1);
}

}  // namespace parvion
