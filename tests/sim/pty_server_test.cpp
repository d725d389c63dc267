// The device served on a real pseudo-terminal: baud-rate pacing (loose sanity
// only), baud mismatch, late replies and its clients. Replies, the Betrieb
// switch and pulled cables are driven by the termios and network line tests.

#include "sim/lib/pty_server.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "core/link/termios_line.h"
#include "sim/lib/memory_map.h"
#include "sim_frames.h"
#include "support/sim_pty.h"
#include "support/unprivileged.h"

namespace parvion::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::Bytes;
using test::readFrame;
using test::sumOk;
using test::writeFrame;

const Bytes kIdent = readFrame(addr::Ident, 8);

// The client end: the program's own terminal line, read with a time limit.
struct Client {
    TermiosLine line;
    bool write(const Bytes& b) { return line.write(b.data(), b.size()); }
    Bytes read(std::size_t n, std::chrono::milliseconds limit) {
        Bytes out;
        const auto deadline = Clock::now() + limit;
        while (out.size() < n && line.isOpen() && Clock::now() < deadline) {
            line.waitForActivity(deadline);
            std::uint8_t buf[512];
            out.insert(out.end(), buf, buf + line.read(buf, std::min(sizeof buf, n - out.size())));
        }
        return out;
    }
};

struct Served {
    Device device;
    PtyServer server;
    Client client;
    explicit Served(DeviceOptions o = {}, bool pacing = true)
        : device(std::move(o)), server(device, pacing) {}
    void open(int baud) {
        std::string why;
        ASSERT_TRUE(server.start(&why)) << why;
        ASSERT_TRUE(client.line.open(server.slavePath(), baud, &why)) << why;
    }
};

TEST(PtyServer, PacesAtTheDevicesBaudRate) {
    // 4 request bytes and 134 reply bytes at 4800 baud: about 290 ms on the
    // wire. Only loose bounds: the point is that pacing happens at all.
    Clock::duration took[2];  // unpaced, paced
    for (const bool pacing : {true, false}) {
        Served s(parvion::test::AtBaud(2), pacing);
        s.open(4800);
        const auto t0 = Clock::now();
        s.client.write(readFrame(addr::SaturationTable, 128));
        const Bytes r = s.client.read(134, 5s);
        took[pacing] = Clock::now() - t0;
        ASSERT_EQ(r.size(), 134u);
        EXPECT_TRUE(sumOk(r));
    }
    EXPECT_GE(took[1], 200ms);
    EXPECT_LT(took[1], 4s);
    EXPECT_LT(took[0], took[1]);
}

TEST(PtyServer, ClientAtAnotherBaudRateMeetsASilentDevice) {
    Served s;
    s.open(9600);
    s.client.write(kIdent);
    EXPECT_TRUE(s.client.read(14, 300ms).empty());
    EXPECT_EQ(s.server.bytesIgnored(), 4u);
    EXPECT_EQ(s.device.framesServed(), 0u);
    ASSERT_TRUE(s.client.line.setBaudRate(115200));
    s.client.write(kIdent);
    EXPECT_EQ(s.client.read(14, 2s).size(), 14u);
}

TEST(PtyServer, LateFirstByteArrivesAfterTheDelay) {
    Served s;
    s.open(115200);
    s.device.injectFault(Fault::LateFirstByte);
    const auto t0 = Clock::now();
    s.client.write(kIdent);
    EXPECT_TRUE(s.client.read(1, 200ms).empty());
    const Bytes r = s.client.read(14, 3s);
    EXPECT_EQ(r.size(), 14u);
    EXPECT_GE(Clock::now() - t0, 290ms);
}

TEST(PtyServer, AClientThatDiedInExclusiveModeDoesNotBlockTheNext) {
    Served s;
    std::string why;
    ASSERT_TRUE(s.server.start(&why)) << why;
    const std::string path = s.server.slavePath();
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    // The first client takes the port exclusively and dies without closing
    // it. (Root ignores exclusive mode: the clients run as a plain user.)
    ASSERT_EQ(parvion::test::runUnprivileged([&path] {
                  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
                  if (fd < 0 || ::ioctl(fd, TIOCEXCL) != 0) return 1;
                  ::_exit(0);
              }),
              0);
    // The next one gets the port within a few seconds.
    EXPECT_EQ(parvion::test::runUnprivileged([&path] {
                  const auto limit = Clock::now() + 10s;
                  while (Clock::now() < limit) {
                      const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
                      if (fd >= 0) {
                          ::close(fd);
                          return 0;
                      }
                      std::this_thread::sleep_for(50ms);
                  }
                  return 1;
              }),
              0);
}

TEST(PtyServer, DestructorStopsWithAClientStillAttached) {
    Client client;
    {
        Device device;
        PtyServer server(device);
        ASSERT_TRUE(server.start(nullptr));
        ASSERT_TRUE(client.line.open(server.slavePath(), 115200, nullptr));
        client.write(kIdent);
    }
    client.read(100, 200ms);
    EXPECT_TRUE(client.line.failed());
}

}  // namespace
}  // namespace parvion::sim
