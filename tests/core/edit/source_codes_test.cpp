// The source codes of relays, outputs and the preferred display value: the
// choice index of every code in both directions, the quantity each code is
// shown in, and the limits of its values.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/edit/source_codes.h"
#include "core/model/parameter_image.h"

namespace parvion::edit {
namespace {

std::vector<int> Codes(std::initializer_list<std::pair<int, int>> ranges) {
    std::vector<int> codes;
    for (auto [from, to] : ranges) {
        for (int c = from; c <= to; ++c) codes.push_back(c);
    }
    return codes;
}

TEST(SourceCodes, EveryChoiceHasItsCodeAndEveryCodeItsChoice) {
    const std::vector<int> alarms = Codes({{0, 7}, {9, 15}, {17, 23}, {28, 31}});
    const std::vector<int> outputs = Codes({{0, 5}, {9, 13}, {17, 21}, {28, 29}});
    const std::pair<SourceUse, const std::vector<int>*> uses[] = {{SourceUse::Alarm, &alarms},
                                                                  {SourceUse::Preferred, &alarms},
                                                                  {SourceUse::Output, &outputs}};
    for (const auto& [use, codes] : uses) {
        SCOPED_TRACE(static_cast<int>(use));
        ASSERT_EQ(SourceChoiceCount(use), static_cast<int>(codes->size()));
        for (int i = 0; i < SourceChoiceCount(use); ++i) {
            const int code = (*codes)[static_cast<std::size_t>(i)];
            EXPECT_EQ(SourceCode(use, i), code) << "choice " << i;
            EXPECT_EQ(SourceIndex(use, static_cast<std::uint8_t>(code)), i) << "code " << code;
        }
        for (int code = 0; code < 256; ++code) {
            const bool listed = std::find(codes->begin(), codes->end(), code) != codes->end();
            EXPECT_EQ(ValidSourceCode(use, static_cast<std::uint8_t>(code)), listed) << code;
        }
    }
    // The alarm index 15 is the temperature difference.
    EXPECT_EQ(SourceCode(SourceUse::Alarm, 15), 17);
    EXPECT_EQ(SourceCode(SourceUse::Output, 6), 9);
    // Codes outside the lists: the alarms and the preferred value part at 16.
    EXPECT_EQ(SourceIndex(SourceUse::Alarm, 16), 14);
    EXPECT_EQ(SourceIndex(SourceUse::Preferred, 16), 15);
    EXPECT_FALSE(NeedsCircuit2(7));
    EXPECT_TRUE(NeedsCircuit2(9));
}

TEST(SourceCodes, TheQuantityFollowsTheCode) {
    // Per code 0..31: alarms, then outputs where they differ (the other codes
    // are mass for alarms, mA for outputs).
    const int t = 0, p = 1, r = 2, f = 3, m = 4, tot = 5, mass = 6, dt = 13, mA = 15;
    const int alarm[32] = {mass, t,    p,    r,    f, m, tot, mass,   // circuit 1
                           mass, t,    p,    r,    f, m, tot, mass,   // circuit 2
                           mass, dt,   p,    r,    f, m, tot, mass,   // difference
                           mass, mass, mass, mass, f, m, tot, mass};  // sum
    for (int code = 0; code < 32; ++code) {
        const int a = alarm[code];
        EXPECT_EQ(SourceQuantity(SourceUse::Alarm, static_cast<std::uint8_t>(code)), a) << code;
        EXPECT_EQ(SourceQuantity(SourceUse::Output, static_cast<std::uint8_t>(code)),
                  a == mass ? mA : a)
            << code;
    }
    EXPECT_EQ(SourceQuantity(SourceUse::Alarm, 200), mass);
    EXPECT_EQ(SourceQuantity(SourceUse::Output, 200), mA);
}

TEST(SourceCodes, LimitsByCodeAndVariant) {
    const int gas = medium::Gas, energy = medium::Energy;
    struct Case {
        const char* what;
        ValueLimits limits;
        ValueLimits want;
    };
    const Case cases[] = {
        {"alarm temperature 2", AlarmLimits(gas, 9), {-273.15f, 1500}},
        {"alarm temperature difference", AlarmLimits(gas, 17), {-1273.15f, 1273.15f}},
        {"alarm pressure difference", AlarmLimits(gas, 18), {-1e5f, 1e5f}},
        {"alarm density", AlarmLimits(gas, 3), {0.08f, 5000}},
        {"alarm standard flow gas", AlarmLimits(gas, 4), {0, 1e7f}},
        {"alarm flow sum gas", AlarmLimits(gas, 28), {0, 2e7f}},
        {"alarm power difference energy", AlarmLimits(energy, 20), {-1e8f, 1e8f}},
        {"alarm power sum energy", AlarmLimits(energy, 28), {0, 2e8f}},
        {"alarm mass flow sum", AlarmLimits(gas, 29), {0, 2e8f}},
        {"alarm total difference", AlarmLimits(gas, 22), {-1e9f, 1e9f}},
        {"alarm total sum", AlarmLimits(energy, 30), {0, 1e9f}},
        {"alarm total mass", AlarmLimits(gas, 15), {0, 1e9f}},
        {"output power energy", OutputLimits(energy, 12), {-1e8f, 1e8f}},
        {"output power sum energy", OutputLimits(energy, 28), {-2e8f, 2e8f}},
        {"output flow gas", OutputLimits(gas, 4), {0, 1e7f}},
        {"output flow difference gas", OutputLimits(gas, 20), {-1e7f, 1e7f}},
        {"output flow sum gas", OutputLimits(gas, 28), {0, 2e7f}},
        {"output mass flow difference", OutputLimits(gas, 21), {-1e8f, 1e8f}},
        {"output density difference", OutputLimits(energy, 19), {-5000, 5000}},
        {"output temperature difference", OutputLimits(gas, 17), {-1273.15f, 1273.15f}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.limits.min, c.want.min) << c.what;
        EXPECT_EQ(c.limits.max, c.want.max) << c.what;
    }

    // The range an output's limits are brought into when its source changes.
    struct Range {
        int medium;
        std::uint8_t code;
        bool applies;
        float min, max;
    };
    const Range ranges[] = {
        {gas, 1, true, -273.15f, 1500}, {gas, 17, true, 0, 1273.15f},
        {gas, 18, true, 0, 1e5f},       {gas, 11, true, 0.08f, 5000},
        {gas, 28, true, 0, 1e7f},       {energy, 4, true, -1e7f, 1e7f},
        {energy, 29, true, 0, 1e8f},    {gas, 0, false, 0, 0},
    };
    for (const Range& r : ranges) {
        const OutputRange got = OutputSourceRange(r.medium, r.code);
        EXPECT_EQ(got.applies, r.applies) << int(r.code);
        if (r.applies) {
            EXPECT_EQ(got.min, r.min) << int(r.code);
            EXPECT_EQ(got.max, r.max) << int(r.code);
        }
    }
}

}  // namespace
}  // namespace parvion::edit
