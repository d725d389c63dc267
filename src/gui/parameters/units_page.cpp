#include "gui/parameters/units_page.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/edit/units_page.h"
#include "core/model/parameter_image.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/multi_row_tab_bar.h"
#include "gui/shared/radio_group.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {
const char* const kRadioNames[8] = {"Radio_E_Temp",     "Radio_E_Druck", "Radio_E_Dichte",
                                    "Radio_E_Leistung", "Radio_E_Masse", "Radio_E_TotLeistung",
                                    "Radio_E_TotMasse", "Radio_E_BetrVS"};
}

UnitsPage::UnitsPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabparEinheiten"), parent) {
    auto* layout = new QVBoxLayout(this);
    CheckUserEinheiten_ = named(new QCheckBox(QStringLiteral("User-Einheiten"), this),
                                QStringLiteral("CheckUserEinheiten"));
    layout->addWidget(CheckUserEinheiten_);
    PC_Usereinheiten_ = named(new QTabWidget(this), QStringLiteral("PC_Usereinheiten"));
    for (std::size_t q = 0; q < Radio_E_.size(); ++q) {
        auto* sheet = new QWidget(PC_Usereinheiten_);
        auto* sl = new QVBoxLayout(sheet);
        Radio_E_[q] = named(new RadioGroup(sheet), QString::fromLatin1(kRadioNames[q]));
        sl->addWidget(Radio_E_[q]);
        sl->addStretch();
        PC_Usereinheiten_->addTab(sheet, QString::number(q));
        const int quantity = static_cast<int>(q);
        connect(Radio_E_[q], &RadioGroup::clicked, this,
                [this, quantity](int index) { Radio_E_TempClick(quantity, index); });
    }
    // Eight quantities need more than one row of tabs.
    sheetTabs_ = named(new MultiRowTabBar(PC_Usereinheiten_, false, this),
                       QStringLiteral("PC_UsereinheitenTabs"));
    layout->addWidget(sheetTabs_);
    layout->addWidget(PC_Usereinheiten_);
    showSwitch(false);
    layout->addStretch();
    connect(CheckUserEinheiten_, &QCheckBox::clicked, this, &UnitsPage::CheckUserEinheitenClick);
}

void UnitsPage::updateTexts() {
    views::TextBlock t;
    if (ctx_.textBlock(edit::kUserUnitsText, 1, t) && !t[0].empty()) {
        CheckUserEinheiten_->setText(qs(t[0]));
        showSwitch(false);
        for (int i = 0; i < PC_Usereinheiten_->count(); ++i) {
            const std::string& s = t[static_cast<std::size_t>(i) + 1];
            if (!s.empty()) PC_Usereinheiten_->setTabText(i, qs(s));
        }
        sheetTabs_->refresh();
    }
    for (std::size_t q = 0; q < Radio_E_.size(); ++q) {
        const std::vector<std::string> units =
            edit::UnitChoices(ctx_.medium(), static_cast<std::uint8_t>(q));
        Radio_E_[q]->setItems(toQStringList(units));
        Radio_E_[q]->setColumns(edit::UnitColumns(units.size()));
    }
    redisplay();
}

void UnitsPage::fill() {
    const Dis_UserRec display = ctx_.image.Dis_User;
    const auto units = ctx_.image.UserEinheiten;
    const bool on = edit::FillUnitsPage(ctx_.link, ctx_.image, CheckUserEinheiten_->isChecked());
    showSwitch(on);
    redisplay();
    // What the device reported may differ from what the pages show.
    if (!(display == ctx_.image.Dis_User) || units != ctx_.image.UserEinheiten) {
        ctx_.host.unitsChanged();
    }
}

void UnitsPage::redisplay() {
    for (std::size_t q = 0; q < Radio_E_.size(); ++q) {
        const QSignalBlocker block(Radio_E_[q]);
        Radio_E_[q]->setItemIndex(ctx_.image.UserEinheiten[q].Kind);
    }
}

void UnitsPage::showSwitch(bool on) {
    const QSignalBlocker block(CheckUserEinheiten_);
    CheckUserEinheiten_->setChecked(on);
    showSheets(on);
}

void UnitsPage::showSheets(bool on) {
    PC_Usereinheiten_->setVisible(on);
    sheetTabs_->setVisible(on);
}

void UnitsPage::CheckUserEinheitenClick(bool checked) {
    auto busy = ctx_.busy.tryHold();
    if (!busy) {
        showSwitch(!checked);
        return;
    }
    showSheets(checked);
    edit::SwitchUserUnits(ctx_.link, ctx_.image, checked);
    if (checked) redisplay();
    ctx_.host.unitsChanged();
}

void UnitsPage::Radio_E_TempClick(int quantity, int index) {
    if (!ctx_.host.formReady() || quantity < 0 || quantity >= static_cast<int>(Radio_E_.size()))
        return;
    auto busy = ctx_.busy.tryHold();
    if (busy &&
        edit::SelectUnit(ctx_.link, ctx_.image, static_cast<std::uint8_t>(quantity), index)) {
        ctx_.host.unitsChanged();
        return;
    }
    redisplay();
}

}  // namespace parvion::gui
