#include "core/link/port_line.h"

#include "core/link/net_port.h"

namespace parvion {

PortLine::PortLine(SerialLine& local, SocketWait* wait)
    : local_(local), socket_(wait), active_(&local_) {}

bool PortLine::open(const std::string& port, int baud, std::string* error, int* errorNumber) {
    active_->close();
    active_ = IsNetworkPortName(port) ? static_cast<SerialLine*>(&socket_) : &local_;
    return active_->open(port, baud, error, errorNumber);
}

}  // namespace parvion
