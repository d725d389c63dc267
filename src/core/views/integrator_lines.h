#pragma once
// The lines of the integrator page: for one circuit its integrator records,
// newest first, each as two time-stamped totals and an empty line.

#include <string>
#include <vector>

#include "core/model/device_records.h"
#include "core/views/text_source.h"

namespace parvion::views {

// Width to which the four labels (texts 18432..18435) are padded.
inline constexpr std::uint8_t kIntegratorLabelWidth = 13;

// Circuit 0 or 1. Entries whose second time has day 0 give no lines. The
// first total is shown with quantity 5 (standard volume or energy), the
// second with quantity 6 (mass).
std::vector<std::string> BuildIntegratorLines(const IntegratorsRec& integrators, int circuit,
                                              const BlockLoader& load,
                                              const ValueFormatter& format);

}  // namespace parvion::views
