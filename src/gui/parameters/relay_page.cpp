#include "gui/parameters/relay_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "core/edit/source_codes.h"
#include "core/model/parameter_image.h"
#include "gui/app/busy_guard.h"
#include "gui/app/widgets.h"
#include "gui/parameters/input_dialog.h"

namespace parvion::gui {

namespace {

// The lists are made high enough for their lines (three on the outputs).
constexpr int kListLines = 3;

}  // namespace

std::optional<float> AskLineValue(PageContext& context, const edit::SourceLine& line,
                                  float current) {
    TInputDlg& dlg = context.inputDialog;
    dlg.IntegerMode = false;
    dlg.Precision = 5;
    dlg.Quantity = line.editQuantity;
    dlg.MinValue = line.min;
    dlg.MaxValue = line.max;
    dlg.Value = current;
    // Cancel, Escape and the close box change nothing and send nothing.
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    return dlg.Value;
}

void ListEditFilter::watch(QListWidget* list) {
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
}

bool ListEditFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto* list = qobject_cast<QListWidget*>(watched->parent())) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            edit_(list, list->indexAt(mouse->position().toPoint()).row());
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        auto* list = qobject_cast<QListWidget*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (list != nullptr && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            if (!key->isAutoRepeat()) edit_(list, list->currentRow());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

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
    auto* edits = new ListEditFilter(this, [this](QListWidget* list, int row) {
        for (int a = 0; a < edit::kAlarms; ++a) {
            if (list == ListeAlm_[static_cast<std::size_t>(a)]) ListeAlm1DblClick(a, row);
        }
    });
    for (int a = 0; a < edit::kAlarms; ++a) {
        const auto i = static_cast<std::size_t>(a);
        const QString n = QString::number(a + 1);
        GroupAlm_[i] = named(new QGroupBox(QStringLiteral("Relais ") + n, this), "GroupAlm" + n);
        auto* gl = new QVBoxLayout(GroupAlm_[i]);
        ComboAlm_[i] = named(new QComboBox(GroupAlm_[i]), "ComboAlm" + n);
        ComboAlmKind_[i] = named(new QComboBox(GroupAlm_[i]), "ComboAlmKind" + n);
        ListeAlm_[i] = sourceList(GroupAlm_[i], "ListeAlm" + n, kListLines);
        edits->watch(ListeAlm_[i]);
        gl->addWidget(ComboAlm_[i]);
        gl->addWidget(ComboAlmKind_[i]);
        gl->addWidget(ListeAlm_[i]);
        gl->addStretch();
        layout->addWidget(GroupAlm_[i], 1);

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
    const std::optional<float> value =
        AskLineValue(ctx_, line, edit::AlarmValue(ctx_.image, alarm, line));
    if (!value) return;
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    edit::ApplyAlarmValue(ctx_.link, ctx_.image, alarm, line, *value);
    showAlarm(alarm);
}

}  // namespace parvion::gui
