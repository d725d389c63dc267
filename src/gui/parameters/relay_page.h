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
#include "gui/app/page.h"

class QComboBox;
class QGroupBox;
class QListWidget;

namespace parvion::gui {

// Opens the value input dialog for a line of a relay or output list,
// starting from `current`; the accepted value in the base unit, nothing
// when the dialog was left without OK.
std::optional<float> AskLineValue(PageContext& context, const edit::SourceLine& line,
                                  float current);

// A value list of the relay and output pages, high enough for `lines`.
QListWidget* sourceList(QWidget* parent, const QString& name, int lines);

// Runs `edit` for a double click on a list of the relay and output pages
// (with the row under the pointer, -1 below the last line) and for Enter
// (not held) in it (with the selected row). Installed with watch().
class ListEditFilter : public QObject {
  public:
    using Edit = std::function<void(QListWidget* list, int row)>;
    ListEditFilter(QObject* parent, Edit edit) : QObject(parent), edit_(std::move(edit)) {}
    void watch(QListWidget* list);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Edit edit_;
};

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
