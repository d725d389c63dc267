// The README's run command builds every program the README tells the user
// to run.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace parvion::test {
namespace {

const std::filesystem::path kSourceRoot =
    std::filesystem::path(PARVION_FIXTURES_DIR).parent_path().parent_path();

// The programs a text names in backticks or commands: parvion2 and
// parvion2-<name>.
std::set<std::string> ProgramsNamed(const std::string& text) {
    std::set<std::string> names;
    const std::regex program(R"((^|[\s`/(])(parvion2(-[a-z]+)?)(?=[\s`)]|$))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), program);
         it != std::sregex_iterator(); ++it) {
        names.insert((*it)[2].str());
    }
    return names;
}

// The targets of the script's build command.
std::set<std::string> TargetsBuilt(const std::string& script) {
    std::set<std::string> targets;
    std::istringstream lines(script);
    for (std::string line; std::getline(lines, line);) {
        const auto at = line.find("cmake --build");
        const auto target = line.find("--target");
        if (at == std::string::npos || target == std::string::npos || line.find('#') < at) {
            continue;
        }
        std::istringstream words(line.substr(target + 8));
        for (std::string w; words >> w;) targets.insert(w);
    }
    return targets;
}

TEST(RunScript, BuildsEveryProgramTheReadmeNames) {
    const std::set<std::string> named = ProgramsNamed(readFileBytes(kSourceRoot / "README.md"));
    // The README names all three, at least.
    for (const char* p : {"parvion2", "parvion2-sim", "parvion2-cli"}) {
        EXPECT_TRUE(named.count(p)) << p;
    }
    const std::set<std::string> built =
        TargetsBuilt(readFileBytes(kSourceRoot / "scripts" / "run"));
    ASSERT_FALSE(built.empty());
    for (const std::string& p : named) EXPECT_TRUE(built.count(p)) << p << " is not built";
}

}  // namespace
}  // namespace parvion::test
