#pragma once
// The window program's line: the Qt serial line for device paths and the
// core's socket line for network ports (rfc2217://, tcp://), which waits in
// the window's event loop.

#include "core/link/port_line.h"
#include "gui/app/qt_serial_line.h"
#include "gui/app/qt_socket_wait.h"

namespace parvion::gui {

namespace detail {
// Built before the PortLine that uses them.
struct WindowLineParts {
    QtSerialLine serial;
    QtSocketWait socketWait;
};
}  // namespace detail

class WindowLine : private detail::WindowLineParts, public PortLine {
  public:
    WindowLine() : PortLine(serial, &socketWait) {}
};

}  // namespace parvion::gui
