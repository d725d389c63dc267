#include "gui/parameters/display_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/edit/source_codes.h"
#include "core/model/parameter_image.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

DisplayPage::DisplayPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabParDisplay"), parent) {
    auto* layout = new QVBoxLayout(this);
    GroupDisplay_ =
        named(new QGroupBox(QStringLiteral("Display"), this), QStringLiteral("GroupDisplay"));
    auto* dl = new QVBoxLayout(GroupDisplay_);
    ComboVorzug_ = named(new QComboBox(GroupDisplay_), QStringLiteral("ComboVorzug"));
    ComboVorzug_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboVorzug_->setMinimumContentsLength(28);
    CheckDisplay_ = named(new QCheckBox(QStringLiteral("Kompaktanzeige"), GroupDisplay_),
                          QStringLiteral("CheckDisplay"));
    CheckCalc_ =
        named(new QCheckBox(QStringLiteral("Berechnungsfehler autom. bestätigen"), GroupDisplay_),
              QStringLiteral("CheckCalc"));
    dl->addWidget(ComboVorzug_, 0, Qt::AlignLeft);
    dl->addWidget(CheckDisplay_);
    dl->addWidget(CheckCalc_);
    layout->addWidget(GroupDisplay_);

    GroupBetriebsanzeige_ = named(new QGroupBox(QStringLiteral("Betriebsanzeige"), this),
                                  QStringLiteral("GroupBetriebsanzeige"));
    auto* row = new QHBoxLayout(GroupBetriebsanzeige_);
    // The four boxes share the page's width: narrow margins, so that the
    // longest value names fit.
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(4);
    static const char* const kChecks[edit::kDisplayValues] = {"Chk_T", "Chk_P",  "Chk_R", "Chk_F",
                                                              "Chk_M", "Chk_TF", "Chk_TM"};
    for (int b = 0; b < edit::kDisplayPages; ++b) {
        const auto i = static_cast<std::size_t>(b);
        const QString n = QString::number(b + 1);
        DisplayBox_[i] = named(new QGroupBox(GroupBetriebsanzeige_), "DisplayBox" + n);
        auto* bl = new QVBoxLayout(DisplayBox_[i]);
        bl->setContentsMargins(4, 4, 2, 4);
        bl->setSpacing(2);
        for (int v = 0; v < edit::kDisplayValues; ++v) {
            auto* check = named(new QCheckBox(DisplayBox_[i]), QString::fromLatin1(kChecks[v]) + n);
            // The sum page has no temperature, pressure and density.
            if (!edit::DisplayValueShown(b, v)) check->hide();
            bl->addWidget(check);
            checks_[i][static_cast<std::size_t>(v)] = check;
            connect(check, &QCheckBox::toggled, this, [this] { Chk_T1Click(); });
        }
        bl->addStretch();
        row->addWidget(DisplayBox_[i], 0, Qt::AlignTop);
    }
    row->addStretch();
    layout->addWidget(GroupBetriebsanzeige_);
    layout->addStretch();

    connect(ComboVorzug_, &QComboBox::activated, this, &DisplayPage::ComboVorzugChange);
    connect(CheckDisplay_, &QCheckBox::clicked, this, &DisplayPage::CheckDisplayClick);
    connect(CheckCalc_, &QCheckBox::clicked, this, &DisplayPage::CheckCalcClick);
}

void DisplayPage::updateTexts() {
    views::TextBlock t;
    if (ctx_.textBlock(edit::kDisplayBlock, 1, t)) {
        setCaption(GroupDisplay_, t[0]);
        refill(ComboVorzug_, toQStringList(edit::PreferredChoices(ctx_.blocks())));
    }
    setCaption(GroupBetriebsanzeige_, ctx_.text(edit::kDisplayPagesText));
    if (ctx_.textBlock(edit::kDisplayChecksBlock, 1, t)) {
        setCaption(CheckDisplay_, t[0]);
        setCaption(CheckCalc_, t[1]);
    }
    for (int b = 0; b < edit::kDisplayPages; ++b) {
        const auto i = static_cast<std::size_t>(b);
        if (!ctx_.textBlock(static_cast<std::uint16_t>(edit::kDisplayBoxBlock + 16 * b), 1, t)) {
            continue;
        }
        setCaption(DisplayBox_[i], t[0]);
        for (std::size_t v = 0; v < checks_[i].size(); ++v) setCaption(checks_[i][v], t[v + 1]);
    }
    redisplay();
}

