#pragma once
// How the core's socket line waits inside the window program: in a local
// event loop that ends when the socket becomes readable (or writable) or
// the deadline passes, so the window stays responsive while a network line
// waits for its server, as it does while the Qt serial line waits.

#include "core/link/socket_line.h"

namespace parvion::gui {

class QtSocketWait : public SocketWait {
  public:
    void wait(int fd, bool forWrite, Clock::time_point deadline) override;
    void processEvents() override;
};

}  // namespace parvion::gui
