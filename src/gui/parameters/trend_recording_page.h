#pragma once
// The trend recording page TabParTrend: the recorded circuit (GroupTrend
// with ComboTrend) and the interval (GroupIntervall with
// ComboTrendinterval). Only on a device with trend recording.

#include "gui/shared/page.h"

class QComboBox;
class QGroupBox;

namespace parvion::gui {

class TrendRecordingPage : public Page {
    Q_OBJECT
  public:
    explicit TrendRecordingPage(PageContext& context, QWidget* parent = nullptr);

    void updateTexts() override;
    void fill() override;
    void redisplay() override;

  public slots:
    void ComboTrendChange(int index);
    void ComboTrendintervalChange(int index);

  private:
    QGroupBox* GroupTrend_;
    QComboBox* ComboTrend_;
    QGroupBox* GroupIntervall_;
    QComboBox* ComboTrendinterval_;
};

}  // namespace parvion::gui
