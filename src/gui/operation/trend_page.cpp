#include "gui/operation/trend_page.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/app/texts.h"
#include "core/model/units.h"
#include "gui/app/widgets.h"

namespace parvion::gui {

namespace {
constexpr std::uint16_t kGridTexts = 19456;
constexpr std::uint16_t kReadText = 19472;
// Quantities of the four value columns: temperature, pressure, flow or
// power, mass flow.
constexpr std::uint8_t kColumnQuantities[4] = {0, 1, 3, 4};
}  // namespace

TrendPage::TrendPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabTrend"), parent) {
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    cmd_ReadTrends_ =
        named(new QPushButton(QStringLiteral("Lesen"), this), QStringLiteral("cmd_ReadTrends"));
    cmd_ExportTrends_ = named(new QPushButton(QStringLiteral("Export..."), this),
                              QStringLiteral("cmd_ExportTrends"));
    cmd_Grafik_ =
        named(new QPushButton(QStringLiteral("Grafik ..."), this), QStringLiteral("cmd_Grafik"));
    ComboTrends_ = named(new QComboBox(this), QStringLiteral("ComboTrends"));
    for (QWidget* w : std::initializer_list<QWidget*>{cmd_ReadTrends_, cmd_ExportTrends_,
                                                      cmd_Grafik_, ComboTrends_}) {
        w->setEnabled(false);
        buttons->addWidget(w);
    }
    layout->addLayout(buttons);
    Trendgrid_ = named(new QTableWidget(64, 5, this), QStringLiteral("Trendgrid"));
    Trendgrid_->horizontalHeader()->hide();
    Trendgrid_->verticalHeader()->hide();
    Trendgrid_->setEnabled(false);
    layout->addWidget(Trendgrid_);
}

void TrendPage::updateTexts() {
    showGridHeader();
    const std::string read = ctx_.text(kReadText);
    if (!read.empty()) cmd_ReadTrends_->setText(qs(read));
}

void TrendPage::showGridHeader() {
    views::TextBlock t;
    if (!ctx_.textBlock(kGridTexts, 1, t)) return;
    auto cell = [this](int row, int col, const QString& text) {
        Trendgrid_->setItem(row, col, new QTableWidgetItem(text));
    };
    cell(0, 0, qs(t[0]));
    for (int col = 1; col <= 4; ++col) {
        const std::string unit =
            TrimText(UnitText(ctx_.image, ctx_.medium(), kColumnQuantities[col - 1], true));
        cell(0, col, qs(t[static_cast<std::size_t>(col)]) + "[" + qs(unit) + "]");
    }
    for (int row = 1; row <= 3; ++row) cell(row, 0, qs(t[static_cast<std::size_t>(row) + 4]));
    const QFontMetrics fm(Trendgrid_->font());
    Trendgrid_->setColumnWidth(0, fm.horizontalAdvance(QStringLiteral("09.09.2099 09:09:09x")));
    for (int col = 1; col <= 4; ++col) {
        const QString sample =
            col == 1 ? QStringLiteral("-999.0000x") : QStringLiteral("-999.9999E99xx");
        const QString head = Trendgrid_->item(0, col)->text() + "x";
        Trendgrid_->setColumnWidth(
            col, std::max(fm.horizontalAdvance(sample), fm.horizontalAdvance(head)));
    }
}

}  // namespace parvion::gui
