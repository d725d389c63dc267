// The float clamps, the frame checksum and the time on the wire. (Every
// field's position, the round trip of every record, System's reserved fields,
// the unit texts, erased and infinite floats and short blocks are pinned by
// parameter_golden_test.cpp.)

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "core/link/encoding.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"

namespace parvion {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(BlockCodec, FloatsAreClampedAndSentHighByteFirst) {
    // Below 1e-9 either side: zero; overflow is clipped on both sides, the
    // infinities with it.
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const struct {
        float v;
        Bytes sent;
    } cases[] = {
        {1e-10f, {0, 0, 0, 0}},
        {-1e-10f, {0, 0, 0, 0}},
        {1.0f, {0x3F, 0x80, 0x00, 0x00}},
        {-1.0f, {0xBF, 0x80, 0x00, 0x00}},
        {2e10f, {0x50, 0x15, 0x02, 0x97}},
        {9999899648.0f, {0x50, 0x15, 0x02, 0x97}},
        {-2e10f, {0xD0, 0x15, 0x02, 0x97}},
        {-3e38f, {0xD0, 0x15, 0x02, 0x97}},
        {kInf, {0x50, 0x15, 0x02, 0x97}},
        {-kInf, {0xD0, 0x15, 0x02, 0x97}},
    };
    for (const auto& c : cases) {
        Bytes out(4);
        wire::PutFloat(out, 0, c.v);
        EXPECT_EQ(out, c.sent) << c.v;
    }
    // The codec puts its floats at their place: T_User.Max at byte 8.
    T_UserRec t;
    t.Max = 2e10f;
    const Bytes b = codec::Encode(t);
    ASSERT_EQ(b.size(), 32u);
    EXPECT_EQ(Bytes(b.begin() + 8, b.begin() + 12), (Bytes{0x50, 0x15, 0x02, 0x97}));
}

TEST(FrameChecksum, AppendedHighByteFirstWithinCapacity) {
    std::vector<std::uint8_t> frame = {0xA0, 0x81, 0x78, 0x04, 0x11, 0x22, 0x33, 0xFF};
    const unsigned sum = 0xA0 + 0x81 + 0x78 + 0x04 + 0x11 + 0x22 + 0x33 + 0xFF;
    ASSERT_TRUE(AppendChecksum(frame, 255));
    ASSERT_EQ(frame.size(), 10u);
    EXPECT_EQ(frame[8], sum >> 8);
    EXPECT_EQ(frame[9], sum & 0xFF);

    std::vector<std::uint8_t> big(200, 0xFF);  // the sum wraps modulo 65536
    ASSERT_TRUE(AppendChecksum(big, 255));
    EXPECT_EQ((big[200] << 8) | big[201], (200 * 0xFF) & 0xFFFF);

    std::vector<std::uint8_t> full(254, 1);
    EXPECT_FALSE(AppendChecksum(full, 255));
    EXPECT_EQ(full.size(), 254u);
}

TEST(FrameChecksum, WireTimeCountsTenBitsPerByte) {
    EXPECT_EQ(WireTime(24, 1200).count(), 200);
    EXPECT_EQ(WireTime(1, 115200).count(), 1);  // rounded up
    EXPECT_EQ(WireTime(255, 1200).count(), 2125);
}

}  // namespace
}  // namespace parvion
