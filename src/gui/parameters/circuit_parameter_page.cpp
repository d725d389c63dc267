#include "gui/parameters/circuit_parameter_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "core/calc/sgerg88.h"
#include "core/edit/field_ref.h"
#include "core/edit/value_names.h"
#include "core/link/ui_hooks.h"
#include "core/model/parameter_image.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/input_dialog.h"
#include "gui/shared/line_activation.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

using edit::CircuitGroup;

namespace {

// Lines each list shows at most: the lists are made that high, so that
// none of them ever scrolls.
int maxLines(CircuitGroup g) {
    switch (g) {
        case CircuitGroup::Temperature:
            return 2;
        case CircuitGroup::Pressure:
        case CircuitGroup::Reference:
            return 3;
        case CircuitGroup::Flow:
            return 9;
        case CircuitGroup::Medium:
            return 5;
        case CircuitGroup::Pulse:
            return 1;
    }
    return 1;
}

}  // namespace

CircuitParameterPage::CircuitParameterPage(PageContext& context, int circuit, QWidget* parent)
    : Page(context, circuit == 1 ? QStringLiteral("TabPar2") : QStringLiteral("TabPar1"), parent),
      circuit_(circuit == 1 ? 1 : 0) {
    const QString n = QString::number(circuit_ + 1);
    buildGroup(CircuitGroup::Temperature, "TBox" + n, "ComboPT" + n, "ListePT" + n);
    buildGroup(CircuitGroup::Pressure, "PBox" + n, "ComboPD" + n, "ListePD" + n);
    buildGroup(CircuitGroup::Flow, "FBox" + n, "ComboPF" + n, "ListePF" + n);
    buildGroup(CircuitGroup::Medium, "GBox" + n, "ComboPG" + n, "ListePG" + n);
    buildGroup(CircuitGroup::Pulse, "IBox" + n, "ComboIA" + n, "ListeImp" + n);
    buildGroup(CircuitGroup::Reference, "VBox" + n, QString(), "ListeVL" + n);

    // Design captions; the string library replaces them.
    boxes_[slot(CircuitGroup::Temperature)]->setTitle(QStringLiteral("Temperatur"));
    boxes_[slot(CircuitGroup::Pressure)]->setTitle(QStringLiteral("Druck"));
    boxes_[slot(CircuitGroup::Flow)]->setTitle(QStringLiteral("Flow"));
    boxes_[slot(CircuitGroup::Medium)]->setTitle(QStringLiteral("Gassorte"));
    boxes_[slot(CircuitGroup::Pulse)]->setTitle(QStringLiteral("Impulsausgang"));
    boxes_[slot(CircuitGroup::Reference)]->setTitle(QStringLiteral("Vorlaufwerte"));

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(4, 2, 4, 2);
    page->setSpacing(2);
    auto* layout = new QHBoxLayout;
    layout->setSpacing(6);
    page->addLayout(layout);
    // Right below both columns, as wide as the page: what an SGERG-88 status other
    // than OK means. It is given the height of its wrapped text; where the
    // window is too small for it, the window grows.
    gasNote_ = named(new QLabel(this), QStringLiteral("GasStatusNote"));
    gasNote_->setWordWrap(true);
    gasNote_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    gasNote_->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
    gasNote_->hide();
    page->addWidget(gasNote_);
    page->addStretch(1);  // a larger window leaves its room below the note
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    for (CircuitGroup g : {CircuitGroup::Temperature, CircuitGroup::Pressure, CircuitGroup::Medium})
        left->addWidget(boxes_[slot(g)]);
    for (CircuitGroup g : {CircuitGroup::Flow, CircuitGroup::Pulse, CircuitGroup::Reference})
        right->addWidget(boxes_[slot(g)]);
    left->addStretch();
    right->addStretch();
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);

    auto connectCombo = [this](CircuitGroup g, void (CircuitParameterPage::*handler)(int)) {
        connect(combos_[slot(g)], &QComboBox::activated, this, handler);
    };
    connectCombo(CircuitGroup::Temperature, &CircuitParameterPage::ComboPT1Click);
    connectCombo(CircuitGroup::Pressure, &CircuitParameterPage::ComboPD1Click);
    connectCombo(CircuitGroup::Flow, &CircuitParameterPage::ComboPF1Click);
    connectCombo(CircuitGroup::Medium, &CircuitParameterPage::ComboPG1Click);
    connectCombo(CircuitGroup::Pulse, &CircuitParameterPage::ComboIA1Click);
}

