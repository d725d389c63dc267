#pragma once
// Tfrm_UserSatTab: the editor of the energy computer's saturation table (32
// points of temperature, pressure, density and enthalpy) over the core's
// saturation grid. A double click or Enter edits one cell through the value
// input dialog; the dialog's minimum is the value of the row above, so the
// first three columns are typed in rising down the table. Opening always
// starts from an empty grid.

#include "core/tables/table_grid.h"
#include "gui/tables/table_window.h"

namespace parvion::gui {

class Tfrm_UserSatTab : public TableWindow {
    Q_OBJECT
  public:
    Tfrm_UserSatTab(PageContext& context, QWidget* parent = nullptr);

    const tables::SaturationGrid& grid() const { return grid_; }
    tables::TableKind kind() const override { return tables::TableKind::Saturation; }

  public slots:
    void FormActivate() override;
    void TabGridDblClick() override;
    // Enter in the grid edits the cell as a double click does.
    void TabGridKeyPress(int key);
    void mnu_NeuClick() override;
    void mnu_ReceiveClick() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    tables::FileResult loadFile(const std::string& file) override;
    tables::FileResult saveFile(const std::string& file) override;
    tables::TransmitResult transmitGrid() override;
    bool cellHoldsData(int col, int row) const override;
    std::string pasteText(const std::string& clipboard, int col, int row) const override;

  private:
    void receive();

    tables::SaturationGrid grid_;
};

}  // namespace parvion::gui
