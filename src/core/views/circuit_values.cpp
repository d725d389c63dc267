#include "core/views/circuit_values.h"

#include <cstdio>

#include "core/model/value_format.h"
#include "core/model/variant.h"

namespace parvion::views {

namespace {

std::string padRight(std::string s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

}  // namespace

std::string FormatOperatingTime(std::int32_t seconds) {
    const std::int32_t h = seconds / 3600;
    const std::int32_t m = (seconds % 3600) / 60;
    const std::int32_t s = seconds % 60;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%6d:%2.2d:%2.2d    hms", h, m, s);
    return buf;
}

std::string StaleValuesNote(const DeviceDateTime& lastRead, const std::string& cause,
                            const TextLoader& text) {
    std::string pattern = text ? text(kStaleNoteText) : std::string();
    if (pattern.empty()) pattern = "%1: %2";
    if (cause.empty()) {
        // "… %1, not current: %2" becomes "… %1, not current".
        const std::size_t at = pattern.find("%2");
        if (at != std::string::npos) {
            pattern.resize(at);
            while (!pattern.empty() && (pattern.back() == ' ' || pattern.back() == ':')) {
                pattern.pop_back();
            }
        }
    }
    return FillPlaceholders(pattern, {FormatDeviceDateTime(lastRead), cause});
}

int OutputSourceNameIndex(int code) {
    int index = code;
    if (index > 5) index -= 3;
    if (index > 10) index -= 3;
    if (index > 15) index -= 6;
    return index;
}

std::vector<std::string> BuildCircuitLines(const CircuitValuesInput& in, const BlockLoader& load,
                                           const ValueFormatter& format) {
    std::vector<std::string> lines;
    const ParameterImage& img = in.image;
    const auto c = static_cast<std::size_t>(in.circuit == 1 ? 1 : 0);
    const auto& v = in.values.Field;
    const bool allOutputs = img.circuit2Present();
    auto value = [&](const std::string& label, std::uint8_t q, float x) {
        lines.push_back(label + format(q, true, true, x));
    };

    TextBlock t;
    // Entries of a block that does not load stay empty.
    auto block = [&load](std::uint16_t first, std::uint8_t width, TextBlock& texts) {
        texts.fill({});
        return load(first, width, texts);
    };
    // The name of the system definition heads the list of a full device.
    if (allOutputs && block(static_cast<std::uint16_t>(15360 + img.System.Kind), kLabelWidth, t)) {
        lines.push_back(t[0]);
    }

    if (!block(15376, kLabelWidth, t)) return lines;
    value(t[0], 0, v[6]);
    value(t[1], 1, v[5]);
    value(t[2], 2, v[4]);
    value(t[3], 3, v[12]);
    value(t[4], 7, v[8]);

    block(16384, kLabelWidth, t);
    value(t[0], 4, v[9]);
    value(t[1], 5, v[13] + v[14]);
    value(t[2], 6, v[10] + v[11]);
    lines.emplace_back();
    lines.push_back(t[3].substr(0, 51) + FormatOperatingTime(in.values.OperatingTime));
    lines.emplace_back();

    TextBlock outputs;
    TextBlock names1;
    TextBlock names2;
    block(15872, 1, outputs);
    block(15888, 34, names1);
    block(15904, 34, names2);
    for (std::size_t k = 0; k < 4; ++k) {
        if (k != 0 && !allOutputs) break;
        const int code = img.Aus_User[k].Param;
        if (code >= 32) continue;
        const auto index = static_cast<std::size_t>(OutputSourceNameIndex(code));
        const std::string& name = index < 16 ? names1[index] : names2[index - 16];
        lines.push_back(padRight(outputs[k] + " - " + name, kLabelWidth) +
                        format(15, true, true, in.currents.Current[k]));
    }

    block(16400, kLabelWidth, t);
    switch (img.Flow_User[c].Kind) {
        case 1:
        case 2:
            lines.emplace_back();
            value(t[0], 1, v[7]);
            lines.push_back(t[1] + format(255, false, true, v[0]));
            break;
        case 4:
        case 5:
            lines.emplace_back();
            value(t[2], 7, v[8]);
            break;
        default:
            break;
    }
    if (!VariantOf(in.medium).gasCalculation &&
        (img.Med_User[c].Kind == 0 || img.Med_User[c].Kind == 2)) {
        lines.emplace_back();
        value(t[3], 0, v[16]);
    }

    if (in.errorNumber > 0 && in.errorBits != 0 && block(17456, 1, t)) {
        lines.emplace_back();
        static constexpr std::uint8_t kGroups[6] = {0x03, 0x04, 0x08, 0x30, 0x40, 0x80};
        for (std::size_t i = 0; i < 6; ++i) {
            if ((in.errorBits & kGroups[i]) != 0) lines.push_back(t[i]);
        }
    }
    return lines;
}

}  // namespace parvion::views
