#include "gui/parameters/correction_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/edit/correction.h"
#include "core/edit/value_names.h"
#include "core/model/parameter_image.h"
#include "core/model/units.h"
#include "core/model/value_format.h"
#include "core/views/page_rules.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/input_dialog.h"
#include "gui/shared/line_activation.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {

constexpr int kRows = static_cast<int>(edit::kSupportPoints);

QLineEdit* fixedField(QWidget* parent, const QString& text) {
    auto* field = new QLineEdit(text, parent);
    field->setReadOnly(true);
    field->setEnabled(false);
    return field;
}

}  // namespace

CorrectionPage::CorrectionPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabParKorrektur"), parent) {
    auto* layout = new QHBoxLayout(this);
    for (int c = 0; c < 2; ++c) {
        const QString n = QString::number(c + 1);
        GroupFaktor_[c] = named(new QGroupBox(this), "GroupFaktor" + n);
        auto* gl = new QVBoxLayout(GroupFaktor_[c]);
        QTableWidget* grid = named(new QTableWidget(kRows, 2, GroupFaktor_[c]), "FlowKorr" + n);
        grid->horizontalHeader()->hide();
        grid->verticalHeader()->hide();
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
        onLineActivated(grid,
                        [this, c](int row, int column) { FlowKorr1DblClick(c, row, column); });
        FlowKorr_[c] = grid;
        gl->addWidget(grid);
        // The support point at full scale is fixed.
        auto* fixed = new QHBoxLayout;
        fixedPoint_[c][0] = fixedField(GroupFaktor_[c], QStringLiteral("100  %"));
        fixedPoint_[c][1] = fixedField(GroupFaktor_[c], QStringLiteral("   1.0000"));
        fixed->setSpacing(0);
        fixed->addWidget(fixedPoint_[c][0]);
        fixed->addWidget(fixedPoint_[c][1]);
        fixed->addStretch();
        gl->addLayout(fixed);
        gl->addStretch();
        // The grids have a fixed size; so has the group around them.
        GroupFaktor_[c]->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
        layout->addWidget(GroupFaktor_[c], 0, Qt::AlignTop);
    }
    layout->addStretch();
}

void CorrectionPage::updateTexts() {
    views::TextBlock t;
    if (!ctx_.textBlock(edit::kCorrectionTexts, 1, t)) return;
    for (int c = 0; c < 2; ++c) {
        GroupFaktor_[c]->setTitle(qs(t[0]) + (c == 0 ? " 1" : " 2"));
        for (int row = 0; row < kRows; ++row) {
            const std::string& s = t[static_cast<std::size_t>(row) + 1];
            FlowKorr_[c]->setItem(row, 0, new QTableWidgetItem(qs(s)));
        }
    }
    redisplay();
}

void CorrectionPage::applyPageRules() {
    GroupFaktor_[1]->setVisible(!views::Circuit2Unavailable(ctx_.image.System));
}

void CorrectionPage::fill() {
    edit::ReadCorrectionPage(ctx_.link, ctx_.image);
    redisplay();
}

void CorrectionPage::redisplay() {
    for (int c = 0; c < 2; ++c) {
        const FlowKorrRec& factors = ctx_.image.FlowKorr[static_cast<std::size_t>(c)];
        for (int row = 0; row < kRows; ++row) {
            const float f = factors.Stelle[static_cast<std::size_t>(row)];
            FlowKorr_[c]->setItem(row, 1,
                                  new QTableWidgetItem(qs(FormatValue(
                                      ctx_.image, ctx_.medium(), kNoQuantity, false, false, f))));
        }
        fitColumns(c);
    }
}

void CorrectionPage::fitColumns(int circuit) {
    QTableWidget* grid = FlowKorr_[circuit];
    grid->resizeColumnsToContents();
    const QFontMetrics fm(grid->font());
    grid->setColumnWidth(
        1, std::max(grid->columnWidth(1), fm.horizontalAdvance(QStringLiteral("-999.9999E-9xx"))));
    // The grid as large as its cells; the fixed point below lines up with
    // its columns.
    const int frame = 2 * grid->frameWidth();
    grid->setFixedSize(grid->columnWidth(0) + grid->columnWidth(1) + frame,
                       grid->rowHeight(0) * kRows + frame);
    fixedPoint_[circuit][0]->setFixedWidth(grid->columnWidth(0) + grid->frameWidth());
    fixedPoint_[circuit][1]->setFixedWidth(grid->columnWidth(1) + grid->frameWidth());
}

void CorrectionPage::FlowKorr1DblClick(int circuit, int row, int column) {
    if (ctx_.busy.held() || column != 1 || row < 0 || row >= kRows) return;
    const auto point = static_cast<std::size_t>(row);
    const std::optional<float> factor =
        ctx_.inputDialog.enter(kNoQuantity, edit::kCorrectionMin, edit::kCorrectionMax,
                               ctx_.image.FlowKorr[static_cast<std::size_t>(circuit)].Stelle[point],
                               qs(edit::CorrectionPointName(circuit, point, ctx_.textLoader())));
    if (!factor) return;
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    edit::SetCorrectionFactor(ctx_.link, ctx_.image, circuit, point, *factor);
    redisplay();
}

}  // namespace parvion::gui
