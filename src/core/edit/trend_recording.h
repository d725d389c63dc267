#pragma once
// The trend recording page: which circuit the device records as trend and
// how often. A change goes into the image and online is written and read
// back.

#include <array>
#include <cstdint>
#include <optional>

#include "core/model/parameter_image.h"

namespace parvion {
class Link;
}

namespace parvion::edit {

// The choices: block 10240 the sources ("Kreis 1", "Kreis 2"), block 10256
// the intervals ("1 min" ...).
inline constexpr std::uint16_t kTrendSourceTexts = 10240;
inline constexpr std::uint16_t kTrendIntervalTexts = 10256;

// Choice index of the interval combo -> Trend_User Time in minutes.
inline constexpr std::array<std::uint8_t, 12> kTrendIntervals = {1,  2,  3,  4,  5,  6,
                                                                 10, 12, 15, 20, 30, 60};

// What the interval combo shows for a Time.
struct IntervalShown {
    enum class Kind {
        Select,  // the choice `index`
        Clear,   // no selection: Time 0, or 100 (a recording in seconds)
        Keep,    // any other Time: the combo stays as it was
    };
    Kind kind = Kind::Keep;
    int index = -1;
    bool operator==(const IntervalShown&) const = default;
};
IntervalShown IntervalChoiceOf(std::uint8_t time);

// The source choice: without circuit 2 only circuit 1 (index 0) can be
// recorded, any other index becomes 0. Returns the index taken (the stored
// one when the record could not be read first and nothing was sent).
int SetTrendSource(Link& link, ParameterImage& image, int choice);
// The interval of the choice index (0..11).
void SetTrendInterval(Link& link, ParameterImage& image, int choice);

// Online: Trend_User from the device with one progress step; hides the
// progress bar.
void ReadTrendRecordingPage(Link& link, ParameterImage& image);

}  // namespace parvion::edit