void CircuitParameterPage::buildGroup(CircuitGroup group, const QString& box, const QString& combo,
                                      const QString& list) {
    auto* groupBox = named(new QGroupBox(this), box);
    // As high as its lines: a larger window leaves the room below the groups.
    groupBox->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto* l = new QVBoxLayout(groupBox);
    l->setContentsMargins(6, 2, 6, 4);
    l->setSpacing(2);
    if (!combo.isEmpty()) {
        auto* c = named(new QComboBox(groupBox), combo);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(12);
        l->addWidget(c);
        combos_[slot(group)] = c;
    }
    QListWidget* values = valueList(groupBox, list);
    QFont font = values->font();
    font.setPointSize(9);
    values->setFont(font);
    values->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    values->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    values->setUniformItemSizes(true);
    const int lineHeight = QFontMetrics(font).height();
    values->setFixedHeight(lineHeight * maxLines(group) + 2 * values->frameWidth() + 4);
    onLineActivated(values, [this, group](int row, int) { editLine(group, row); });
    l->addWidget(values);
    boxes_[slot(group)] = groupBox;
    lists_[slot(group)] = values;
}

// --- texts and contents ----------------------------------------------------------

void CircuitParameterPage::updateTexts() {
    views::TextBlock t;
    for (CircuitGroup g : edit::kCircuitGroups) {
        QComboBox* combo = combos_[slot(g)];
        if (combo == nullptr) continue;
        if (!ctx_.textBlock(edit::ChoiceBlock(g), 1, t)) continue;
        setCaption(boxes_[slot(g)], t[0]);
        refill(combo, toQStringList(edit::GroupChoices(g, circuit_, ctx_.blocks())));
    }
    const std::string undefined = ctx_.text(edit::kPulseUndefinedText);
    combos_[slot(CircuitGroup::Pulse)]->setPlaceholderText(qs(undefined));
    redisplay();
}

void CircuitParameterPage::fill() {
    edit::ReadCircuitPage(ctx_.link, ctx_.image, circuit_);
    redisplay();
}

void CircuitParameterPage::redisplay() {
    for (CircuitGroup g : edit::kCircuitGroups) showGroup(g);
}

void CircuitParameterPage::showGroup(CircuitGroup group) {
    showChoice(group);
    if (group == CircuitGroup::Reference) {
        QGroupBox* box = boxes_[slot(group)];
        const bool shown = edit::ReferenceGroupShown(ctx_.image);
        box->setVisible(shown);
        if (!shown) return;
        setCaption(box, ctx_.text(edit::kReferenceBlock));
    }
    refill(lists_[slot(group)], edit::GroupListTexts(ctx_.image, ctx_.medium(), circuit_, group,
                                                     ctx_.blocks(), ctx_.values()));
    if (group != CircuitGroup::Medium) return;
    // What an SGERG-88 status other than OK means, and what to check.
    std::uint16_t explanation = 0;
    for (const edit::CircuitLine& line :
         edit::GroupLines(ctx_.image, ctx_.medium(), circuit_, CircuitGroup::Medium)) {
        if (line.kind == edit::LineKind::Status) {
            explanation = SgergStatusExplanation(
                static_cast<char>(ctx_.image.Med_User[static_cast<std::size_t>(circuit_)].Dummy2));
        }
    }
    gasNote_->setText(explanation != 0 ? qs(ctx_.text(explanation)) : QString());
    gasNote_->setVisible(explanation != 0);
    fitGasNote();
}

void CircuitParameterPage::fitGasNote() {
    if (gasNote_->isHidden()) return;
    const QMargins m = layout()->contentsMargins();
    const int width = contentsRect().width() - m.left() - m.right();
    gasNote_->setFixedHeight(gasNote_->heightForWidth(width));
}

void CircuitParameterPage::resizeEvent(QResizeEvent* event) {
    Page::resizeEvent(event);
    fitGasNote();
}

void CircuitParameterPage::showChoice(CircuitGroup group) {
    QComboBox* combo = combos_[slot(group)];
    if (combo == nullptr) return;
    const std::optional<int> choice = edit::GroupChoice(ctx_.image, circuit_, group);
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(choice && *choice < combo->count() ? *choice : -1);
}

// --- changes ---------------------------------------------------------------------------

void CircuitParameterPage::change(const std::function<edit::GroupSet()>& apply) {
    auto busy = ctx_.busy.tryHold();
    if (!busy) {
        // Another device sequence runs: nothing is changed, and the page
        // shows the image as it is.
        redisplay();
        return;
    }
    const edit::GroupSet changed = apply();
    for (CircuitGroup g : edit::kCircuitGroups) {
        if (changed.has(g)) showGroup(g);
    }
}

