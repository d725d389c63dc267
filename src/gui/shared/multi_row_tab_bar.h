#pragma once
// A tab bar in several rows for a page control with more tabs than fit its
// width: the parameter pages have ten. It stands in for the page control's
// own tab bar (which it hides), shows the page control's tab texts with the
// platform style, and switches its pages. Rows fill from the first tab on;
// each row is stretched to the full width.

#include <QWidget>
#include <vector>

class QTabWidget;

namespace parvion::gui {

class MultiRowTabBar : public QWidget {
    Q_OBJECT
  public:
    // Tabs drawn below the pages (true) or above them.
    MultiRowTabBar(QTabWidget* pages, bool below, QWidget* parent = nullptr);

    // The tab under a point; -1 for none.
    int tabAt(const QPoint& point) const;
    // Where a tab is drawn.
    QRect tabRect(int index) const;
    int rowCount() const;
    // Lays the tabs out again after their texts changed.
    void refresh();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // A tab was clicked (after the page control switched to it).
    void tabClicked(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

  private:
    struct Layout {
        std::vector<QRect> rects;
        int rows = 0;
        int height = 0;
    };
    QSize tabSize(int index) const;
    Layout layoutFor(int width) const;

    QTabWidget* pages_;
    bool below_;
    Layout layout_;
    int pressed_ = -1;
};

}  // namespace parvion::gui
