#include "gui/parameters/system_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/device_records.h"
#include "core/model/units.h"
#include "core/model/value_format.h"
#include "core/views/page_rules.h"
#include "gui/app/busy_guard.h"
#include "gui/app/radio_group.h"
#include "gui/app/widgets.h"
#include "gui/parameters/input_dialog.h"

namespace parvion::gui {

namespace {
constexpr float kSystemFactorMin = 0.9f;
constexpr float kSystemFactorMax = 1.1f;
constexpr std::uint16_t kSystemFactorText = 11328;
}  // namespace

SystemPage::SystemPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabParSystem"), parent) {
    auto* grid = new QGridLayout(this);
    GroupSystem_ = named(new QGroupBox(this), QStringLiteral("GroupSystem"));
    auto* sl = new QVBoxLayout(GroupSystem_);
    Combosystem_ = named(new QComboBox(GroupSystem_), QStringLiteral("Combosystem"));
    Combosystem_->setEnabled(false);
    sl->addWidget(Combosystem_);
    sl->addStretch();
    grid->addWidget(GroupSystem_, 0, 0);
    AnzahlMU_ = named(new RadioGroup(this), QStringLiteral("AnzahlMU"));
    AnzahlMU_->setItems({QStringLiteral("2 MU"), QStringLiteral("3 MU"), QStringLiteral("4 MU")});
    AnzahlMU_->setEnabled(false);
    grid->addWidget(AnzahlMU_, 0, 1);
    RG_Grenzen_ = named(new RadioGroup(this), QStringLiteral("RG_Grenzen"));
    RG_Grenzen_->setItems(
        {QStringLiteral("Grenzwerte nach Namur"), QStringLiteral("Grenzwerte der Industrie")});
    RG_Grenzen_->setEnabled(false);
    grid->addWidget(RG_Grenzen_, 1, 0);
    auto* presets = new QWidget(this);
    auto* pl = new QVBoxLayout(presets);
    Chk_Vorgabe_ = named(new QCheckBox(presets), QStringLiteral("Chk_Vorgabe"));
    Chk_Vorgabe_->setEnabled(false);
    ListeVorgaben_ = fixedList(presets, QStringLiteral("ListeVorgaben"));
    ListeVorgaben_->setEnabled(false);
    pl->addWidget(Chk_Vorgabe_);
    pl->addWidget(ListeVorgaben_);
    grid->addWidget(presets, 1, 1, 2, 1);
    auto* factorRow = new QHBoxLayout;
    lbl_Systemfaktor_ = named(new QLabel(this), QStringLiteral("lbl_Systemfaktor"));
    ed_SystemFaktor_ = named(new QLineEdit(this), QStringLiteral("ed_SystemFaktor"));
    // Read-only: a double click opens the value input dialog.
    ed_SystemFaktor_->setReadOnly(true);
    ed_SystemFaktor_->installEventFilter(this);
    factorRow->addWidget(lbl_Systemfaktor_);
    factorRow->addWidget(ed_SystemFaktor_);
    grid->addLayout(factorRow, 2, 0);
    GroupDate_ = named(new QGroupBox(this), QStringLiteral("GroupDate"));
    auto* dl = new QHBoxLayout(GroupDate_);
    Ed_DateTime_ = named(new QLineEdit(GroupDate_), QStringLiteral("Ed_DateTime"));
    Ed_DateTime_->setReadOnly(true);
    cmd_SetDateTime_ = named(new QPushButton(QStringLiteral("SET"), GroupDate_),
                             QStringLiteral("cmd_SetDateTime"));
    connect(cmd_SetDateTime_, &QPushButton::clicked, this, &SystemPage::cmd_SetDateTimeClick);
    dl->addWidget(Ed_DateTime_);
    dl->addWidget(cmd_SetDateTime_);
    grid->addWidget(GroupDate_, 3, 0, 1, 2);
}

void SystemPage::updateTexts() {
    views::TextBlock t;
    if (ctx_.textBlock(11264, 1, t)) {
        setCaption(GroupSystem_, t[0]);
        refill(Combosystem_, choices(t));
    }
    if (ctx_.textBlock(11280, 1, t)) {
        setCaption(AnzahlMU_, t[0]);
        AnzahlMU_->setItems(choices(t));
    }
    if (ctx_.textBlock(11296, 1, t)) {
        setCaption(RG_Grenzen_, t[0]);
        RG_Grenzen_->setItems(choices(t));
    }
    if (ctx_.textBlock(11312, 1, t)) setCaption(Chk_Vorgabe_, t[0]);
    // Without a caption text the system factor is not offered at all.
    const std::string factor = ctx_.text(kSystemFactorText);
    lbl_Systemfaktor_->setVisible(!factor.empty());
    ed_SystemFaktor_->setVisible(!factor.empty());
    if (!factor.empty()) lbl_Systemfaktor_->setText(qs(factor));
    redisplay();
}

void SystemPage::applyPageRules() {
    GroupSystem_->setVisible(views::AllOutputsPresent(ctx_.image.System));
}

void SystemPage::redisplay() {
    ed_SystemFaktor_->setText(qs(FormatValue(ctx_.image, ctx_.medium(), kNoQuantity, false, true,
                                             ctx_.image.System.Faktor))
                                  .trimmed());
}

void SystemPage::showDeviceClock() {
    Ed_DateTime_->setText(qs(FormatDeviceDateTime(ctx_.device.DeviceDateTime)));
}

void SystemPage::clearDeviceClock() {
    Ed_DateTime_->clear();
}

void SystemPage::cmd_SetDateTimeClick() {
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    if (WriteDeviceClock(ctx_.link)) {
        ReadDeviceClock(ctx_.link, ctx_.device.DeviceDateTime, ctx_.device.ClockOffset);
        showDeviceClock();
    }
}

void SystemPage::ed_SystemFaktorDblClick() {
    if (ctx_.busy.held()) return;
    TInputDlg& dlg = ctx_.inputDialog;
    dlg.Quantity = kNoQuantity;
    dlg.IntegerMode = false;
    dlg.Precision = 5;
    dlg.MinValue = kSystemFactorMin;
    dlg.MaxValue = kSystemFactorMax;
    dlg.Value = ctx_.image.System.Faktor;
    // Cancel, Escape and the title-bar close box all end with the modal
    // result Cancel; only the last leaves Cancelled clear.
    if (dlg.exec() != QDialog::Accepted) return;
    ctx_.image.System.Faktor = dlg.Value;
    if (ctx_.online()) {
        auto busy = ctx_.busy.tryHold();
        if (!busy) return;
        WriteSystem(ctx_.link, ctx_.image);
        ctx_.ui.waitMs(50);
        ReadSystem(ctx_.link, ctx_.image);
        ctx_.ui.waitMs(50);
    }
    ctx_.host.fillParameterPages();
}

bool SystemPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ed_SystemFaktor_ && event->type() == QEvent::MouseButtonDblClick) {
        ed_SystemFaktorDblClick();
        return true;
    }
    return Page::eventFilter(watched, event);
}

}  // namespace parvion::gui
