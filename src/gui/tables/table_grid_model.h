#pragma once
// A table model over a grid of texts held by the core (the property or the
// saturation grid): the view shows the grid itself, never a copy. Fixed
// cells (the axes' heads and headers) are drawn like buttons; which cells
// can be selected is up to the window (the property table's views). A text
// the user writes goes through the grid's own setter, which keeps its list
// of missing cells.

#include <QAbstractTableModel>
#include <functional>
#include <string>

namespace parvion::gui {

class TableGridModel : public QAbstractTableModel {
  public:
    using CellRef = std::function<std::string&(int col, int row)>;
    using CellTest = std::function<bool(int col, int row)>;
    using CellWrite = std::function<void(int col, int row, const std::string& text)>;

    TableGridModel(int rows, int cols, CellRef cell, CellWrite write, CellTest fixed,
                   CellTest selectable, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QString text(int col, int row) const;
    void setText(int col, int row, const std::string& text);
    // After the grid changed as a whole (new, open, receive).
    void gridChanged();
    // After the selectable cells changed (a view switch).
    void layoutRulesChanged();

  private:
    int rows_;
    int cols_;
    CellRef cell_;
    CellWrite write_;
    CellTest fixed_;
    CellTest selectable_;
};

}  // namespace parvion::gui
