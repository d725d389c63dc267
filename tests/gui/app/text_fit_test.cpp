// Every text of every page fits its control at the main window's default
// size, with each of the four string libraries: the pages of the operation
// display and the parameter pages of both circuits, every choice of their
// combo boxes (with the value lines each choice brings), the sheets of the
// user units. And the window grows: resizable, maximisable, its tabs all
// within reach.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>

#include "gui/app/compare_dialog.h"
#include "gui/app/settings_dialog.h"
#include "gui/graph/graph_window.h"
#include "gui/print/print_menu.h"
#include "gui/print/sansicht.h"
#include "gui/shared/multi_row_tab_bar.h"
#include "gui/tables/property_table_window.h"
#include "gui/tables/saturation_table_window.h"
#include "support/text_fit.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

// The client area of the main window below its menu.
constexpr QSize kDefaultClient(630, 483);

struct Library {
    int medium;
    int sprache;
    const char* name;
};
constexpr Library kLibraries[] = {
    {0, 0, "Gasger"}, {0, 1, "Gaseng"}, {1, 0, "Steamger"}, {1, 1, "Steameng"}};

void showPage(gui::Tfrm_Main& w, QTabWidget* owner, int index) {
    w.Notebook->setCurrentWidget(owner == w.NBBetrieb ? w.TabBetrieb : w.TabParameter);
    owner->setCurrentIndex(index);
    w.NotebookMouseDown();
    QCoreApplication::processEvents();
}

// The faults of the whole window, each named with the page and what was
// chosen to get there.
void collect(gui::Tfrm_Main& w, const QString& where, QStringList& faults) {
    for (const QString& f : TextFitFaults(&w)) faults << where + ": " + f;
}

// Every page as it is filled from the device.
void walkPages(gui::Tfrm_Main& w, QStringList& faults) {
    for (QTabWidget* owner : {w.NBBetrieb, w.NBParameter}) {
        for (int i = 0; i < owner->count(); ++i) {
            showPage(w, owner, i);
            if (owner->currentIndex() != i) {
                ADD_FAILURE() << "page " << owner->widget(i)->objectName().toStdString()
                              << " refused";
                continue;
            }
            if (owner->widget(i) == w.TabTrend) w.TabTrend->cmd_ReadTrendsClick(false);
            collect(w, owner->widget(i)->objectName(), faults);
        }
    }
}

// Every choice of every combo box of the parameter pages, offline, so that
// each kind's value lines are shown. The system definition is left alone:
// it decides which pages exist.
void walkChoices(gui::Tfrm_Main& w, QStringList& faults) {
    for (int i = 0; i < w.NBParameter->count(); ++i) {
        showPage(w, w.NBParameter, i);
        QWidget* page = w.NBParameter->widget(i);
        for (QComboBox* combo : page->findChildren<QComboBox*>()) {
            if (!combo->isVisibleTo(page) || combo->objectName() == "Combosystem") continue;
            const int was = combo->currentIndex();
            for (int k = 0; k < combo->count(); ++k) {
                combo->setCurrentIndex(k);
                emit combo->activated(k);
                QCoreApplication::processEvents();
                collect(w,
                        page->objectName() + "/" + combo->objectName() + "=" + combo->itemText(k),
                        faults);
            }
            combo->setCurrentIndex(was);
            emit combo->activated(was);
        }
    }
    // The user units on, sheet by sheet.
    showPage(w, w.NBParameter, w.NBParameter->indexOf(w.TabparEinheiten));
    auto* on = child<QCheckBox>(&w, "CheckUserEinheiten");
    if (!on->isChecked()) on->click();
    auto* sheets = child<QTabWidget>(&w, "PC_Usereinheiten");
    for (int k = 0; k < sheets->count(); ++k) {
        sheets->setCurrentIndex(k);
        QCoreApplication::processEvents();
        collect(w, "TabparEinheiten/" + sheets->tabText(k), faults);
    }
    on->click();
}

TEST(TextFit, EveryPageWithEveryLibraryAtTheDefaultSize) {
    for (const Library& lib : kLibraries) {
        SCOPED_TRACE(lib.name);
        WindowSetup setup;
        setup.medium = lib.medium;
        setup.sprache = lib.sprache;
        setup.device.medium = lib.medium;
        Harness h(setup);
        gui::Tfrm_Main& w = *h.window;
        ASSERT_TRUE(w.FormCreate());
        QCoreApplication::processEvents();
        ASSERT_EQ(w.centralWidget()->size() + QSize(0, w.statusBar()->height()), kDefaultClient);

        QStringList faults;
        walkPages(w, faults);
        w.session().Online = false;
        walkChoices(w, faults);
        faults.removeDuplicates();
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
    }
}

TEST(TextFit, TheWindowGrowsAndKeepsEveryTabWithinReach) {
    Harness h(offline());
    gui::Tfrm_Main& w = *h.window;
    ASSERT_TRUE(w.FormCreate());
    QCoreApplication::processEvents();
    // The default size is the smallest; there is no upper bound.
    EXPECT_GE(w.StatusPanel0->width(), 400);
    EXPECT_EQ(w.minimumSize(), w.size());
    EXPECT_EQ(w.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

    const QSize larger = w.size() + QSize(400, 300);
    w.resize(larger);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.size(), larger);
    QStringList faults;
    walkPages(w, faults);
    // The pages grew with the window.
    EXPECT_GT(w.TabPar1->width(), 900);
    EXPECT_GT(w.TabKreis1->height(), 650);
    // The status bar's message panel takes the width too.
    EXPECT_GT(w.StatusPanel0->width(), 700);
    faults.removeDuplicates();
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
    // A wide window needs fewer rows for the parameter tabs.
    EXPECT_EQ(w.NBParameterTabs->rowCount(), 1);

    // Every parameter tab answers a click inside its rectangle.
    for (int i = w.NBParameter->count() - 1; i >= 0; --i) {
        const QRect r = w.NBParameterTabs->tabRect(i);
        ASSERT_TRUE(w.NBParameterTabs->rect().contains(r)) << i;
        EXPECT_EQ(w.NBParameterTabs->tabAt(r.center()), i);
    }
}

TEST(TextFit, TheOtherSizeableWindowsMaximise) {
    Harness h(offline());
    gui::Tfrm_Main& w = *h.window;
    ASSERT_TRUE(w.FormCreate());
    gui::ComparisonView view;
    view.headers = {"a", "b", "c", "d"};
    gui::TCompareDlg compare(view, &w);
    gui::TDoctorDlg doctor("t", "r", QString(), "c", &w);
    const std::vector<QWidget*> windows = {w.tableWindow(), w.saturationWindow(),
                                           w.graphWindow(), w.printMenu()->preview(),
                                           &compare,        &doctor};
    for (QWidget* window : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(window->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    }
}

}  // namespace
}  // namespace parvion::test
