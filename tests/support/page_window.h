#pragma once
// The main window driven on its parameter pages as a user drives them: a
// page opened by its tab, double clicks on lines, the value input dialog
// answered, combos chosen. Device records are read from and put into the
// simulator's own memory.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <optional>

#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "gui/shared/input_dialog.h"
#include "support/device_records.h"
#include "support/window_harness.h"

namespace parvion::test {

using gui::TInputDlg;

inline T_UserRec temperature(std::uint8_t kind, float min, float max) {
    T_UserRec t{};
    t.Kind = kind;
    t.Min = min;
    t.Max = max;
    return t;
}

// What the value input dialog showed when it opened.
struct DialogSeen {
    bool opened = false;
    QString caption;
    QString value;
};

class Window {
  public:
    explicit Window(WindowSetup setup = {}) : h(setup) { EXPECT_TRUE(w().FormCreate()); }

    gui::Tfrm_Main& w() { return *h.window; }
    template <class W>
    W* get(const char* name) {
        return child<W>(h.window.get(), name);
    }
    QListWidget* list(const char* name) { return get<QListWidget>(name); }

    // Switches to a page as a click on its tab does.
    void open(QWidget* page) {
        const bool operation = w().NBBetrieb->indexOf(page) >= 0;
        w().Notebook->setCurrentWidget(operation ? w().TabBetrieb : w().TabParameter);
        (operation ? w().NBBetrieb : w().NBParameter)->setCurrentWidget(page);
        w().NotebookMouseDown();
    }

    // The next value input dialog gets `text` and OK (nothing: Cancel).
    void answer(std::optional<QString> text, DialogSeen* seen = nullptr) {
        QTimer::singleShot(0, &w(), [this, text, seen] {
            TInputDlg* dlg = w().inputDialog();
            if (!dlg->isVisible()) return;
            if (seen != nullptr) *seen = {true, dlg->windowTitle(), dlg->Input->text()};
            if (text) {
                dlg->Input->setText(*text);
                dlg->OKBtn->click();
            } else {
                dlg->CancelBtn->click();
            }
        });
    }

    // Fails the test when a dialog opens, and closes it.
    void noDialogExpected(bool* opened) {
        QTimer::singleShot(0, &w(), [this, opened] {
            if (w().inputDialog()->isVisible()) {
                *opened = true;
                w().inputDialog()->reject();
            }
        });
    }

    void doubleClick(QListWidget* list, int row) {
        const QPoint at = row < list->count() ? list->visualItemRect(list->item(row)).center()
                                              : QPoint(4, list->viewport()->height() - 4);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    // A check box clicked on its indicator.
    void tick(const char* name) {
        auto* box = get<QCheckBox>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }

    void choose(const char* comboName, int index) {
        auto* combo = get<QComboBox>(comboName);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    QStringList lines(const char* name) {
        QStringList out;
        QListWidget* l = list(name);
        for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
        return out;
    }

    Harness h;
};

}  // namespace parvion::test
