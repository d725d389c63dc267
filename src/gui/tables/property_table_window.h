#pragma once
// Tfrm_Tabelle: the editor of the device's property table (compressibility
// on the gas computer, density or enthalpy on the energy computer, chosen by
// Tag) over the core's property grid. Besides the shared file and context
// menus it has a view menu that shows the whole table, the temperature axis
// or the pressure axis; a double click edits a cell through the value input
// dialog, and values are typed in one after the other down the columns.

#include "core/tables/table_grid.h"
#include "gui/tables/table_window.h"

namespace parvion::gui {

class Tfrm_Tabelle : public TableWindow {
    Q_OBJECT
  public:
    enum class View { Table, Temperatures, Pressures };

    Tfrm_Tabelle(PageContext& context, QWidget* parent = nullptr);

    const tables::PropertyGrid& grid() const { return grid_; }
    View view() const { return view_; }
    tables::TableKind kind() const override;

    QMenu* Bearbeiten1 = nullptr;
    QAction* mnu_Tabelle = nullptr;
    QAction* mnu_Temperatur = nullptr;
    QAction* mnu_Druck = nullptr;

    void updateViewTexts();
    // The file and grid menus' captions, then the view menu's.
    void updateTexts() override;

  public slots:
    void FormActivate() override;
    void TabGridDblClick() override;
    void mnu_NeuClick() override;
    void mnu_ReceiveClick() override;
    // Shared by the three items of the view menu.
    void mnu_TemperaturClick(QAction* item);

  protected:
    tables::FileResult loadFile(const std::string& file) override;
    tables::FileResult saveFile(const std::string& file) override;
    tables::TransmitResult transmitGrid() override;
    bool cellHoldsData(int col, int row) const override;
    std::string pasteText(const std::string& clipboard, int col, int row) const override;

  private:
    bool selectable(int col, int row) const;
    bool fixed(int col, int row) const;
    bool receive();
    void editAxis(int col, int row);
    void editValues(int col, int row);

    tables::PropertyGrid grid_;
    View view_ = View::Table;
};

}  // namespace parvion::gui
