#include "core/model/profile_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "core/model/text_file.h"
#include "core/model/windows1252.h"

namespace parvion {

namespace {

// Blanks, and the DOS end-of-file byte that files from old editors carry at
// the end of their last line.
constexpr std::string_view kBlanks = " \t\r\v\f\x1a";

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

// A section header "[name]": the name between "[" and the last "]", trimmed.
bool parseHeader(std::string_view line, std::string_view* name) {
    const std::string_view t = trim(line);
    if (t.empty() || t.front() != '[') return false;
    const auto close = t.rfind(']');
    if (close == std::string_view::npos || close == 0) return false;
    *name = trim(t.substr(1, close - 1));
    return true;
}

// A key line "key=value" with a non-empty key; comments never are.
bool parseKey(std::string_view line, std::string_view* key, std::string_view* value) {
    const std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#') return false;
    const auto eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    const std::string_view k = trim(t.substr(0, eq));
    if (k.empty()) return false;
    *key = k;
    *value = trim(t.substr(eq + 1));
    return true;
}

// A name as the indexes hold it: ASCII letters folded to lower case, the
// same folding as SameProfileName.
std::string foldName(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// A line with a name but no "=": the Windows profile functions take it as
// a key without a value, and a write of that key replaces it.
bool parseBareKey(std::string_view line, std::string_view* key) {
    const std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#' || t.front() == '[') return false;
    if (t.find('=') != std::string_view::npos) return false;
    *key = t;
    return true;
}

bool isBlankLine(std::string_view line) {
    return line.find_first_not_of(kBlanks) == std::string_view::npos;
}

// A trimmed value without one pair of matching quotes around it, as the
// Windows function reads it.
std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    return v;
}

std::string oneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

std::string errnoText(int err) {
    return std::generic_category().message(err);
}

}  // namespace

bool SameProfileName(std::string_view a, std::string_view b) {
    auto fold = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

int ParseProfileInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && kBlanks.find(text[i]) != std::string_view::npos) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<int>(value);
}

ProfileFile::ProfileFile(std::filesystem::path path) : path_(std::move(path)) {
    sections_.push_back(Section{});
    std::error_code ec;
    const auto status = std::filesystem::status(path_, ec);
    if (ec || !std::filesystem::exists(status)) {
        if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory) {
            loadErrno_ = ec.value();
            loadError_ = "cannot read " + path_.string() + ": " + ec.message();
        }
        return;
    }
    if (std::filesystem::is_directory(status)) {
        loadErrno_ = EISDIR;
        loadError_ = "cannot read " + path_.string() + ": " + errnoText(EISDIR);
        return;
    }
    errno = 0;
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        const int err = errno != 0 ? errno : EIO;
        loadErrno_ = err;
        loadError_ = "cannot read " + path_.string() + ": " + errnoText(err);
        return;
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        loadErrno_ = EIO;
        loadError_ = "cannot read " + path_.string() + ": " + errnoText(EIO);
        return;
    }
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (std::string_view(bytes).substr(0, 3) == kBom) {
        parse(std::string_view(bytes).substr(3));
    } else {
        bool ascii = true;
        for (const char c : bytes) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                ascii = false;
                break;
            }
        }
        if (ascii || IsValidUtf8(bytes)) {
            parse(bytes);
        } else {
            parse(Cp1252ToUtf8(bytes));
        }
    }
}

void ProfileFile::parse(std::string_view utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        auto end = utf8.find('\n', pos);
        const bool last = end == std::string_view::npos;
        if (last) end = utf8.size();
        std::string_view line = utf8.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string_view name;
        if (parseHeader(line, &name)) {
            sections_.push_back(Section{std::string(line), std::string(name), {}, {}, {}, 0});
        } else {
            sections_.back().addLine(std::string(line));
        }
        pos = last ? end : end + 1;
    }
    indexSections();
}

void ProfileFile::Section::addLine(std::string line) {
    std::string_view k;
    std::string_view v;
    if (parseKey(line, &k, &v)) {
        keyLines.emplace(foldName(k), lines.size());
    } else if (parseBareKey(line, &k)) {
        bareLines.emplace(foldName(k), lines.size());
    }
    blankTail = isBlankLine(line) ? blankTail + 1 : 0;
    lines.push_back(std::move(line));
}

void ProfileFile::indexSections() {
    sectionIndex_.clear();
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        sectionIndex_.emplace(foldName(sections_[i].name), i);
    }
}

ProfileFile::Section* ProfileFile::findSection(std::string_view name) {
    const auto it = sectionIndex_.find(foldName(trim(name)));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

const ProfileFile::Section* ProfileFile::findSection(std::string_view name) const {
    return const_cast<ProfileFile*>(this)->findSection(name);
}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view def) const {
    const Section* s = findSection(section);
    if (s == nullptr) return std::string(def);
    const auto at = s->keyLines.find(foldName(trim(key)));
    if (at == s->keyLines.end()) return std::string(def);
    std::string_view k;
    std::string_view v;
    parseKey(s->lines[at->second], &k, &v);
    return std::string(unquote(v));
}

