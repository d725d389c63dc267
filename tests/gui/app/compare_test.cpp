// Compare before writing: loading a parameter file online shows the
// differences first and writes only when the user says so; the switch turns
// it off; "compare with file" writes nothing, online or offline (the
// comparison window itself: compare_labels_test).

#include <gtest/gtest.h>

#include "core/history/history.h"
#include "core/model/profile_file.h"
#include "gui/app/compare_dialog.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

class CompareBeforeWriting : public ::testing::Test {
  protected:
    void start(bool online) {
        WindowSetup setup;
        setup.online = online;
        h = std::make_unique<Harness>(setup);
        ASSERT_TRUE(h->window->FormCreate());
    }
    QString doc(const char* name) const {
        return QString::fromStdString((h->documents() / name).string());
    }
    // The device's parameters saved as a file, then two fields changed.
    std::filesystem::path changedFile() {
        h->dialogs.saveAnswers = {doc("device")};
        h->window->mnu_SpeichernClick();
        const auto file = h->documents() / "device.PGA";
        ProfileFile pga(file);
        pga.writeString("T_User0", "Max", "333.5");
        pga.writeString("Trend_User", "Time", "11");
        EXPECT_TRUE(pga.save());
        return file;
    }
    static std::vector<std::string> Fields(const gui::ComparisonView& view) {
        std::vector<std::string> out;
        for (const auto& r : view.rows) out.push_back(r.section + " " + r.key);
        return out;
    }
    std::unique_ptr<Harness> h;
};

TEST_F(CompareBeforeWriting, CancelSendsNothingAndKeepsTheImage) {
    start(true);
    gui::Tfrm_Main& w = *h->window;
    changedFile();
    const ParameterImage before = w.image();
    const auto writes = h->device.writesAccepted();
    h->dialogs.yesNo = {true};
    h->dialogs.compareAnswers = {false};
    h->dialogs.openAnswers = {doc("device.PGA")};
    w.mnu_LadenClick();
    ASSERT_EQ(h->dialogs.comparisons.size(), 1u);
    const gui::ComparisonView& view = h->dialogs.comparisons[0];
    EXPECT_EQ(Fields(view), (std::vector<std::string>{"T_User0 Max", "Trend_User Time"}));
    EXPECT_EQ(view.rows[0].page, w.LoadText(529));
    EXPECT_NE(view.rows[0].right.find("333.5"), std::string::npos) << view.rows[0].right;
    EXPECT_FALSE(view.writeText.isEmpty());
    EXPECT_EQ(h->device.writesAccepted(), writes);
    EXPECT_TRUE(w.image() == before);
    EXPECT_FALSE(w.Busy());

    // Written when the user says so.
    h->dialogs.yesNo = {true};
    h->dialogs.compareAnswers = {true};
    h->dialogs.openAnswers = {doc("device.PGA")};
    w.mnu_LadenClick();
    EXPECT_GT(h->device.writesAccepted(), writes);
    EXPECT_EQ(w.image().T_User[0].Max, 333.5f);
    // The device now holds the file: a second load finds nothing to write.
    const auto after = h->device.writesAccepted();
    h->dialogs.yesNo = {true};
    h->dialogs.openAnswers = {doc("device.PGA")};
    w.mnu_LadenClick();
    EXPECT_EQ(h->dialogs.comparisons.size(), 2u);
    EXPECT_EQ(h->dialogs.log.back().toStdString(), "info:" + w.LoadText(22566));
    EXPECT_EQ(h->device.writesAccepted(), after);
}

// Switched off, the load writes at once. The window's device history keeps
// what happened: "Save" online read the set whole (a snapshot), the load
// wrote it with two settings changed (two entries, read back equal).
TEST_F(CompareBeforeWriting, SwitchedOffTheLoadWritesAtOnceAndTheHistoryKeepsIt) {
    start(true);
    gui::Tfrm_Main& w = *h->window;
    changedFile();
    w.session().CompareBeforeWrite = false;
    const auto writes = h->device.writesAccepted();
    h->dialogs.yesNo = {true};
    h->dialogs.openAnswers = {doc("device.PGA")};
    w.mnu_LadenClick();
    EXPECT_TRUE(h->dialogs.comparisons.empty());
    EXPECT_GT(h->device.writesAccepted(), writes);
    EXPECT_EQ(w.image().Trend_User.Time, 11);

    ASSERT_NE(w.history(), nullptr);
    std::vector<history::SnapshotInfo> snapshots;
    ASSERT_TRUE(w.history()->store().listSnapshots("", &snapshots).ok());
    ASSERT_EQ(snapshots.size(), 1u);
    EXPECT_EQ(snapshots[0].origin.program, "window");
    std::vector<history::JournalEntry> journal;
    ASSERT_TRUE(w.history()->store().listJournal({}, &journal).ok());
    std::vector<std::string> written;
    for (const history::JournalEntry& e : journal) {
        written.push_back(e.change.section + " " + e.change.key + " " + e.change.newBase + " " +
                          std::string(history::OutcomeName(e.change.outcome)));
    }
    EXPECT_EQ(written, (std::vector<std::string>{"T_User0 Max 333.5 confirmed",
                                                 "Trend_User Time 11 confirmed"}));
}

TEST_F(CompareBeforeWriting, CompareWithFileWritesNothingOnlineOrOffline) {
    for (const bool online : {true, false}) {
        start(online);
        gui::Tfrm_Main& w = *h->window;
        changedFile();
        const ParameterImage before = w.image();
        const auto writes = h->device.writesAccepted();
        h->dialogs.openAnswers = {doc("device.PGA")};
        w.mnu_Vergleichen->trigger();
        ASSERT_EQ(h->dialogs.comparisons.size(), 1u) << online;
        const gui::ComparisonView& view = h->dialogs.comparisons[0];
        EXPECT_EQ(Fields(view), (std::vector<std::string>{"T_User0 Max", "Trend_User Time"}));
        EXPECT_TRUE(view.writeText.isEmpty());
        EXPECT_EQ(view.headers.at(2).toStdString(), w.LoadText(online ? 22563 : 22570));
        EXPECT_EQ(h->device.writesAccepted(), writes);
        EXPECT_TRUE(w.image() == before);
        if (!online) {
            EXPECT_EQ(h->device.framesServed(), 0u);
        }
    }
}

}  // namespace
}  // namespace parvion::test
