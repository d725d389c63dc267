#include "gui/graph/graph_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QChart>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "core/history/history_view.h"
#include "core/model/text_file.h"
#include "core/model/units.h"
#include "core/model/value_format.h"
#include "core/views/time_axis.h"
#include "core/views/trend_series.h"
#include "gui/graph/graph_texts.h"
#include "gui/graph/trend_chart_view.h"
#include "gui/shared/dialogs.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {

constexpr int kWidth = 596;
constexpr int kHeight = 468;
constexpr int kButtonPanelHeight = 57;
// Width of the chart as it is laid out for the printer: the page's
// proportions at about the size of a large window.
constexpr qreal kPrintLayoutWidth = 800;

// Milliseconds since the epoch of device times in local time. The time of
// an hour is looked up once; the minutes and seconds are added to it.
class LocalTimes {
  public:
    double msecs(const DeviceDateTime& t) {
        const int hourKey = ((t.year * 13 + t.month) * 32 + t.day) * 24 + t.hour;
        if (hourKey != hourKey_) {
            hourKey_ = hourKey;
            hourMs_ = static_cast<double>(
                QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, 0)).toMSecsSinceEpoch());
        }
        return hourMs_ + (t.minute * 60 + t.second) * 1000.0;
    }

  private:
    int hourKey_ = -1;
    double hourMs_ = 0;
};

QSplitter* splitter(Qt::Orientation o, const QString& name, QWidget* parent) {
    auto* s = named(new QSplitter(o, parent), name);
    s->setChildrenCollapsible(false);
    s->setHandleWidth(4);
    return s;
}

QWidget* panel(const QString& name, QWidget* parent) {
    auto* w = named(new QWidget(parent), name);
    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    return w;
}

}  // namespace

