#pragma once
// Draws printed pages (core/print) onto any Qt paint device: the printer,
// the preview's picture at screen resolution, a PDF file. The font is
// Courier New 10 points (on Linux its metric-compatible Liberation Mono);
// the line height is the height of "ABC", the margin the width of "aa", and
// row r lies at y = r × line height. Needs Qt Gui only, so that parvion2-cli
// writes its PDFs with the same drawing as the window.

#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

#include "core/views/page_layout.h"

class QPagedPaintDevice;
class QPainter;

namespace parvion::gui {

// The printout font, normal or bold.
QFont PrintFont(bool bold);

// Paints the page with the painter's device width as page width W.
void PaintPage(QPainter& painter, const print::PrintPage& page);

// Paints the jobs' pages one after the other on an open painter of a paged
// device, starting a new device page between pages. `step` runs after each
// page.
void PaintPages(QPainter& painter, QPagedPaintDevice& device,
                const std::vector<print::PrintJob>& jobs, const std::function<void()>& step = {});

// The page layout of the PDFs the program writes: A4 portrait with the
// small margins of a desktop printer.
QPageLayout PdfPageLayout();

// The size of the preview picture of a page: the printable area of the
// layout at the screen's resolution (794 × 1123 for a whole A4 page at
// 96 dpi).
QSize PreviewSize(const QPageLayout& layout, double screenDpiX, double screenDpiY);

// A fresh white picture of that size at the screen's resolution with the
// page painted on it.
QImage PreviewImage(const print::PrintPage& page, QSize size, double screenDpiX, double screenDpiY);

// Writes the jobs' pages into one PDF file through a temporary file in the
// same folder, renamed when complete: a file that cannot be written leaves
// no half-written file behind, and a read-only one (IsReadOnlyFile) stays
// as it is. False with the reason otherwise.
bool WritePdf(const QString& file, const std::vector<print::PrintJob>& jobs, QString* error);

}  // namespace parvion::gui
