#pragma once
// The trend-value page TabTrend: the trend grid (Trendgrid) with its
// column heads in the user's units, the drop-down of recorded blocks and the
// read, export and graph buttons. The device's trend memory is read only on
// request; the reading and export are not built yet, so the controls stay
// disabled.

#include "gui/app/page.h"

class QComboBox;
class QPushButton;
class QTableWidget;

namespace parvion::gui {

class TrendPage : public Page {
    Q_OBJECT
  public:
    explicit TrendPage(PageContext& context, QWidget* parent = nullptr);

    void updateTexts() override;
    void redisplay() override { showGridHeader(); }

  private:
    void showGridHeader();

    QTableWidget* Trendgrid_;
    QComboBox* ComboTrends_;
    QPushButton* cmd_ReadTrends_;
    QPushButton* cmd_ExportTrends_;
    QPushButton* cmd_Grafik_;
};

}  // namespace parvion::gui
