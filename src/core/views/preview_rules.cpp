#include "core/views/preview_rules.h"

#include <algorithm>
#include <array>

namespace parvion::views {

namespace {
constexpr std::array kZoomSteps = {50, 75, 100, 125, 150, 200, 300};
constexpr int kMinWidth = 600;
constexpr int kMinHeight = 480;
}  // namespace

int NextPreviewZoom(int percent, int direction) {
    if (direction > 0) {
        for (const int step : kZoomSteps) {
            if (step > percent) return step;
        }
        return kZoomSteps.back();
    }
    if (direction < 0) {
        for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it) {
            if (*it < percent) return *it;
        }
        return kZoomSteps.front();
    }
    return percent;
}

std::string PreviewPageLine(const TextLoader& text, int index, int count) {
    return FillText(text, preview_text::kPageOf,
                    {std::to_string(index + 1), std::to_string(count)});
}

PreviewWindowSize PreviewWindowFor(int screenWidth, int screenHeight, int pageWidth, int pageHeight,
                                   int chromeWidth, int chromeHeight) {
    PreviewWindowSize size;
    size.width = std::max(pageWidth + chromeWidth, kMinWidth);
    size.height = std::min(pageHeight + chromeHeight, screenHeight * 9 / 10);
    size.height = std::max(size.height, kMinHeight);
    size.width = std::min(size.width, screenWidth);
    size.height = std::min(size.height, screenHeight);
    return size;
}

}  // namespace parvion::views
