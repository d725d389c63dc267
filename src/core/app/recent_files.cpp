#include "core/app/recent_files.h"

#include <algorithm>

#include "core/app/settings.h"
#include "core/model/profile_file.h"

namespace parvion {

namespace {

constexpr std::string_view kSection = "Recent";

std::string Key(std::size_t n) {
    return "File" + std::to_string(n + 1);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string EncodeRecentPath(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == '%') {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> DecodeRecentPath(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::vector<std::filesystem::path> ReadRecentFiles(const std::filesystem::path& appDataFolder) {
    const ProfileFile file(SettingsFile(appDataFolder));
    std::vector<std::filesystem::path> files;
    for (std::size_t n = 0; n < kRecentFiles; ++n) {
        const std::string text = file.readString(kSection, Key(n), "");
        const std::optional<std::string> path = DecodeRecentPath(text);
        if (text.empty() || !path || path->empty()) continue;
        if (std::find(files.begin(), files.end(), *path) == files.end()) files.emplace_back(*path);
    }
    return files;
}

bool WriteRecentFiles(const std::filesystem::path& appDataFolder,
                      const std::vector<std::filesystem::path>& files, std::string* error) {
    ProfileFile file(SettingsFile(appDataFolder));
    if (!file.loaded()) {
        if (error != nullptr) *error = file.loadError();
        return false;
    }
    file.eraseSection(kSection);
    for (std::size_t n = 0; n < files.size() && n < kRecentFiles; ++n) {
        file.writeString(kSection, Key(n), EncodeRecentPath(files[n].string()));
    }
    return !file.modified() || file.save(error);
}

void AddRecentFile(std::vector<std::filesystem::path>& files, const std::filesystem::path& file) {
    files.erase(std::remove(files.begin(), files.end(), file), files.end());
    files.insert(files.begin(), file);
    if (files.size() > kRecentFiles) files.resize(kRecentFiles);
}

bool DropMissingRecentFiles(std::vector<std::filesystem::path>& files) {
    const auto gone = std::remove_if(files.begin(), files.end(), [](const auto& f) {
        std::error_code ec;
        return !std::filesystem::is_regular_file(f, ec);
    });
    const bool any = gone != files.end();
    files.erase(gone, files.end());
    return any;
}

}  // namespace parvion
