#include "gui/print/sansicht.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>

#include "core/views/preview_rules.h"
#include "gui/print/page_renderer.h"

namespace parvion::gui {

namespace {

QPushButton* Button(QWidget* parent, const char* name) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    // Enter in the window closes it (the default button), never prints.
    b->setAutoDefault(false);
    return b;
}

}  // namespace

Tsansicht::Tsansicht(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("sansicht"));
    setWindowTitle(QStringLiteral("Seitenansicht"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setSizeGripEnabled(true);
    resize(651, 484);

    BtnPrevPage = Button(this, "BtnPrevPage");
    PageLine = new QLabel(this);
    PageLine->setObjectName(QStringLiteral("PageLine"));
    PageLine->setAlignment(Qt::AlignCenter);
    PageLine->setContentsMargins(6, 0, 6, 0);
    BtnNextPage = Button(this, "BtnNextPage");
    BtnZoomOut = Button(this, "BtnZoomOut");
    ZoomLine = new QLabel(this);
    ZoomLine->setObjectName(QStringLiteral("ZoomLine"));
    ZoomLine->setAlignment(Qt::AlignCenter);
    // Room for "300 %", so that the buttons do not move while zooming.
    ZoomLine->setMinimumWidth(ZoomLine->fontMetrics().horizontalAdvance(QStringLiteral("300 %")) +
                              8);
    BtnZoomIn = Button(this, "BtnZoomIn");
    BtnPrint = Button(this, "BtnPrint");
    BtnClose = Button(this, "BtnClose");
    BtnClose->setDefault(true);
    // Until the library's texts come: the signs alone.
    BtnPrevPage->setText(QStringLiteral("<"));
    BtnNextPage->setText(QStringLiteral(">"));
    BtnZoomOut->setText(QStringLiteral("-"));
    BtnZoomIn->setText(QStringLiteral("+"));

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 6, 6, 6);
    bar->addWidget(BtnPrevPage);
    bar->addWidget(PageLine);
    bar->addWidget(BtnNextPage);
    bar->addSpacing(12);
    bar->addWidget(BtnZoomOut);
    bar->addWidget(ZoomLine);
    bar->addWidget(BtnZoomIn);
    bar->addStretch();
    bar->addWidget(BtnPrint);
    bar->addWidget(BtnClose);

    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setWidgetResizable(false);
    ScrollBox->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette silver = ScrollBox->palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    ScrollBox->setPalette(silver);
    ScrollBox->setBackgroundRole(QPalette::Window);

    Image = new QLabel;
    Image->setObjectName(QStringLiteral("Image"));
    Image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox->setWidget(Image);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(ScrollBox);

    connect(BtnPrevPage, &QPushButton::clicked, this, [this] { showPage(page_ - 1); });
    connect(BtnNextPage, &QPushButton::clicked, this, [this] { showPage(page_ + 1); });
    connect(BtnZoomOut, &QPushButton::clicked, this, [this] { zoomBy(-1); });
    connect(BtnZoomIn, &QPushButton::clicked, this, [this] { zoomBy(1); });
    connect(BtnPrint, &QPushButton::clicked, this, [this] {
        printRequested_ = true;
        accept();
    });
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::reject);
    updateControls();
}

void Tsansicht::setTexts(const views::TextLoader& text) {
    text_ = text;
    namespace pt = views::preview_text;
    const auto set = [&text](QPushButton* b, std::uint16_t number) {
        const std::string s = text ? text(number) : std::string();
        if (!s.empty()) b->setText(QString::fromStdString(s));
    };
    set(BtnPrevPage, pt::kPreviousPage);
    set(BtnNextPage, pt::kNextPage);
    set(BtnZoomOut, pt::kZoomOut);
    set(BtnZoomIn, pt::kZoomIn);
    set(BtnPrint, pt::kPrint);
    set(BtnClose, pt::kClose);
    updateControls();
}

void Tsansicht::setPages(std::vector<print::PrintPage> pages, QSize pageSize, double dpiX,
                         double dpiY) {
    pages_ = std::move(pages);
    pageSize_ = pageSize;
    dpiX_ = dpiX;
    dpiY_ = dpiY;
    page_ = 0;
    printRequested_ = false;
    render();
}

