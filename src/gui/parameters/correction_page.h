#pragma once
// The correction factor page TabParKorrektur: the flow correction factors
// of each circuit (GroupFaktor1/FlowKorr1, GroupFaktor2/FlowKorr2); the
// second only with circuit 2. Their editing is not built yet.

#include "gui/app/page.h"

class QGroupBox;
class QTableWidget;

namespace parvion::gui {

class CorrectionPage : public Page {
    Q_OBJECT
  public:
    explicit CorrectionPage(PageContext& context, QWidget* parent = nullptr);

    void updateTexts() override;
    void applyPageRules() override;

  private:
    QGroupBox* GroupFaktor_[2];
    QTableWidget* FlowKorr_[2];
};

}  // namespace parvion::gui
