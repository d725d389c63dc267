#include "core/edit/source_codes.h"

#include "core/model/parameter_image.h"
#include "core/model/units.h"
#include "core/model/variant.h"
#include "core/views/page_rules.h"

namespace parvion::edit {

namespace {

// The gaps of the code list: from the first index (choice → code) or above
// the code (code → choice) the value moves by `step`, in this order.
struct Gap {
    int from;   // choice → code: applies when the growing value reaches it
    int above;  // code → choice: applies when the shrinking value exceeds it
    int step;
};
constexpr Gap kAlarmGaps[] = {{8, 7, 1}, {16, 14, 1}, {24, 21, 4}};
constexpr Gap kPreferredGaps[] = {{8, 7, 1}, {16, 15, 1}, {24, 23, 4}};
constexpr Gap kOutputGaps[] = {{6, 5, 3}, {14, 10, 3}, {22, 15, 6}};

template <std::size_t N>
int ToCode(const Gap (&gaps)[N], int index) {
    int v = index;
    for (const Gap& g : gaps) {
        if (v >= g.from) v += g.step;
    }
    return v;
}

template <std::size_t N>
int ToIndex(const Gap (&gaps)[N], int code) {
    int v = code;
    for (const Gap& g : gaps) {
        if (v > g.above) v -= g.step;
    }
    return v;
}

constexpr int kGroupSize = 8;
enum Group { Circuit1, Circuit2, Difference, Sum };
enum Number { None, Temperature, Pressure, Density, Flow, MassFlow, Total, TotalMass };

Group GroupOf(std::uint8_t code) {
    return static_cast<Group>((code / kGroupSize) & 3);
}
Number NumberOf(std::uint8_t code) {
    return static_cast<Number>(code % kGroupSize);
}

constexpr float kTemperatureMin = -273.15f;
constexpr float kTemperatureMax = 1500.0f;
constexpr float kTemperatureDifference = 1273.15f;
constexpr float kPressureMax = 1e5f;
constexpr float kDensityMin = 0.08f;
constexpr float kDensityMax = 5000.0f;

// Circuit values from lo to hi, differences symmetric, sums up to `sum`.
ValueLimits ByGroup(Group g, float lo, float hi, float sum) {
    switch (g) {
        case Difference:
            return {-hi, hi};
        case Sum:
            return {lo, sum};
        default:
            return {lo, hi};
    }
}

// The limits both tables share: temperature, pressure, density, mass flow.
ValueLimits Common(Group g, Number n) {
    switch (n) {
        case Temperature:
            if (g == Difference) return {-kTemperatureDifference, kTemperatureDifference};
            return {kTemperatureMin, kTemperatureMax};
        case Pressure:
            return ByGroup(g == Sum ? Circuit1 : g, 0, kPressureMax, kPressureMax);
        case Density:
            return ByGroup(g == Sum ? Circuit1 : g, kDensityMin, kDensityMax, kDensityMax);
        case MassFlow:
            return ByGroup(g, 0, 1e8f, 2e8f);
        default:
            return ByGroup(g, 0, 1e9f, 1e9f);  // totals
    }
}

}  // namespace

int SourceChoiceCount(SourceUse use) {
    return use == SourceUse::Output ? 18 : 26;
}

std::uint8_t SourceCode(SourceUse use, int index) {
    int code = 0;
    switch (use) {
        case SourceUse::Alarm:
        case SourceUse::Preferred:
            code = ToCode(kAlarmGaps, index);
            break;
        case SourceUse::Output:
            code = ToCode(kOutputGaps, index);
            break;
    }
    return static_cast<std::uint8_t>(code);
}

int SourceIndex(SourceUse use, std::uint8_t code) {
    switch (use) {
        case SourceUse::Alarm:
            return ToIndex(kAlarmGaps, code);
        case SourceUse::Preferred:
            return ToIndex(kPreferredGaps, code);
        case SourceUse::Output:
            return ToIndex(kOutputGaps, code);
    }
    return 0;
}

bool ValidSourceCode(SourceUse use, std::uint8_t code) {
    const int index = SourceIndex(use, code);
    return index >= 0 && index < SourceChoiceCount(use) && SourceCode(use, index) == code;
}

bool NeedsCircuit2(std::uint8_t code) {
    return code >= kGroupSize;
}

bool NeedsMissingCircuit2(const SystemRec& system, std::uint8_t code) {
    return views::Circuit2Unavailable(system) && NeedsCircuit2(code);
}

std::uint8_t SourceQuantity(SourceUse use, std::uint8_t code) {
    const std::uint8_t other = use == SourceUse::Output ? quantity::Current : quantity::Mass;
    if (code >= 4 * kGroupSize) return other;
    const Group g = GroupOf(code);
    switch (NumberOf(code)) {
        case Temperature:
            if (g == Circuit1 || g == Circuit2) return quantity::Temperature;
            return g == Difference ? quantity::TemperatureDifference : other;
        case Pressure:
            return g == Sum ? other : quantity::Pressure;
        case Density:
            return g == Sum ? other : quantity::Density;
        case Flow:
            return quantity::Flow;
        case MassFlow:
            return quantity::MassFlow;
        case Total:
            return quantity::Total;
        default:
            return other;
    }
}

ValueLimits AlarmLimits(int medium, std::uint8_t code) {
    const Group g = GroupOf(code);
    const Number n = NumberOf(code);
    if (n == Flow) {
        const float max = VariantOf(medium).flowMax;
        return ByGroup(g, 0, max, 2 * max);
    }
    return Common(g, n);
}

ValueLimits OutputLimits(int medium, std::uint8_t code) {
    const Group g = GroupOf(code);
    const Number n = NumberOf(code);
    if (n == Flow) {
        const Variant& variant = VariantOf(medium);
        const float max = variant.flowMax;
        if (!variant.signedFlow) return ByGroup(g, 0, max, 2 * max);
        return g == Sum ? ValueLimits{-2 * max, 2 * max} : ValueLimits{-max, max};
    }
    return Common(g, n);
}

OutputRange OutputSourceRange(int medium, std::uint8_t code) {
    if (code >= 4 * kGroupSize) return {};
    const Group g = GroupOf(code);
    switch (NumberOf(code)) {
        case Temperature:
            if (g == Difference) return {true, 0, kTemperatureDifference};
            if (g == Sum) return {};
            return {true, kTemperatureMin, kTemperatureMax};
        case Pressure:
            return {true, 0, kPressureMax};
        case Density:
            return {true, kDensityMin, kDensityMax};
        case Flow:
            return {true, VariantOf(medium).signedFlow ? -1e7f : 0.0f, 1e7f};
        case MassFlow:
            return {true, 0, 1e8f};
        default:
            return {};
    }
}

}  // namespace parvion::edit
