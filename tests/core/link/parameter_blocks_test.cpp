// Parameter block commands and the bulk operations against the in-process
// device simulator: what reaches the device memory, what comes back, the
// expansion-level and variant rules, and that failed reads keep records.

#include "core/link/parameter_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/link/transport.h"
#include "core/model/defaults.h"
#include "support/link_bench.h"

namespace parvion {
namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::Fault;

struct Bench : test::LinkBench {
    explicit Bench(sim::DeviceOptions options = {}) : LinkBench(options) {
        session.Medium = options.medium;
        open();
    }
};

// An image in which every field has a value of its own that survives the
// float encoding.
ParameterImage distinctImage(std::uint8_t ausbaustufe) {
    ParameterImage im;
    float v = 1.25f;
    auto next = [&v] { return v += 1.5f; };
    std::uint8_t b = 1;
    auto nb = [&b] { return b++; };
    for (int i = 0; i < 2; ++i) {
        const auto c = static_cast<std::size_t>(i);
        im.T_User[c] = {nb(),   nb(),   nb(),   nb(),   next(), next(),
                        next(), next(), next(), next(), next()};
        im.P_User[c] = {nb(),   nb(),   nb(),   nb(),   next(), next(),
                        next(), next(), next(), next(), next()};
        im.Flow_User[c] = {nb(),   nb(),   4000,   next(), next(),
                           next(), next(), next(), next(), next()};
        im.Des_User[c] = {next(), next(), next(), next(), next(), next(), next(), next()};
        im.Med_User[c] = {nb(),   '0',    1,      nb(),   next(), next(),
                          next(), next(), next(), next(), next()};
        im.Bez_User[c] = {next(), next(), next(), next()};
        im.Imp_User[c] = {nb(), nb(), nb(), nb(), next()};
        im.Alm_User[c] = {nb(), nb(), nb(), nb(), next(), next(), next()};
        for (auto& k : im.FlowKorr[c].Stelle) k = next();
    }
    for (auto& a : im.Aus_User) a = {nb(), nb(), nb(), nb(), next(), next(), next()};
    im.EG_User = {next(), next(), next(), next()};
    im.Grenzwerte = {1.5f, 1.25f, 0.25f, 0.125f};
    im.Dis_User = {2, 1, 3, 0};
    for (std::size_t q = 0; q < 16; ++q) {
        im.UserEinheiten[q] = {static_cast<std::uint8_t>(q % 3), 3, '2', "  bar", next(), next()};
    }
    im.Trend_User = {0, 0, 5, 30};
    im.System = {ausbaustufe, 2, 0x07, 0x03, 1, 0, 0, 1.0f, next()};
    for (auto& p : im.Vorgaben) p = next();
    im.Display = {127, 127, 40, 0};
    im.Betrieb = {{3, 0, 0, 0}};
    return im;
}

TEST(ParameterBlocks, WriteAllThenReadAllGivesTheSameImage) {
    Bench b;
    ParameterImage image = distinctImage(ausbaustufe::HighEnd);
    WriteAllParameters(*b.link, image);

    EXPECT_EQ(b.ui.progressMaximum, kWriteAllProgressMax);
    EXPECT_EQ(b.ui.progressSteps, 28);
    EXPECT_EQ(b.ui.progressHides, 1);
    EXPECT_EQ(b.ui.cursorBusy, (std::vector<bool>{true, false}));
    ASSERT_FALSE(b.ui.waits.empty());
    EXPECT_TRUE(std::all_of(b.ui.waits.begin() + 1, b.ui.waits.end(),
                            [](int ms) { return ms == kWriteAllWaitMs; }));
    EXPECT_EQ(b.device.writesRejected(), 0u);

    // Betrieb byte 0 is the program's baud-rate index; the device's own
    // bytes 1..3 are carried, whatever the image held.
    EXPECT_EQ(image.Betrieb.Bytes[0], 7);
    // The blocks hold exactly the encoded records.
    EXPECT_EQ(b.peek(block::T_User(1)), codec::Encode(image.T_User[1]));
    EXPECT_EQ(b.peek(block::Flow_User(0)), codec::Encode(image.Flow_User[0]));
    EXPECT_EQ(b.peek(block::UserEinheiten(15)), codec::Encode(image.UserEinheiten[15]));
    EXPECT_EQ(b.peek(block::Vorgaben(7)), codec::EncodeVorgabe(image.Vorgaben[7]));
    EXPECT_EQ(b.peek(block::Betrieb), (Bytes{7, 0x01, 0x5A, 0x03}));
    EXPECT_EQ(b.peek(block::System), codec::Encode(image.System));

    ParameterImage back;
    EXPECT_TRUE(ReadAllParameters(*b.link, back));
    EXPECT_EQ(back, image);
}

TEST(ParameterBlocks, ExpansionLevelsDecideWhatIsWritten) {
    struct Case {
        std::uint8_t level;
        bool circuit2;
        bool trend;
    };
    for (const Case c :
         {Case{ausbaustufe::BasicA2, false, true}, Case{ausbaustufe::Basic, false, false},
          Case{ausbaustufe::BasicA1, true, false}}) {
        SCOPED_TRACE(static_cast<int>(c.level));
        sim::DeviceOptions options;
        options.ausbaustufe = c.level;
        Bench b(options);
        const std::vector<block::Place> circuit2 = {
            block::T_User(1),   block::P_User(1),   block::Flow_User(1), block::Bez_User(1),
            block::Des_User(1), block::Med_User(1), block::Imp_User(1),  block::FlowKorr(1),
            block::Aus_User(1), block::Aus_User(2), block::Aus_User(3)};
        for (const auto& p : circuit2) b.fill(p, 0x11);
        b.fill(block::Alm_User(1), 0x11);
        b.fill(block::Trend_User, 0x11);

        ParameterImage image = distinctImage(c.level);
        WriteAllParameters(*b.link, image);
        for (const auto& p : circuit2) {
            EXPECT_EQ(b.peek(p) == Bytes(p.count, 0x11), !c.circuit2) << p.address;
        }
        EXPECT_EQ(b.peek(block::Alm_User(1)), codec::Encode(image.Alm_User[1]));
        EXPECT_EQ(b.peek(block::Trend_User) == Bytes(4, 0x11), !c.trend);
        EXPECT_EQ(b.peek(block::T_User(0)), codec::Encode(image.T_User[0]));
        EXPECT_EQ(b.peek(block::Aus_User(0)), codec::Encode(image.Aus_User[0]));
        EXPECT_EQ(b.ui.progressSteps, 28);  // the bar runs its full length regardless
    }
}

TEST(ParameterBlocks, SystemKindIsReducedToTheDevicesKindMask) {
    sim::DeviceOptions options;
    options.kindMask = 0x05;
    Bench b(options);
    ParameterImage image = distinctImage(ausbaustufe::HighEnd);
    image.System.KindMask = 0xFF;
    image.System.Kind = 0x07;
    image.System.Anzahl = 3;
    WriteAllParameters(*b.link, image);
    EXPECT_EQ(image.System.KindMask, 0x05);
    EXPECT_EQ(image.System.Kind, 0x05);
    EXPECT_EQ(image.System.Anzahl, 3);  // the rest of the local record is kept
    const Bytes sys = b.peek(block::System);
    EXPECT_EQ(Bytes(sys.begin() + 1, sys.begin() + 4), (Bytes{3, 0x05, 0x05}));
}

TEST(ParameterBlocks, TheEnergyComputerHasNoGasInputSet) {
    sim::DeviceOptions options;
    options.medium = medium::Energy;
    Bench b(options);
    b.fill(block::EG_User, 0x22);
    ParameterImage image = distinctImage(ausbaustufe::HighEnd);
    WriteAllParameters(*b.link, image);
    EXPECT_EQ(b.peek(block::EG_User), Bytes(16, 0x22));

    ParameterImage back;
    back.EG_User = {1, 2, 3, 4};
    EXPECT_TRUE(ReadAllParameters(*b.link, back));
    EXPECT_EQ(back.EG_User, (EG_UserRec{1, 2, 3, 4}));
    EXPECT_EQ(back.T_User, image.T_User);

    // The gas computer reads it.
    b.session.Medium = medium::Gas;
    EXPECT_TRUE(ReadAllParameters(*b.link, back));
    EG_UserRec device;
    ASSERT_TRUE(codec::Decode(Bytes(16, 0x22), device));
    EXPECT_EQ(back.EG_User, device);
}

TEST(ParameterBlocks, FailedReadsLeaveTheirRecords) {
    Bench b;
    ParameterImage image = distinctImage(ausbaustufe::HighEnd);
    const ParameterImage before = image;
    Link& l = *b.link;
    for (const std::function<bool()>& read : std::vector<std::function<bool()>>{
             [&] { return ReadT_User(l, image, 1); }, [&] { return ReadMed_User(l, image, 0); },
             [&] { return ReadSystem(l, image); }, [&] { return ReadUserEinheiten(l, image, 4); },
             [&] { return ReadVorgaben(l, image, 2); },
             [&] { return ReadFlowKorr(l, image, 1); }}) {
        b.device.injectFault(Fault::BadChecksum, 4);
        EXPECT_FALSE(read());
    }
    EXPECT_EQ(image, before);

    // Indexes outside their range fail without traffic.
    const auto served = b.device.framesServed();
    EXPECT_FALSE(ReadT_User(*b.link, image, 2));
    EXPECT_FALSE(WriteAus_User(*b.link, image, 4));
    EXPECT_FALSE(ReadUserEinheiten(*b.link, image, -1));
    EXPECT_FALSE(WriteVorgaben(*b.link, image, 8));
    EXPECT_EQ(b.device.framesServed(), served);

    // A line that went dead.
    b.device.injectFault(Fault::DropLine, 1);
    EXPECT_FALSE(ReadDisplay(*b.link, image));
    EXPECT_EQ(image, before);
    EXPECT_FALSE(b.session.Online);
}

TEST(ParameterBlocks, MediumReplyForAnotherAddressIsRefused) {
    Bench b;
    ParameterImage image = distinctImage(ausbaustufe::HighEnd);
    const Med_UserRec before = image.Med_User[0];
    const int failed = b.link->failedTransactions();
    b.device.injectFault(Fault::WrongEcho, 1);
    EXPECT_FALSE(ReadMed_User(*b.link, image, 0));
    EXPECT_EQ(image.Med_User[0], before);
    // The refused reply is a failed transaction for whoever counts them,
    // though the transport took it: a bulk read is not complete.
    EXPECT_EQ(b.link->failedTransactions(), failed + 1);
    // The other reads take the data as it comes.
    b.device.injectFault(Fault::WrongEcho, 1);
    EXPECT_TRUE(ReadT_User(*b.link, image, 0));
    EXPECT_EQ(b.device.pendingFaults(), 0u);
    EXPECT_EQ(b.link->failedTransactions(), failed + 1);
}

TEST(ParameterBlocks, ReadAllReportsItsLastReadOnly) {
    Bench b;
    b.device.poke(block::Dis_User.address, Bytes{0, 0, 0, 0});  // no user units: 37 reads
    ParameterImage image = distinctImage(ausbaustufe::HighEnd);
    const DisplayRec display = image.Display;
    b.device.injectFault(Fault::None, 36);
    b.device.injectFault(Fault::BadChecksum, 4);
    EXPECT_FALSE(ReadAllParameters(*b.link, image));
    EXPECT_EQ(image.Display, display);
    EXPECT_EQ(image.Dis_User.Einheiten, 0);

    image = distinctImage(ausbaustufe::HighEnd);
    const T_UserRec first = image.T_User[0];
    b.device.injectFault(Fault::BadChecksum, 4);
    EXPECT_TRUE(ReadAllParameters(*b.link, image));
    EXPECT_EQ(image.T_User[0], first);
}

TEST(ParameterBlocks, ARecordGoesOutOnlyAsThisConnectionsDeviceReturnedIt) {
    Bench b;
    ParameterImage image;
    const auto writes = [&b] { return b.device.framesServed(cmd::Write); };
    const auto reads = [&b] { return b.device.framesServed(cmd::Read); };
    const Bytes device = b.peek(block::T_User(1));
    T_UserRec expected;
    ASSERT_TRUE(codec::Decode(device, expected));

    // Never read in this connection: refused before anything is sent.
    auto sent = writes();
    EXPECT_FALSE(WriteT_User(*b.link, image, 1));
    EXPECT_FALSE(WriteVorgaben(*b.link, image, 3));
    EXPECT_EQ(writes(), sent);
    EXPECT_EQ(b.link->lastFailure().cause, LinkCause::UnreadRecord);

    // Read: the device's record with the edited field goes out.
    ASSERT_TRUE(ReadT_User(*b.link, image, 1));
    image.T_User[1].Max = 77;
    expected.Max = 77;
    EXPECT_TRUE(WriteT_User(*b.link, image, 1));
    EXPECT_EQ(b.peek(block::T_User(1)), codec::Encode(expected));

    // Every block's read makes its write possible.
    for (int k = 0; k < kBlockKinds; ++k) {
        const auto kind = static_cast<BlockKind>(k);
        for (int i = 0; i < BlockCount(kind); ++i) {
            SCOPED_TRACE(BlockSlot({kind, i}));
            ParameterImage fresh;
            ASSERT_TRUE(ReadRecord(*b.link, fresh, {kind, i}));
            EXPECT_TRUE(WriteRecord(*b.link, fresh, {kind, i}));
        }
    }
    EXPECT_EQ(b.device.writesRejected(), 0u);

    // What an edit needs is read once: only the records not yet held.
    auto read = reads();
    EXPECT_TRUE(ReadUnread(*b.link, image, {{BlockKind::T_User, 0}, {BlockKind::T_User, 1}}));
    EXPECT_TRUE(ReadUnread(*b.link, image, {{BlockKind::T_User, 0}, {BlockKind::T_User, 1}}));
    EXPECT_EQ(reads() - read, 1u);
    b.device.injectFault(Fault::BadChecksum, 4);
    EXPECT_FALSE(ReadUnread(*b.link, image, {{BlockKind::System, 0}}));

    // Each of these leaves the record not held, so its write is refused.
    const std::pair<const char*, std::function<void()>> forgetters[] = {
        {"a new connection", [&] { EXPECT_TRUE(b.link->OpenComPort(1, b.device.baudIndex())); }},
        {"a write the device refused",
         [&] {
             b.device.injectFault(Fault::RejectWrite, 4);
             EXPECT_FALSE(WriteT_User(*b.link, image, 1));
         }},
        {"the defaults", [&] { ResetParameters(image, medium::Gas, true); }},
    };
    for (const auto& [what, forget] : forgetters) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(ReadT_User(*b.link, image, 1));
        forget();
        sent = writes();
        EXPECT_FALSE(WriteT_User(*b.link, image, 1));
        EXPECT_EQ(writes(), sent);
    }
    EXPECT_EQ(b.peek(block::T_User(1)), codec::Encode(expected));

