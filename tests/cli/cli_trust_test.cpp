// Nothing goes to a device that the user did not ask for: every setting of
// the pages, applied by parvion2-cli to a freshly connected device whose
// every parameter block holds values of its own, changes exactly the
// fields the setting names (and those its page rules change with it) —
// nothing else, in any record.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "cli_process.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/parameter_diff.h"
#include "core/model/parameter_image.h"

namespace parvion::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Every parameter block, in the order of the kinds, with its place.
template <class Fn>
void EachBlock(Fn fn) {
    for (int k = 0; k < kBlockKinds; ++k) {
        const auto kind = static_cast<BlockKind>(k);
        for (int i = 0; i < BlockCount(kind); ++i) fn(BlockId{kind, i}, block::Of({kind, i}));
    }
}

// Every parameter block of the device memory, decoded.
ParameterImage DeviceImage(const sim::Device& d) {
    ParameterImage image;
    EachBlock([&](BlockId id, block::Place p) {
        EXPECT_TRUE(codec::DecodeBlock(d.peek(p.address, p.count), image, id));
    });
    return image;
}

// What differs between two device memories: "Section Key" of every file
// field, and "Section <bytes>" for a block whose bytes differ where no file
// field does (the unit table's copy, System's own bytes, Betrieb).
std::set<std::string> Changes(const sim::Device& d, const std::vector<Bytes>& before,
                              const ParameterImage& was) {
    std::set<std::string> out;
    const ParameterImage now = DeviceImage(d);
    for (const ParameterDifference& diff : DiffParameterImages(was, now, medium::Gas, false)) {
        out.insert(diff.section + " " + diff.key);
    }
    std::size_t n = 0;
    EachBlock([&](BlockId id, block::Place p) {
        if (d.peek(p.address, p.count) == before[n++]) return;
        static constexpr const char* kNames[] = {
            "T_User",        "P_User",   "Flow_User", "Des_User", "Med_User",
            "Bez_User",      "Imp_User", "Alm_User",  "FlowKorr", "Aus_User",
            "UserEinheiten", "Vorgaben", "EG_User",   "Dis_User", "Trend_User",
            "Grenzwerte",    "System",   "Display",   "Betrieb"};
        ParameterImage one = was;
        codec::DecodeBlock(d.peek(p.address, p.count), one, id);
        if (DiffParameterImages(was, one, medium::Gas, false).empty()) {
            out.insert(kNames[static_cast<int>(id.kind)] + std::to_string(id.index) + " <bytes>");
        }
    });
    return out;
}

// Values of their own in every block: the simulator's process with every
// reserved field and every float it leaves at 0 filled in, so that a record
// written from defaults or zeros shows.
void FillDistinct(sim::Device& d) {
    ParameterImage im = DeviceImage(d);
    float v = 3.25f;
    auto next = [&v] { return v += 0.5f; };
    auto fill = [&](float& f) {
        if (f == 0) f = next();
    };
    for (std::size_t c = 0; c < 2; ++c) {
        T_UserRec& t = im.T_User[c];
        t.Dummy1 = 0x11;
        t.Dummy2 = 0x12;
        for (float* f : {&t.Dummy4, &t.Diff, &t.Toff, &t.Dummy3}) fill(*f);
        P_UserRec& p = im.P_User[c];
        p.Dummy1 = 0x21;
        p.Dummy2 = 0x22;
        for (float* f : {&p.Min, &p.Err, &p.Dummy3, &p.Dummy4}) fill(*f);
        Flow_UserRec& f = im.Flow_User[c];
        for (float* x : {&f.Min, &f.TKK}) fill(*x);
        Des_UserRec& des = im.Des_User[c];
        for (float* x : {&des.Desdp2, &des.Desdp3, &des.Desdp4}) fill(*x);
        Med_UserRec& m = im.Med_User[c];
        m.Dummy1 = 0x31;
        for (float* x : {&m.BT, &m.Bp, &m.BRho}) fill(*x);
        fill(im.Bez_User[c].T0);
        fill(im.Bez_User[c].h0);
        Imp_UserRec& i = im.Imp_User[c];
        i.Dummy1 = 0x41;
        i.Dummy2 = 0x42;
        i.Dummy3 = 0x43;
        Alm_UserRec& a = im.Alm_User[c];
        a.Dummy1 = 0x51;
        a.Dummy2 = 0x52;
        fill(a.Min);
        fill(a.Dummy3);
    }
    for (Aus_UserRec& a : im.Aus_User) {
        a.Dummy1 = 0x61;
        a.Dummy2 = 0x62;
    }
    im.Dis_User.CalcError = 1;
    im.Trend_User.Dummy1 = 0x71;
    im.Trend_User.Dummy2 = 0x72;
    im.System.Lang = 1;
    fill(im.System.Dummy6);
    for (float& p : im.Vorgaben) fill(p);
    im.Display = {0x7F, 0x3F, 0x21, 0x05};
    im.Betrieb.Bytes[3] = 0x44;
    EachBlock([&](BlockId id, block::Place p) { d.poke(p.address, codec::EncodeBlock(im, id)); });
}

