// The window's texts as they are seen, in each string library: the about
// box (and where it opens), the dialogs' buttons and Qt's own texts, a
// unique mnemonic on every menu item and button, and every text of every
// page fitting its control as the window grows.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gui/app/about_box.h"
#include "gui/app/compare_dialog.h"
#include "gui/app/settings_dialog.h"
#include "gui/graph/graph_window.h"
#include "gui/parameters/password_dialog.h"
#include "gui/print/print_menu.h"
#include "gui/print/sansicht.h"
#include "gui/shared/dialog_texts.h"
#include "gui/shared/input_dialog.h"
#include "gui/shared/multi_row_tab_bar.h"
#include "gui/tables/property_table_window.h"
#include "gui/tables/saturation_table_window.h"
#include "support/text_fit.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

// The about box as it is seen: every line centred and whole in the memo
// (no scrolling, rows broken at blanks only, the device's program text on
// one row), in each string library and for each expansion level; and where
// it opens: on the screen as the start screen, on the main window later.

// How the memo's text does not fit: rows wider than the memo, rows broken
// elsewhere than at a blank or a hyphen, a `whole` text on two rows, lines
// not centred, text below the memo.
QStringList memoFaults(const QTextEdit& memo, const QStringList& whole) {
    QStringList out;
    const QTextDocument* doc = memo.document();
    const int width = memo.viewport()->width();
    if (doc->size().height() > memo.viewport()->height()) {
        out << QStringLiteral("text %1 px high in a memo of %2")
                   .arg(doc->size().height())
                   .arg(memo.viewport()->height());
    }
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().alignment() != Qt::AlignHCenter) out << "not centred: " + b.text();
        const QTextLayout* layout = b.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine row = layout->lineAt(i);
            if (row.naturalTextWidth() > width) out << "too wide: " + b.text();
            if (i + 1 == layout->lineCount()) continue;
            const int end = row.textStart() + row.textLength();
            const QChar last = b.text().at(end - 1);
            if (!last.isSpace() && last != QLatin1Char('-')) {
                out << "broken inside a word: " + b.text().left(end);
            }
        }
    }
    // The memo's own characters aside, as the rows show them.
    QStringList rows;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (int i = 0; i < b.layout()->lineCount(); ++i) {
            const QTextLine row = b.layout()->lineAt(i);
            rows << b.text().mid(row.textStart(), row.textLength()).remove(QChar(0x2060));
        }
    }
    for (const QString& w : whole) {
        if (!std::any_of(rows.begin(), rows.end(),
                         [&w](const QString& r) { return r.contains(w); }))
            out << "split over two rows: " + w;
    }
    return out;
}

TEST(AboutBox, EveryLineCentredAndWholeWithEveryLibraryAndLevel) {
    for (const Library& lib : kLibraries) {
        for (const int level : {0x00, 0xC0, 0xFE}) {
            SCOPED_TRACE(lib.name() + " level " + std::to_string(level));
            WindowSetup setup = inLibrary(lib.medium, lib.sprache);
            setup.device.ausbaustufe = static_cast<std::uint8_t>(level);
            Harness h(setup);
            gui::TAboutBox& box = *h.start().aboutBox();
            box.show();
            QCoreApplication::processEvents();
            const QString program = lib.medium == 0 ? "PV-GAS2V2.07" : "PV-ENG2V2.07";
            const QString serial = QString::fromStdString(h.window->device().DeviceSerialNo);
            ASSERT_TRUE(serial.contains('-'));
            EXPECT_EQ(memoFaults(*box.About_Memo, {program, serial}).join('\n').toStdString(), "");
            EXPECT_FALSE(box.About_Memo->verticalScrollBar()->isVisible());
            // The level line ends with the device's program text, blanks
            // dropped.
            const QStringList lines = box.memoLines();
            ASSERT_EQ(lines.size(), 9);
            EXPECT_TRUE(lines[3].endsWith(program)) << lines[3].toStdString();
        }
    }
}

