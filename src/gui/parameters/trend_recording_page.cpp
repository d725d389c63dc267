#include "gui/parameters/trend_recording_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "gui/app/widgets.h"

namespace parvion::gui {

namespace {

QGroupBox* groupWithCombo(QWidget* parent, const QString& group, const QString& combo,
                          QComboBox** comboOut) {
    auto* box = named(new QGroupBox(parent), group);
    auto* l = new QVBoxLayout(box);
    *comboOut = named(new QComboBox(box), combo);
    (*comboOut)->setEnabled(false);
    l->addWidget(*comboOut);
    l->addStretch();
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
    layout->addWidget(GroupTrend_);
    layout->addWidget(GroupIntervall_);
}

void TrendRecordingPage::updateTexts() {
    views::TextBlock t;
    if (ctx_.textBlock(10240, 1, t)) {
        setCaption(GroupTrend_, t[0]);
        refill(ComboTrend_, choices(t));
    }
    if (ctx_.textBlock(10256, 1, t)) {
        setCaption(GroupIntervall_, t[0]);
        refill(ComboTrendinterval_, choices(t));
    }
}

}  // namespace parvion::gui
