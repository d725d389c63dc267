#pragma once
// What the fuzz harnesses share: a reader that takes values off the fuzz
// input, a scratch folder of the process, and a serial line that serves the
// fuzz input as the device's bytes.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/serial_line.h"
#include "core/link/transport.h"
#include "core/link/ui_hooks.h"

namespace parvion::fuzz {

// Takes bytes off the front of the input; past its end every value is 0.
class ByteReader {
  public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return at_ >= size_; }
    std::size_t left() const { return size_ - at_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Up to n bytes (fewer at the end of the input).
    std::span<const std::uint8_t> take(std::size_t n) {
        n = std::min(n, left());
        const std::span<const std::uint8_t> part(data_ + at_, n);
        at_ += n;
        return part;
    }
    // Exactly n bytes, zeros past the end of the input.
    std::vector<std::uint8_t> bytes(std::size_t n) {
        const auto part = take(n);
        std::vector<std::uint8_t> out(part.begin(), part.end());
        out.resize(n, 0);
        return out;
    }
    std::string_view rest() {
        const std::string_view all(reinterpret_cast<const char*>(data_ + at_), left());
        at_ = size_;
        return all;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A folder of this process under the system's temporary folder, removed at
// exit.
inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "parvion-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(ScratchFolder(), ec);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

inline void WriteFile(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Waits cost nothing.
class NoWaitUi : public UiHooks {
  public:
    void waitMs(int) override {}
};

// A serial line whose device answers from the fuzz input. Each request
// written takes one chunk off the input as its reply:
//   - a head byte below 0xF0: that many raw bytes follow;
//   - 0xF0 and above: a well-formed reply built around the input: a read
//     (0xB0/0xB1) echoes the request's four header bytes, takes its count of
//     data bytes off the input and appends the right checksum; any other
//     request gets one status byte off the input.
// When the link waits for more than has come, the next chunk arrives; when
// the input is used up the line fails (closes), so that no transaction ever
// waits for its time-out. Output is never pending.
class FuzzLine : public SerialLine {
  public:
    explicit FuzzLine(ByteReader& input) : in_(input) {}

    bool open(const std::string&, int, std::string* error, int* = nullptr) override {
        if (in_.empty()) {
            if (error) *error = "the fuzz input is used up";
            return false;
        }
        open_ = true;
        return true;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool setBaudRate(int) override { return open_; }
    void discardInput() override { waiting_.clear(); }
    void discardOutput() override {}
    bool write(const std::uint8_t* data, std::size_t n) override {
        if (!open_) return false;
        request_.assign(data, data + n);
        serveChunk();
        return true;
    }
    std::size_t bytesWaiting() override { return waiting_.size(); }
    std::size_t bytesPending() override { return 0; }
    std::size_t read(std::uint8_t* data, std::size_t max) override {
        const std::size_t n = std::min(max, waiting_.size());
        std::copy_n(waiting_.begin(), n, data);
        waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(n));
        return n;
    }
    void waitForActivity(Clock::time_point) override {
        if (in_.empty()) {
            open_ = false;
            return;
        }
        serveChunk();
    }

  private:
    void serveChunk() {
        if (in_.empty()) return;
        const std::uint8_t head = in_.byte();
        if (head < 0xF0) {
            const auto part = in_.take(head);
            waiting_.insert(waiting_.end(), part.begin(), part.end());
            return;
        }
        const bool read =
            !request_.empty() && (request_[0] == cmd::Read || request_[0] == cmd::ReadSecond);
        if (!read || request_.size() < 4) {
            waiting_.push_back(in_.byte());
            return;
        }
        std::vector<std::uint8_t> reply(request_.begin(), request_.begin() + 4);
        const auto data = in_.bytes(request_[3]);
        reply.insert(reply.end(), data.begin(), data.end());
        const std::uint16_t sum = FrameSum(reply);
        reply.push_back(static_cast<std::uint8_t>(sum >> 8));
        reply.push_back(static_cast<std::uint8_t>(sum & 0xFF));
        waiting_.insert(waiting_.end(), reply.begin(), reply.end());
    }

    ByteReader& in_;
    bool open_ = false;
    std::vector<std::uint8_t> request_;
    std::vector<std::uint8_t> waiting_;
};

}  // namespace parvion::fuzz
