// Reloading every text of the main window from the current string library:
// the frame's own (menus, page tabs) here, each page's in its class.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTabWidget>
#include <initializer_list>

#include "core/app/texts.h"
#include "gui/app/main_window.h"

#include "core/edit/parameter_compare.h"
#include "core/history/history_view.h"
#include "gui/history/history_window.h"
#include "gui/print/print_menu.h"
#include "gui/shared/multi_row_tab_bar.h"
#include "gui/shared/widgets.h"
#include "gui/tables/property_table_window.h"
#include "gui/tables/saturation_table_window.h"

namespace parvion::gui {

namespace {

void setText(QAction* a, const std::string& text) {
    if (!text.empty()) a->setText(qs(text));
}

}  // namespace

void Tfrm_Main::UpdateTexts() {
    busyCursor(true);
    const std::string title = LoadText(1);
    // "[*]": the mark of unsaved work, shown while the window is modified.
    if (!title.empty()) setWindowTitle(qs(title) + QStringLiteral("[*]"));
    applyFrameTexts();
    for (Page* page : pages_) page->updateTexts();
    // Refresh what is visible; never inside another device sequence.
    if (auto busy = busy_.tryHold()) refreshVisiblePage();
    busyCursor(false);
}

void Tfrm_Main::applyFrameTexts() {
    views::TextBlock t;
    auto load = [this, &t](std::uint16_t first) {
        t.fill({});
        return LoadTextBlock(first, 1, t);
    };
    // Menus.
    if (load(1024)) {
        setText(mnu_Parameter->menuAction(), t[0]);
        setText(mnu_Neu, t[1]);
        setText(mnu_Laden, t[2]);
        setText(mnu_Speichern, t[3]);
        setText(mnu_Seitenansicht, t[5]);
        setText(mnu_Drucken, t[6]);
        setText(mnu_Klemmenplan, t[8]);
        setText(mnu_Beenden, t[10]);
    }
    if (const std::string recent = LoadText(kRecentMenuText); !recent.empty()) {
        mnu_Zuletzt->menuAction()->setText(qs(recent));
    }
    printMenu_->updateTexts();
    if (const std::string compare = LoadText(edit::compare_text::kMenu); !compare.empty()) {
        mnu_Vergleichen->setText(QString::fromStdString(compare));
    }
    if (const std::string history = LoadText(history::history_text::kMenu); !history.empty()) {
        mnu_Historie->setText(QString::fromStdString(history));
    }
    if (historie_ != nullptr) historie_->updateTexts();
    // The table editors too, so that no menu of theirs keeps the language
    // they were built in.
    for (TableWindow* table : std::initializer_list<TableWindow*>{tabelle_, userSatTab_}) {
        if (table != nullptr) table->updateTexts();
    }
    if (load(1040)) {
        setText(mnu_Optionen->menuAction(), t[0]);
        setText(mnu_Einstellungen, t[1]);
        setText(mnu_System->menuAction(), t[2]);
        setText(mnu_Sprache->menuAction(), t[3]);
        setText(mnu_Ausbaustufe->menuAction(), t[4]);
    }
    if (load(1056)) {
        setText(mnu_energy, t[0]);
        setText(mnu_gas, t[1]);
    }
    if (load(1072)) {
        setText(mnu_Deutsch, t[0]);
        setText(mnu_Englisch, t[1]);
    }
    if (load(1088)) {
        for (std::size_t i = 0; i < mnu_Level.size(); ++i) setText(mnu_Level[i], t[i]);
    }
    if (load(1120)) {
        setText(mnu_Hilfe->menuAction(), t[0]);
        setText(mnu_Info, t[1]);
    }

    // Page tabs.
    auto tabs = [&t](QTabWidget* owner) {
        for (int i = 0; i < owner->count() && static_cast<std::size_t>(i) + 1 < t.size(); ++i) {
            const std::string& s = t[static_cast<std::size_t>(i) + 1];
            if (!s.empty()) owner->setTabText(i, qs(s));
        }
    };
    if (load(512)) {
        if (!t[0].empty()) Notebook->setTabText(Notebook->indexOf(TabBetrieb), qs(t[0]));
        tabs(NBBetrieb);
    }
    if (load(528)) {
        if (!t[0].empty()) Notebook->setTabText(Notebook->indexOf(TabParameter), qs(t[0]));
        tabs(NBParameter);
        NBParameterTabs->refresh();
    }
}

}  // namespace parvion::gui
