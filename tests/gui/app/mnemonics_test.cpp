// Every menu item and every button can be reached with Alt and a letter:
// each has a mnemonic, unique within its menu (the menu bar is one), its
// dialog, or its page together with the menu bar, in all four string
// libraries.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gui/app/settings_dialog.h"
#include "gui/parameters/password_dialog.h"
#include "gui/shared/input_dialog.h"
#include "gui/tables/property_table_window.h"
#include "gui/tables/saturation_table_window.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

// The key of a text's mnemonic ("&Laden..." -> 'l'); none for "&&" alone.
std::optional<QChar> mnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return std::nullopt;
}

TEST(Keyboard, EveryMenuItemAndButtonHasAUniqueMnemonic) {
    std::vector<std::string> faults;
    const auto check = [&faults](const std::string& where, const QStringList& texts) {
        std::map<QChar, QString> seen;
        for (const QString& text : texts) {
            const std::optional<QChar> key = mnemonicOf(text);
            if (!key) {
                faults.push_back(where + ": none in \"" + text.toStdString() + "\"");
            } else if (auto [at, fresh] = seen.emplace(*key, text); !fresh) {
                faults.push_back(where + ": '" + QString(*key).toStdString() + "' in \"" +
                                 at->second.toStdString() + "\" and \"" + text.toStdString() +
                                 "\"");
            }
        }
    };
    const auto itemTexts = [](const QWidget* menu) {
        QStringList out;
        for (const QAction* a : menu->actions()) {
            if (!a->isSeparator() && a->isVisible()) out << a->text();
        }
        return out;
    };
    const auto buttonTexts = [](const QWidget* window) {
        QStringList out;
        for (const QPushButton* b : window->findChildren<QPushButton*>()) {
            if (b->isVisibleTo(window) && !b->text().isEmpty()) out << b->text();
        }
        return out;
    };
    std::function<void(const std::string&, const QWidget*)> walk = [&](const std::string& where,
                                                                       const QWidget* menu) {
        check(where, itemTexts(menu));
        for (const QAction* a : menu->actions()) {
            if (a->menu() != nullptr) walk(where + " > " + a->text().toStdString(), a->menu());
        }
    };
    for (const int medium : {0, 1}) {
        for (const int sprache : {0, 1}) {
            const std::string lib = std::to_string(medium) + "/" + std::to_string(sprache) + " ";
            WindowSetup setup;
            setup.online = false;
            setup.medium = medium;
            setup.sprache = sprache;
            Harness h(setup);
            gui::Tfrm_Main& w = *h.window;
            ASSERT_TRUE(w.FormCreate());
            w.refreshRecentMenu();
            walk(lib + "menu bar", w.menuBar());
            for (gui::TableWindow* t :
                 std::initializer_list<gui::TableWindow*>{w.tableWindow(), w.saturationWindow()}) {
                t->updateTexts();
                walk(lib + t->objectName().toStdString(), t->Menu);
                walk(lib + t->objectName().toStdString() + " grid", t->PopupMenu1);
            }
            // The dialogs' captions as they are shown.
            w.settingsDialog()->Sprache();
            w.inputDialog()->FormActivate();
            w.passwordDialog()->FormActivate();
            for (QDialog* d : std::initializer_list<QDialog*>{w.settingsDialog(), w.inputDialog(),
                                                              w.passwordDialog()}) {
                check(lib + d->objectName().toStdString(), buttonTexts(d));
            }
            for (gui::Page* page : w.pages()) {
                check(lib + page->objectName().toStdString(),
                      itemTexts(w.menuBar()) + buttonTexts(page));
            }
        }
    }
    std::string all;
    for (const std::string& f : faults) all += f + "\n";
    EXPECT_TRUE(faults.empty()) << all;
}

}  // namespace
}  // namespace parvion::test
