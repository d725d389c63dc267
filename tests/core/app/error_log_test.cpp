#include "core/app/error_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>

#include "support/temp_dir.h"
#include "support/unprivileged.h"

namespace parvion {
namespace {

namespace fs = std::filesystem;
using test::readFileBytes;
using test::TempDir;
using test::writeFileBytes;

const std::regex kStamp(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d: )");

TEST(ErrorLog, EntriesAppendBelowEachOtherWithDateAndTime) {
    TempDir dir;
    LogError(dir.path(), "ERROR:  Einst, OK, SetBetrieb");
    const std::string first = readFileBytes(dir / "Errors.log");
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(std::regex_match(first, std::regex(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d: )"
                                                   R"(ERROR:  Einst, OK, SetBetrieb\n)")))
        << first;

    LogError(dir.path(), "ERROR:  Einst, OK, GetInitString ?\?(PV-XYZ)");
    const std::string both = readFileBytes(dir / "Errors.log");
    ASSERT_EQ(both.substr(0, first.size()), first);
    const std::string second = both.substr(first.size());
    EXPECT_TRUE(std::regex_search(second, kStamp, std::regex_constants::match_continuous));
    EXPECT_NE(second.find(": ERROR:  Einst, OK, GetInitString ?\?(PV-XYZ)\n"), std::string::npos);
}

TEST(ErrorLog, LineBreaksInTheMessageGiveSeveralLines) {
    std::tm t{};
    t.tm_sec = 3, t.tm_min = 5, t.tm_hour = 9, t.tm_mday = 7, t.tm_mon = 2, t.tm_year = 124;
    EXPECT_EQ(FormatErrorLogEntry(t, "port: Permission denied"),
              "07.03.2024 09:05:03: port: Permission denied\n");
    EXPECT_EQ(FormatErrorLogEntry(t, "one\r\ntwo\nthree\rfour"),
              "07.03.2024 09:05:03: one\ntwo\nthree\nfour\n");

    TempDir dir;
    LogError(dir.path(), "first line\nsecond line");
    const std::string text = readFileBytes(dir / "Errors.log");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    EXPECT_NE(text.find(": first line\nsecond line\n"), std::string::npos);
}

TEST(ErrorLog, EarlierContentIsNeverTouched) {
    TempDir dir;
    // A last line cut short (a crash, or an edit by hand): the new entry
    // still starts a line of its own.
    const std::string old = "01.01.2020 00:00:00: old entry\r\nhalf a li";
    writeFileBytes(dir / "Errors.log", old);
    LogError(dir.path(), "new");
    const std::string text = readFileBytes(dir / "Errors.log");
    ASSERT_EQ(text.substr(0, old.size()), old);
    const std::string added = text.substr(old.size());
    ASSERT_FALSE(added.empty());
    EXPECT_EQ(added[0], '\n');
    EXPECT_TRUE(std::regex_match(added.substr(1),
                                 std::regex(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d: new\n)")));
}

TEST(ErrorLog, FailureIsQuiet) {
    EXPECT_EQ(ErrorLogFile(""), fs::path("/Errors.log"));
    EXPECT_EQ(ErrorLogFile("/x/y"), fs::path("/x/y/Errors.log"));

    TempDir dir;
    EXPECT_NO_THROW(LogError(dir / "missing", "lost"));
    EXPECT_FALSE(fs::exists(dir / "missing"));

    // A read-only data folder.
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    const int rc = test::runUnprivileged([&] {
        LogError(dir.path(), "lost");
        return fs::exists(dir / "Errors.log") ? 1 : 0;
    });
    EXPECT_EQ(rc, 0);
}

}  // namespace
}  // namespace parvion
