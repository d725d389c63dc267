// The common causes of a device history that cannot be written are said in
// the session's language, naming the store; the others keep the
// database's own words.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/app/texts.h"
#include "core/history/history.h"
#include "core/history/history_view.h"
#include "core/history/sql_connection.h"
#include "core/model/session.h"
#include "support/temp_dir.h"

namespace parvion::history {
namespace {

namespace fs = std::filesystem;

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string CauseIn(int sprache, const StoreStatus& status) {
    Session session;
    session.Sprache = sprache;
    const TextLibrary lib(PARVION_BIN_DIR, session);
    return StoreCauseText(status, [&lib](std::uint16_t n) { return lib.LoadText(n); });
}

JournalChange AChange() {
    return {Target::Setting, "T_User0", "Max", "1", "2", "1 °C", "2 °C", Outcome::Confirmed, ""};
}

TEST(StoreCauses, CommonCausesInTheSessionsLanguage) {
    test::TempDir dir;
    // A folder that cannot be made: its parent is a file.
    test::writeFileBytes(dir.path() / "plain", "x");
    // The SQLite file held by another writer.
    const fs::path lockedFolder = dir.path() / "locked";
    fs::create_directories(lockedFolder);
    ASSERT_TRUE(OpenSqliteStore(lockedFolder, {})->open().ok());
    auto other = MakeSqliteConnection((lockedFolder / kSqliteFileName).string(), 100);
    std::string why;
    ASSERT_EQ(other->exec("BEGIN IMMEDIATE", {}, nullptr, &why), SqlFailure::None) << why;

    struct Case {
        const char* what;
        std::unique_ptr<HistoryStore> store;
        StoreCause code;
        std::string german;
        std::string english;
    };
    Case cases[] = {
        {"neither empty nor postgresql://", OpenHistoryStore("mysql://server/history", dir.path()),
         StoreCause::NotASetting, "[History] Database ist weder leer",
         "[History] Database is neither empty"},
        {"folder cannot be made", OpenSqliteStore(dir.path() / "plain" / "sub", {}),
         StoreCause::Unreachable, "kann nicht geöffnet, erreicht oder geschrieben werden (",
         "cannot be opened, reached or written ("},
        {"locked by another writer", OpenSqliteStore(lockedFolder, {100}), StoreCause::Locked,
         "ist von einem anderen Programm gesperrt (", "is locked by another program ("},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        History h(std::move(c.store), LocalOrigin(kProgramWindow));
        EXPECT_EQ(h.recordChanges("S1", {AChange()}), History::Recorded::Pending);
        const StoreStatus& failure = h.failure();
        EXPECT_EQ(failure.code, c.code) << failure.cause;
        const std::string german = CauseIn(0, failure);
        const std::string english = CauseIn(1, failure);
        EXPECT_TRUE(Has(german, c.german)) << german;
        EXPECT_TRUE(Has(english, c.english)) << english;
        if (c.code != StoreCause::NotASetting) {
            // The store is named, in either language.
            EXPECT_TRUE(Has(german, h.store().describe())) << german;
            EXPECT_TRUE(Has(english, h.store().describe())) << english;
        }
    }
    other->exec("ROLLBACK", {}, nullptr, &why);

    // A cause without a text of its own keeps the database's words.
    const StoreStatus otherCause{StoreStatus::Kind::Unavailable, "x: schema version 99"};
    EXPECT_EQ(CauseIn(0, otherCause), "x: schema version 99");
}

}  // namespace
}  // namespace parvion::history