    // Offline an edit changes the image alone: nothing to read.
    b.session.Online = false;
    read = reads();
    EXPECT_TRUE(ReadUnread(*b.link, image, {{BlockKind::Display, 0}}));
    EXPECT_EQ(reads(), read);
}

TEST(ParameterBlocks, BulkOperationsEndWhenTheLineHasGone) {
    // The device stops answering after a few blocks: two silent
    // transactions end the operation, the rest is not tried. The write
    // names the blocks the device took.
    std::vector<std::string> written;
    const std::pair<const char*, std::function<void(Link&, ParameterImage&)>> operations[] = {
        {"read all", [](Link& l, ParameterImage& i) { EXPECT_FALSE(ReadAllParameters(l, i)); }},
        {"write all",
         [&written](Link& l, ParameterImage& i) { WriteAllParameters(l, i, &written); }},
    };
    for (const auto& [what, operation] : operations) {
        SCOPED_TRACE(what);
        Bench b;
        ParameterImage image = distinctImage(ausbaustufe::HighEnd);
        b.device.injectFault(Fault::None, 3);
        b.device.injectFault(Fault::NoReply, 1000);
        const int failed = b.link->failedTransactions();
        operation(*b.link, image);
        EXPECT_EQ(b.device.framesServed(), 3u + 2 * kTransactionAttempts);
        EXPECT_EQ(b.link->failedTransactions() - failed, kSilentTransactions);
        EXPECT_EQ(b.link->lastFailure().cause, LinkCause::NoReply);
        EXPECT_FALSE(b.link->lineGone());  // only within the operation
        // The next single transaction tries the device again.
        b.device.clearFaults();
        EXPECT_TRUE(ReadSystem(*b.link, image));
    }
    // The System read, then two writes.
    EXPECT_EQ(written, (std::vector<std::string>{"T_User1", "P_User1"}));

    // A device that still answers, however badly, is not given up.
    Bench b;
    ParameterImage image;
    b.device.injectFault(Fault::BadChecksum, 40);
    EXPECT_TRUE(ReadAllParameters(*b.link, image));
    EXPECT_EQ(b.link->failedTransactions(), 10);
}

TEST(ParameterBlocks, CircuitParametersStopAtTheFirstFailure) {
    Bench b;
    ParameterImage image = distinctImage(ausbaustufe::HighEnd);
    const ParameterImage before = image;
    const auto served = b.device.framesServed();
    b.device.injectFault(Fault::None, 2);
    b.device.injectFault(Fault::BadChecksum, 4);
    EXPECT_FALSE(ReadCircuitParameters(*b.link, image, 1));
    EXPECT_EQ(b.device.framesServed() - served, 6u);  // T, P, then Flow four times
    EXPECT_NE(image.T_User[1], before.T_User[1]);
    EXPECT_EQ(image.Flow_User[1], before.Flow_User[1]);
    EXPECT_EQ(image.Des_User[1], before.Des_User[1]);

    EXPECT_TRUE(ReadCircuitParameters(*b.link, image, 0));
    EXPECT_EQ(codec::Encode(image.Aus_User[3]), b.peek(block::Aus_User(3)));
    EXPECT_EQ(codec::Encode(image.EG_User), b.peek(block::EG_User));
}

}  // namespace
}  // namespace parvion