TEST(CliTrust, EachSettingChangesExactlyItsFieldsOnAFreshlyConnectedDevice) {
    struct Case {
        std::vector<std::string> args;
        std::set<std::string> changes;
    };
    const Case cases[] = {
        // "Same as the other circuit": the other record gets Eq and keeps
        // everything else it has.
        {{"set", "T_User1", "Kind", "3"}, {"T_User0 Eq", "T_User1 Eq"}},
        {{"set", "P_User0", "Kind", "3"}, {"P_User0 Eq", "P_User1 Eq"}},
        {{"set", "T_User0", "Max", "120"}, {"T_User0 Max"}},
        {{"set", "T_User0", "Min", "100"}, {"T_User0 Min", "T_User0 Max"}},
        {{"set", "P_User1", "Max", "1500"}, {"P_User1 Max"}},
        {{"set", "Flow_User0", "Kind", "1"}, {"Flow_User0 Kind"}},
        {{"set", "Des_User1", "DesQN", "1234"}, {"Des_User1 DesQN"}},
        {{"set", "Med_User0", "Kind", "6"}, {"Med_User0 Kind"}},
        {{"set", "Imp_User0", "Kind", "2"}, {"Imp_User0 Kind"}},
        {{"set", "Alm_User1", "Kind", "2"}, {"Alm_User1 Kind"}},
        {{"set", "Alm_User0", "Max", "500"}, {"Alm_User0 Max"}},
        {{"set", "Aus_User2", "Min", "1"}, {"Aus_User2 Min"}},
        {{"set", "Dis_User", "Kind", "1"}, {"Dis_User Kind"}},
        {{"set", "Display", "Enable2", "17"}, {"Display Enable2"}},
        {{"set", "System", "Faktor", "0.95"}, {"System Faktor"}},
        {{"set", "System", "Kind", "0"}, {"System Kind"}},
        // The switch to one circuit: circuit 2's inputs and what named
        // circuit 2 move to circuit 1 or go off, on the device too.
        {{"set", "System", "Kind", "2"},
         {"System Kind", "T_User1 Kind", "P_User1 Kind", "Flow_User0 Kind", "Flow_User1 Kind",
          "Imp_User1 Kind", "Des_User0 Desdp2", "Des_User0 Desdp3", "Des_User0 Desdp4",
          "Aus_User2 Param", "Aus_User3 Param"}},
        {{"set", "Grenzwerte", "Schema", "0"}, {"Grenzwerte U_Max", "Grenzwerte U_Min"}},
        {{"set", "Vorgaben", "Vorgabe3", "250"}, {"Vorgaben Vorgabe3"}},
        {{"set", "Trend_User", "Time", "3"}, {"Trend_User Time"}},
        {{"set", "FlowKorr_2", "Stelle3", "2"}, {"FlowKorr_2 Stelle3"}},
    };
    TempDir home;
    SimOnPty sim;
    sim::Device& d = sim.device;
    FillDistinct(d);
    std::vector<Bytes> filled;
    EachBlock([&](BlockId, block::Place p) { filled.push_back(d.peek(p.address, p.count)); });
    const ParameterImage was = DeviceImage(d);
    for (const Case& c : cases) {
        std::string what;
        for (const std::string& a : c.args) what += a + " ";
        SCOPED_TRACE(what);
        // Each setting on the filled device, connected anew.
        std::size_t n = 0;
        EachBlock([&](BlockId, block::Place p) { d.poke(p.address, filled[n++]); });
        const CliRun r = RunEnglish(sim, home, c.args);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(Changes(d, filled, was), c.changes);
    }
}

}  // namespace
}  // namespace parvion::test
