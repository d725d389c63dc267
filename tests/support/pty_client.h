#pragma once
// The client end of a pseudo-terminal served by the device simulator, for
// tests: opens the slave path raw at a baud rate, writes requests and reads
// replies with a time limit. Deliberately plain POSIX, independent of the
// program's own serial lines.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace parvion::test {

class PtyClient {
  public:
    PtyClient() = default;
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool open(const std::string& path, int baud, std::string* error = nullptr);
    void close();
    bool setBaud(int baud);
    bool write(const std::vector<std::uint8_t>& bytes);
    // Reads until n bytes arrived, the time is up, or the line failed.
    std::vector<std::uint8_t> read(std::size_t n, std::chrono::milliseconds limit);
    // True once a read met a hang-up or an error (the other side closed).
    bool failed() const { return failed_; }

  private:
    int fd_ = -1;
    bool failed_ = false;
};

}  // namespace parvion::test
