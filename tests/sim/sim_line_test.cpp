// The in-process serial line to the simulated device.

#include "sim/lib/sim_line.h"

#include <gtest/gtest.h>

#include <chrono>

#include "sim/lib/memory_map.h"
#include "sim_frames.h"

namespace parvion::sim {
namespace {

using namespace std::chrono_literals;
using Clock = SerialLine::Clock;
using test::Bytes;
using test::readFrame;
using test::writeFrame;

const Bytes kIdent = readFrame(addr::Ident, 8);

bool send(SimLine& line, const Bytes& b) {
    return line.write(b.data(), b.size());
}

Bytes readAll(SimLine& line) {
    Bytes b(line.bytesWaiting());
    b.resize(line.read(b.data(), b.size()));
    return b;
}

struct SimLineTest : ::testing::Test {
    Device device;
    SimLine line{device};
    void SetUp() override { ASSERT_TRUE(line.open("sim", 115200, nullptr)); }
};

TEST_F(SimLineTest, ReplyIsReadableAtOnceAndNothingIsPending) {
    ASSERT_TRUE(send(line, kIdent));
    EXPECT_EQ(line.bytesPending(), 0u);
    EXPECT_EQ(line.bytesWaiting(), 14u);
    const auto t0 = Clock::now();
    line.waitForActivity(t0 + 5s);
    EXPECT_LT(Clock::now() - t0, 1s) << "the wait returns for bytes already there";
    const Bytes r = readAll(line);
    ASSERT_EQ(r.size(), 14u);
    EXPECT_EQ(std::string(r.begin() + 4, r.begin() + 12), "PV-GAS2 ");
}

TEST_F(SimLineTest, ReadInPiecesAndDiscardInput) {
    send(line, kIdent);
    std::uint8_t buf[5];
    EXPECT_EQ(line.read(buf, 5), 5u);
    EXPECT_EQ(line.bytesWaiting(), 9u);
    line.discardInput();
    EXPECT_EQ(line.bytesWaiting(), 0u);
}

TEST_F(SimLineTest, WaitWithoutNewBytesSleepsToTheDeadline) {
    device.injectFault(Fault::ShortReply);
    send(line, kIdent);
    line.waitForActivity(Clock::now() + 5s);  // reports the half reply
    const auto t0 = Clock::now();
    line.waitForActivity(t0 + 60ms);
    EXPECT_GE(Clock::now() - t0, 60ms);
    EXPECT_EQ(line.bytesWaiting(), 7u);
}

TEST_F(SimLineTest, DiscardingInputKeepsALateReplyThatHasNotArrivedYet) {
    device.setLateDelay(150ms);
    device.injectFault(Fault::LateFirstByte);
    const auto t0 = Clock::now();
    send(line, kIdent);
    line.discardInput();
    line.waitForActivity(t0 + 5s);
    EXPECT_EQ(line.bytesWaiting(), 14u);
}

TEST_F(SimLineTest, OtherBaudRateMeetsASilentDevice) {
    ASSERT_TRUE(line.setBaudRate(9600));
    send(line, kIdent);
    EXPECT_EQ(line.bytesWaiting(), 0u);
    EXPECT_EQ(device.framesServed(), 0u);
    line.setBaudRate(115200);
    send(line, kIdent);
    EXPECT_EQ(line.bytesWaiting(), 14u);
}

TEST_F(SimLineTest, BetriebSwitchIsFollowedByReopeningAtTheNewRate) {
    send(line, writeFrame(addr::Betrieb, {4, 0, 0, 0}));
    EXPECT_EQ(readAll(line), Bytes{0x00});  // the reply at the old rate
    send(line, kIdent);
    EXPECT_EQ(line.bytesWaiting(), 0u) << "device now at 19200";
    line.close();
    ASSERT_TRUE(line.open("sim", 19200, nullptr));
    send(line, kIdent);
    EXPECT_EQ(line.bytesWaiting(), 14u);
}

TEST_F(SimLineTest, DroppedLineFailsAndClosesUntilRestored) {
    device.injectFault(Fault::DropLine);
    send(line, kIdent);
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(send(line, kIdent));
    EXPECT_EQ(line.bytesWaiting(), 0u);
    line.waitForActivity(Clock::now() + 10s);  // returns at once on a failed line
    std::string why;
    EXPECT_FALSE(line.open("sim", 115200, &why));
    EXPECT_FALSE(why.empty());
    device.restoreLine();
    ASSERT_TRUE(line.open("sim", 115200, nullptr));
    send(line, kIdent);
    EXPECT_EQ(line.bytesWaiting(), 14u);
}

}  // namespace
}  // namespace parvion::sim
