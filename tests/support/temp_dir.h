#pragma once
// A temporary folder for one test, removed with everything in it at the end.

#include <filesystem>
#include <string>

namespace parvion::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// Whole-file helpers for tests: bytes as they are on disk.
std::string readFileBytes(const std::filesystem::path& file);
void writeFileBytes(const std::filesystem::path& file, const std::string& bytes);

// A file of tests/fixtures: FixturePath("tables", "Gaseng.txt").
inline std::filesystem::path FixturePath(const std::string& folder, const std::string& name) {
    return std::filesystem::path(PARVION_FIXTURES_DIR) / folder / name;
}

}  // namespace parvion::test
