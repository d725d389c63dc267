#pragma once
// Busy: the one guard against re-entry. Device waits keep the event loop
// running, so timer ticks, page switches, clicks and menu commands can arrive
// in the middle of a device sequence; each of them asks for the guard first
// and does nothing while it is held. The guard is held by a scope object, so
// that every path out of a sequence releases it.

#include <functional>

namespace parvion::gui {

class BusyGuard {
  public:
    class Scope {
      public:
        Scope() = default;
        explicit Scope(BusyGuard* guard) : guard_(guard) {}
        Scope(Scope&& other) noexcept : guard_(other.guard_) { other.guard_ = nullptr; }
        Scope& operator=(Scope&& other) noexcept;
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        ~Scope() { release(); }

        // True when this scope holds the guard.
        explicit operator bool() const { return guard_ != nullptr; }
        void release();

      private:
        BusyGuard* guard_ = nullptr;
    };

    bool held() const { return held_; }

    // Takes the guard; the returned scope is empty (false) when it was held
    // already, and the caller then does nothing.
    [[nodiscard]] Scope tryHold();

    // Runs after the guard has been released (the frame's pending close).
    void setOnRelease(std::function<void()> onRelease) { onRelease_ = std::move(onRelease); }

  private:
    bool held_ = false;
    std::function<void()> onRelease_;
};

}  // namespace parvion::gui
