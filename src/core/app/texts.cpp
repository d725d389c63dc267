#include "core/app/texts.h"
#include "core/model/variant.h"

#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <utility>

namespace parvion {

namespace {

// Parses "0".."65535" (digits only).
bool parseNumber(std::string_view s, std::uint16_t& out) {
    if (s.empty() || s.size() > 5) return false;
    std::uint32_t v = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + static_cast<std::uint32_t>(ch - '0');
    }
    if (v > 65535) return false;
    out = static_cast<std::uint16_t>(v);
    return true;
}

// ---- cache of parsed files -------------------------------------------------

// A file whose modification time lies this close to the moment it was read
// may be rewritten within the resolution of the file system's clock without
// its stamp changing; such an entry is confirmed by content until it is old.
constexpr std::int64_t kRacyWindowNs = 2'000'000'000;

struct FileKey {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    std::int64_t mtimeNs = 0;
    std::int64_t ctimeNs = 0;
    bool operator==(const FileKey&) const = default;
};

struct CacheEntry {
    FileKey key;
    std::string raw;
    std::shared_ptr<const ParsedLibrary> parsed;
    bool settled = false;  // stamp old enough to trust without reading
};

std::int64_t toNs(const timespec& ts) {
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool statFile(const std::filesystem::path& path, FileKey& key) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    key.dev = st.st_dev;
    key.ino = st.st_ino;
    key.size = st.st_size;
    key.mtimeNs = toNs(st.st_mtim);
    key.ctimeNs = toNs(st.st_ctim);
    return true;
}

bool readWhole(const std::filesystem::path& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::mutex cacheMutex;
std::map<std::string, CacheEntry>& cache() {
    static std::map<std::string, CacheEntry> entries;
    return entries;
}

// The parsed library at `path` as it is now; null when it cannot be read.
std::shared_ptr<const ParsedLibrary> currentLibrary(const std::filesystem::path& path) {
    FileKey key;
    if (!statFile(path, key)) return nullptr;

    std::lock_guard lock(cacheMutex);
    auto& entries = cache();
    auto it = entries.find(path.string());
    if (it != entries.end() && it->second.key == key && it->second.settled) {
        return it->second.parsed;
    }

    std::string raw;
    if (!readWhole(path, raw)) return nullptr;
    const bool settled = nowNs() - std::max(key.mtimeNs, key.ctimeNs) > kRacyWindowNs;
    if (it != entries.end() && it->second.key == key && it->second.raw == raw) {
        it->second.settled = settled;
        return it->second.parsed;
    }

    CacheEntry entry;
    entry.key = key;
    entry.parsed = std::make_shared<const ParsedLibrary>(ParseLibrary(raw));
    entry.raw = std::move(raw);
    entry.settled = settled;
    auto parsed = entry.parsed;
    entries[path.string()] = std::move(entry);
    return parsed;
}

}  // namespace

std::string LibraryFileName(int medium, int sprache) {
    const Variant* variant = FindVariant(medium);
    if (variant == nullptr || sprache < 0 || sprache > 1) return {};
    return std::string(variant->textLibraries[static_cast<std::size_t>(sprache)]);
}

std::filesystem::path FindTextFolder(const std::filesystem::path& exeFolder) {
    const std::filesystem::path candidates[] = {exeFolder, exeFolder / ".." / "share" / "parvion2"};
    for (const auto& folder : candidates) {
        for (const Variant& variant : Variants()) {
            for (const std::string_view name : variant.textLibraries) {
                std::error_code ec;
                if (std::filesystem::is_regular_file(folder / name, ec)) {
                    return folder.lexically_normal();
                }
            }
        }
    }
    return exeFolder;
}

ParsedLibrary ParseLibrary(std::string_view content) {
    ParsedLibrary lib;
    if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);

    std::size_t lineNo = 0;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = content.find('\n', pos);
        if (end == std::string_view::npos) end = content.size();
        std::string_view line = content.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;

        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            lib.issues.push_back({lineNo, LibraryLineIssue::Kind::NoEquals, std::string(line)});
            continue;
        }
        std::uint16_t number = 0;
        if (!parseNumber(line.substr(0, eq), number)) {
            lib.issues.push_back({lineNo, LibraryLineIssue::Kind::BadNumber, std::string(line)});
            continue;
        }
        std::string_view text = line.substr(eq + 1);
        if (Utf8Length(text) > kMaxTextChars) {
            lib.issues.push_back({lineNo, LibraryLineIssue::Kind::TooLong, std::string(line)});
            text = Utf8Prefix(text, kMaxTextChars);
        }
        if (!lib.texts.emplace(number, std::string(text)).second) {
            lib.issues.push_back({lineNo, LibraryLineIssue::Kind::Duplicate, std::string(line)});
        }
    }
    return lib;
}

TextLibrary::TextLibrary(std::filesystem::path programFolder, const Session& session)
    : programFolder_(std::move(programFolder)), session_(session) {}

std::filesystem::path TextLibrary::libraryPath() const {
    const std::string name = LibraryFileName(session_.Medium, session_.Sprache);
    if (name.empty()) return {};
    return programFolder_ / name;
}

std::string LookupText(const ParsedLibrary& library, std::uint16_t number) {
    const auto it = library.texts.find(number);
    if (it == library.texts.end()) return {};
    return TrimText(it->second);
}

bool LookupTextBlock(const ParsedLibrary& library, std::uint16_t first, std::uint8_t width,
                     std::array<std::string, 16>& texts) {
    for (auto& t : texts) t.clear();
    bool loaded = false;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::uint32_t number = first + static_cast<std::uint32_t>(i);
        if (number > 65535) break;
        const auto it = library.texts.find(static_cast<std::uint16_t>(number));
        // An empty text counts as missing: it ends the block.
        if (it == library.texts.end() || it->second.empty()) break;
        loaded = true;
        std::string text = TrimText(it->second);
        const std::size_t length = Utf8Length(text);
        if (length < width) text.append(width - length, ' ');
        texts[i] = std::move(text);
    }
    return loaded;
}

std::string TextLibrary::LoadText(std::uint16_t number) const {
    const auto path = libraryPath();
    if (path.empty()) return {};
    const auto lib = currentLibrary(path);
    if (!lib) return {};
    return LookupText(*lib, number);
}

bool TextLibrary::LoadTextBlock(std::uint16_t first, std::uint8_t width,
                                std::array<std::string, 16>& texts) const {
    for (auto& t : texts) t.clear();
    const auto path = libraryPath();
    if (path.empty()) return false;
    const auto lib = currentLibrary(path);
    if (!lib) return false;
    return LookupTextBlock(*lib, first, width, texts);
}

bool TextLibrary::checkLibrary() const {
    const std::string signature = LoadText(0);
    return signature == "GAS2" || signature == "ENERGY2";
}

}  // namespace parvion
