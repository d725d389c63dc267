// The error protocol's save is a button under the list too, not only the
// list's context menu: enabled exactly when there is something to save, in
// the language in force, and it saves as the menu item does.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "support/temp_dir.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

TEST(ErrorProtocolSaveButton, VisibleEnabledWithLinesAndSavesTheList) {
    struct Case {
        bool online;
        int sprache;
        const char* text;
    };
    for (const Case& c : {Case{true, 0, "Speichern..."}, Case{true, 1, "Save..."},
                          Case{false, 0, "Speichern..."}}) {
        SCOPED_TRACE(std::to_string(c.online) + "/" + std::to_string(c.sprache));
        WindowSetup setup;
        setup.online = c.online;
        setup.sprache = c.sprache;
        Harness h(setup);
        ASSERT_TRUE(h.window->FormCreate());
        gui::Tfrm_Main& w = *h.window;
        auto* button = child<QPushButton>(&w, "BtnSpeichern");
        auto* list = child<QListWidget>(&w, "ErrorListe");
        EXPECT_FALSE(button->isEnabled()) << "nothing read yet";
        w.Notebook->setCurrentWidget(w.TabBetrieb);
        w.NBBetrieb->setCurrentWidget(w.TabFehler);
        w.NotebookMouseDown();
        EXPECT_TRUE(button->isVisibleTo(&w));
        EXPECT_EQ(button->text().toStdString(), c.text);
        EXPECT_EQ(button->isEnabled(), list->count() > 0);
        EXPECT_EQ(list->count() > 0, c.online);
        if (!c.online) continue;

        const auto file = h.documents() / "errors.txt";
        h.dialogs.saveAnswers.emplace_back(QString::fromStdString(file.string()));
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(h.dialogs.saveRequests.size(), 1u);
        EXPECT_EQ(h.dialogs.saveRequests[0].fileName, QStringLiteral("ErrorListe"));
        const std::string bytes = readFileBytes(file);
        EXPECT_FALSE(bytes.empty());
        EXPECT_NE(bytes.find(list->item(0)->text().left(10).toLatin1().toStdString()),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace parvion::test
