#include "core/app/error_log.h"

#include "core/link/transport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace parvion {

std::filesystem::path ErrorLogFile(const std::filesystem::path& appDataFolder) {
    return LogFolder(appDataFolder) / "Errors.log";
}

std::string FormatErrorLogEntry(const std::tm& localTime, std::string_view message) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%02d.%02d.%04d %02d:%02d:%02d: ", localTime.tm_mday,
                  localTime.tm_mon + 1, localTime.tm_year + 1900, localTime.tm_hour,
                  localTime.tm_min, localTime.tm_sec);
    std::string entry = stamp;
    entry.reserve(entry.size() + message.size() + 1);
    for (std::size_t i = 0; i < message.size(); ++i) {
        const char c = message[i];
        if (c == '\r') {
            if (i + 1 < message.size() && message[i + 1] == '\n') ++i;
            entry += '\n';
        } else {
            entry += c;
        }
    }
    entry += '\n';
    return entry;
}

void LogError(const std::filesystem::path& appDataFolder, std::string_view message) {
    try {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        std::string entry = FormatErrorLogEntry(local, message);

        const std::filesystem::path file = ErrorLogFile(appDataFolder);
        // Read access only serves the look at the last byte below.
        int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EACCES) {
            fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
        }
        if (fd < 0) return;
        // A file whose last line has no line end (cut short, or edited by
        // hand) gets one first, so that the entry starts a line of its own.
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_size > 0) {
            char last = '\n';
            if (::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n') {
                entry.insert(entry.begin(), '\n');
            }
        }
        std::size_t done = 0;
        while (done < entry.size()) {
            const ssize_t n = ::write(fd, entry.data() + done, entry.size() - done);
            if (n < 0) {
                if (errno == EINTR) continue;
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        ::fsync(fd);
        ::close(fd);
    } catch (...) {
        // Logging must never take the program down.
    }
}

std::function<void(const std::string&)> ErrorLogIn(std::filesystem::path appDataFolder) {
    return [folder = std::move(appDataFolder)](const std::string& message) {
        LogError(folder, message);
    };
}

}  // namespace parvion
