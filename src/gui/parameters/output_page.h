#pragma once
// The output page TabParAusgang: the four analog outputs (GroupAus1 ..
// GroupAus4, each with the source ComboAus and the list ListeAus of its
// range and error current, or of its constant current); outputs 2 to 4
// only on a device with all outputs. A choice, or a double click (or
// Enter) on a line and a value accepted in the input dialog, goes into the
// parameter image and, online, to the device. The rules live in the core's
// edit layer.

#include <array>

#include "core/edit/alarm_output_page.h"
#include "gui/shared/page.h"

class QComboBox;
class QGroupBox;
class QListWidget;

namespace parvion::gui {

class OutputPage : public Page {
    Q_OBJECT
  public:
    explicit OutputPage(PageContext& context, QWidget* parent = nullptr);

    void updateTexts() override;
    void applyPageRules() override;
    // Reads the four outputs (online) and shows them.
    void fill() override;
    void redisplay() override;

    // The handlers of all four outputs (output 0..3).
    void ComboAus1Click(int output, int index);
    void ListeAus1DblClick(int output, int row);

  private:
    void showOutput(int output);

    std::array<QGroupBox*, edit::kOutputs> GroupAus_{};
    std::array<QComboBox*, edit::kOutputs> ComboAus_{};
    std::array<QListWidget*, edit::kOutputs> ListeAus_{};
};

}  // namespace parvion::gui
