#pragma once
// The trend-value page TabTrend: the read, export and graph buttons, the
// drop-down ComboTrends of the recorded blocks (newest first) and the grid
// Trendgrid with the chosen block's maximum, mean and minimum and its
// values. The device's trend memory is read only on request, into the
// device records' trend store, where the graph window reads it too.

#include <QStringList>

#include "core/model/device_time.h"
#include "gui/shared/page.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace parvion::gui {

class TrendPage : public Page {
    Q_OBJECT
  public:
    explicit TrendPage(PageContext& context, QWidget* parent = nullptr);

    // Reads the whole trend memory and rebuilds the drop-down; with
    // exportMode it asks for a file and writes the trend export there too
    // (a cancelled dialog makes it a plain read).
    void cmd_ReadTrendsClick(bool exportMode);
    // Rebuilds the grid's head row and shows the block of the chosen item.
    void ComboTrendsClick();
    // Row 0 and the heads of rows 1..3 in the current texts and units, and
    // the column widths.
    void FillTrendGridHeader();
    // Fills the grid from one block of the trend store.
    void ShowTrendBlock(int block);

    // The four value column heads of the grid as shown (name and unit).
    QStringList columnHeads() const;

    void updateTexts() override;
    // The heads in the units now chosen, and the chosen block again.
    void redisplay() override { ComboTrendsClick(); }

  signals:
    // cmd_Grafik was clicked: the frame shows the graph window.
    void graphRequested();

  private:
    void setButtonsEnabled(bool enabled);
    void clearGrid();
    void setCell(int row, int column, const QString& text);
    bool exportTo(const QString& file);
    // After a failed read the grid's values are those of the last good read:
    // greyed, under a note with its time and the link's cause.
    void setStale(bool stale);

    QTableWidget* Trendgrid_;
    QLabel* staleNote_;
    bool stale_ = false;
    DeviceDateTime lastRead_;
    QComboBox* ComboTrends_;
    QPushButton* cmd_ReadTrends_;
    QPushButton* cmd_ExportTrends_;
    QPushButton* cmd_Grafik_;
};

}  // namespace parvion::gui
