#pragma once
// One chart of the graph window: a red line over a time axis with its
// context menu (print, reset the zoom, save as PNG), zoom on the time axis
// with the mouse wheel and by dragging a band, and a read-out of the point
// under the pointer. The value axis follows the points in view; the time
// axis has its ticks on round times of the local clock (whole seconds, round
// minutes, whole hours, midnight: core/views/time_axis.h), as many as the
// width allows.

#include <QChartView>
#include <QList>
#include <QPointF>
#include <QString>
#include <cstdint>
#include <functional>

class QAction;
class QCategoryAxis;
class QGraphicsEllipseItem;
class QLabel;
class QLineSeries;
class QMenu;
class QRubberBand;
class QValueAxis;

namespace parvion::gui {

// The local wall-clock time of an instant (milliseconds since the epoch):
// the date and time the computer's clock shows, counted as if it were UTC
// (core/views/time_axis.h).
std::int64_t WallClockMs(double ms);

class TrendChartView : public QChartView {
    Q_OBJECT
  public:
    // `number` 1..4 names the parts: Chart1, Series1, PopupMenu1, mnu_Print1.
    explicit TrendChartView(int number, QWidget* parent = nullptr);

    QLineSeries* series() const { return series_; }
    // X in milliseconds since the epoch; one category per tick, its label
    // on the tick's time.
    QCategoryAxis* timeAxis() const { return timeAxis_; }
    QValueAxis* valueAxis() const { return valueAxis_; }
    QMenu* popupMenu() const { return popupMenu_; }
    QAction* printAction() const { return mnu_Print_; }
    QAction* resetZoomAction() const { return mnu_ZoomReset_; }
    QAction* savePngAction() const { return mnu_SavePng_; }
    QLabel* readout() const { return readout_; }

    // Texts of the context menu in the current language.
    void setMenuTexts(const QString& print, const QString& resetZoom, const QString& savePng);

    // The points, X in milliseconds since the epoch in ascending order. Shows
    // all of them (the zoom is undone).
    void setPoints(const QList<QPointF>& points);
    void clearPoints() { setPoints({}); }
    const QList<QPointF>& points() const { return points_; }

    // Undoes any zoom: the time axis spans all points again.
    void resetZoom();
    // Shows the times from..to (milliseconds), within the points' span.
    void zoomTime(double fromMs, double toMs);
    // Zooms the time axis around a time by a factor (below 1: in).
    void zoomAround(double centreMs, double factor);
    bool zoomed() const;
    // The times shown (milliseconds since the epoch).
    double shownFrom() const { return shownFrom_; }
    double shownTo() const { return shownTo_; }

    // The read-out for a position in the view: the time and value of the
    // point nearest in time, marked on the line. Empty (and hidden) when
    // the position is outside the plot area or there are no points.
    QString showReadoutAt(const QPointF& viewPos);
    void hideReadout();

    // The number format of the read-out (the window formats as the grid).
    void setValueFormatter(std::function<QString(double)> format) { format_ = std::move(format); }

  signals:
    void printRequested();
    void savePngRequested();

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void applyTimeRange(double fromMs, double toMs);
    void fitValueAxis(double fromMs, double toMs);
    void adaptTimeLabels();
    void setTicks(double fromMs, double toMs, qreal plotWidth);
    double timeAt(const QPointF& viewPos) const;

    QLineSeries* series_ = nullptr;
    QCategoryAxis* timeAxis_ = nullptr;
    QValueAxis* valueAxis_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    QAction* mnu_Print_ = nullptr;
    QAction* mnu_ZoomReset_ = nullptr;
    QAction* mnu_SavePng_ = nullptr;
    QLabel* readout_ = nullptr;
    QGraphicsEllipseItem* marker_ = nullptr;
    QRubberBand* band_ = nullptr;
    QPoint bandOrigin_;
    bool dragging_ = false;
    QList<QPointF> points_;
    double fullFrom_ = 0;
    double fullTo_ = 0;
    double shownFrom_ = 0;
    double shownTo_ = 0;
    std::function<QString(double)> format_;
};

}  // namespace parvion::gui