void Tsansicht::setPicture(const QImage& picture) {
    pages_.clear();
    page_ = 0;
    picture_ = picture;
    Image->setPixmap(QPixmap::fromImage(picture));
    Image->resize(picture.size());
    updateControls();
}

void Tsansicht::showPage(int index) {
    if (index < 0 || index >= pageCount() || index == page_) return;
    page_ = index;
    render();
    ScrollBox->verticalScrollBar()->setValue(0);
}

void Tsansicht::zoomBy(int direction) {
    const int next = views::NextPreviewZoom(zoom_, direction);
    if (next == zoom_) return;
    // The point in the middle of the view stays in the middle.
    QScrollBar* h = ScrollBox->horizontalScrollBar();
    QScrollBar* v = ScrollBox->verticalScrollBar();
    const double cx = (h->value() + ScrollBox->viewport()->width() / 2.0) / std::max(1, zoom_);
    const double cy = (v->value() + ScrollBox->viewport()->height() / 2.0) / std::max(1, zoom_);
    zoom_ = next;
    render();
    h->setValue(static_cast<int>(std::lround(cx * zoom_ - ScrollBox->viewport()->width() / 2.0)));
    v->setValue(static_cast<int>(std::lround(cy * zoom_ - ScrollBox->viewport()->height() / 2.0)));
}

void Tsansicht::render() {
    if (pages_.empty()) {
        updateControls();
        return;
    }
    const double f = zoom_ / 100.0;
    const QSize size(static_cast<int>(std::lround(pageSize_.width() * f)),
                     static_cast<int>(std::lround(pageSize_.height() * f)));
    picture_ = PreviewImage(pages_[static_cast<std::size_t>(page_)], size, dpiX_ * f, dpiY_ * f);
    Image->setPixmap(QPixmap::fromImage(picture_));
    Image->resize(picture_.size());
    updateControls();
}

void Tsansicht::updateControls() {
    const int count = std::max(1, pageCount());
    PageLine->setText(QString::fromStdString(views::PreviewPageLine(text_, page_, count)));
    BtnPrevPage->setEnabled(page_ > 0);
    BtnNextPage->setEnabled(page_ + 1 < pageCount());
    ZoomLine->setText(QStringLiteral("%1 %").arg(zoom_));
    BtnZoomOut->setEnabled(views::NextPreviewZoom(zoom_, -1) != zoom_ && !pages_.empty());
    BtnZoomIn->setEnabled(views::NextPreviewZoom(zoom_, 1) != zoom_ && !pages_.empty());
}

void Tsansicht::fitToScreen() {
    const QScreen* s = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (s == nullptr || pageSize_.isEmpty()) return;
    const QRect area = s->availableGeometry();
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int chromeWidth = scrollBar + 2 * ScrollBox->frameWidth() + 24;
    const int chromeHeight =
        layout()->itemAt(0)->sizeHint().height() + scrollBar + 2 * ScrollBox->frameWidth() + 8;
    const views::PreviewWindowSize size =
        views::PreviewWindowFor(area.width(), area.height(), pageSize_.width() * zoom_ / 100,
                                pageSize_.height() * zoom_ / 100, chromeWidth, chromeHeight);
    resize(size.width, size.height);
    // Centred over the screen's area, wholly on it.
    move(area.center() - QPoint(size.width / 2, size.height / 2));
}

void Tsansicht::showEvent(QShowEvent* event) {
    // Every opening starts at the page's top, as large as a page needs.
    fitToScreen();
    QDialog::showEvent(event);
}

void Tsansicht::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_PageDown && event->modifiers() == Qt::ControlModifier) {
        showPage(page_ + 1);
        return;
    }
    if (event->key() == Qt::Key_PageUp && event->modifiers() == Qt::ControlModifier) {
        showPage(page_ - 1);
        return;
    }
    if (event->matches(QKeySequence::ZoomIn) || event->key() == Qt::Key_Plus) {
        zoomBy(1);
        return;
    }
    if (event->matches(QKeySequence::ZoomOut) || event->key() == Qt::Key_Minus) {
        zoomBy(-1);
        return;
    }
    if (event->matches(QKeySequence::Print)) {
        BtnPrint->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace parvion::gui