Tfrm_Grafik::Tfrm_Grafik(GraphContext context, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(std::move(context)) {
    setObjectName(QStringLiteral("Tfrm_Grafik"));
    QFont base = font();
    base.setPointSize(8);
    setFont(base);
    resize(kWidth, kHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel2 = panel(QStringLiteral("Panel2"), this);
    Splitter1 = splitter(Qt::Vertical, QStringLiteral("Splitter1"), Panel2);
    Panel2->layout()->addWidget(Splitter1);
    Panel3 = panel(QStringLiteral("Panel3"), Splitter1);
    Panel4 = panel(QStringLiteral("Panel4"), Splitter1);
    Splitter1->addWidget(Panel3);
    Splitter1->addWidget(Panel4);
    Splitter2 = splitter(Qt::Horizontal, QStringLiteral("Splitter2"), Panel3);
    Splitter3 = splitter(Qt::Horizontal, QStringLiteral("Splitter3"), Panel4);
    Panel3->layout()->addWidget(Splitter2);
    Panel4->layout()->addWidget(Splitter3);
    for (int i = 0; i < kCharts; ++i) {
        auto* view = new TrendChartView(i + 1);
        view->setMinimumSize(120, 90);
        (i < 2 ? Splitter2 : Splitter3)->addWidget(view);
        charts_[static_cast<std::size_t>(i)] = view;
        view->setValueFormatter([this](double v) {
            // As the trend grid writes its values, already in their unit.
            return QString::fromStdString(FormatValue(ctx_.image, ctx_.session.Medium, kNoQuantity,
                                                      false, true, ToSingle(v)))
                .trimmed();
        });
        connect(view, &TrendChartView::printRequested, this, [this, i] { mnu_Print1Click(i); });
        connect(view, &TrendChartView::savePngRequested, this, [this, i] { savePngClick(i); });
    }
    Panel2->installEventFilter(this);
    layout->addWidget(Panel2, 1);

    Panel1 = named(new QFrame(this), QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setFixedHeight(kButtonPanelHeight);
    auto* buttons = new QHBoxLayout(Panel1);
    buttons->setContentsMargins(12, 0, 12, 0);
    speedButtons_ = new QButtonGroup(this);
    speedButtons_->setExclusive(true);
    const QString captions[] = {QString(), QStringLiteral("CH 1"), QStringLiteral("CH 2")};
    QPushButton** targets[] = {&SpeedButton1, &SpeedButton2, &SpeedButton3};
    for (int i = 0; i < 3; ++i) {
        auto* b = named(new QPushButton(captions[i], Panel1),
                        QStringLiteral("SpeedButton") + QString::number(i + 1));
        b->setCheckable(true);
        b->setFixedSize(75, 25);
        b->setFocusPolicy(Qt::NoFocus);
        speedButtons_->addButton(b, i);
        buttons->addWidget(b);
        *targets[i] = b;
    }
    buttons->addStretch(1);
    layout->addWidget(Panel1);
    connect(speedButtons_, &QButtonGroup::buttonClicked, this, &Tfrm_Grafik::SpeedButton1Click);

    SpeedButton1->setChecked(true);
    applyTexts();
}

QLineSeries* Tfrm_Grafik::series(int index) const {
    return chart(index)->series();
}

void Tfrm_Grafik::showGraph() {
    if (!centred_) {
        // Centred on the program's window, or on the screen.
        const QWidget* over = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
        const QRect area = over != nullptr && over->isVisible() ? over->frameGeometry()
                           : screen() != nullptr                ? screen()->availableGeometry()
                                                                : QRect();
        if (area.isValid()) move(area.center() - rect().center());
        centred_ = true;
    }
    show();
    raise();
    activateWindow();
}

void Tfrm_Grafik::applyTexts() {
    const GraphTexts& t = GraphTextsFor(ctx_.session.Sprache);
    setWindowTitle(t.caption);
    SpeedButton1->setToolTip(t.noCircuitHint);
    for (TrendChartView* view : charts_) view->setMenuTexts(t.print, t.resetZoom, t.savePng);
}

void Tfrm_Grafik::FormActivate() {
    applyTexts();
    SpeedButton1->setChecked(true);
    SpeedButton1Click(SpeedButton1);
}

void Tfrm_Grafik::SpeedButton1Click(QAbstractButton* sender) {
    circuit_ = -1;
    for (TrendChartView* view : charts_) {
        view->clearPoints();
        view->chart()->setTitle(QString());
    }
    if (sender != SpeedButton2 && sender != SpeedButton3) return;
    drawCircuit(sender == SpeedButton2 ? 0 : 1);
}

void Tfrm_Grafik::drawCircuit(int circuit) {
    circuit_ = circuit;
    const QStringList heads = ctx_.columnHeads ? ctx_.columnHeads() : QStringList();
    for (int i = 0; i < kCharts; ++i) {
        charts_[static_cast<std::size_t>(i)]->chart()->setTitle(heads.value(i));
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto instants = views::TrendCircuitInstants(
        ctx_.store, circuit, views::TrendDisplayUnits(ctx_.image, ctx_.session.Medium));
    std::array<QList<QPointF>, kCharts> points;
    for (auto& p : points) p.reserve(static_cast<qsizetype>(instants.size()));
    LocalTimes local;
    for (const views::TrendInstant& instant : instants) {
        const double x = local.msecs(instant.time);
        for (std::size_t s = 0; s < views::kTrendSeriesCount; ++s) {
            if (instant.value[s]) points[s].append(QPointF(x, *instant.value[s]));
        }
    }
    for (std::size_t s = 0; s < points.size(); ++s) {
        // Local time can step back where the clocks are put back; the line
        // must still run from left to right.
        auto byTime = [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); };
        if (!std::is_sorted(points[s].begin(), points[s].end(), byTime)) {
            std::stable_sort(points[s].begin(), points[s].end(), byTime);
        }
        charts_[s]->setPoints(points[s]);
    }
    QApplication::restoreOverrideCursor();
}

void Tfrm_Grafik::FormResize() {
    const int h = Splitter1->height() - Splitter1->handleWidth();
    Splitter1->setSizes({h / 2, h - h / 2});
    const int w = Splitter2->width() - Splitter2->handleWidth();
    Splitter2->setSizes({w / 2, w - w / 2});
    Splitter3->setSizes({w / 2, w - w / 2});
}

bool Tfrm_Grafik::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel2 && event->type() == QEvent::Resize) {
        // The splitters have their new size once the panel's layout has run.
        Panel2->layout()->activate();
        FormResize();
    }
    return QWidget::eventFilter(watched, event);
}

void Tfrm_Grafik::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    emptyOnActivate_ = false;
    FormActivate();
}

bool Tfrm_Grafik::ownsWindow(const QWidget* window) const {
    for (const QWidget* w = window; w != nullptr; w = w->parentWidget()) {
        if (w == this) return true;
    }
    return false;
}

void Tfrm_Grafik::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    if (isActiveWindow()) {
        if (emptyOnActivate_) {
            emptyOnActivate_ = false;
            FormActivate();
        }
        return;
    }
    // Left for another window of the program (the main window, say): coming
    // back empties the charts. The window's own dialogs and menus, and other
    // programs, leave them as they are.
    const QWidget* now = QApplication::activeWindow();
    emptyOnActivate_ = now != nullptr && !ownsWindow(now);
}