std::string ProfileValueAsRead(std::string_view written) {
    const std::string line = oneLine(written);
    return std::string(unquote(trim(line)));
}

int ProfileFile::readInt(std::string_view section, std::string_view key, int def) const {
    const std::string text = readString(section, key, "");
    if (text.empty()) return def;
    return ParseProfileInt(text);
}

bool ProfileFile::hasKey(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    return s != nullptr && s->keyLines.count(foldName(trim(key))) != 0;
}

bool ProfileFile::hasSection(std::string_view section) const {
    return findSection(section) != nullptr;
}

void ProfileFile::writeString(std::string_view section, std::string_view key,
                              std::string_view value) {
    const std::string sectionName = oneLine(trim(section));
    const std::string keyName = oneLine(trim(key));
    const std::string text = oneLine(value);
    Section* s = findSection(sectionName);
    if (s == nullptr) {
        // A new section goes to the end of the file, after one blank line.
        Section& tail = sections_.back();
        const bool fileEmpty = sections_.size() == 1 && tail.lines.empty();
        if (!fileEmpty && tail.blankTail == 0) tail.addLine({});
        sections_.push_back(Section{"[" + sectionName + "]", sectionName, {}, {}, {}, 0});
        sections_.back().addLine(keyName + "=" + text);
        sectionIndex_.emplace(foldName(sectionName), sections_.size() - 1);
        modified_ = true;
        return;
    }
    const std::string folded = foldName(keyName);
    if (const auto bare = s->bareLines.find(folded); bare != s->bareLines.end()) {
        // A bare line of the key before any "key=" line is its first
        // occurrence: it takes the value.
        const auto at = s->keyLines.find(folded);
        if (at == s->keyLines.end() || bare->second < at->second) {
            s->lines[bare->second] = keyName + "=" + text;
            s->keyLines[folded] = bare->second;
            s->bareLines.erase(bare);
            modified_ = true;
            return;
        }
    }
    if (const auto at = s->keyLines.find(folded); at != s->keyLines.end()) {
        std::string& line = s->lines[at->second];
        std::string_view k;
        std::string_view v;
        parseKey(line, &k, &v);
        std::string updated = std::string(k) + "=" + text;
        if (updated != line) {
            line = std::move(updated);
            modified_ = true;
        }
        return;
    }
    // Append after the last non-blank line of the section. Only blank lines
    // follow that place, so the line numbers of the keys stay as they are.
    std::string line = keyName + "=" + text;
    const std::size_t place = s->lines.size() - s->blankTail;
    std::string_view k;
    std::string_view v;
    // A key name with "=" in it is read back as a shorter name; the index
    // holds what a lookup will find, as a scan of the lines would.
    if (parseKey(line, &k, &v)) s->keyLines.emplace(foldName(k), place);
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(place), std::move(line));
    modified_ = true;
}

void ProfileFile::eraseSection(std::string_view section) {
    const std::string_view n = trim(section);
    const auto gone = std::remove_if(sections_.begin() + 1, sections_.end(),
                                     [&](const Section& s) { return SameProfileName(s.name, n); });
    if (gone == sections_.end()) return;
    sections_.erase(gone, sections_.end());
    indexSections();
    modified_ = true;
}

std::vector<std::string> ProfileFile::keys(std::string_view section) const {
    std::vector<std::string> out;
    const Section* s = findSection(section);
    if (s == nullptr) return out;
    for (std::size_t i = 0; i < s->lines.size(); ++i) {
        std::string_view k;
        std::string_view v;
        // Each name once: at the line of its first occurrence.
        if (parseKey(s->lines[i], &k, &v) && s->keyLines.at(foldName(k)) == i) out.emplace_back(k);
    }
    return out;
}

std::vector<std::string> ProfileFile::sections() const {
    std::vector<std::string> out;
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        if (sectionIndex_.at(foldName(sections_[i].name)) == i) out.push_back(sections_[i].name);
    }
    return out;
}

std::string ProfileFile::toBytes() const {
    std::string utf8;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        const Section& s = sections_[i];
        if (i > 0) {
            utf8 += s.header;
            utf8 += "\r\n";
        }
        for (const auto& line : s.lines) {
            utf8 += line;
            utf8 += "\r\n";
        }
    }
    return Utf8ToCp1252(utf8);
}

bool ProfileFile::save(std::string* error, int* errorNumber) const {
    if (!loaded()) {
        if (error != nullptr) *error = loadError_;
        if (errorNumber != nullptr) *errorNumber = loadErrno_;
        return false;
    }
    if (!WriteFileAtomically(path_, toBytes(), error, errorNumber)) return false;
    modified_ = false;
    return true;
}

}  // namespace parvion
