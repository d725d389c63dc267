#include "core/app/settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "core/app/leak_check.h"
#include "core/model/variant.h"

namespace parvion {

namespace k = settings_keys;

namespace {

std::filesystem::path inFolder(const std::filesystem::path& folder, const std::string& name) {
    return (folder.empty() ? std::filesystem::path("/") : folder) / name;
}

}  // namespace

std::filesystem::path SettingsFile(const std::filesystem::path& appDataFolder) {
    return inFolder(appDataFolder, "parvion2.ini");
}

int ReadIntSetting(ProfileFile& file, std::string_view section, std::string_view key, int def) {
    if (!file.hasKey(section, key)) file.writeString(section, key, std::to_string(def));
    return file.readInt(section, key, def);
}

SettingsReadResult ReadSettings(const std::filesystem::path& appDataFolder, Session& session) {
    SettingsReadResult result;
    ProfileFile file(SettingsFile(appDataFolder));
    if (!file.loaded()) {
        result.loaded = false;
        result.reason = file.loadError();
    }

    const int baud = ReadIntSetting(file, k::kEinstellungen, k::kBaudrate, 3);
    session.Baudrate = (baud >= 0 && baud <= 7) ? baud : 7;
    const int port = ReadIntSetting(file, k::kEinstellungen, k::kAnschluss, 0);
    session.Anschluss = (port >= 0 && port <= 7) ? port : 0;
    session.Online = ReadIntSetting(file, k::kEinstellungen, k::kOnline, 0) != 0;
    const int language = ReadIntSetting(file, k::kSystem, k::kSprache, 0);
    session.Sprache = (language == 0 || language == 1) ? language : 0;
    const int variant = ReadIntSetting(file, k::kSystem, k::kMedium, 0);
    session.Medium = VariantOf(variant).medium;
    session.MemCheck = ReadIntSetting(file, k::kDebug, k::kMemCheck, 0) != 0;
    session.TraceLevel = ReadIntSetting(file, k::kDebug, k::kRs232, 0);
    // Not one of the keys a first run creates: a missing key means on.
    session.CompareBeforeWrite = file.readInt(k::kEinstellungen, k::kVergleich, 1) != 0;
    session.NetLatencyMs = ReadNetLatency(file);

    if (session.MemCheck && leak_check::HooksAttached() && !leak_check::Running()) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        leak_check::Start(MemCheckLogName(appDataFolder, local));
    }

    if (file.loaded() && file.modified()) {
        std::string error;
        if (!file.save(&error)) {
            result.saved = false;
            result.reason = error;
        }
    }
    return result;
}

SettingsWriteResult WriteSettings(const std::filesystem::path& appDataFolder,
                                  const Session& session) {
    SettingsWriteResult result;
    const std::filesystem::path path = SettingsFile(appDataFolder);
    auto fail = [&](int err, std::string reason) {
        result.ok = false;
        result.ioError = err;
        result.reason = std::move(reason);
        return result;
    };

    // The probe: can the file be opened for appending (or created)?
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int err = errno;
        return fail(err,
                    "cannot write " + path.string() + ": " + std::generic_category().message(err));
    }
    ::close(fd);

    ProfileFile file(path);
    if (!file.loaded()) return fail(file.loadErrorNumber(), file.loadError());
    file.writeString(k::kEinstellungen, k::kBaudrate, std::to_string(session.Baudrate));
    file.writeString(k::kEinstellungen, k::kAnschluss, std::to_string(session.Anschluss));
    file.writeString(k::kEinstellungen, k::kOnline, session.Online ? "1" : "0");
    file.writeString(k::kSystem, k::kSprache, std::to_string(session.Sprache));
    file.writeString(k::kSystem, k::kMedium, std::to_string(session.Medium));
    if (!session.CompareBeforeWrite || file.hasKey(k::kEinstellungen, k::kVergleich)) {
        file.writeString(k::kEinstellungen, k::kVergleich, session.CompareBeforeWrite ? "1" : "0");
    }
    if (!file.modified()) return result;
    std::string error;
    int err = 0;
    if (!file.save(&error, &err)) return fail(err, error);
    return result;
}

int ReadNetLatency(const ProfileFile& file) {
    const int ms = file.readInt(k::kPorts, k::kLatenz, kDefaultNetLatencyMs);
    return (ms >= 0 && ms <= kMaxNetLatencyMs) ? ms : kDefaultNetLatencyMs;
}

std::string PortName(const ProfileFile& file, int comNumber) {
    if (comNumber < 1) return {};
    const std::string mapped = file.readString(k::kPorts, "Com" + std::to_string(comNumber), "");
    if (!mapped.empty()) return mapped;
    return "/dev/ttyS" + std::to_string(comNumber - 1);
}

std::string PortName(const std::filesystem::path& appDataFolder, int comNumber) {
    return PortName(ProfileFile(SettingsFile(appDataFolder)), comNumber);
}

std::filesystem::path MemCheckLogName(const std::filesystem::path& appDataFolder,
                                      const std::tm& now) {
    char name[64];
    std::snprintf(name, sizeof name, "%04d-%02d-%02d-%02d-%02d-%02d_memCheck.log",
                  now.tm_year + 1900, now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min,
                  now.tm_sec);
    return inFolder(appDataFolder, name);
}

}  // namespace parvion
