// The codecs' special rules: float clamps, System, UserEinheiten. (Every
// field's position, the round trip of every record, erased and infinite floats
// and short blocks are pinned by parameter_golden_test.cpp.)

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

Bytes slice(const Bytes& b, std::size_t at, std::size_t n) {
    return {b.begin() + static_cast<std::ptrdiff_t>(at),
            b.begin() + static_cast<std::ptrdiff_t>(at + n)};
}

TEST(BlockCodec, FloatsAreClampedAndSentHighByteFirst) {
    T_UserRec t;
    t.Min = 1e-10f;  // below 1e-9: sent as zero
    t.Max = 2e10f;   // above the maximum: the ceiling pattern
    t.Diff = 1.0f;
    const Bytes b = codec::Encode(t);
    ASSERT_EQ(b.size(), 32u);
    EXPECT_EQ(slice(b, 4, 4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(slice(b, 8, 4), (Bytes{0x50, 0x15, 0x02, 0x97}));
    EXPECT_EQ(slice(b, 16, 4), (Bytes{0x3F, 0x80, 0x00, 0x00}));

    // Overflow is clipped on both sides, the infinities with it.
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const struct {
        float v;
        Bytes sent;
    } cases[] = {
        {-1e-10f, {0, 0, 0, 0}},
        {9999899648.0f, {0x50, 0x15, 0x02, 0x97}},
        {-2e10f, {0xD0, 0x15, 0x02, 0x97}},
        {-3e38f, {0xD0, 0x15, 0x02, 0x97}},
        {kInf, {0x50, 0x15, 0x02, 0x97}},
        {-kInf, {0xD0, 0x15, 0x02, 0x97}},
        {-1.0f, {0xBF, 0x80, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        Bytes out(4);
        wire::PutFloat(out, 0, c.v);
        EXPECT_EQ(out, c.sent) << c.v;
    }
}

TEST(BlockCodec, SystemBlockHasNoPlaceForTwoReservedFields) {
    SystemRec s;
    s.Ausbaustufe = 0xC0;
    s.Anzahl = 2;
    s.KindMask = 5;
    s.Kind = 4;
    s.Lang = 1;
    s.Dummy3 = 0x55;
    s.Dummy4 = 0x12345678;
    s.Faktor = 1.0f;
    s.Dummy6 = 2.0f;
    const Bytes b = codec::Encode(s);
    EXPECT_EQ(b, (Bytes{0xC0, 2, 5, 4, 1, 0, 0, 0, 0x3F, 0x80, 0, 0, 0x40, 0, 0, 0}));

    Bytes device = b;
    device[5] = 9;  // whatever the device holds there is not taken
    SystemRec back = s;
    ASSERT_TRUE(codec::Decode(device, back));
    EXPECT_EQ(back.Dummy3, 0);
    EXPECT_EQ(back.Dummy4, 0);
    EXPECT_EQ(back.Faktor, 1.0f);
    EXPECT_EQ(back.Dummy6, 2.0f);
    EXPECT_EQ(back.Kind, 4);
}

TEST(BlockCodec, UnitTextIsFiveCharactersRightAligned) {
    UserEinheitRec u{1, 2, '4', "m3", 1.0f, 0.0f};
    Bytes b = codec::Encode(u);
    ASSERT_EQ(b.size(), 16u);
    EXPECT_EQ(std::string(b.begin() + 3, b.begin() + 8), "   m3");
    u.Text = "kg/h3x";  // longer than five: the first five go out
    b = codec::Encode(u);
    EXPECT_EQ(std::string(b.begin() + 3, b.begin() + 8), "kg/h3");
    EXPECT_EQ(slice(b, 8, 4), (Bytes{0x3F, 0x80, 0, 0}));
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
