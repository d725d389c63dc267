// The recorder between the link and the device history, against the
// in-process simulator and a real SQLite history: which journal entries a
// write gives and with which outcome, what it reads back, snapshots of a
// set read whole, and the warning when the store cannot be written.

#include "core/edit/history_recorder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <tuple>

#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "sim/lib/device.h"
#include "sim/lib/sim_line.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace parvion {
namespace {

using history::Outcome;

struct Rig {
    explicit Rig(std::string_view database = {})
        : history(history::OpenHistoryStore(database, dir.path()),
                  history::LocalOrigin(history::kProgramCli)),
          recorder([this]() -> history::History& { return history; }, dir.path(),
                   [](std::uint16_t) { return std::string(); }) {
        link = std::make_unique<Link>(line, ui, session, dir.path());
        link->setPortResolver([](int) { return std::string("sim"); });
        session.Baudrate = device.baudIndex();
        EXPECT_TRUE(link->OpenComPort(1, device.baudIndex()));
        link->setRecordWatch(&recorder);
    }
    // T_User0, the record the cases write.
    bool write() { return WriteT_User(*link, image, 0); }
    bool read() { return ReadT_User(*link, image, 0); }
    std::vector<history::JournalEntry> journal() {
        std::vector<history::JournalEntry> entries;
        EXPECT_TRUE(history.store().listJournal({}, &entries).ok());
        return entries;
    }

    test::TempDir dir;
    sim::Device device;
    sim::SimLine line{device};
    test::RecordingUi ui;
    Session session;
    std::unique_ptr<Link> link;
    ParameterImage image;
    history::History history;
    HistoryRecorder recorder;
};

TEST(HistoryRecorder, EachWriteIsJournalledWithWhatTheDeviceHoldsAfterIt) {
    const block::Place tUser = block::T_User(0);
    // What happens after T_User0 was read and Max set to 120 in the image,
    // and the outcome journalled.
    const std::tuple<const char*, std::function<void(Rig&)>, Outcome> rows[] = {
        {"written and read back",
         [](Rig& r) {
             r.write();
             r.read();
         },
         Outcome::Confirmed},
        {"written, read back by the recorder", [](Rig& r) { r.write(); }, Outcome::Confirmed},
        {"refused by the device",
         [](Rig& r) {
             r.device.injectFault(sim::Fault::RejectWrite, kTransactionAttempts);
             r.write();
         },
         Outcome::Failed},
        {"another value read back",
         [tUser](Rig& r) {
             r.write();
             r.device.poke(tUser.address, std::vector<std::uint8_t>(tUser.count, 0));
         },
         Outcome::Differs},
        {"written twice: one entry from the first state to the last",
         [](Rig& r) {
             r.write();
             r.image.T_User[0].Max = 130;
             r.write();
         },
         Outcome::Confirmed},
    };
    for (const auto& [name, sequence, outcome] : rows) {
        SCOPED_TRACE(name);
        Rig r;
        ASSERT_TRUE(r.read());
        r.image.T_User[0].Max = 120;
        sequence(r);
        r.recorder.finish(*r.link);
        const auto journal = r.journal();
        ASSERT_EQ(journal.size(), 1u);
        const history::JournalChange& max = journal.front().change;
        EXPECT_EQ(max.section + " " + max.key + " " + max.oldBase, "T_User0 Max 60");
        EXPECT_EQ(max.outcome, outcome) << max.cause;
        EXPECT_EQ(max.outcome == Outcome::Confirmed, max.cause.empty());
        EXPECT_EQ(journal.front().serial, history::StoreText(journal.front().serial));
        EXPECT_FALSE(journal.front().serial.empty());
        EXPECT_TRUE(r.ui.historyWarnings.empty());
    }
}

TEST(HistoryRecorder, AWholeReadIsASnapshotAndNothingElseIsRecorded) {
    Rig r;
    r.read();  // a read alone records nothing
    r.recorder.finish(*r.link);
    std::vector<history::SnapshotInfo> snapshots;
    ASSERT_TRUE(r.history.store().listSnapshots("", &snapshots).ok());
    EXPECT_TRUE(snapshots.empty());

    ASSERT_TRUE(ReadAllParameters(*r.link, r.image));
    r.recorder.finish(*r.link);
    ASSERT_TRUE(r.history.store().listSnapshots("", &snapshots).ok());
    ASSERT_EQ(snapshots.size(), 1u);
    EXPECT_FALSE(snapshots[0].serial.empty() || snapshots[0].programText.empty());
    EXPECT_TRUE(r.journal().empty());
}

TEST(HistoryRecorder, AStoreThatCannotBeWrittenWarnsAndKeepsTheRecords) {
    Rig r("neither-sqlite-nor-postgres");
    r.read();
    r.image.T_User[0].Max = 120;
    ASSERT_TRUE(r.write());
    r.recorder.finish(*r.link);
    ASSERT_EQ(r.ui.historyWarnings.size(), 1u);
    EXPECT_NE(r.ui.historyWarnings[0].find("[History] Database"), std::string::npos);
    EXPECT_EQ(r.history.pending(), 1u);
    // The device has the value all the same.
    EXPECT_EQ(r.device.peek(block::T_User(0).address, block::T_User(0).count),
              codec::Encode(r.image.T_User[0]));
}

}  // namespace
}  // namespace parvion
