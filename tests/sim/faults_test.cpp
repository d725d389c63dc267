// Fault injection of the simulated device, and its baud-rate switch.

#include <gtest/gtest.h>

#include <chrono>

#include "sim/lib/device.h"
#include "sim/lib/memory_map.h"
#include "sim_frames.h"

namespace parvion::sim {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::readFrame;
using test::sumOk;
using test::writeFrame;

const Bytes kIdent = readFrame(addr::Ident, 8);

TEST(DeviceFaults, BadChecksumMakesTheSumOneTooSmallOnce) {
    Device d;
    d.injectFault(Fault::BadChecksum);
    const Bytes bad = d.receive(kIdent);
    ASSERT_EQ(bad.size(), 14u);
    EXPECT_FALSE(sumOk(bad));
    const unsigned got = unsigned{bad[12]} << 8 | bad[13];
    EXPECT_EQ(got + 1, test::sum16(std::span<const std::uint8_t>(bad).first(12)));
    EXPECT_TRUE(sumOk(d.receive(kIdent)));
}

TEST(DeviceFaults, NoReplySwallowsTheFrameWithoutExecutingIt) {
    Device d;
    d.injectFault(Fault::NoReply);
    EXPECT_TRUE(d.receive(writeFrame(addr::Display, {5, 5, 5, 5})).empty());
    EXPECT_NE(d.peek(addr::Display, 4), (Bytes{5, 5, 5, 5}));
    EXPECT_EQ(d.receive(kIdent).size(), 14u);
    EXPECT_EQ(d.framesServed(), 2u);
}

TEST(DeviceFaults, ShortReplySendsHalf) {
    Device d;
    d.injectFault(Fault::ShortReply);
    EXPECT_EQ(d.receive(kIdent).size(), 7u);
}

TEST(DeviceFaults, LateFirstByteDelaysTheWholeReply) {
    Device d;
    d.setLateDelay(450ms);
    d.injectFault(Fault::LateFirstByte);
    const Device::Response r = d.process(kIdent);
    EXPECT_EQ(r.delay, 450ms);
    EXPECT_EQ(r.bytes.size(), 14u);
    EXPECT_EQ(d.process(kIdent).delay, 0ms);
}

TEST(DeviceFaults, GarbageBeforeComesAheadOfAnIntactReply) {
    Device d;
    d.injectFault(Fault::GarbageBefore);
    const Bytes r = d.receive(kIdent);
    ASSERT_GT(r.size(), 14u);
    const Bytes tail(r.end() - 14, r.end());
    EXPECT_TRUE(sumOk(tail));
    EXPECT_EQ(tail[0], 0xB0);
}

TEST(DeviceFaults, RejectWriteAnswersE0AndKeepsMemory) {
    Device d;
    const Bytes before = d.peek(addr::Display, 4);
    d.injectFault(Fault::RejectWrite);
    EXPECT_EQ(d.receive(writeFrame(addr::Display, {5, 5, 5, 5})), Bytes{kReplyRejected});
    EXPECT_EQ(d.peek(addr::Display, 4), before);
    EXPECT_EQ(d.receive(writeFrame(addr::Display, {5, 5, 5, 5})), Bytes{kReplyAccepted});
}

TEST(DeviceFaults, DropLineSilencesTheDeviceUntilRestored) {
    Device d;
    d.injectFault(Fault::DropLine);
    const Device::Response r = d.process(kIdent);
    EXPECT_TRUE(r.dropLine);
    EXPECT_TRUE(r.bytes.empty());
    EXPECT_TRUE(d.lineDropped());
    EXPECT_TRUE(d.receive(kIdent).empty());
    d.restoreLine();
    EXPECT_EQ(d.receive(kIdent).size(), 14u);
}

TEST(DeviceFaults, FaultsQueueInOrderAndNoneSkipsAFrame) {
    Device d;
    d.injectFault(Fault::None, 2);
    d.injectFault(Fault::NoReply, 2);
    EXPECT_EQ(d.pendingFaults(), 4u);
    EXPECT_EQ(d.receive(kIdent).size(), 14u);
    EXPECT_EQ(d.receive(kIdent).size(), 14u);
    EXPECT_TRUE(d.receive(kIdent).empty());
    EXPECT_TRUE(d.receive(kIdent).empty());
    EXPECT_EQ(d.receive(kIdent).size(), 14u);
    d.injectFault(Fault::NoReply, 3);
    d.clearFaults();
    EXPECT_EQ(d.receive(kIdent).size(), 14u);
}

TEST(DeviceBaud, BetriebWriteSwitchesTheRateAfterItsReply) {
    Device d;
    ASSERT_EQ(d.baudIndex(), 7);
    const Device::Response r = d.process(writeFrame(addr::Betrieb, {3, 0, 0, 0}));
    EXPECT_EQ(r.bytes, Bytes{kReplyAccepted});
    EXPECT_EQ(r.baudIndex, 7) << "the reply still goes out at the old rate";
    EXPECT_EQ(d.baudIndex(), 3);
    EXPECT_EQ(d.process(kIdent).baudIndex, 3);
}

TEST(DeviceBaud, IndexOutsideTheTableIsStoredButKeepsTheRate) {
    Device d;
    EXPECT_EQ(d.receive(writeFrame(addr::Betrieb, {9, 1, 2, 3})), Bytes{kReplyAccepted});
    EXPECT_EQ(d.baudIndex(), 7);
    EXPECT_EQ(d.peek(addr::Betrieb, 4), (Bytes{9, 1, 2, 3}));
}

TEST(DeviceBaud, RejectedBetriebWriteKeepsTheRate) {
    Device d;
    d.injectFault(Fault::RejectWrite);
    EXPECT_EQ(d.receive(writeFrame(addr::Betrieb, {2, 0, 0, 0})), Bytes{kReplyRejected});
    EXPECT_EQ(d.baudIndex(), 7);
}

}  // namespace
}  // namespace parvion::sim
