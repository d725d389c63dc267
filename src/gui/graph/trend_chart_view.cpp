#include "gui/graph/trend_chart_view.h"

#include <QAction>
#include <QCategoryAxis>
#include <QChart>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QFontMetrics>
#include <QGraphicsEllipseItem>
#include <QGraphicsLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QMouseEvent>
#include <QRubberBand>
#include <QSet>
#include <QTimeZone>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/views/time_axis.h"
#include "core/views/trend_series.h"

namespace parvion::gui {

namespace {

// Narrowest time span a zoom shows: two seconds.
constexpr double kMinSpanMs = 2000.0;
// A single point gets half a minute on either side.
constexpr double kSinglePointMs = 30000.0;
// A drag narrower than this is a click, not a zoom band.
constexpr int kMinBandPixels = 6;

// The instant of a local wall-clock time: the ticks fall on round times of
// the clock the user reads.
double instantMs(std::int64_t wall) {
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(wall, Qt::UTC);
    return static_cast<double>(QDateTime(utc.date(), utc.time()).toMSecsSinceEpoch());
}

QString timeText(double ms) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(ms)))
        .toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

}  // namespace

std::int64_t WallClockMs(double ms) {
    const auto at = static_cast<qint64>(std::llround(ms));
    return at +
           static_cast<std::int64_t>(QDateTime::fromMSecsSinceEpoch(at).offsetFromUtc()) * 1000;
}

// The chart goes in through the constructor: a chart set later releases the
// view's own first chart without deleting it.
TrendChartView::TrendChartView(int number, QWidget* parent) : QChartView(new QChart, parent) {
    const QString n = QString::number(number);
    setObjectName(QStringLiteral("Chart") + n);

    QChart* c = chart();
    c->setObjectName(QStringLiteral("Chart") + n + QStringLiteral("Chart"));
    c->setTheme(QChart::ChartThemeLight);
    c->setAnimationOptions(QChart::NoAnimation);
    c->legend()->hide();
    c->setBackgroundRoundness(0);
    // Room on the right for half the last time label.
    c->setMargins(QMargins(2, 2, 26, 2));
    c->layout()->setContentsMargins(0, 0, 0, 0);
    c->setPlotAreaBackgroundBrush(Qt::white);
    c->setPlotAreaBackgroundVisible(true);
    QFont titleFont = font();
    titleFont.setPointSize(9);
    titleFont.setBold(true);
    c->setTitleFont(titleFont);

    series_ = new QLineSeries(c);
    series_->setObjectName(QStringLiteral("Series") + n);
    series_->setPen(QPen(Qt::red, 1));
    series_->setPointsVisible(false);
    series_->setPointLabelsVisible(false);
    c->addSeries(series_);

    QFont labels = font();
    labels.setPointSize(7);
    timeAxis_ = new QCategoryAxis(c);
    timeAxis_->setLabelsFont(labels);
    timeAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    valueAxis_ = new QValueAxis(c);
    valueAxis_->setLabelsFont(labels);
    valueAxis_->setLabelFormat(QStringLiteral("%.5g"));
    c->addAxis(timeAxis_, Qt::AlignBottom);
    c->addAxis(valueAxis_, Qt::AlignLeft);
    series_->attachAxis(timeAxis_);
    series_->attachAxis(valueAxis_);
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::NoRubberBand);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);

    marker_ = new QGraphicsEllipseItem(-3, -3, 6, 6);
    marker_->setPen(QPen(Qt::darkBlue, 1));
    marker_->setBrush(Qt::NoBrush);
    marker_->setZValue(100);
    marker_->hide();
    scene()->addItem(marker_);

    readout_ = new QLabel(viewport());
    readout_->setObjectName(QStringLiteral("Readout") + n);
    readout_->setStyleSheet(
        QStringLiteral("background: rgba(255, 255, 225, 230); border: 1px solid gray;"
                       " padding: 1px 3px;"));
    readout_->setAttribute(Qt::WA_TransparentForMouseEvents);
    readout_->hide();

    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName(QStringLiteral("PopupMenu") + n);
    mnu_Print_ = popupMenu_->addAction(QStringLiteral("Drucken..."));
    mnu_Print_->setObjectName(QStringLiteral("mnu_Print") + n);
    popupMenu_->addSeparator();
    mnu_ZoomReset_ = popupMenu_->addAction(QString());
    mnu_ZoomReset_->setObjectName(QStringLiteral("mnu_ZoomReset") + n);
    mnu_SavePng_ = popupMenu_->addAction(QString());
    mnu_SavePng_->setObjectName(QStringLiteral("mnu_SavePng") + n);
    connect(mnu_Print_, &QAction::triggered, this, &TrendChartView::printRequested);
    connect(mnu_ZoomReset_, &QAction::triggered, this, &TrendChartView::resetZoom);
    connect(mnu_SavePng_, &QAction::triggered, this, &TrendChartView::savePngRequested);
    connect(popupMenu_, &QMenu::aboutToShow, this,
            [this] { mnu_ZoomReset_->setEnabled(zoomed()); });

    clearPoints();
}

