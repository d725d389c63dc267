#include "gui/tables/table_grid_model.h"

#include <QApplication>
#include <QPalette>

namespace parvion::gui {

TableGridModel::TableGridModel(int rows, int cols, CellRef cell, CellWrite write, CellTest fixed,
                               CellTest selectable, QObject* parent)
    : QAbstractTableModel(parent),
      rows_(rows),
      cols_(cols),
      cell_(std::move(cell)),
      write_(std::move(write)),
      fixed_(std::move(fixed)),
      selectable_(std::move(selectable)) {}

int TableGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int TableGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

QVariant TableGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return text(index.column(), index.row());
        case Qt::BackgroundRole:
            if (fixed_(index.column(), index.row())) return QApplication::palette().button();
            return {};
        default:
            return {};
    }
}

Qt::ItemFlags TableGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled;
    if (selectable_(index.column(), index.row())) f |= Qt::ItemIsSelectable;
    return f;
}

QString TableGridModel::text(int col, int row) const {
    return QString::fromStdString(cell_(col, row));
}

void TableGridModel::setText(int col, int row, const std::string& text) {
    write_(col, row, text);
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

void TableGridModel::gridChanged() {
    // Not a model reset: the view keeps its current cell and the rows and
    // columns a view of the property table hides.
    emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1), {Qt::DisplayRole});
}

void TableGridModel::layoutRulesChanged() {
    emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
}

}  // namespace parvion::gui
