#include "gui/parameters/relay_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "core/edit/source_codes.h"
#include "core/edit/value_names.h"
#include "core/model/parameter_image.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/input_dialog.h"
#include "gui/shared/line_activation.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {

// The lists are made high enough for their lines (three on the outputs).
constexpr int kListLines = 3;

}  // namespace

// A list of the page's values, sized for `lines` lines.
QListWidget* sourceList(QWidget* parent, const QString& name, int lines) {
    QListWidget* list = valueList(parent, name);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setUniformItemSizes(true);
    const int lineHeight = QFontMetrics(list->font()).height();
    list->setFixedHeight(lineHeight * lines + 2 * list->frameWidth() + 6);
    return list;
}

RelayPage::RelayPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabParRelais"), parent) {
    auto* layout = new QHBoxLayout(this);
    for (int a = 0; a < edit::kAlarms; ++a) {
        const auto i = static_cast<std::size_t>(a);
        const QString n = QString::number(a + 1);
        GroupAlm_[i] = named(new QGroupBox(QStringLiteral("Relais ") + n, this), "GroupAlm" + n);
        auto* gl = new QVBoxLayout(GroupAlm_[i]);
        ComboAlm_[i] = named(new QComboBox(GroupAlm_[i]), "ComboAlm" + n);
        ComboAlmKind_[i] = named(new QComboBox(GroupAlm_[i]), "ComboAlmKind" + n);
        ListeAlm_[i] = sourceList(GroupAlm_[i], "ListeAlm" + n, kListLines);
        onLineActivated(ListeAlm_[i], [this, a](int row, int) { ListeAlm1DblClick(a, row); });
        gl->addWidget(ComboAlm_[i]);
        gl->addWidget(ComboAlmKind_[i]);
        gl->addWidget(ListeAlm_[i]);
        gl->addStretch();
        // As high as its lines, at the top of a larger window.
        GroupAlm_[i]->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
        layout->addWidget(GroupAlm_[i], 1, Qt::AlignTop);

        connect(ComboAlm_[i], &QComboBox::activated, this,
                [this, a](int index) { ComboAlm1Change(a, index); });
        connect(ComboAlmKind_[i], &QComboBox::activated, this,
                [this, a](int index) { ComboAlmKind1Click(a, index); });
    }
}

void RelayPage::updateTexts() {
    const std::string caption = ctx_.text(edit::kAlarmBlock);
    const QStringList sources = toQStringList(edit::AlarmSourceChoices(ctx_.blocks()));
    const QStringList kinds = toQStringList(edit::AlarmKindChoices(ctx_.blocks()));
    for (int a = 0; a < edit::kAlarms; ++a) {
        const auto i = static_cast<std::size_t>(a);
        if (!caption.empty()) setCaption(GroupAlm_[i], caption + " " + std::to_string(a + 1));
        if (!sources.isEmpty()) refill(ComboAlm_[i], sources);
        if (!kinds.isEmpty()) refill(ComboAlmKind_[i], kinds);
    }
    redisplay();
}

void RelayPage::fill() {
    edit::ReadRelayPage(ctx_.link, ctx_.image);
    redisplay();
}

void RelayPage::redisplay() {
    for (int a = 0; a < edit::kAlarms; ++a) showAlarm(a);
}

void RelayPage::showAlarm(int alarm) {
    const auto i = static_cast<std::size_t>(alarm);
    const Alm_UserRec& r = ctx_.image.Alm_User[i];
    auto select = [](QComboBox* combo, int index) {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    };
    select(ComboAlm_[i], edit::SourceIndex(edit::SourceUse::Alarm, r.Param));
    select(ComboAlmKind_[i], r.Kind);
    ComboAlmKind_[i]->setEnabled(edit::AlarmKindEnabled(ctx_.image, alarm));
    refill(ListeAlm_[i],
           edit::AlarmListTexts(ctx_.image, ctx_.medium(), alarm, ctx_.blocks(), ctx_.values()));
}

void RelayPage::ComboAlm1Change(int alarm, int index) {
    auto busy = ctx_.busy.tryHold();
    if (busy && index >= 0) edit::ChooseAlarmSource(ctx_.link, ctx_.image, alarm, index);
    // The combo shows the source the image now holds (the stored one when
    // the choice was not taken).
    showAlarm(alarm);
}

void RelayPage::ComboAlmKind1Click(int alarm, int index) {
    auto busy = ctx_.busy.tryHold();
    if (busy && index >= 0) edit::ChooseAlarmKind(ctx_.link, ctx_.image, alarm, index);
    showAlarm(alarm);
}

void RelayPage::ListeAlm1DblClick(int alarm, int row) {
    if (ctx_.busy.held()) return;
    const std::vector<edit::SourceLine> lines = edit::AlarmLines(ctx_.image, ctx_.medium(), alarm);
    // With one limit the list's one line is edited wherever it was clicked.
    if (lines.size() == 1) row = 0;
    if (row < 0 || static_cast<std::size_t>(row) >= lines.size()) return;
    const edit::SourceLine line = lines[static_cast<std::size_t>(row)];
    const std::optional<float> value = ctx_.inputDialog.enter(
        line.editQuantity, line.min, line.max, edit::AlarmValue(ctx_.image, alarm, line),
        qs(edit::AlarmLineName(alarm, line, ctx_.textLoader())));
    if (!value) return;
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    edit::ApplyAlarmValue(ctx_.link, ctx_.image, alarm, line, *value);
    showAlarm(alarm);
}

}  // namespace parvion::gui