void TrendChartView::setMenuTexts(const QString& print, const QString& resetZoom,
                                  const QString& savePng) {
    mnu_Print_->setText(print);
    mnu_ZoomReset_->setText(resetZoom);
    mnu_SavePng_->setText(savePng);
}

void TrendChartView::setPoints(const QList<QPointF>& points) {
    hideReadout();
    points_ = points;
    series_->replace(points_);
    const bool any = !points_.isEmpty();
    timeAxis_->setLabelsVisible(any);
    valueAxis_->setLabelsVisible(any);
    if (!any) {
        // An empty chart keeps a blank grid; the times shown do not matter.
        fullFrom_ = 0;
        fullTo_ = 3600000.0;
        shownFrom_ = fullFrom_;
        shownTo_ = fullTo_;
        timeAxis_->setRange(fullFrom_, fullTo_);
        setTicks(fullFrom_, fullTo_, width() - 80.0);
        valueAxis_->setRange(0, 1);
        return;
    }
    fullFrom_ = points_.front().x();
    fullTo_ = points_.back().x();
    if (fullTo_ - fullFrom_ < kMinSpanMs) {
        const double mid = (fullFrom_ + fullTo_) / 2;
        fullFrom_ = mid - kSinglePointMs;
        fullTo_ = mid + kSinglePointMs;
    }
    applyTimeRange(fullFrom_, fullTo_);
}

void TrendChartView::resetZoom() {
    hideReadout();
    if (points_.isEmpty()) return;
    applyTimeRange(fullFrom_, fullTo_);
}

bool TrendChartView::zoomed() const {
    return !points_.isEmpty() && (shownFrom_ > fullFrom_ || shownTo_ < fullTo_);
}

void TrendChartView::zoomTime(double fromMs, double toMs) {
    if (points_.isEmpty() || !std::isfinite(fromMs) || !std::isfinite(toMs)) return;
    if (fromMs > toMs) std::swap(fromMs, toMs);
    fromMs = std::max(fromMs, fullFrom_);
    toMs = std::min(toMs, fullTo_);
    if (toMs - fromMs < kMinSpanMs) {
        const double mid =
            std::clamp((fromMs + toMs) / 2, fullFrom_ + kMinSpanMs / 2, fullTo_ - kMinSpanMs / 2);
        fromMs = mid - kMinSpanMs / 2;
        toMs = mid + kMinSpanMs / 2;
    }
    applyTimeRange(fromMs, toMs);
}

void TrendChartView::zoomAround(double centreMs, double factor) {
    if (points_.isEmpty() || !std::isfinite(centreMs) || !(factor > 0)) return;
    centreMs = std::clamp(centreMs, shownFrom_, shownTo_);
    const double span = (shownTo_ - shownFrom_) * factor;
    if (span >= fullTo_ - fullFrom_) {
        resetZoom();
        return;
    }
    double from = centreMs - (centreMs - shownFrom_) * factor;
    // Keep the window within the points when zooming out near an end.
    from = std::clamp(from, fullFrom_, fullTo_ - span);
    zoomTime(from, from + span);
}

void TrendChartView::applyTimeRange(double fromMs, double toMs) {
    shownFrom_ = fromMs;
    shownTo_ = toMs;
    timeAxis_->setRange(std::floor(fromMs), std::ceil(toMs));
    fitValueAxis(fromMs, toMs);
    adaptTimeLabels();
}

void TrendChartView::fitValueAxis(double fromMs, double toMs) {
    auto first = std::lower_bound(points_.cbegin(), points_.cend(), fromMs,
                                  [](const QPointF& p, double x) { return p.x() < x; });
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (auto it = first; it != points_.cend() && it->x() <= toMs; ++it) {
        lo = std::min(lo, it->y());
        hi = std::max(hi, it->y());
    }
    const views::TrendRange r = views::TrendValueRange(lo, hi);
    const qreal plotHeight =
        chart()->plotArea().height() > 0 ? chart()->plotArea().height() : height() - 60.0;
    valueAxis_->setTickCount(std::clamp(static_cast<int>(plotHeight / 30) + 1, 3, 9));
    valueAxis_->setRange(r.min, r.max);
    valueAxis_->applyNiceNumbers();
}

void TrendChartView::adaptTimeLabels() {
    // The plot area follows a resize only once the chart is laid out again:
    // the view's width less the value labels and margins bounds it now.
    qreal plotWidth = width() - 80.0;
    if (chart()->plotArea().width() > 0)
        plotWidth = std::min(plotWidth, chart()->plotArea().width());
    setTicks(shownFrom_, shownTo_, plotWidth);
}

