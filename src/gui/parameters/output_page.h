#pragma once
// The output page TabParAusgang: the four analog outputs (GroupAus1 ..
// GroupAus4 with their source ComboAus1 .. ComboAus4); outputs 2 to 4 only
// on a device with all outputs. Their editing is not built yet: the choices
// are shown, disabled.

#include "gui/app/page.h"

class QComboBox;
class QGroupBox;

namespace parvion::gui {

class OutputPage : public Page {
    Q_OBJECT
  public:
    explicit OutputPage(PageContext& context, QWidget* parent = nullptr);

    void updateTexts() override;
    void applyPageRules() override;

  private:
    QGroupBox* GroupAus_[4];
    QComboBox* ComboAus_[4];
};

}  // namespace parvion::gui
