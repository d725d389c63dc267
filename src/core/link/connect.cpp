#include "core/link/connect.h"

#include <string>

#include "core/link/data_commands.h"
#include "core/link/transport.h"

namespace parvion {

namespace {

// Reads the identity into the device state; unchanged on failure.
bool ReadIdent(Link& link, DeviceState& device) {
    std::string ident;
    if (!ReadDeviceIdent(link, ident)) return false;
    device.DeviceIdent = ident;
    return true;
}

}  // namespace

StartConnection ConnectDevice(Link& link, DeviceState& device) {
    Session& session = link.session();
    UiHooks& ui = link.ui();
    StartConnection started =
        session.Online ? StartConnection::Online : StartConnection::OfflineChosen;

    if (session.Online) link.OpenComPort(session.Anschluss + 1, session.Baudrate);

    if (session.Online) {
        if (!ReadIdent(link, device)) {
            session.Online = false;
            link.line().close();
            started = StartConnection::NoDevice;
        } else if (const int m = MediumOfIdent(device.DeviceIdent); m != medium::Unknown) {
            session.Medium = m;
        } else {
            session.Online = false;
            ui.statusText(0, kNoSupportedDevice);
            link.line().close();
            started = StartConnection::UnknownDevice;
        }
    } else if (started == StartConnection::Online) {
        started = StartConnection::NoDevice;  // the port did not open
    }

    if (session.Online) {
        if (ReadDeviceAccess(link, device.DeviceAccess) && device.DeviceAccess.isProtected()) {
            session.Online = false;
            started = StartConnection::Protected;
        }
    }

    ui.enableOfflineMenus(!session.Online);
    ui.showOnline(session.Online);
    return started;
}

std::string StartStatusText(StartConnection started, const LinkFailure& failure,
                            const std::function<std::string(std::uint16_t)>& text) {
    switch (started) {
        case StartConnection::NoDevice:
            return LinkFailureText(failure, text);
        case StartConnection::UnknownDevice:
            return kNoSupportedDevice;
        default:
            return {};
    }
}

bool DeviceAvailable(Link& link, DeviceState& device) {
    if (!link.session().Online) return true;
    if (!ReadIdent(link, device)) return false;
    return MediumOfIdent(device.DeviceIdent) != medium::Unknown;
}

}  // namespace parvion