// Notes where the about box is each time it is shown, and whether the main
// window was shown then.
class ShowWatch : public QObject {
  public:
    explicit ShowWatch(const gui::Tfrm_Main& main) : main_(main) {}
    struct Seen {
        QPoint centre;
        bool mainShown;
    };
    std::vector<Seen> seen;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->inherits("parvion::gui::TAboutBox")) {
            const auto* box = static_cast<QWidget*>(watched);
            seen.push_back({box->frameGeometry().center(), main_.isVisible()});
        }
        return false;
    }

  private:
    const gui::Tfrm_Main& main_;
};

void expectNear(QPoint got, QPoint want) {
    EXPECT_LE((got - want).manhattanLength(), 2)
        << got.x() << "," << got.y() << " vs " << want.x() << "," << want.y();
}

TEST(AboutBox, StartScreenOnTheScreenLaterOnTheMainWindow) {
    Harness h(offline());
    gui::Tfrm_Main& w = *h.window;
    ShowWatch watch(w);
    qApp->installEventFilter(&watch);
    ASSERT_TRUE(w.FormCreate());
    const QRect screen = w.screen()->availableGeometry();
    ASSERT_FALSE(watch.seen.empty());
    EXPECT_FALSE(watch.seen[0].mainShown);
    expectNear(watch.seen[0].centre, screen.center());
    // The main window opens in the middle of the screen too.
    expectNear(w.frameGeometry().center(), screen.center());

    w.move(QPoint(120, 60));
    QCoreApplication::processEvents();
    watch.seen.clear();
    // The busy screen of a language switch, then the box of "Info ...".
    w.mnu_DeutschClick(w.mnu_Englisch);
    ASSERT_FALSE(watch.seen.empty());
    EXPECT_TRUE(watch.seen[0].mainShown);
    expectNear(watch.seen[0].centre, w.frameGeometry().center());
    w.aboutBox()->show();
    expectNear(w.aboutBox()->frameGeometry().center(), w.frameGeometry().center());
    w.aboutBox()->hide();
    qApp->removeEventFilter(&watch);
}

// One language per window: the buttons of the settings, value input and
// password dialogs come from the string library in force, and Qt's own texts
// (standard buttons, file dialogs) from Qt's translation for that language,
// switched with the language at run time.

bool QtGermanAvailable() {
    return QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                         QStringLiteral("/qtbase_de.qm"));
}

// Every button text and the caption of a dialog, after it showed (its
// activation loads the texts).
QStringList ShownTexts(QDialog& dialog, QString* caption = nullptr) {
    dialog.show();
    QCoreApplication::processEvents();
    QStringList texts;
    for (const QPushButton* b : dialog.findChildren<QPushButton*>()) texts << b->text();
    if (caption != nullptr) *caption = dialog.windowTitle();
    dialog.hide();
    return texts;
}

// The "Look in" label of Qt's own file dialog.
QString LookInLabel() {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    const auto* label = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    return label != nullptr ? label->text() : QString();
}

// In English (German is the program's own), with no German word left.
TEST(DialogTexts, TheSmallDialogsSpeakTheLanguageInForce) {
    Harness h(inLibrary(0, 1, false));
    gui::Tfrm_Main& w = h.start();
    gui::TEinst& einst = *w.settingsDialog();
    gui::TInputDlg& input = *w.inputDialog();
    gui::TPasswordDlg& password = *w.passwordDialog();
    QString caption;
    const QStringList all = ShownTexts(einst) + ShownTexts(input) + ShownTexts(password, &caption);
    for (const QPushButton* ok : {einst.BtnOk, input.OKBtn, password.mrOk}) {
        EXPECT_EQ(ok->text(), "&OK");
    }
    for (const QPushButton* cancel : {einst.BtnCancel, input.CancelBtn, password.CancelBtn}) {
        EXPECT_EQ(cancel->text(), "&Cancel");
    }
    EXPECT_EQ(caption, "Password");
    for (const QString& text : all) {
        EXPECT_FALSE(
            QStringList({"Abbrechen", "Paßwort", "Ja", "Nein", "Schließen"}).contains(text))
            << text.toStdString();
    }
}

