#pragma once
// The units page TabparEinheiten: the user-unit switch CheckUserEinheiten
// and, shown while it is on, the page control PC_Usereinheiten with one
// radio group per quantity 0 .. 7 (Radio_E_Temp ... Radio_E_BetrVS). A
// change goes into the image at once, online to the device, and every page
// shows its values in the new units at once.

#include <array>

#include "gui/shared/page.h"

class QCheckBox;
class QTabWidget;

namespace parvion::gui {

class MultiRowTabBar;
class RadioGroup;

class UnitsPage : public Page {
    Q_OBJECT
  public:
    explicit UnitsPage(PageContext& context, QWidget* parent = nullptr);

    // Captions, the radio items of the variant's units, and the switch
    // cleared without touching the image or the device: the page sets it
    // again from the device when it is filled.
    void updateTexts() override;
    void fill() override;
    // The radio selections from the image's unit selection.
    void redisplay() override;

  public slots:
    void CheckUserEinheitenClick(bool checked);
    // A unit picked in the radio group of quantity q.
    void Radio_E_TempClick(int quantity, int index);

  private:
    void showSwitch(bool on);
    void showSheets(bool on);

    QCheckBox* CheckUserEinheiten_;
    QTabWidget* PC_Usereinheiten_;
    MultiRowTabBar* sheetTabs_;
    std::array<RadioGroup*, 8> Radio_E_{};
};

}  // namespace parvion::gui