void CircuitParameterPage::choose(CircuitGroup group, int index) {
    // The temperature kind follows the combo only once the window is up.
    if (group == CircuitGroup::Temperature && !ctx_.host.formReady()) return;
    if (index < 0) return;
    change([&] { return edit::ApplyChoice(ctx_.link, ctx_.image, circuit_, group, index); });
}

void CircuitParameterPage::editLine(CircuitGroup group, int row) {
    if (ctx_.busy.held()) return;
    const std::vector<edit::CircuitLine> lines =
        edit::GroupLines(ctx_.image, ctx_.medium(), circuit_, group);
    if (row < 0 || static_cast<std::size_t>(row) >= lines.size()) {
        // A pulse output of a kind without a line is still written back.
        if (group == CircuitGroup::Pulse && lines.empty()) {
            change([&] { return edit::ApplyWithoutValue(ctx_.link, ctx_.image, circuit_, group); });
        }
        return;
    }
    const edit::CircuitLine line = lines[static_cast<std::size_t>(row)];
    switch (line.action) {
        case edit::LineAction::None:
            return;
        case edit::LineAction::Dialog: {
            // Cancel, Escape and the close box change nothing and send nothing.
            const std::optional<float> accepted = ctx_.inputDialog.enter(
                line.editQuantity, line.min, line.max, edit::GetField(ctx_.image, line.field),
                qs(edit::CircuitLineName(ctx_.image, circuit_, group, line, ctx_.textLoader())));
            if (!accepted) return;
            // An entry beyond a limit was set to it: the status line says
            // which value and to what (a failed write then says more).
            views::TextBlock labels;
            const std::uint16_t block = edit::LabelBlock(ctx_.image, circuit_, group);
            if (const std::string clamped = ctx_.inputDialog.clampedText(
                    ctx_.textBlock(block, 1, labels) ? labels[line.label] : std::string());
                !clamped.empty()) {
                ctx_.ui.statusText(0, clamped);
            }
            change([&] {
                return edit::ApplyLineValue(ctx_.link, ctx_.image, circuit_, group, line,
                                            *accepted);
            });
            return;
        }
        case edit::LineAction::PropertyTable:
        case edit::LineAction::SaturationTable: {
            if (!tableEditor_) return;
            QListWidgetItem* item = lists_[slot(group)]->item(row);
            tableEditor_(line.action, line.tableTag,
                         item != nullptr ? item->text().trimmed() : QString());
            change([&] { return edit::ApplyWithoutValue(ctx_.link, ctx_.image, circuit_, group); });
            return;
        }
    }
}

// --- handlers ------------------------------------------------------------------------------

void CircuitParameterPage::ComboPT1Click(int index) {
    choose(CircuitGroup::Temperature, index);
}
void CircuitParameterPage::ComboPD1Click(int index) {
    choose(CircuitGroup::Pressure, index);
}
void CircuitParameterPage::ComboPF1Click(int index) {
    choose(CircuitGroup::Flow, index);
}
void CircuitParameterPage::ComboPG1Click(int index) {
    choose(CircuitGroup::Medium, index);
}
void CircuitParameterPage::ComboIA1Click(int index) {
    choose(CircuitGroup::Pulse, index);
}

void CircuitParameterPage::ListePT1DblClick() {
    editLine(CircuitGroup::Temperature, lists_[slot(CircuitGroup::Temperature)]->currentRow());
}
void CircuitParameterPage::ListePD1DblClick() {
    editLine(CircuitGroup::Pressure, lists_[slot(CircuitGroup::Pressure)]->currentRow());
}
void CircuitParameterPage::ListePF1DblClick() {
    editLine(CircuitGroup::Flow, lists_[slot(CircuitGroup::Flow)]->currentRow());
}
void CircuitParameterPage::ListePG1DblClick() {
    editLine(CircuitGroup::Medium, lists_[slot(CircuitGroup::Medium)]->currentRow());
}
void CircuitParameterPage::ListeImp1DblClick() {
    editLine(CircuitGroup::Pulse, lists_[slot(CircuitGroup::Pulse)]->currentRow());
}
void CircuitParameterPage::ListeVL1DblClick() {
    editLine(CircuitGroup::Reference, lists_[slot(CircuitGroup::Reference)]->currentRow());
}

}  // namespace parvion::gui
