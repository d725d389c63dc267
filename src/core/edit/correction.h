#pragma once
// The correction factor page: the flow correction factors of each circuit
// at its eight support points. A factor goes into the image and online is
// written without read-back.

#include <cstdint>

#include "core/model/parameter_image.h"

namespace parvion {
class Link;
}

namespace parvion::edit {

// The group caption (with " 1" / " 2") and the support-point labels from
// 12289 on.
inline constexpr std::uint16_t kCorrectionTexts = 12288;
inline constexpr std::size_t kSupportPoints = 8;
inline constexpr float kCorrectionMin = 0.25f;
inline constexpr float kCorrectionMax = 10.0f;

// Stores the factor of a support point (0..7) of the circuit (0 or 1);
// online writes the circuit's factors and waits.
void SetCorrectionFactor(Link& link, ParameterImage& image, int circuit, std::size_t point,
                         float factor);

// Online: both circuits' factors from the device, a progress step for each
// read that succeeds; hides the progress bar.
void ReadCorrectionPage(Link& link, ParameterImage& image);

}  // namespace parvion::edit
