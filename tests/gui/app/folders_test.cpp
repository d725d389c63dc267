#include "gui/app/folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace parvion::gui {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Points the per-user locations at a temporary home for one test and puts
// the environment back afterwards.
class FakeHome {
  public:
    explicit FakeHome(const fs::path& home) {
        for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            saved_.push_back({name, value != nullptr, value != nullptr ? value : ""});
        }
        setenv("HOME", home.c_str(), 1);
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_CONFIG_HOME");
    }
    ~FakeHome() {
        for (const auto& s : saved_) {
            if (s.set) {
                setenv(s.name, s.value.c_str(), 1);
            } else {
                unsetenv(s.name);
            }
        }
    }
    FakeHome(const FakeHome&) = delete;
    FakeHome& operator=(const FakeHome&) = delete;

  private:
    struct Saved {
        const char* name;
        bool set;
        std::string value;
    };
    std::vector<Saved> saved_;
};

TEST(Folders, CreatedUnderTheUsersLocations) {
    TempDir home;
    FakeHome fake(home.path());
    const QString data = AppDataFolder();
    EXPECT_EQ(ToPath(data), home.path() / ".local/share/parvion2");
    EXPECT_TRUE(fs::is_directory(home.path() / ".local/share/parvion2"));
    const QString docs = DocumentsFolder();
    EXPECT_EQ(ToPath(docs), home.path() / "Documents/parvion2");
    EXPECT_TRUE(fs::is_directory(home.path() / "Documents/parvion2"));
    // Asking again finds the folders that exist.
    EXPECT_EQ(AppDataFolder(), data);

    // XDG_DATA_HOME moves the data folder.
    TempDir other;
    setenv("XDG_DATA_HOME", (other.path() / "deep/data").c_str(), 1);
    EXPECT_EQ(ToPath(AppDataFolder()), other.path() / "deep/data/parvion2");
    EXPECT_TRUE(fs::is_directory(other.path() / "deep/data/parvion2"));
}

TEST(Folders, EmptyWhenTheFolderCannotBeCreated) {
    TempDir home;
    // A file where the folder should go: no user, root included, can
    // create a folder below it.
    test::writeFileBytes(home / "file", "x");
    FakeHome fake(home / "file");
    EXPECT_TRUE(AppDataFolder().isEmpty());
    EXPECT_TRUE(DocumentsFolder().isEmpty());
    EXPECT_TRUE(ToPath(QString()).empty());

    // The program's folder name taken by a file.
    setenv("XDG_DATA_HOME", home.path().c_str(), 1);
    test::writeFileBytes(home / "parvion2", "x");
    EXPECT_TRUE(AppDataFolder().isEmpty());
}

}  // namespace
}  // namespace parvion::gui
