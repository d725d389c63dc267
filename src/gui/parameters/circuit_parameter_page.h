#pragma once
// The circuit parameter pages TabPar1 and TabPar2: for one circuit the
// temperature, pressure, flow, medium and pulse output groups (each a combo
// for its kind and a list of its values) and the reference values (a list
// alone). A choice in a combo, or a double click (or Enter) on a line and an
// accepted value in the input dialog, goes into the parameter image at once
// and, online, is written to the device and read back; the page then shows
// what the device accepted. What each line is and what an edit does lives
// in the core's edit layer; this class only shows it and asks the dialog.
//
// Both pages share one set of handlers, named after those of circuit 1.

#include <array>
#include <functional>

#include "core/edit/circuit_page.h"
#include "gui/shared/page.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QResizeEvent;

namespace parvion::gui {

class CircuitParameterPage : public Page {
    Q_OBJECT
  public:
    // circuit: 0 (TabPar1) or 1 (TabPar2).
    CircuitParameterPage(PageContext& context, int circuit, QWidget* parent = nullptr);

    int circuit() const { return circuit_; }

    void updateTexts() override;
    // Reads the circuit's parameters (online) and shows them.
    void fill() override;
    void redisplay() override;

    // Opens the table editor a medium line names (its Tag for the property
    // table, and the line's text as caption) and returns when it has
    // closed; the medium's write-back follows. Without a hook those lines
    // open nothing.
    using TableEditor =
        std::function<void(edit::LineAction editor, int tag, const QString& caption)>;
    void setTableEditor(TableEditor editor) { tableEditor_ = std::move(editor); }

  public slots:
    void ComboPT1Click(int index);
    void ComboPD1Click(int index);
    void ComboPF1Click(int index);
    void ComboPG1Click(int index);
    void ComboIA1Click(int index);
    // Edit the selected line of the group's list.
    void ListePT1DblClick();
    void ListePD1DblClick();
    void ListePF1DblClick();
    void ListePG1DblClick();
    void ListeImp1DblClick();
    void ListeVL1DblClick();

  private:
    static constexpr std::size_t kGroups = edit::kCircuitGroups.size();
    static std::size_t slot(edit::CircuitGroup g) { return static_cast<std::size_t>(g); }

    void buildGroup(edit::CircuitGroup group, const QString& box, const QString& combo,
                    const QString& list);
    void choose(edit::CircuitGroup group, int index);
    void editLine(edit::CircuitGroup group, int row);
    // Runs a change with Busy held and shows the groups it changed; refused
    // (and the page shown as the image is) while another sequence runs.
    void change(const std::function<edit::GroupSet()>& apply);
    void showGroup(edit::CircuitGroup group);
    void showChoice(edit::CircuitGroup group);
    // The SGERG-88 note as high as its text wrapped at the page's width.
    void fitGasNote();
    void resizeEvent(QResizeEvent* event) override;

    int circuit_;
    std::array<QGroupBox*, kGroups> boxes_{};
    QLabel* gasNote_ = nullptr;
    std::array<QComboBox*, kGroups> combos_{};  // none for the reference values
    std::array<QListWidget*, kGroups> lists_{};
    TableEditor tableEditor_;
};

}  // namespace parvion::gui
