#include "gui/tables/saturation_table_window.h"

#include <QKeyEvent>
#include <QTableView>

#include "core/model/device_records.h"
#include "core/tables/table_cells.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/input_dialog.h"
#include "gui/shared/page.h"
#include "gui/tables/table_grid_model.h"

namespace parvion::gui {

using tables::SaturationGrid;

Tfrm_UserSatTab::Tfrm_UserSatTab(PageContext& context, QWidget* parent)
    : TableWindow(context, QStringLiteral("frm_UserSatTab"), parent) {
    auto* model = new TableGridModel(
        SaturationGrid::kRows, SaturationGrid::kCols,
        [this](int c, int r) -> std::string& { return grid_.at(c, r); },
        [this](int c, int r, const std::string& text) { grid_.set(c, r, text); },
        [](int, int r) { return r == 0; }, [](int, int r) { return r >= 1; }, this);
    build(model, 100);
    TabGrid->installEventFilter(this);
    setWindowTitle(QStringLiteral("Tabelle"));
    resize(445, 478);
}

bool Tfrm_UserSatTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TabGrid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            TabGridKeyPress(key);
            return true;
        }
    }
    return TableWindow::eventFilter(watched, event);
}

void Tfrm_UserSatTab::TabGridKeyPress(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) TabGridDblClick();
}

void Tfrm_UserSatTab::receive() {
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    const bool ok = tables::ReceiveSaturationGrid(ctx_.link, ctx_.device.SaturationTable, grid_);
    model_->gridChanged();
    showTransfer(true, ok);
}

void Tfrm_UserSatTab::FormActivate() {
    grid_ = SaturationGrid();  // the heads, and no data
    const bool online = openCommon();
    model_->gridChanged();
    if (online) receive();
    TabGrid->setCurrentIndex(model_->index(1, 0));
}

void Tfrm_UserSatTab::mnu_ReceiveClick() {
    Hourglass h(*this);
    receive();
}

void Tfrm_UserSatTab::mnu_NeuClick() {
    Hourglass h(*this);
    grid_.clearData();
    model_->gridChanged();
    fileName_.clear();
    notTransmitted_ = false;
    notSaved_ = false;
}

void Tfrm_UserSatTab::TabGridDblClick() {
    const auto [col, row] = current();
    const std::optional<tables::CellEntry> e = tables::SaturationCellEntry(grid_, col, row);
    if (!e) return;
    TInputDlg& dlg = ctx_.inputDialog;
    const std::int32_t precision = dlg.Precision;
    dlg.IntegerMode = false;
    dlg.Precision = e->precision;
    dlg.Quantity = e->quantity;
    dlg.MinValue = e->min;
    dlg.MaxValue = e->max;
    dlg.Value = e->value;
    dlg.Label = QString::fromStdString(tables::SaturationCellName(textLoader(), grid_, col, row));
    const bool accepted = dlg.exec() == QDialog::Accepted && !dlg.Cancelled;
    dlg.Precision = precision;
    if (!accepted) return;
    const std::string text = tables::ValueCellText(dlg.Value);
    if (text == grid_.at(col, row)) return;
    model_->setText(col, row, text);
    setBothFlags();
}

tables::FileResult Tfrm_UserSatTab::loadFile(const std::string& file) {
    return tables::LoadSaturationFile(file, grid_);
}

tables::FileResult Tfrm_UserSatTab::saveFile(const std::string& file) {
    return tables::SaveSaturationFile(file, grid_);
}

tables::TransmitResult Tfrm_UserSatTab::transmitGrid() {
    return tables::TransmitSaturationGrid(
        ctx_.link, grid_, ctx_.device.SaturationTable,
        [this](const auto& keys) { return confirmMissing(keys); });
}

bool Tfrm_UserSatTab::cellHoldsData(int, int row) const {
    return row >= 1;
}

std::string Tfrm_UserSatTab::pasteText(const std::string& clipboard, int, int) const {
    return tables::PasteSaturationCell(clipboard);
}

}  // namespace parvion::gui
