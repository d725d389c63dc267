#pragma once
// The default parameter set: the content of a new configuration and the
// base on which a parameter file is loaded.

#include "core/model/parameter_image.h"

namespace parvion {

// Fills the image with the defaults of the variant (medium 0 gas, any other
// value energy) and clears the remark lines. System.Ausbaustufe and Betrieb
// are kept; System.KindMask is set to 1 (gas) or 5 (energy) only offline,
// online it keeps the device's value. No record is marked as read from the
// device afterwards.
void ResetParameters(ParameterImage& image, int medium, bool online = false);

}  // namespace parvion
