#pragma once
// The display page TabParDisplay: the device display's preferred value
// (GroupDisplay with ComboVorzug, CheckDisplay for the compact display,
// CheckCalc) and the values of the operation display (GroupBetriebsanzeige
// with DisplayBox1 .. DisplayBox4). Compact display only with all outputs;
// boxes 2 to 4 only with circuit 2. Their editing is not built yet.

#include <array>

#include "gui/app/page.h"

class QCheckBox;
class QComboBox;
class QGroupBox;

namespace parvion::gui {

class DisplayPage : public Page {
    Q_OBJECT
  public:
    explicit DisplayPage(PageContext& context, QWidget* parent = nullptr);

    void updateTexts() override;
    void applyPageRules() override;

  private:
    QGroupBox* GroupDisplay_;
    QComboBox* ComboVorzug_;
    QCheckBox* CheckDisplay_;
    QCheckBox* CheckCalc_;
    QGroupBox* GroupBetriebsanzeige_;
    std::array<QGroupBox*, 4> DisplayBox_{};
    // Chk_T, Chk_P, Chk_R, Chk_F, Chk_M, Chk_TF, Chk_TM of each box.
    std::array<std::array<QCheckBox*, 7>, 4> checks_{};
};

}  // namespace parvion::gui
