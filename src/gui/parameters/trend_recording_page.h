#pragma once
// The trend recording page TabParTrend: the recorded value (GroupTrend with
// ComboTrend) and the interval (GroupIntervall with ComboTrendinterval).
// Only on a device with trend recording. Its editing is not built yet.

#include "gui/app/page.h"

class QComboBox;
class QGroupBox;

namespace parvion::gui {

class TrendRecordingPage : public Page {
    Q_OBJECT
  public:
    explicit TrendRecordingPage(PageContext& context, QWidget* parent = nullptr);

    void updateTexts() override;

  private:
    QGroupBox* GroupTrend_;
    QComboBox* ComboTrend_;
    QGroupBox* GroupIntervall_;
    QComboBox* ComboTrendinterval_;
};

}  // namespace parvion::gui
