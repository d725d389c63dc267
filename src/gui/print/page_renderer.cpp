#include "gui/print/page_renderer.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>
#include <cstring>

#include "core/model/text_file.h"

namespace parvion::gui {

namespace {

constexpr int kPrintPointSize = 10;
constexpr int kPdfResolution = 600;
constexpr double kPdfMarginMm = 6.35;

// The x of a text's left edge in its placement.
int TextX(print::Placement placement, int textWidth, int pageWidth, int margin) {
    switch (placement) {
        case print::Placement::Centre:
            return (pageWidth - textWidth) / 2;
        case print::Placement::LeftLabel:
            return margin;
        case print::Placement::LeftValue:
            return pageWidth / 2 - textWidth - margin;
        case print::Placement::RightLabel:
            return pageWidth / 2 + margin;
        case print::Placement::RightValue:
            return pageWidth - textWidth - margin;
    }
    return margin;
}

}  // namespace

QFont PrintFont(bool bold) {
    QFont font(QStringLiteral("Courier New"), kPrintPointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setBold(bold);
    return font;
}

void PaintPage(QPainter& painter, const print::PrintPage& page) {
    const int width = painter.device()->width();
    const QFont normal = PrintFont(false);
    const QFont bold = PrintFont(true);
    const QFontMetrics metrics(normal, painter.device());
    const int lineHeight = metrics.height();
    const int margin = metrics.horizontalAdvance(QStringLiteral("aa"));

    painter.save();
    for (const print::PlacedText& t : page.texts) {
        const QString text = QString::fromStdString(t.text);
        painter.setFont(t.bold ? bold : normal);
        const QFontMetrics fm(painter.font(), painter.device());
        const int x = TextX(t.placement, fm.horizontalAdvance(text), width, margin);
        painter.drawText(x, t.row * lineHeight + fm.ascent(), text);
    }
    QPen pen(Qt::black);
    pen.setWidth(std::max(1, lineHeight / 12));
    painter.setPen(pen);
    for (const print::PageRule& r : page.rules) {
        if (r.vertical) {
            painter.drawLine(width / 2, r.from * lineHeight, width / 2, r.to * lineHeight);
        } else {
            painter.drawLine(margin, r.from * lineHeight, width - margin, r.from * lineHeight);
        }
    }
    painter.restore();
}

void PaintPages(QPainter& painter, QPagedPaintDevice& device,
                const std::vector<print::PrintJob>& jobs, const std::function<void()>& step) {
    bool first = true;
    for (const print::PrintJob& job : jobs) {
        for (const print::PrintPage& page : job.pages) {
            if (!first) device.newPage();
            first = false;
            PaintPage(painter, page);
            if (step) step();
        }
    }
}

QPageLayout PdfPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                       QPageLayout::Millimeter);
}

QSize PreviewSize(const QPageLayout& layout, double screenDpiX, double screenDpiY) {
    // Millimetres: the page sizes are exact in them, inches are rounded.
    constexpr double kMmPerInch = 25.4;
    const QRectF mm = layout.paintRect(QPageLayout::Millimeter);
    return {static_cast<int>(std::lround(mm.width() / kMmPerInch * screenDpiX)),
            static_cast<int>(std::lround(mm.height() / kMmPerInch * screenDpiY))};
}

QImage PreviewImage(const print::PrintPage& page, QSize size, double screenDpiX,
                    double screenDpiY) {
    QImage image(size, QImage::Format_RGB32);
    constexpr double kInchesPerMetre = 39.37007874;
    image.setDotsPerMeterX(static_cast<int>(std::lround(screenDpiX * kInchesPerMetre)));
    image.setDotsPerMeterY(static_cast<int>(std::lround(screenDpiY * kInchesPerMetre)));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintPage(painter, page);
    return image;
}

bool WritePdf(const QString& file, const std::vector<print::PrintJob>& jobs, QString* error) {
    // A file marked read-only is not replaced, by root neither.
    if (int err = 0; IsReadOnlyFile(file.toStdString(), &err)) {
        if (error != nullptr) *error = QString::fromLocal8Bit(std::strerror(err));
        return false;
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error != nullptr) *error = out.errorString();
        return false;
    }
    {
        QPdfWriter writer(&out);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(PdfPageLayout());
        writer.setCreator(QStringLiteral("parvion2"));
        if (!jobs.empty()) writer.setTitle(QString::fromStdString(jobs.front().title));
        QPainter painter;
        if (!painter.begin(&writer)) {
            out.cancelWriting();
            if (error != nullptr) *error = QStringLiteral("the PDF cannot be drawn");
            return false;
        }
        PaintPages(painter, writer, jobs);
        painter.end();
    }
    if (!out.commit()) {
        if (error != nullptr) *error = out.errorString();
        return false;
    }
    return true;
}

}  // namespace parvion::gui
