#pragma once
// The correction factor page TabParKorrektur: the flow correction factors
// of each circuit at its eight support points (GroupFaktor1/FlowKorr1,
// GroupFaktor2/FlowKorr2; the second only with circuit 2). A double click
// on a factor edits it. Below each grid the fixed support point: 100 % and
// factor 1.

#include "gui/shared/page.h"

class QGroupBox;
class QWidget;
class QTableWidget;

namespace parvion::gui {

class CorrectionPage : public Page {
    Q_OBJECT
  public:
    explicit CorrectionPage(PageContext& context, QWidget* parent = nullptr);

    void updateTexts() override;
    void applyPageRules() override;
    void fill() override;
    void redisplay() override;

    // The factor in the row of the grid of circuit 0 or 1; column 0 (the
    // label) edits nothing.
    void FlowKorr1DblClick(int circuit, int row, int column);

  private:
    void fitColumns(int circuit);

    QGroupBox* GroupFaktor_[2];
    QTableWidget* FlowKorr_[2];
    // The fixed support point below each grid, one field per column.
    QWidget* fixedPoint_[2][2];
};

}  // namespace parvion::gui
