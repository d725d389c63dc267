#pragma once
// The rules of the print preview that are not about widgets: the zoom
// steps, the page line, and how large the window opens on a screen.

#include <cstdint>
#include <string>

#include "core/views/text_source.h"

namespace parvion::views {

// Text numbers of the preview window's controls.
namespace preview_text {
inline constexpr std::uint16_t kZoomIn = 22839;
inline constexpr std::uint16_t kZoomOut = 22840;
inline constexpr std::uint16_t kPreviousPage = 22841;
inline constexpr std::uint16_t kNextPage = 22842;
inline constexpr std::uint16_t kPageOf = 22843;  // "Seite %1 von %2"
inline constexpr std::uint16_t kPrint = 22844;
inline constexpr std::uint16_t kClose = 22845;
}  // namespace preview_text

// Zoom in percent of the page at the screen's resolution.
inline constexpr int kPreviewZoomDefault = 100;

// The next zoom step up (direction > 0) or down (< 0) from `percent`
// among 50, 75, 100, 125, 150, 200, 300 %; the end step stays. A zoom
// between steps goes to the neighbouring step in that direction.
int NextPreviewZoom(int percent, int direction);

// "Seite 2 von 3" for page index 1 of 3 pages.
std::string PreviewPageLine(const TextLoader& text, int index, int count);

struct PreviewWindowSize {
    int width = 0;
    int height = 0;
};

// The size the preview opens in on a screen's available area: wide enough
// for a whole page line (the page's width plus `chrome` for frame and
// scroll bar), as tall as the screen allows (nine tenths of it) but never
// taller than the page needs, and never smaller than a window in which a
// page can be read (600 × 480), nor larger than the screen's area.
PreviewWindowSize PreviewWindowFor(int screenWidth, int screenHeight, int pageWidth, int pageHeight,
                                   int chromeWidth, int chromeHeight);

}  // namespace parvion::views
