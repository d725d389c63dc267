#pragma once
// The display page TabParDisplay: the device display's preferred value
// (GroupDisplay with ComboVorzug), the compact display (CheckDisplay, only
// on a device with all outputs), the automatic acknowledgement of
// calculation errors (CheckCalc), and the values each display page of the
// device shows (GroupBetriebsanzeige with DisplayBox1 .. DisplayBox4 and
// their boxes Chk_T1 .. Chk_TM4; boxes 2 to 4 only with circuit 2). Every
// click goes into the parameter image and, online, to the device; the
// rules live in the core's edit layer.
//
// While the page sets the 28 boxes itself, GroupBetriebsanzeige is
// disabled: their handler ignores those changes, so that filling the page
// never writes the display bytes.

#include <array>

#include "core/edit/display_settings.h"
#include "gui/shared/page.h"

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
    // Reads the display options and bytes (online) and shows them; a check
    // box whose state changes acts as if clicked.
    void fill() override;
    void redisplay() override;

    void ComboVorzugChange(int index);
    void CheckDisplayClick(bool checked);
    void CheckCalcClick(bool checked);
    // Any of the 28 display boxes.
    void Chk_T1Click();

  private:
    void showChecks(const edit::DisplayChecks& checks);
    void showPreferred();
    void showBoxes();

    QGroupBox* GroupDisplay_;
    QComboBox* ComboVorzug_;
    QCheckBox* CheckDisplay_;
    QCheckBox* CheckCalc_;
    QGroupBox* GroupBetriebsanzeige_;
    std::array<QGroupBox*, edit::kDisplayPages> DisplayBox_{};
    // Chk_T, Chk_P, Chk_R, Chk_F, Chk_M, Chk_TF, Chk_TM of each box.
    std::array<std::array<QCheckBox*, edit::kDisplayValues>, edit::kDisplayPages> checks_{};
};

}  // namespace parvion::gui