void TrendChartView::setTicks(double fromMs, double toMs, qreal plotWidth) {
    const QFontMetrics fm(timeAxis_->labelsFont());
    const std::int64_t from = WallClockMs(fromMs);
    const std::int64_t to = WallClockMs(toMs);
    // As many ticks as labels fit side by side, with room between them.
    auto fitting = [&](const char* widest) {
        const int label = fm.horizontalAdvance(QString::fromLatin1(widest)) + 18;
        return std::clamp(static_cast<int>(plotWidth / label) + 1, 2, 12);
    };
    views::TimeTicks ticks = views::PlanTimeTicks(from, to, fitting("00:00"));
    if (ticks.stepMs < views::kMinuteMs) {
        ticks = views::PlanTimeTicks(from, to, fitting("00:00:00"));
    }
    const QStringList old = timeAxis_->categoriesLabels();
    for (const QString& label : old) timeAxis_->remove(label);
    // The first category starts just before the first tick, so that a tick
    // on the range's start has a category too.
    double previous = std::floor(fromMs) - 1;
    timeAxis_->setStartValue(previous);
    QSet<QString> used;
    for (int i = 0; i < ticks.count; ++i) {
        const std::int64_t wall = ticks.firstMs + i * ticks.stepMs;
        const double at = instantMs(wall);
        // A tick that local time puts back (the clocks going back) is left out.
        if (!(at > previous) || at > toMs) continue;
        // Categories are named by their labels: the same time on another day
        // gets an invisible mark.
        QString label = QString::fromStdString(views::TimeTickLabel(wall, ticks.stepMs));
        while (used.contains(label)) label += QChar(0x200B);
        used.insert(label);
        timeAxis_->append(label, at);
        previous = at;
    }
}

double TrendChartView::timeAt(const QPointF& viewPos) const {
    const QPointF inChart = chart()->mapFromScene(mapToScene(viewPos.toPoint()));
    return chart()->mapToValue(inChart, series_).x();
}

QString TrendChartView::showReadoutAt(const QPointF& viewPos) {
    const QPointF inChart = chart()->mapFromScene(mapToScene(viewPos.toPoint()));
    if (points_.isEmpty() || !chart()->plotArea().contains(inChart)) {
        hideReadout();
        return {};
    }
    const double x = chart()->mapToValue(inChart, series_).x();
    auto it = std::lower_bound(points_.cbegin(), points_.cend(), x,
                               [](const QPointF& p, double v) { return p.x() < v; });
    if (it == points_.cend() || (it != points_.cbegin() && x - std::prev(it)->x() < it->x() - x)) {
        it = std::prev(it);
    }
    const QPointF p = *it;
    if (p.x() < shownFrom_ || p.x() > shownTo_) {
        hideReadout();
        return {};
    }
    const QString text = timeText(p.x()) + QStringLiteral("   ") +
                         (format_ ? format_(p.y()) : QString::number(p.y(), 'g', 6));
    readout_->setText(text);
    readout_->adjustSize();
    const QRectF plot = chart()->plotArea();
    const QPoint topRight = mapFromScene(chart()->mapToScene(plot.topRight()));
    readout_->move(std::max(0, topRight.x() - readout_->width() - 2), topRight.y() + 2);
    readout_->show();
    readout_->raise();
    marker_->setPos(chart()->mapToScene(chart()->mapToPosition(p, series_)));
    marker_->show();
    return text;
}

void TrendChartView::hideReadout() {
    readout_->hide();
    marker_->hide();
}

void TrendChartView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0 || points_.isEmpty()) {
        event->ignore();
        return;
    }
    zoomAround(timeAt(event->position()), std::pow(0.8, steps));
    showReadoutAt(event->position());
    event->accept();
}

void TrendChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !points_.isEmpty()) {
        dragging_ = true;
        bandOrigin_ = event->position().toPoint();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void TrendChartView::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        if (band_ == nullptr) band_ = new QRubberBand(QRubberBand::Rectangle, viewport());
        const QRectF plot = chart()->plotArea();
        const QPoint top = mapFromScene(chart()->mapToScene(plot.topLeft()));
        const QPoint bottom = mapFromScene(chart()->mapToScene(plot.bottomRight()));
        const int x = event->position().toPoint().x();
        band_->setGeometry(QRect(QPoint(std::min(x, bandOrigin_.x()), top.y()),
                                 QPoint(std::max(x, bandOrigin_.x()), bottom.y())));
        band_->show();
        hideReadout();
        event->accept();
        return;
    }
    showReadoutAt(event->position());
    QChartView::mouseMoveEvent(event);
}

void TrendChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        if (band_ != nullptr) band_->hide();
        const QPoint end = event->position().toPoint();
        if (std::abs(end.x() - bandOrigin_.x()) >= kMinBandPixels) {
            zoomTime(timeAt(bandOrigin_), timeAt(end));
        }
        event->accept();
        return;
    }
    // Not the base class: its right-button release would zoom out.
    event->accept();
}

void TrendChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        resetZoom();
        event->accept();
        return;
    }
    QChartView::mouseDoubleClickEvent(event);
}

void TrendChartView::leaveEvent(QEvent* event) {
    hideReadout();
    QChartView::leaveEvent(event);
}

void TrendChartView::contextMenuEvent(QContextMenuEvent* event) {
    hideReadout();
    popupMenu_->popup(event->globalPos());
    event->accept();
}

void TrendChartView::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    hideReadout();
    if (!points_.isEmpty()) {
        fitValueAxis(shownFrom_, shownTo_);
        adaptTimeLabels();
    }
}

}  // namespace parvion::gui
