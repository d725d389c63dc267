#pragma once
// The integrator page TabIntegrator: one group and list per circuit
// (GroupInteg1/ListeIntegrator1, GroupInteg2/ListeIntegrator2); the second
// only on a device with circuit 2 and all outputs. The integrator filler is
// not built yet: the lists stay disabled.

#include "gui/app/page.h"

class QGroupBox;
class QListWidget;

namespace parvion::gui {

class IntegratorPage : public Page {
    Q_OBJECT
  public:
    explicit IntegratorPage(PageContext& context, QWidget* parent = nullptr);

    void updateTexts() override;
    void applyPageRules() override;

  private:
    QGroupBox* GroupInteg_[2];
    QListWidget* ListeIntegrator_[2];
};

}  // namespace parvion::gui
