#include "gui/app/instance_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace parvion::gui {

InstanceGuard::InstanceGuard(const std::filesystem::path& lockFile) {
    fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        acquired_ = true;
        return;
    }
    int rc = 0;
    do {
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    acquired_ = rc == 0 || errno != EWOULDBLOCK;
}

InstanceGuard::~InstanceGuard() {
    if (fd_ >= 0) ::close(fd_);
}

std::filesystem::path InstanceGuard::defaultLockFile() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::filesystem::path folder;
    if (runtime != nullptr && *runtime != '\0') {
        folder = runtime;
    } else {
        std::error_code ec;
        folder = std::filesystem::temp_directory_path(ec);
        if (ec) folder = "/tmp";
    }
    return folder / "parvion2.lock";
}

}  // namespace parvion::gui
