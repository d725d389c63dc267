// Fault injection of the simulated device, and its baud-rate switch. The
// wrong sum, short, late and dropped replies are pinned by the transport tests.

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

TEST(DeviceFaults, NoReplySwallowsTheFrameWithoutExecutingIt) {
    Device d;
    d.injectFault(Fault::NoReply);
    EXPECT_TRUE(d.receive(writeFrame(addr::Display, {5, 5, 5, 5})).empty());
    EXPECT_NE(d.peek(addr::Display, 4), (Bytes{5, 5, 5, 5}));
    EXPECT_EQ(d.receive(kIdent).size(), 14u);
    EXPECT_EQ(d.framesServed(), 2u);
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

TEST(DeviceFaults, RejectWriteAnswersE0AndKeepsMemoryAndRate) {
    Device d;
    const Bytes before = d.peek(addr::Betrieb, 4);
    d.injectFault(Fault::RejectWrite);
    EXPECT_EQ(d.receive(writeFrame(addr::Betrieb, {2, 0, 0, 0})), Bytes{kReplyRejected});
    EXPECT_EQ(d.peek(addr::Betrieb, 4), before);
    EXPECT_EQ(d.baudIndex(), 7);
    // Taken the next time; a baud-rate index outside the table is stored but
    // keeps the rate.
    EXPECT_EQ(d.receive(writeFrame(addr::Betrieb, {9, 1, 2, 3})), Bytes{kReplyAccepted});
    EXPECT_EQ(d.peek(addr::Betrieb, 4), (Bytes{9, 1, 2, 3}));
    EXPECT_EQ(d.baudIndex(), 7);
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

}  // namespace
}  // namespace parvion::sim
