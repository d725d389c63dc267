#include "gui/tables/property_table_window.h"

#include <QAction>
#include <QActionGroup>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <algorithm>

#include "core/model/device_records.h"
#include "core/tables/table_cells.h"
#include "core/tables/table_messages.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/input_dialog.h"
#include "gui/shared/page.h"
#include "gui/tables/table_grid_model.h"

namespace parvion::gui {

namespace {

constexpr std::uint16_t kViewMenuTexts = 1296;
using tables::CellKind;
using tables::PropertyGrid;

}  // namespace

Tfrm_Tabelle::Tfrm_Tabelle(PageContext& context, QWidget* parent)
    : TableWindow(context, QStringLiteral("frm_Tabelle"), parent) {
    auto* model = new TableGridModel(
        PropertyGrid::kRows, PropertyGrid::kCols,
        [this](int c, int r) -> std::string& { return grid_.at(c, r); },
        [this](int c, int r, const std::string& text) { grid_.set(c, r, text); },
        [this](int c, int r) { return fixed(c, r); },
        [this](int c, int r) { return selectable(c, r); }, this);
    build(model, 100);
    // The corner's caption is wider than a value in the fallback fonts.
    const QString corner = QString::fromUtf8(
        tables::kPropertyCorner.data(), static_cast<qsizetype>(tables::kPropertyCorner.size()));
    TabGrid->setColumnWidth(
        0, std::max(100, QFontMetrics(TabGrid->font()).horizontalAdvance(corner) + 12));
    Bearbeiten1 = Menu->addMenu(QString());
    Bearbeiten1->setObjectName(QStringLiteral("Bearbeiten1"));
    auto* views = new QActionGroup(this);
    const auto item = [&](const char* name, const char* text) {
        QAction* a = Bearbeiten1->addAction(QString::fromUtf8(text));
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        views->addAction(a);
        return a;
    };
    mnu_Tabelle = item("mnu_Tabelle", "");
    mnu_Temperatur = item("mnu_Temperatur", "");
    mnu_Druck = item("mnu_Druck", "");
    mnu_Tabelle->setChecked(true);
    updateViewTexts();
    connect(views, &QActionGroup::triggered, this, &Tfrm_Tabelle::mnu_TemperaturClick);
    resize(634, 480);
}

tables::TableKind Tfrm_Tabelle::kind() const {
    return tables::PropertyTableKind(ctx_.medium(), tag_);
}

void Tfrm_Tabelle::updateViewTexts() {
    views::TextBlock block;
    if (!ctx_.textBlock(kViewMenuTexts, 0, block)) return;
    Bearbeiten1->setTitle(QString::fromStdString(block[0]));
    mnu_Tabelle->setText(QString::fromStdString(block[1]));
    mnu_Temperatur->setText(QString::fromStdString(block[2]));
    mnu_Druck->setText(QString::fromStdString(block[3]));
}

void Tfrm_Tabelle::updateTexts() {
    TableWindow::updateTexts();
    updateViewTexts();
}

bool Tfrm_Tabelle::fixed(int col, int row) const {
    switch (view_) {
        case View::Table:
            return col == 0 || row == 0;
        case View::Temperatures:
            return row == 0;
        case View::Pressures:
            return col == 0;
    }
    return false;
}

bool Tfrm_Tabelle::selectable(int col, int row) const {
    switch (view_) {
        case View::Table:
            return col >= 1 && row >= 1;
        case View::Temperatures:
            return col == 0 && row >= 1;
        case View::Pressures:
            return row == 0 && col >= 1;
    }
    return false;
}

void Tfrm_Tabelle::mnu_TemperaturClick(QAction* item) {
    for (QAction* a : {mnu_Tabelle, mnu_Temperatur, mnu_Druck}) a->setChecked(a == item);
    view_ = item == mnu_Temperatur ? View::Temperatures
            : item == mnu_Druck    ? View::Pressures
                                   : View::Table;
    for (int c = 1; c < PropertyGrid::kCols; ++c) {
        TabGrid->setColumnHidden(c, view_ == View::Temperatures);
    }
    for (int r = 1; r < PropertyGrid::kRows; ++r)
        TabGrid->setRowHidden(r, view_ == View::Pressures);
    model_->layoutRulesChanged();
    const QModelIndex first = view_ == View::Temperatures ? model_->index(1, 0)
                              : view_ == View::Pressures  ? model_->index(0, 1)
                                                          : model_->index(1, 1);
    TabGrid->setCurrentIndex(first);
}

bool Tfrm_Tabelle::receive() {
    auto busy = ctx_.busy.tryHold();
    if (!busy) return false;
    if (!tables::ReceivePropertyGrid(ctx_.link, tag_, ctx_.device.PropertyTable, grid_)) {
        showTransfer(true, false);
        return false;
    }
    model_->gridChanged();
    showTransfer(true, true);
    return true;
}

void Tfrm_Tabelle::FormActivate() {
    updateViewTexts();
    const bool online = openCommon();
    grid_.at(0, 0) = std::string(tables::kPropertyCorner);
    if (online) receive();
    model_->gridChanged();
    if (!TabGrid->currentIndex().isValid()) TabGrid->setCurrentIndex(model_->index(1, 1));
}

void Tfrm_Tabelle::mnu_ReceiveClick() {
    Hourglass h(*this);
    receive();
}

void Tfrm_Tabelle::mnu_NeuClick() {
    Hourglass h(*this);
    tables::ClearPropertyGrid(grid_);
    model_->gridChanged();
    fileName_.clear();
    notTransmitted_ = false;
    notSaved_ = false;
}

void Tfrm_Tabelle::TabGridDblClick() {
    const auto [col, row] = current();
    if (col < 0 || !selectable(col, row)) return;
    setBothFlags();
    switch (tables::PropertyCellKind(col, row)) {
        case CellKind::Corner:
            return;
        case CellKind::Temperature:
        case CellKind::Pressure:
            editAxis(col, row);
            return;
        case CellKind::Value:
            editValues(col, row);
            return;
    }
}

void Tfrm_Tabelle::editAxis(int col, int row) {
    const std::optional<tables::CellEntry> e =
        tables::PropertyCellEntry(grid_, kind(), col, row).entry;
    if (!e) return;
    TInputDlg& dlg = ctx_.inputDialog;
    dlg.IntegerMode = true;
    dlg.Quantity = e->quantity;
    dlg.MinValue = e->min;
    dlg.MaxValue = e->max;
    dlg.Value = e->value;
    dlg.Label =
        QString::fromStdString(tables::PropertyCellName(textLoader(), grid_, kind(), col, row));
    const bool accepted = dlg.exec() == QDialog::Accepted && !dlg.Cancelled;
    dlg.IntegerMode = false;
    // Cancel, Escape and the close box leave the cell as it was.
    if (!accepted) return;
    // The axes ascend: a value out of order is refused, naming its neighbours.
    if (const auto fault = tables::CheckAxisOrder(grid_, col, row, dlg.Value)) {
        showMessage(tables::AxisOrderMessage(textLoader(), *fault));
        return;
    }
    model_->setText(col, row, tables::AxisCellText(dlg.Value));
}

void Tfrm_Tabelle::editValues(int col, int row) {
    TInputDlg& dlg = ctx_.inputDialog;
    tables::Cell cell{col, row};
    for (;;) {
        const tables::PropertyEntry e =
            tables::PropertyCellEntry(grid_, kind(), cell.col, cell.row);
        if (e.bad) {
            showMessage(tables::BadCellMessage(textLoader(), *e.bad, false));
            return;
        }
        if (!e.entry) return;
        dlg.Precision = e.entry->precision;
        dlg.Quantity = e.entry->quantity;
        dlg.MinValue = e.entry->min;
        dlg.MaxValue = e.entry->max;
        dlg.Value = e.entry->value;
        dlg.Label = QString::fromStdString(
            tables::PropertyCellName(textLoader(), grid_, kind(), cell.col, cell.row));
        // The close box ends the dialog without Cancelled: the value stands
        // as it was and the entry goes on; Cancel alone ends it.
        dlg.exec();
        if (dlg.Cancelled) return;
        model_->setText(cell.col, cell.row, tables::ValueCellText(dlg.Value));
        cell = tables::NextValueCell(cell);
        TabGrid->setCurrentIndex(model_->index(cell.row, cell.col));
    }
}

tables::FileResult Tfrm_Tabelle::loadFile(const std::string& file) {
    return tables::LoadPropertyFile(file, grid_);
}

tables::FileResult Tfrm_Tabelle::saveFile(const std::string& file) {
    return tables::SavePropertyFile(file, grid_);
}

tables::TransmitResult Tfrm_Tabelle::transmitGrid() {
    return tables::TransmitPropertyGrid(ctx_.link, tag_, grid_, ctx_.device.PropertyTable,
                                        [this](const auto& keys) { return confirmMissing(keys); });
}

bool Tfrm_Tabelle::cellHoldsData(int col, int row) const {
    return col != 0 || row != 0;
}

std::string Tfrm_Tabelle::pasteText(const std::string& clipboard, int col, int row) const {
    return tables::PastePropertyCell(clipboard, col, row);
}

}  // namespace parvion::gui
