#include "gui/shared/busy_guard.h"

namespace parvion::gui {

BusyGuard::Scope& BusyGuard::Scope::operator=(Scope&& other) noexcept {
    if (this != &other) {
        release();
        guard_ = other.guard_;
        other.guard_ = nullptr;
    }
    return *this;
}

void BusyGuard::Scope::release() {
    if (guard_ == nullptr) return;
    BusyGuard* guard = guard_;
    guard_ = nullptr;
    guard->held_ = false;
    if (guard->onRelease_) guard->onRelease_();
}

BusyGuard::Scope BusyGuard::tryHold() {
    if (held_) return Scope{};
    held_ = true;
    return Scope{this};
}

}  // namespace parvion::gui
