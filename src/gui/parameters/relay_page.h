#pragma once
// The relay page TabParRelais: the alarm relay of each circuit
// (GroupAlm1/GroupAlm2 with the source ComboAlm and the kind ComboAlmKind).
// Its editing is not built yet: the choices are shown, disabled.

#include "gui/app/page.h"

class QComboBox;
class QGroupBox;

namespace parvion::gui {

class RelayPage : public Page {
    Q_OBJECT
  public:
    explicit RelayPage(PageContext& context, QWidget* parent = nullptr);

    void updateTexts() override;

  private:
    QGroupBox* GroupAlm_[2];
    QComboBox* ComboAlm_[2];
    QComboBox* ComboAlmKind_[2];
};

}  // namespace parvion::gui
