#pragma once
// The integrator page TabIntegrator: one group and list per circuit
// (GroupInteg1/ListeIntegrator1, GroupInteg2/ListeIntegrator2); the second
// only on a device with circuit 2 and all outputs. Read afresh each time the
// page is entered or refreshed; each entry shows its two time-stamped totals,
// newest first.

#include "gui/shared/page.h"

class QGroupBox;
class QListWidget;

namespace parvion::gui {

class IntegratorPage : public Page {
    Q_OBJECT
  public:
    explicit IntegratorPage(PageContext& context, QWidget* parent = nullptr);

    // Reads the integrators and rebuilds both lists; a failed read (and every
    // read while offline) leaves them empty.
    void FillIntegrators();

    void updateTexts() override;
    void applyPageRules() override;
    void fill() override { FillIntegrators(); }
    // Shows the records of the last read again in the units now chosen.
    void redisplay() override;

  private:
    void showLines();

    QGroupBox* GroupInteg_[2];
    QListWidget* ListeIntegrator_[2];
    bool read_ = false;  // the record holds integrators read from the device
};

}  // namespace parvion::gui
