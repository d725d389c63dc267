#include "gui/shared/multi_row_tab_bar.h"

#include <QEvent>
#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QTabWidget>

namespace parvion::gui {

MultiRowTabBar::MultiRowTabBar(QTabWidget* pages, bool below, QWidget* parent)
    : QWidget(parent), pages_(pages), below_(below) {
    pages_->tabBar()->hide();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    connect(pages_, &QTabWidget::currentChanged, this, [this] { update(); });
}

QSize MultiRowTabBar::tabSize(int index) const {
    QStyleOptionTab opt;
    opt.initFrom(this);
    opt.shape = below_ ? QTabBar::RoundedSouth : QTabBar::RoundedNorth;
    opt.text = pages_->tabText(index);
    // Measured as a tab bar measures its tabs: text plus the style's space.
    const QFontMetrics fm(font());
    const int hspace = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &opt, this);
    const int vspace = style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &opt, this);
    const QSize content(fm.size(Qt::TextShowMnemonic, opt.text).width() + hspace,
                        fm.height() + vspace);
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &opt, content, this);
}

MultiRowTabBar::Layout MultiRowTabBar::layoutFor(int width) const {
    Layout out;
    const int n = pages_->count();
    if (n == 0 || width <= 0) return out;
    std::vector<QSize> sizes;
    for (int i = 0; i < n; ++i) sizes.push_back(tabSize(i));
    // As few rows as the tabs need, and the tabs spread evenly over them.
    auto fits = [&](std::size_t perRow) {
        for (std::size_t first = 0; first < sizes.size(); first += perRow) {
            int used = 0;
            for (std::size_t i = first; i < std::min(sizes.size(), first + perRow); ++i)
                used += sizes[i].width();
            if (used > width && perRow > 1) return false;
        }
        return true;
    };
    const auto tabs = static_cast<std::size_t>(n);
    std::size_t rowsNeeded = 1;
    while (!fits((tabs + rowsNeeded - 1) / rowsNeeded)) ++rowsNeeded;
    const std::size_t perRow = (tabs + rowsNeeded - 1) / rowsNeeded;
    std::vector<std::pair<int, int>> rows;  // first tab, count
    for (std::size_t first = 0; first < tabs; first += perRow) {
        rows.emplace_back(static_cast<int>(first),
                          static_cast<int>(std::min(perRow, tabs - first)));
    }
    int rowHeight = 0;
    for (const QSize& s : sizes) rowHeight = std::max(rowHeight, s.height());
    out.rows = static_cast<int>(rows.size());
    out.height = rowHeight * out.rows;
    out.rects.resize(static_cast<std::size_t>(n));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto [start, count] = rows[r];
        int natural = 0;
        for (int i = start; i < start + count; ++i)
            natural += sizes[static_cast<std::size_t>(i)].width();
        // Each row spans the whole width: the spare room goes to its tabs.
        const int spare = std::max(0, width - natural);
        int x = 0;
        for (int k = 0; k < count; ++k) {
            const int i = start + k;
            int w = sizes[static_cast<std::size_t>(i)].width() + spare / count;
            if (k == count - 1) w = width - x;
            const int y = static_cast<int>(r) * rowHeight;
            out.rects[static_cast<std::size_t>(i)] = QRect(x, y, w, rowHeight);
            x += w;
        }
    }
    return out;
}

void MultiRowTabBar::refresh() {
    const int before = layout_.height;
    layout_ = layoutFor(width());
    if (layout_.height != before) updateGeometry();
    update();
}

int MultiRowTabBar::rowCount() const {
    return layout_.rows;
}

QRect MultiRowTabBar::tabRect(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= layout_.rects.size()) return {};
    return layout_.rects[static_cast<std::size_t>(index)];
}

int MultiRowTabBar::tabAt(const QPoint& point) const {
    for (std::size_t i = 0; i < layout_.rects.size(); ++i) {
        if (layout_.rects[i].contains(point)) return static_cast<int>(i);
    }
    return -1;
}

QSize MultiRowTabBar::sizeHint() const {
    const int w = width() > 0 ? width() : 600;
    return {w, layoutFor(w).height};
}

QSize MultiRowTabBar::minimumSizeHint() const {
    return sizeHint();
}

void MultiRowTabBar::paintEvent(QPaintEvent*) {
    if (static_cast<int>(layout_.rects.size()) != pages_->count()) layout_ = layoutFor(width());
    QStylePainter painter(this);
    const int current = pages_->currentIndex();
    // The row of the current tab first: a selected tab reaches out of its
    // row towards the pages, and the other rows are drawn over that.
    const int currentRow = tabRect(current).top();
    std::vector<int> order;
    for (int i = 0; i < pages_->count(); ++i)
        if (tabRect(i).top() == currentRow) order.push_back(i);
    for (int i = 0; i < pages_->count(); ++i)
        if (tabRect(i).top() != currentRow) order.push_back(i);
    for (const int i : order) {
        QStyleOptionTab opt;
        opt.initFrom(this);
        opt.shape = below_ ? QTabBar::RoundedSouth : QTabBar::RoundedNorth;
        // Styles draw a tab as a one-row tab bar holds it: at the top.
        const QRect where = tabRect(i);
        opt.rect = where.translated(0, -where.top());
        opt.text = pages_->tabText(i);
        opt.position = QStyleOptionTab::Middle;
        opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        if (i == current) opt.state |= QStyle::State_Selected;
        if (!pages_->isTabEnabled(i)) opt.state &= ~QStyle::State_Enabled;
        if (where.contains(mapFromGlobal(QCursor::pos())) && underMouse())
            opt.state |= QStyle::State_MouseOver;
        painter.save();
        painter.translate(0, where.top());
        painter.drawControl(QStyle::CE_TabBarTab, opt);
        painter.restore();
    }
}

void MultiRowTabBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed_ = tabAt(event->position().toPoint());
    // A tab switches its page on the press, as a page control does.
    if (pressed_ >= 0 && pages_->isTabEnabled(pressed_)) pages_->setCurrentIndex(pressed_);
}

void MultiRowTabBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int index = pressed_;
    pressed_ = -1;
    if (index >= 0) emit tabClicked(index);
}

void MultiRowTabBar::resizeEvent(QResizeEvent*) {
    refresh();
}

bool MultiRowTabBar::event(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) refresh();
    if (event->type() == QEvent::HoverMove || event->type() == QEvent::Leave) update();
    return QWidget::event(event);
}

}  // namespace parvion::gui
