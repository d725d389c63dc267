#include "core/views/integrator_lines.h"

#include "core/model/value_format.h"

namespace parvion::views {

std::vector<std::string> BuildIntegratorLines(const IntegratorsRec& integrators, int circuit,
                                              const BlockLoader& load,
                                              const ValueFormatter& format) {
    TextBlock labels;
    labels.fill({});
    if (!load(18432, kIntegratorLabelWidth, labels)) labels.fill({});
    const auto c = static_cast<std::size_t>(circuit == 1 ? 1 : 0);

    std::vector<std::string> lines;
    for (const IntegratorEntry& e : integrators.Entry[c]) {
        if (e.empty()) continue;
        lines.push_back(labels[0] + FormatDeviceDateTime(e.Time1) + "   " + labels[1] +
                        format(5, true, true, e.Value1));
        lines.push_back(labels[2] + FormatDeviceDateTime(e.Time2) + "   " + labels[3] +
                        format(6, true, true, e.Value2));
        lines.emplace_back();
    }
    return lines;
}

}  // namespace parvion::views
