#pragma once
// The system page TabParSystem: the system definition (GroupSystem with
// Combosystem, only with all outputs), the number of measuring units
// (AnzahlMU, single-circuit definitions only), the limit-value scheme of the
// current outputs (RG_Grenzen), the presets (Chk_Vorgabe, ListeVorgaben),
// the system factor (ed_SystemFaktor, balance definition only, edited by a
// double click) and the device clock (Ed_DateTime, set by cmd_SetDateTime).
// The rules and the device traffic are the edit layer's.

#include "gui/shared/page.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace parvion::gui {

class RadioGroup;

class SystemPage : public Page {
    Q_OBJECT
  public:
    explicit SystemPage(PageContext& context, QWidget* parent = nullptr);

    void updateTexts() override;
    void applyPageRules() override;
    void fill() override;
    void redisplay() override;

    // The clock field: the device clock as last read, or empty.
    void showDeviceClock();
    void clearDeviceClock();

  public slots:
    // "SET": sets the device clock to this computer's time and reads it back.
    void cmd_SetDateTimeClick();
    // The system factor through the value input dialog (0.9 .. 1.1).
    void ed_SystemFaktorDblClick();
    void CombosystemClick(int index);
    void AnzahlMUClick(int index);
    void RG_GrenzenClick(int index);
    void Chk_VorgabeClick();
    void ListeVorgabenDblClick(int row);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showPresets();

    QGroupBox* GroupSystem_;
    QComboBox* Combosystem_;
    RadioGroup* AnzahlMU_;
    RadioGroup* RG_Grenzen_;
    QCheckBox* Chk_Vorgabe_;
    QListWidget* ListeVorgaben_;
    QLabel* lbl_Systemfaktor_;
    QLineEdit* ed_SystemFaktor_;
    QGroupBox* GroupDate_;
    QLineEdit* Ed_DateTime_;
    QPushButton* cmd_SetDateTime_;
};

}  // namespace parvion::gui
