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

void ConnectDevice(Link& link, DeviceState& device) {
    Session& session = link.session();
    UiHooks& ui = link.ui();

    if (session.Online) link.OpenComPort(session.Anschluss + 1, session.Baudrate);

    if (session.Online) {
        if (!ReadIdent(link, device)) {
            session.Online = false;
            link.line().close();
        } else if (const int m = MediumOfIdent(device.DeviceIdent); m != medium::Unknown) {
            session.Medium = m;
        } else {
            session.Online = false;
            ui.statusText(0, kNoSupportedDevice);
            link.line().close();
        }
    }

    if (session.Online) {
        if (ReadDeviceAccess(link, device.DeviceAccess) && device.DeviceAccess.isProtected()) {
            session.Online = false;
        }
    }

    ui.enableOfflineMenus(!session.Online);
    ui.showOnline(session.Online);
}

bool DeviceAvailable(Link& link, DeviceState& device) {
    if (!link.session().Online) return true;
    if (!ReadIdent(link, device)) return false;
    return MediumOfIdent(device.DeviceIdent) != medium::Unknown;
}

}  // namespace parvion
