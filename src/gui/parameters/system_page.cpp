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
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/edit/system_page.h"
#include "core/edit/value_names.h"
#include "core/link/data_commands.h"
#include "core/model/device_records.h"
#include "core/model/units.h"
#include "core/model/value_format.h"
#include "core/views/page_rules.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/dialogs.h"
#include "gui/shared/input_dialog.h"
#include "gui/shared/line_activation.h"
#include "gui/shared/radio_group.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {
constexpr std::uint16_t kUnitsTexts = 11280;
constexpr std::uint16_t kSchemeTexts = 11296;
constexpr std::uint16_t kSystemFactorText = 11328;
constexpr std::uint16_t kClockText = 11344;
// Offline: the clock group says the clock needs a device.
constexpr std::uint16_t kClockNeedsDeviceText = 22805;
constexpr std::uint16_t kClockOfflineText = 22822;  // short, in the clock field
// The presets of each circuit fill one column of the list.
constexpr int kPresetsPerColumn = 4;
}  // namespace

SystemPage::SystemPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabParSystem"), parent) {
    auto* grid = new QGridLayout(this);
    GroupSystem_ = named(new QGroupBox(this), QStringLiteral("GroupSystem"));
    auto* sl = new QVBoxLayout(GroupSystem_);
    Combosystem_ = named(new QComboBox(GroupSystem_), QStringLiteral("Combosystem"));
    connect(Combosystem_, &QComboBox::activated, this, &SystemPage::CombosystemClick);
    sl->addWidget(Combosystem_);
    auto* factorRow = new QHBoxLayout;
    lbl_Systemfaktor_ = named(new QLabel(GroupSystem_), QStringLiteral("lbl_Systemfaktor"));
    ed_SystemFaktor_ = named(new QLineEdit(GroupSystem_), QStringLiteral("ed_SystemFaktor"));
    // Read-only: a double click opens the value input dialog.
    ed_SystemFaktor_->setReadOnly(true);
    ed_SystemFaktor_->installEventFilter(this);
    factorRow->addWidget(lbl_Systemfaktor_);
    factorRow->addWidget(ed_SystemFaktor_, 1);
    sl->addLayout(factorRow);
    sl->addStretch();
    grid->addWidget(GroupSystem_, 0, 0);

    AnzahlMU_ = named(new RadioGroup(this), QStringLiteral("AnzahlMU"));
    AnzahlMU_->setItems({QStringLiteral("2 MU"), QStringLiteral("3 MU"), QStringLiteral("4 MU")});
    AnzahlMU_->setColumns(3);
    connect(AnzahlMU_, &RadioGroup::clicked, this, &SystemPage::AnzahlMUClick);
    grid->addWidget(AnzahlMU_, 0, 1);

    RG_Grenzen_ = named(new RadioGroup(this), QStringLiteral("RG_Grenzen"));
    RG_Grenzen_->setItems(
        {QStringLiteral("Grenzwerte nach Namur"), QStringLiteral("Grenzwerte der Industrie")});
    connect(RG_Grenzen_, &RadioGroup::clicked, this, &SystemPage::RG_GrenzenClick);
    grid->addWidget(RG_Grenzen_, 1, 0);

    auto* presets = new QWidget(this);
    auto* pl = new QVBoxLayout(presets);
    pl->setContentsMargins(0, 0, 0, 0);
    Chk_Vorgabe_ = named(new QCheckBox(presets), QStringLiteral("Chk_Vorgabe"));
    connect(Chk_Vorgabe_, &QCheckBox::clicked, this, &SystemPage::Chk_VorgabeClick);
    ListeVorgaben_ = fixedList(presets, QStringLiteral("ListeVorgaben"));
    // Two columns: the presets of circuit 1, then those of circuit 2.
    ListeVorgaben_->setFlow(QListView::TopToBottom);
    ListeVorgaben_->setWrapping(true);
    ListeVorgaben_->setResizeMode(QListView::Adjust);
    ListeVorgaben_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListeVorgaben_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListeVorgaben_->setVisible(false);
    onLineActivated(ListeVorgaben_, [this](int row, int) { ListeVorgabenDblClick(row); });
    pl->addWidget(Chk_Vorgabe_);
    pl->addWidget(ListeVorgaben_);
    grid->addWidget(presets, 2, 0, 1, 2);

    GroupDate_ = named(new QGroupBox(this), QStringLiteral("GroupDate"));
    auto* dl = new QHBoxLayout(GroupDate_);
    Ed_DateTime_ = named(new QLineEdit(GroupDate_), QStringLiteral("Ed_DateTime"));
    Ed_DateTime_->setReadOnly(true);
    cmd_SetDateTime_ = named(new QPushButton(QStringLiteral("&SET"), GroupDate_),
                             QStringLiteral("cmd_SetDateTime"));
    connect(cmd_SetDateTime_, &QPushButton::clicked, this, &SystemPage::cmd_SetDateTimeClick);
    dl->addWidget(Ed_DateTime_);
    dl->addWidget(cmd_SetDateTime_);
    grid->addWidget(GroupDate_, 1, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

void SystemPage::updateTexts() {
    views::TextBlock t;
    if (ctx_.textBlock(edit::kSystemTexts, 1, t)) {
        setCaption(GroupSystem_, t[0]);
        refill(Combosystem_, choices(t));
    }
    if (ctx_.textBlock(kUnitsTexts, 1, t)) {
        setCaption(AnzahlMU_, t[0]);
        AnzahlMU_->setItems(choices(t));
    }
    if (ctx_.textBlock(kSchemeTexts, 1, t)) {
        setCaption(RG_Grenzen_, t[0]);
        RG_Grenzen_->setItems(choices(t));
    }
    if (ctx_.textBlock(edit::kPresetTexts, 1, t)) setCaption(Chk_Vorgabe_, t[0]);
    setCaption(GroupDate_, ctx_.text(kClockText));
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

void SystemPage::fill() {
    edit::ReadSystemPage(ctx_.link, ctx_.image);
    redisplay();
}

void SystemPage::redisplay() {
    const SystemRec& system = ctx_.image.System;
    {
        const QSignalBlocker block(Combosystem_);
        Combosystem_->setCurrentIndex(edit::SystemChoiceOfKind(system.Kind).value_or(-1));
    }
    AnzahlMU_->setItemIndex(edit::MeasuringUnitsChoice(system).value_or(-1));
    // The measuring units count only for the single-circuit definitions.
    AnzahlMU_->setEnabled(system.Kind == 1 || system.Kind == 2);
    const bool factor = edit::SystemFactorEditable(system);
    ed_SystemFaktor_->setEnabled(factor);
    ed_SystemFaktor_->setStyleSheet(factor ? QString()
                                           : QStringLiteral("QLineEdit { background: silver; }"));
    ed_SystemFaktor_->setText(
        factor ? qs(FormatValue(ctx_.image, ctx_.medium(), kNoQuantity, false, true, system.Faktor))
                     .trimmed()
               : QString());
    RG_Grenzen_->setItemIndex(edit::LimitSchemeOf(ctx_.image.Grenzwerte));
    showPresets();
    const QString needsDevice =
        ctx_.online() ? QString() : QString::fromStdString(ctx_.text(kClockNeedsDeviceText));
    if (!ctx_.online()) Ed_DateTime_->clear();
    Ed_DateTime_->setPlaceholderText(
        ctx_.online() ? QString() : QString::fromStdString(ctx_.text(kClockOfflineText)));
    Ed_DateTime_->setToolTip(needsDevice);
    cmd_SetDateTime_->setToolTip(needsDevice);
}

void SystemPage::showPresets() {
    views::TextBlock labels;
    ctx_.textBlock(edit::kPresetTexts, 1, labels);
    refill(ListeVorgaben_, edit::PresetLineTexts(ctx_.image, labels, ctx_.values()));
    // Each column as wide as its widest line, four lines high.
    const QFontMetrics fm(ListeVorgaben_->font());
    int width = 0;
    for (int i = 0; i < ListeVorgaben_->count(); ++i) {
        width = std::max(width, fm.horizontalAdvance(ListeVorgaben_->item(i)->text()));
    }
    ListeVorgaben_->setGridSize(QSize(width + fm.averageCharWidth() * 2, fm.height() + 4));
    ListeVorgaben_->setFixedHeight((fm.height() + 4) * kPresetsPerColumn +
                                   2 * ListeVorgaben_->frameWidth() + 4);
    // Presets all at or below 0 are not in use: the box shows it. Only a
    // click of the user clears them.
    Chk_Vorgabe_->setChecked(edit::PresetsInUse(ctx_.image));
    ListeVorgaben_->setVisible(Chk_Vorgabe_->isChecked());
}

void SystemPage::showDeviceClock() {
    Ed_DateTime_->setText(qs(FormatDeviceDateTime(ctx_.device.DeviceDateTime)));
}

void SystemPage::clearDeviceClock() {
    Ed_DateTime_->clear();
}

// --- handlers ---------------------------------------------------------------

void SystemPage::cmd_SetDateTimeClick() {
    if (!ctx_.online()) {
        ctx_.dialogs.information(this, QString::fromStdString(ctx_.text(kClockNeedsDeviceText)));
        return;
    }
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    if (WriteDeviceClock(ctx_.link)) {
        ReadDeviceClock(ctx_.link, ctx_.device.DeviceDateTime, ctx_.device.ClockOffset);
        showDeviceClock();
    }
}

void SystemPage::ed_SystemFaktorDblClick() {
    if (ctx_.busy.held() || !edit::SystemFactorEditable(ctx_.image.System)) return;
    // Cancel, Escape and the title-bar close box change nothing.
    const std::optional<float> factor = ctx_.inputDialog.enter(
        kNoQuantity, edit::kSystemFactorMin, edit::kSystemFactorMax, ctx_.image.System.Faktor,
        qs(edit::SystemFactorName(ctx_.textLoader())));
    if (!factor) return;
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    edit::SetSystemFactor(ctx_.link, ctx_.image, *factor);
    ctx_.host.fillParameterPages();
}

void SystemPage::CombosystemClick(int index) {
    auto busy = ctx_.busy.tryHold();
    if (!busy || index < 0) {
        redisplay();
        return;
    }
    if (edit::ChangeSystemDefinition(ctx_.link, ctx_.image, index) == edit::SystemChange::Refused) {
        redisplay();
        ctx_.dialogs.error(this, qs(ctx_.text(edit::kSystemRefusedText)), true);
        return;
    }
    ctx_.host.fillParameterPages();
}

void SystemPage::AnzahlMUClick(int index) {
    auto busy = ctx_.busy.tryHold();
    if (!busy) {
        redisplay();
        return;
    }
    edit::SetMeasuringUnits(ctx_.link, ctx_.image, index);
    ctx_.host.fillParameterPages();
}

void SystemPage::RG_GrenzenClick(int index) {
    auto busy = ctx_.busy.tryHold();
    if (!busy) {
        redisplay();
        return;
    }
    edit::ApplyLimitScheme(ctx_.link, ctx_.image, index);
}

void SystemPage::Chk_VorgabeClick() {
    if (!Chk_Vorgabe_->isChecked() && ListeVorgaben_->isVisible()) {
        auto busy = ctx_.busy.tryHold();
        if (!busy) {
            Chk_Vorgabe_->setChecked(true);
            return;
        }
        ListeVorgaben_->setVisible(false);
        edit::ClearPresets(ctx_.link, ctx_.image);
        showPresets();
        return;
    }
    ListeVorgaben_->setVisible(true);
}

void SystemPage::ListeVorgabenDblClick(int row) {
    if (ctx_.busy.held() || row < 0 || row >= static_cast<int>(edit::kPresetCount)) return;
    const auto k = static_cast<std::size_t>(row);
    const edit::PresetLimits limits = edit::PresetLimitsOf(k, ctx_.medium());
    const std::optional<float> preset =
        ctx_.inputDialog.enter(limits.quantity, limits.min, limits.max, ctx_.image.Vorgaben[k],
                               qs(edit::PresetName(k, ctx_.textLoader())));
    if (!preset) return;
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    if (edit::SetPreset(ctx_.link, ctx_.image, k, *preset)) showPresets();
}

bool SystemPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ed_SystemFaktor_ && event->type() == QEvent::MouseButtonDblClick) {
        ed_SystemFaktorDblClick();
        return true;
    }
    return Page::eventFilter(watched, event);
}

}  // namespace parvion::gui
