#include "core/tables/table_file.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "core/model/profile_file.h"

namespace parvion::tables {

namespace {

constexpr const char* kTemperatur = "Temperatur";
constexpr const char* kDruck = "Druck";
constexpr const char* kWerte = "Werte";
constexpr std::array<const char*, 4> kSaturationKeys = {"T", "p", "rho", "h"};

std::string ValueKey(int r, int c) {
    return std::to_string(r) + " - " + std::to_string(c);
}

// Opens an existing, readable file.
FileResult Open(const std::filesystem::path& file, std::optional<ProfileFile>& profile) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        const int e = std::filesystem::exists(file, ec) ? EISDIR : ENOENT;
        return {FileStatus::Unreadable, std::strerror(e)};
    }
    profile.emplace(file);
    if (!profile->loaded()) return {FileStatus::Unreadable, profile->loadError()};
    return {};
}

FileResult Save(const ProfileFile& profile) {
    std::string error;
    if (!profile.save(&error)) return {FileStatus::NotWritten, error};
    return {};
}

}  // namespace

std::string SaturationSection(int row) {
    std::string s = "Row_";
    if (row < 10) s += '0';
    return s + std::to_string(row);
}

FileResult LoadPropertyFile(const std::filesystem::path& file, PropertyGrid& grid) {
    std::optional<ProfileFile> p;
    if (FileResult r = Open(file, p); !r.ok()) return r;
    if (!p->hasSection(kTemperatur) && !p->hasSection(kDruck) && !p->hasSection(kWerte)) {
        return {FileStatus::NotATableFile, {}};
    }
    PropertyGrid out = grid;
    out.missing.clear();
    // Each key with the default "0"; a key that is not there is noted.
    const auto read = [&](const char* section, const std::string& key, Cell cell) {
        if (!p->hasKey(section, key)) out.missing.push_back(cell);
        out.at(cell.col, cell.row) = p->readString(section, key, "0");
    };
    for (int r = 0; r < 18; ++r) read(kTemperatur, std::to_string(r), {0, r + 1});
    for (int c = 0; c < 14; ++c) read(kDruck, std::to_string(c), {c + 1, 0});
    for (int r = 0; r < 18; ++r) {
        for (int c = 0; c < 14; ++c) read(kWerte, ValueKey(r, c), {c + 1, r + 1});
    }
    grid = std::move(out);
    return {};
}

FileResult SavePropertyFile(const std::filesystem::path& file, const PropertyGrid& grid) {
    ProfileFile p(file);
    if (!p.loaded()) return {FileStatus::NotWritten, p.loadError()};
    for (const char* s : {kTemperatur, kDruck, kWerte}) p.eraseSection(s);
    for (int r = 0; r < 18; ++r) p.writeString(kTemperatur, std::to_string(r), grid.at(0, r + 1));
    for (int c = 0; c < 14; ++c) p.writeString(kDruck, std::to_string(c), grid.at(c + 1, 0));
    for (int r = 0; r < 18; ++r) {
        for (int c = 0; c < 14; ++c) p.writeString(kWerte, ValueKey(r, c), grid.at(c + 1, r + 1));
    }
    return Save(p);
}

FileResult LoadSaturationFile(const std::filesystem::path& file, SaturationGrid& grid) {
    std::optional<ProfileFile> p;
    if (FileResult r = Open(file, p); !r.ok()) return r;
    bool any = false;
    for (int row = 1; row <= 32 && !any; ++row) any = p->hasSection(SaturationSection(row));
    if (!any) return {FileStatus::NotATableFile, {}};
    SaturationGrid out = grid;
    out.missing.clear();
    for (int row = 1; row <= 32; ++row) {
        const std::string section = SaturationSection(row);
        for (std::size_t k = 0; k < kSaturationKeys.size(); ++k) {
            const int col = static_cast<int>(k);
            if (!p->hasKey(section, kSaturationKeys[k])) out.missing.push_back({col, row});
            out.at(col, row) = p->readString(section, kSaturationKeys[k], "");
        }
    }
    grid = std::move(out);
    return {};
}

FileResult SaveSaturationFile(const std::filesystem::path& file, const SaturationGrid& grid) {
    ProfileFile p(file);
    if (!p.loaded()) return {FileStatus::NotWritten, p.loadError()};
    for (int row = 1; row <= 32; ++row) p.eraseSection(SaturationSection(row));
    for (int row = 1; row <= 32; ++row) {
        const std::string section = SaturationSection(row);
        for (std::size_t k = 0; k < kSaturationKeys.size(); ++k) {
            p.writeString(section, kSaturationKeys[k], grid.at(static_cast<int>(k), row));
        }
    }
    return Save(p);
}

}  // namespace parvion::tables
