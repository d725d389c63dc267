#pragma once
// The relay page TabParRelais: the two limit relays (GroupAlm1/GroupAlm2,
// each with the source ComboAlm, the limit kind ComboAlmKind and the list
// ListeAlm of its limits). A choice, or a double click (or Enter) on a
// limit and a value accepted in the input dialog, goes into the parameter
// image at once and, online, is written to the device and read back. What
// the lines are and what a change does lives in the core's edit layer.

#include <array>
#include <functional>
#include <optional>

#include "core/edit/alarm_output_page.h"
#include "gui/shared/page.h"

class QComboBox;
class QGroupBox;
class QListWidget;

namespace parvion::gui {

// A value list of the relay and output pages, high enough for `lines`.
QListWidget* sourceList(QWidget* parent, const QString& name, int lines);

class RelayPage : public Page {
    Q_OBJECT
  public:
    explicit RelayPage(PageContext& context, QWidget* parent = nullptr);

    void updateTexts() override;
    // Reads both alarms (online) and shows them.
    void fill() override;
    void redisplay() override;

    // The handlers of both relays (alarm 0 or 1).
    void ComboAlm1Change(int alarm, int index);
    void ComboAlmKind1Click(int alarm, int index);
    void ListeAlm1DblClick(int alarm, int row);

  private:
    void showAlarm(int alarm);

    std::array<QGroupBox*, edit::kAlarms> GroupAlm_{};
    std::array<QComboBox*, edit::kAlarms> ComboAlm_{};
    std::array<QComboBox*, edit::kAlarms> ComboAlmKind_{};
    std::array<QListWidget*, edit::kAlarms> ListeAlm_{};
};

}  // namespace parvion::gui
