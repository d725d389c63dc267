// The include lines of src/ against the floors of docs/architecture.md:
// a folder of core and gui includes only folders on floors below its own,
// the programs take of each other only what the documents allow, and no
// two files include each other, directly or around a circle. The floors
// are read from the picture in docs/architecture.md ("### Floors"), the
// simulator's share of the core from the list in docs/simulator.md, so the
// documents are the rule and this test holds the code to them.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"  // readFileBytes

namespace parvion::test {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = fs::path(PARVION_SOURCE_DIR) / "src";
const fs::path kDocs = fs::path(PARVION_SOURCE_DIR) / "docs";

struct Include {
    std::string file;    // "core/link/doctor.cpp", relative to src/
    std::string header;  // "core/views/text_source.h"
    int line = 0;
};

// The folder a file of src/ belongs to: core/link, gui/app, gui (the
// program's main.cpp), cli, sim/lib, sim, version.
std::string FolderOf(const std::string& file) {
    const fs::path p(file);
    auto it = p.begin();
    const std::string top = it->string();
    if (++it == p.end()) return top;
    const std::string second = it->string();
    if (++it == p.end()) return top;  // a file directly in the top folder
    if (top == "core" || top == "gui" || top == "sim") return top + "/" + second;
    return top;
}

// Every include line of src/, and every folder of src/ that holds a file.
struct Sources {
    std::vector<Include> includes;
    std::set<std::string> folders;
};

Sources ReadSources() {
    static const std::regex include(R"re(^\s*#\s*include\s+"([^"]+)")re");
    Sources out;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(kSource)) {
        const std::string file = fs::relative(e.path(), kSource).generic_string();
        if (e.is_regular_file() && e.path().filename() != "CMakeLists.txt") {
            out.folders.insert(FolderOf(file));
        }
        const std::string ext = e.path().extension().string();
        if (ext != ".h" && ext != ".cpp" && ext != ".in") continue;
        std::ifstream in(e.path());
        int n = 0;
        for (std::string line; std::getline(in, line);) {
            ++n;
            std::smatch m;
            if (std::regex_search(line, m, include)) out.includes.push_back({file, m[1], n});
        }
    }
    return out;
}

// Floor of each folder of core and gui, counted from the bottom, as the
// picture under "### Floors" draws them: one line per floor, the top line
// highest; words of a line that name a folder of core or gui are its
// folders (core/history may be named before it exists).
std::map<std::string, int> Floors() {
    const std::string doc = readFileBytes(kDocs / "architecture.md");
    const std::size_t section = doc.find("\n### Floors\n");
    const std::size_t open = doc.find("\n```", section);
    const std::size_t close = doc.find("\n```", open + 1);
    if (section == std::string::npos || close == std::string::npos) return {};
    std::istringstream picture(doc.substr(open + 1, close - open));
    std::vector<std::vector<std::string>> lines;
    static const std::regex folder(R"(^(core/[a-z_]+|gui|gui/[a-z_]+)$)");
    for (std::string line; std::getline(picture, line);) {
        std::istringstream words(line);
        std::vector<std::string> names;
        for (std::string w; words >> w;) {
            if (std::regex_match(w, folder)) names.push_back(w);
        }
        if (!names.empty()) lines.push_back(names);
    }
    std::map<std::string, int> floors;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (const std::string& name : lines[i]) {
            EXPECT_FALSE(floors.contains(name)) << name << " stands on two floors";
            floors[name] = static_cast<int>(lines.size() - i);
        }
    }
    return floors;
}

// The headers of the core the simulator may include: the list of
// docs/simulator.md ("What it does take from the core").
std::set<std::string> SimulatorShare() {
    std::istringstream doc(readFileBytes(kDocs / "simulator.md"));
    static const std::regex header("`(core/[a-z_/]+\\.h)`");
    std::set<std::string> out;
    bool inList = false;
    for (std::string line; std::getline(doc, line);) {
        if (line.find("What it does take from the core") != std::string::npos) inList = true;
        if (!inList) continue;
        if (line.rfind("## ", 0) == 0) break;
        if (line.rfind("- ", 0) != 0 && line.rfind("  ", 0) != 0) continue;
        for (std::sregex_iterator it(line.begin(), line.end(), header), end; it != end; ++it) {
            out.insert((*it)[1]);
        }
    }
    return out;
}

const auto InCore = [](const std::string& f) { return f.rfind("core/", 0) == 0; };
const auto InGui = [](const std::string& f) { return f == "gui" || f.rfind("gui/", 0) == 0; };
const auto InSim = [](const std::string& f) { return f == "sim" || f == "sim/lib"; };

TEST(Floors, EveryFolderOfCoreAndGuiStandsOnAFloor) {
    const std::map<std::string, int> floors = Floors();
    ASSERT_GE(floors.size(), 10u) << "no picture under \"### Floors\" in docs/architecture.md";
    for (const std::string& folder : ReadSources().folders) {
        if (InCore(folder) || InGui(folder)) {
            EXPECT_TRUE(floors.contains(folder))
                << folder << " is on no floor of docs/architecture.md";
        }
    }
}

// Within core and within gui an include goes to a lower floor; gui takes
// all of core, core nothing of the programs; the command line takes the
// core and, of the window, only the page renderer it prints with; the
// simulator only the headers docs/simulator.md lists; the version line
// stands on its own and anyone may include it.
TEST(Floors, IncludesGoOnlyDown) {
    const std::map<std::string, int> floors = Floors();
    const std::set<std::string> simShare = SimulatorShare();
    ASSERT_FALSE(simShare.empty()) << "no list in docs/simulator.md";
    for (const Include& inc : ReadSources().includes) {
        const std::string from = FolderOf(inc.file);
        const std::string to = FolderOf(inc.header);
        if (from == to || to == "version") continue;
        bool allowed = false;
        if ((InCore(from) && InCore(to)) || (InGui(from) && InGui(to))) {
            allowed =
                floors.contains(from) && floors.contains(to) && floors.at(to) < floors.at(from);
        } else if (InGui(from)) {
            allowed = InCore(to);
        } else if (from == "cli") {
            allowed = InCore(to) || inc.header == "gui/print/page_renderer.h";
        } else if (InSim(from)) {
            allowed = InSim(to) || simShare.contains(inc.header);
        }
        EXPECT_TRUE(allowed) << inc.file << ":" << inc.line << " includes " << inc.header
                             << ", which " << from << " may not stand on";
    }
}

// No two files include each other, directly or around a circle. A header
// and its source count as one (what the source includes, the pair needs),
// so that a circle through sources is found too.
TEST(Floors, NoFilesIncludeEachOther) {
    auto unit = [](const std::string& file) { return fs::path(file).replace_extension().string(); };
    std::map<std::string, std::set<std::string>> edges;
    for (const Include& inc : ReadSources().includes) {
        if (!fs::exists(kSource / inc.header)) continue;
        const std::string a = unit(inc.file);
        const std::string b = unit(inc.header);
        edges[a];
        if (a != b) edges[a].insert(b);
    }
    // Depth first: a file met again while its own includes are being
    // followed closes a circle.
    std::map<std::string, int> state;  // 1: being followed, 2: done
    std::vector<std::string> path;
    std::function<void(const std::string&)> visit = [&](const std::string& v) {
        state[v] = 1;
        path.push_back(v);
        for (const std::string& w : edges[v]) {
            if (state[w] == 0) {
                visit(w);
            } else if (state[w] == 1) {
                std::string names;
                for (auto it = std::find(path.begin(), path.end(), w); it != path.end(); ++it) {
                    names += " " + *it;
                }
                ADD_FAILURE() << "these include each other:" << names;
            }
        }
        path.pop_back();
        state[v] = 2;
    };
    for (const auto& [u, to] : edges) {
        if (state[u] == 0) visit(u);
    }
}

}  // namespace
}  // namespace parvion::test
