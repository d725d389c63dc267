#include "core/link/ui_hooks.h"

#include <chrono>
#include <thread>

namespace parvion {

void UiHooks::waitMs(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace parvion
