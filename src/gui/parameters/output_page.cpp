#include "gui/parameters/output_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "core/edit/source_codes.h"
#include "core/edit/value_names.h"
#include "core/model/parameter_image.h"
#include "gui/parameters/relay_page.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/input_dialog.h"
#include "gui/shared/line_activation.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {

constexpr int kListLines = 3;

}  // namespace

OutputPage::OutputPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabParAusgang"), parent) {
    auto* grid = new QGridLayout(this);
    for (int k = 0; k < edit::kOutputs; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const QString n = QString::number(k + 1);
        GroupAus_[i] = named(new QGroupBox(QStringLiteral("Ausgang ") + n, this), "GroupAus" + n);
        auto* gl = new QVBoxLayout(GroupAus_[i]);
        ComboAus_[i] = named(new QComboBox(GroupAus_[i]), "ComboAus" + n);
        ListeAus_[i] = sourceList(GroupAus_[i], "ListeAus" + n, kListLines);
        onLineActivated(ListeAus_[i], [this, k](int row, int) { ListeAus1DblClick(k, row); });
        gl->addWidget(ComboAus_[i]);
        gl->addWidget(ListeAus_[i]);
        gl->addStretch();
        grid->addWidget(GroupAus_[i], k / 2, k % 2);

        connect(ComboAus_[i], &QComboBox::activated, this,
                [this, k](int index) { ComboAus1Click(k, index); });
    }
    grid->setRowStretch(2, 1);
}

void OutputPage::updateTexts() {
    const std::string caption = ctx_.text(edit::kOutputBlock);
    const QStringList sources = toQStringList(edit::OutputSourceChoices(ctx_.blocks()));
    for (int k = 0; k < edit::kOutputs; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (!caption.empty()) setCaption(GroupAus_[i], caption + " " + std::to_string(k + 1));
        if (!sources.isEmpty()) refill(ComboAus_[i], sources);
    }
    redisplay();
}

void OutputPage::applyPageRules() {
    for (int k = 0; k < edit::kOutputs; ++k) {
        GroupAus_[static_cast<std::size_t>(k)]->setVisible(edit::OutputShown(ctx_.image, k));
    }
}

void OutputPage::fill() {
    edit::ReadOutputPage(ctx_.link, ctx_.image);
    redisplay();
}

void OutputPage::redisplay() {
    for (int k = 0; k < edit::kOutputs; ++k) showOutput(k);
}

void OutputPage::showOutput(int output) {
    const auto i = static_cast<std::size_t>(output);
    QComboBox* combo = ComboAus_[i];
    const int index = edit::SourceIndex(edit::SourceUse::Output, ctx_.image.Aus_User[i].Param);
    {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    }
    refill(ListeAus_[i],
           edit::OutputListTexts(ctx_.image, ctx_.medium(), output, ctx_.blocks(), ctx_.values()));
}

void OutputPage::ComboAus1Click(int output, int index) {
    auto busy = ctx_.busy.tryHold();
    if (busy && index >= 0) edit::ChooseOutputSource(ctx_.link, ctx_.image, output, index);
    showOutput(output);
}

void OutputPage::ListeAus1DblClick(int output, int row) {
    if (ctx_.busy.held()) return;
    const std::vector<edit::SourceLine> lines =
        edit::OutputLines(ctx_.image, ctx_.medium(), output);
    if (row < 0 || static_cast<std::size_t>(row) >= lines.size()) return;
    const edit::SourceLine line = lines[static_cast<std::size_t>(row)];
    const std::optional<float> value = ctx_.inputDialog.enter(
        line.editQuantity, line.min, line.max, edit::OutputValue(ctx_.image, output, line),
        qs(edit::OutputLineName(output, line, ctx_.textLoader())));
    if (!value) return;
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    edit::ApplyOutputValue(ctx_.link, ctx_.image, output, line, *value);
    showOutput(output);
}

}  // namespace parvion::gui
