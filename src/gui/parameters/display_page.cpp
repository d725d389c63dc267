#include "gui/parameters/display_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/model/parameter_image.h"
#include "core/views/page_rules.h"
#include "gui/app/widgets.h"

namespace parvion::gui {

DisplayPage::DisplayPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabParDisplay"), parent) {
    auto* layout = new QVBoxLayout(this);
    GroupDisplay_ = named(new QGroupBox(this), QStringLiteral("GroupDisplay"));
    auto* dl = new QVBoxLayout(GroupDisplay_);
    ComboVorzug_ = named(new QComboBox(GroupDisplay_), QStringLiteral("ComboVorzug"));
    ComboVorzug_->setEnabled(false);
    CheckDisplay_ = named(new QCheckBox(QStringLiteral("Kompaktanzeige"), GroupDisplay_),
                          QStringLiteral("CheckDisplay"));
    CheckCalc_ =
        named(new QCheckBox(QStringLiteral("Berechnungsfehler autom. bestätigen"), GroupDisplay_),
              QStringLiteral("CheckCalc"));
    CheckCalc_->setEnabled(false);
    dl->addWidget(ComboVorzug_);
    dl->addWidget(CheckDisplay_);
    dl->addWidget(CheckCalc_);
    layout->addWidget(GroupDisplay_);

    GroupBetriebsanzeige_ = named(new QGroupBox(this), QStringLiteral("GroupBetriebsanzeige"));
    auto* row = new QHBoxLayout(GroupBetriebsanzeige_);
    static const char* const kChecks[7] = {"Chk_T", "Chk_P",  "Chk_R", "Chk_F",
                                           "Chk_M", "Chk_TF", "Chk_TM"};
    for (std::size_t b = 0; b < 4; ++b) {
        const QString n = QString::number(b + 1);
        DisplayBox_[b] = named(new QGroupBox(GroupBetriebsanzeige_), "DisplayBox" + n);
        auto* bl = new QVBoxLayout(DisplayBox_[b]);
        for (std::size_t i = 0; i < 7; ++i) {
            auto* check = named(new QCheckBox(DisplayBox_[b]), QString::fromLatin1(kChecks[i]) + n);
            check->setEnabled(false);
            // The fourth box has no temperature, pressure and density.
            if (b == 3 && i < 3) check->hide();
            bl->addWidget(check);
            checks_[b][i] = check;
        }
        row->addWidget(DisplayBox_[b]);
    }
    layout->addWidget(GroupBetriebsanzeige_);
}

void DisplayPage::updateTexts() {
    views::TextBlock t;
    views::TextBlock more;
    if (ctx_.textBlock(9216, 1, t)) {
        ctx_.textBlock(9232, 1, more);
        setCaption(GroupDisplay_, t[0]);
        refill(ComboVorzug_, choices(t) + choices(more, 0));
    }
    if (ctx_.textBlock(13376, 1, t)) setCaption(GroupBetriebsanzeige_, t[0]);
    if (ctx_.textBlock(13392, 1, t)) {
        setCaption(CheckDisplay_, t[0]);
        setCaption(CheckCalc_, t[1]);
    }
    for (std::size_t b = 0; b < 4; ++b) {
        if (!ctx_.textBlock(static_cast<std::uint16_t>(13312 + 16 * b), 1, t)) continue;
        setCaption(DisplayBox_[b], t[0]);
        for (std::size_t i = 0; i < 7; ++i) setCaption(checks_[b][i], t[i + 1]);
    }
}

void DisplayPage::applyPageRules() {
    const SystemRec& sys = ctx_.image.System;
    const bool all = views::AllOutputsPresent(sys);
    CheckDisplay_->setEnabled(all);
    if (!all) CheckDisplay_->setChecked(false);
    const bool circuit2 = !views::Circuit2Unavailable(sys);
    for (std::size_t b = 1; b < 4; ++b) DisplayBox_[b]->setVisible(circuit2);
}

}  // namespace parvion::gui
