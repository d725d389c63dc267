// The error protocol's save button under the list: enabled exactly when there
// is something to save, and it saves as the context menu's item does.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "support/temp_dir.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

TEST(ErrorProtocolSaveButton, VisibleEnabledWithLinesAndSavesTheList) {
    for (const bool online : {true, false}) {
        SCOPED_TRACE(online);
        WindowSetup setup;
        setup.online = online;
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
        EXPECT_EQ(button->text().toStdString(), "&Speichern...");
        EXPECT_EQ(button->isEnabled(), list->count() > 0);
        EXPECT_EQ(list->count() > 0, online);
        if (!online) continue;

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
