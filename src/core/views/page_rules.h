#pragma once
// Which pages and groups of the main window exist for a device, from its
// expansion level and its system definition.

#include "core/model/parameter_image.h"

namespace parvion::views {

// Circuit 2 and outputs 2 to 4 are fitted.
inline bool AllOutputsPresent(const SystemRec& s) {
    return (s.Ausbaustufe & ausbaustufe::NoCircuit2) == 0;
}
// Trend recording is fitted.
inline bool TrendRecordingPresent(const SystemRec& s) {
    return (s.Ausbaustufe & ausbaustufe::NoTrend) == 0;
}
// Circuit 2 has no pages: the system definition uses one circuit only, or
// the device has no second circuit.
inline bool Circuit2Unavailable(const SystemRec& s) {
    return s.Kind == 1 || s.Kind == 2 || !AllOutputsPresent(s);
}

}  // namespace parvion::views