TEST(DialogTexts, QtsOwnTextsFollowTheLanguageAtStartAndWhenItChanges) {
    if (!QtGermanAvailable()) GTEST_SKIP() << "Qt's German translation is not installed";
    Harness h(offline());
    gui::Tfrm_Main& w = h.start();
    EXPECT_TRUE(w.qtTranslations().germanInstalled());
    EXPECT_EQ(gui::QtButtonText(QDialogButtonBox::Cancel), QStringLiteral("Abbrechen"));
    EXPECT_EQ(gui::QtButtonText(QDialogButtonBox::Yes), QStringLiteral("&Ja"));
    EXPECT_EQ(gui::QtButtonText(QDialogButtonBox::No), QStringLiteral("&Nein"));
    const QString germanLookIn = LookInLabel();
    EXPECT_FALSE(germanLookIn.isEmpty());
    EXPECT_NE(germanLookIn, QStringLiteral("Look in:"));

    // A button box that exists follows the switch at once.
    QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No);
    w.mnu_Englisch->trigger();
    ASSERT_EQ(w.session().Sprache, 1);
    EXPECT_FALSE(w.qtTranslations().germanInstalled());
    EXPECT_EQ(gui::QtButtonText(QDialogButtonBox::Cancel), QStringLiteral("Cancel"));
    EXPECT_EQ(box.button(QDialogButtonBox::Yes)->text(), QStringLiteral("&Yes"));
    EXPECT_EQ(LookInLabel(), QStringLiteral("Look in:"));

    w.mnu_Deutsch->trigger();
    EXPECT_TRUE(w.qtTranslations().germanInstalled());
    EXPECT_EQ(box.button(QDialogButtonBox::No)->text(), QStringLiteral("&Nein"));
    EXPECT_EQ(LookInLabel(), germanLookIn);
}

TEST(DialogTexts, WithoutALibraryTheButtonsShowQtsOwnTexts) {
    // A dialog made without a text source, and a library without the texts.
    gui::TPasswordDlg password;
    ShownTexts(password);
    EXPECT_EQ(password.mrOk->text(), gui::QtButtonText(QDialogButtonBox::Ok));
    EXPECT_EQ(password.CancelBtn->text(), gui::QtButtonText(QDialogButtonBox::Cancel));
    password.setTexts([](std::uint16_t) { return std::string(); });
    ShownTexts(password);
    EXPECT_EQ(password.CancelBtn->text(), gui::QtButtonText(QDialogButtonBox::Cancel));
}

// Every menu item and every button can be reached with Alt and a letter:
// each has a mnemonic, unique within its menu (the menu bar is one), its
// dialog, or its page together with the menu bar, in all four string
// libraries.

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
    for (const Library& library : kLibraries) {
        const std::string lib = library.name() + " ";
        Harness h(inLibrary(library.medium, library.sprache, false));
        gui::Tfrm_Main& w = h.start();
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
    std::string all;
    for (const std::string& f : faults) all += f + "\n";
    EXPECT_TRUE(faults.empty()) << all;
}

// Every text of every page fits its control at the main window's default
// size, with each of the four string libraries: the pages of the operation
// display and the parameter pages of both circuits, every choice of their
// combo boxes (with the value lines each choice brings), the sheets of the
// user units. And the window grows: resizable, maximisable, its tabs all
// within reach.

// The client area of the main window below its menu.
constexpr QSize kDefaultClient(630, 483);

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
        SCOPED_TRACE(lib.name());
        Harness h(inLibrary(lib.medium, lib.sprache));
        gui::Tfrm_Main& w = h.start();
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

TEST(TextFit, TheWindowGrowsKeepsEveryTabWithinReachAndMaximisesAsTheOthersDo) {
    Harness h(offline());
    gui::Tfrm_Main& w = h.start();
    QCoreApplication::processEvents();
    // The default size is the smallest; there is no upper bound (below).
    EXPECT_GE(w.StatusPanel0->width(), 400);
    EXPECT_EQ(w.minimumSize(), w.size());

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

    // It and the other sizeable windows maximise.
    gui::ComparisonView view;
    view.headers = {"a", "b", "c", "d"};
    gui::TCompareDlg compare(view, &w);
    gui::TDoctorDlg doctor("t", "r", QString(), "c", &w);
    const std::vector<QWidget*> windows = {
        &w,       w.tableWindow(), w.saturationWindow(), w.graphWindow(), w.printMenu()->preview(),
        &compare, &doctor};
    for (QWidget* window : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(window->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    }
}

}  // namespace
}  // namespace parvion::test
