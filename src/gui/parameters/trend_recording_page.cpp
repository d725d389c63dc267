#include "gui/parameters/trend_recording_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/edit/trend_recording.h"
#include "core/model/parameter_image.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {

QGroupBox* groupWithCombo(QWidget* parent, const QString& group, const QString& combo,
                          QComboBox** comboOut) {
    auto* box = named(new QGroupBox(parent), group);
    auto* l = new QVBoxLayout(box);
    *comboOut = named(new QComboBox(box), combo);
    l->addWidget(*comboOut);
    return box;
}

}  // namespace

TrendRecordingPage::TrendRecordingPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabParTrend"), parent) {
    auto* layout = new QHBoxLayout(this);
    GroupTrend_ = groupWithCombo(this, QStringLiteral("GroupTrend"), QStringLiteral("ComboTrend"),
                                 &ComboTrend_);
    GroupIntervall_ = groupWithCombo(this, QStringLiteral("GroupIntervall"),
                                     QStringLiteral("ComboTrendinterval"), &ComboTrendinterval_);
    connect(ComboTrend_, &QComboBox::activated, this, &TrendRecordingPage::ComboTrendChange);
    connect(ComboTrendinterval_, &QComboBox::activated, this,
            &TrendRecordingPage::ComboTrendintervalChange);
    layout->addWidget(GroupTrend_, 0, Qt::AlignTop);
    layout->addWidget(GroupIntervall_, 0, Qt::AlignTop);
}

void TrendRecordingPage::updateTexts() {
    views::TextBlock t;
    if (ctx_.textBlock(edit::kTrendSourceTexts, 1, t)) {
        setCaption(GroupTrend_, t[0]);
        refill(ComboTrend_, choices(t));
    }
    if (ctx_.textBlock(edit::kTrendIntervalTexts, 1, t)) {
        setCaption(GroupIntervall_, t[0]);
        refill(ComboTrendinterval_, choices(t));
    }
    redisplay();
}

void TrendRecordingPage::fill() {
    edit::ReadTrendRecordingPage(ctx_.link, ctx_.image);
    redisplay();
}

void TrendRecordingPage::redisplay() {
    const Trend_UserRec& trend = ctx_.image.Trend_User;
    {
        const QSignalBlocker block(ComboTrend_);
        ComboTrend_->setCurrentIndex(trend.Param < ComboTrend_->count() ? trend.Param : -1);
    }
    const edit::IntervalShown shown = edit::IntervalChoiceOf(trend.Time);
    const QSignalBlocker block(ComboTrendinterval_);
    switch (shown.kind) {
        case edit::IntervalShown::Kind::Select:
            ComboTrendinterval_->setCurrentIndex(shown.index);
            break;
        case edit::IntervalShown::Kind::Clear:
            ComboTrendinterval_->setCurrentIndex(-1);
            break;
        case edit::IntervalShown::Kind::Keep:
            break;
    }
}

void TrendRecordingPage::ComboTrendChange(int index) {
    auto busy = ctx_.busy.tryHold();
    if (busy && index >= 0) edit::SetTrendSource(ctx_.link, ctx_.image, index);
    redisplay();
}

void TrendRecordingPage::ComboTrendintervalChange(int index) {
    auto busy = ctx_.busy.tryHold();
    if (busy && index >= 0) edit::SetTrendInterval(ctx_.link, ctx_.image, index);
    redisplay();
}

}  // namespace parvion::gui