void Tfrm_Grafik::mnu_Print1Click(int index) {
    const GraphTexts& t = GraphTextsFor(ctx_.session.Sprache);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    const QString title = chart(index)->chart()->title();
    printer.setDocName(title.isEmpty() ? t.caption : title);
    bool confirmed = false;
    if (ctx_.printDialog) {
        confirmed = ctx_.printDialog(printer, this);
    } else {
        QPrintDialog dialog(&printer, this);
        confirmed = dialog.exec() == QDialog::Accepted;
    }
    if (!confirmed) return;
    if (!printChart(index, printer)) ctx_.dialogs.warning(this, t.printFailed);
}

QString Tfrm_Grafik::captionLine(int index) const {
    const TrendChartView* view = chart(index);
    if (circuit_ < 0 || view->points().isEmpty()) return {};
    return QString::fromStdString(views::TrendChartCaption(
        ctx_.text, history::VariantName(ctx_.session.Medium),
        ctx_.serialNumber ? ctx_.serialNumber() : std::string(), circuit_ + 1,
        WallClockMs(view->shownFrom()), WallClockMs(view->shownTo())));
}

bool Tfrm_Grafik::printChart(int index, QPrinter& printer) {
    TrendChartView* view = chart(index);
    view->hideReadout();
    const QString caption = captionLine(index);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    QRectF target(0, 0, page.width(), page.height());
    if (!caption.isEmpty()) {
        // The caption line above the chart, at a size that reads as 9 points.
        QFont font = view->chart()->titleFont();
        font.setBold(false);
        font.setPixelSize(std::max(1, static_cast<int>(printer.resolution() * 9 / 72)));
        painter.setFont(font);
        QRectF text;
        painter.drawText(QRectF(0, 0, target.width(), target.height() / 4),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, caption, &text);
        target.adjust(0, text.height() + QFontMetricsF(font).height() / 2, 0, 0);
    }
    // Laid out at the page's proportions, so that texts and lines keep their
    // size relative to the chart; afterwards back to the window's size.
    QChart* c = view->chart();
    const QSizeF shown = c->size();
    const qreal aspect = target.width() > 0 ? target.height() / target.width() : 0.7;
    c->resize(kPrintLayoutWidth, kPrintLayoutWidth * aspect);
    c->layout()->activate();
    view->scene()->render(&painter, target, QRectF(c->pos(), c->size()), Qt::KeepAspectRatio);
    c->resize(shown);
    c->layout()->activate();
    return painter.end();
}

void Tfrm_Grafik::savePngClick(int index) {
    const GraphTexts& t = GraphTextsFor(ctx_.session.Sprache);
    FileRequest request;
    request.directory = QString::fromStdString(ctx_.documentsFolder.string());
    request.fileName = t.caption + QString::number(index + 1) + QStringLiteral(".png");
    request.filters = QStringList{t.pngFilter};
    request.defaultSuffix = QStringLiteral("png");
    std::optional<QString> chosen = ctx_.dialogs.saveFile(this, request);
    if (!chosen || chosen->isEmpty()) return;
    QString file = *chosen;
    if (QFileInfo(file).suffix().compare(QStringLiteral("png"), Qt::CaseInsensitive) != 0) {
        file += QStringLiteral(".png");
    }
    if (QFileInfo::exists(file) && !ctx_.dialogs.askOkCancel(this, t.warning, t.overwrite)) return;
    if (!saveChartPng(index, file)) {
        ctx_.dialogs.warning(this, t.pngFailed.arg(QDir::toNativeSeparators(file)));
    }
}

bool Tfrm_Grafik::saveChartPng(int index, const QString& file) {
    TrendChartView* view = chart(index);
    view->hideReadout();
    const QPixmap chartPicture = view->grab();
    QPixmap picture = chartPicture;
    if (const QString caption = captionLine(index); !caption.isEmpty()) {
        // The caption line above the chart, on white, wrapped to the
        // chart's width where it is longer.
        QFont font = view->font();
        font.setPointSize(8);
        const QFontMetrics fm(font);
        const qreal ratio = chartPicture.devicePixelRatio();
        const int margin = 4;
        const int width = qRound(chartPicture.width() / ratio);
        const QRect text = fm.boundingRect(QRect(margin, margin, width - 2 * margin, 10000),
                                           Qt::AlignLeft | Qt::TextWordWrap, caption);
        const int top = text.height() + 2 * margin;
        picture = QPixmap(QSize(width, top + qRound(chartPicture.height() / ratio)) * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(margin, margin, width - 2 * margin, text.height()),
                         Qt::AlignLeft | Qt::TextWordWrap, caption);
        painter.drawPixmap(QPoint(0, top), chartPicture);
    }
    // Through a temporary file: a failed write leaves no half picture and
    // keeps an older file of that name; a read-only one stays as it is.
    if (IsReadOnlyFile(file.toStdString())) return false;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return false;
    if (!picture.save(&out, "PNG")) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

}  // namespace parvion::gui
