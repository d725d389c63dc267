#pragma once
// Keeps a second copy of the program from starting: an exclusive lock on a
// file in the runtime folder, held for the life of the process and released
// by the operating system when it ends.

#include <filesystem>

namespace parvion::gui {

class InstanceGuard {
  public:
    explicit InstanceGuard(const std::filesystem::path& lockFile);
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // True when this process holds the lock (no other copy runs). A lock
    // file that cannot be created at all does not keep the program from
    // starting.
    bool acquired() const { return acquired_; }

    // XDG_RUNTIME_DIR, else the temporary folder, + "parvion2.lock".
    static std::filesystem::path defaultLockFile();

  private:
    int fd_ = -1;
    bool acquired_ = false;
};

}  // namespace parvion::gui