void DisplayPage::applyPageRules() {
    const bool offered = edit::CompactDisplayOffered(ctx_.image);
    CheckDisplay_->setEnabled(offered);
    if (!offered) CheckDisplay_->setChecked(false);
    for (int b = 0; b < edit::kDisplayPages; ++b) {
        DisplayBox_[static_cast<std::size_t>(b)]->setVisible(edit::DisplayPageShown(ctx_.image, b));
    }
}

void DisplayPage::fill() {
    const edit::DisplayChecks shown{CheckDisplay_->isChecked(), CheckCalc_->isChecked()};
    const edit::DisplayChecks checks = edit::FillDisplayPage(ctx_.link, ctx_.image, shown);
    showBoxes();
    showPreferred();
    showChecks(checks);
}

void DisplayPage::redisplay() {
    showBoxes();
    showPreferred();
    showChecks(edit::ChecksOf(ctx_.image));
}

void DisplayPage::showBoxes() {
    const edit::DisplayBoxes boxes = edit::BoxesOf(ctx_.image.Display);
    GroupBetriebsanzeige_->setEnabled(false);
    for (std::size_t b = 0; b < checks_.size(); ++b) {
        for (std::size_t v = 0; v < checks_[b].size(); ++v) checks_[b][v]->setChecked(boxes[b][v]);
    }
    GroupBetriebsanzeige_->setEnabled(true);
}

void DisplayPage::showPreferred() {
    const int index = edit::SourceIndex(edit::SourceUse::Preferred, ctx_.image.Dis_User.First);
    const QSignalBlocker block(ComboVorzug_);
    ComboVorzug_->setCurrentIndex(index >= 0 && index < ComboVorzug_->count() ? index : -1);
}

void DisplayPage::showChecks(const edit::DisplayChecks& checks) {
    CheckDisplay_->setChecked(checks.compact);
    CheckCalc_->setChecked(checks.calcError);
}

void DisplayPage::ComboVorzugChange(int index) {
    auto busy = ctx_.busy.tryHold();
    if (busy && index >= 0) edit::ChoosePreferredValue(ctx_.link, ctx_.image, index);
    showPreferred();
}

void DisplayPage::CheckDisplayClick(bool checked) {
    auto busy = ctx_.busy.tryHold();
    if (busy) edit::SetCompactDisplay(ctx_.link, ctx_.image, checked);
    showChecks(edit::ChecksOf(ctx_.image));
}

void DisplayPage::CheckCalcClick(bool checked) {
    auto busy = ctx_.busy.tryHold();
    if (busy) edit::SetCalcErrorAcknowledge(ctx_.link, ctx_.image, checked);
    showChecks(edit::ChecksOf(ctx_.image));
}

void DisplayPage::Chk_T1Click() {
    // The page is setting the boxes itself.
    if (!GroupBetriebsanzeige_->isEnabled()) return;
    auto busy = ctx_.busy.tryHold();
    if (!busy) {
        showBoxes();
        return;
    }
    edit::DisplayBoxes boxes{};
    for (std::size_t b = 0; b < checks_.size(); ++b) {
        for (std::size_t v = 0; v < checks_[b].size(); ++v) {
            boxes[b][v] = checks_[b][v]->isChecked();
        }
    }
    edit::SetDisplayBoxes(ctx_.link, ctx_.image, boxes, CheckDisplay_->isChecked());
    ctx_.host.fillParameterPages();
}

}  // namespace parvion::gui
