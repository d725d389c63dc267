#pragma once
// Identification of the device at start-up and the availability test of the
// parameter-file menu commands.

#include <cstdint>
#include <functional>
#include <string>

#include "core/link/link_failure.h"
#include "core/model/device_records.h"

namespace parvion {

class Link;

// The status-bar text (panel 0) when the device is neither variant.
inline constexpr const char* kNoSupportedDevice = "Kein GAS- oder DAMPF Rechner";

// How the start-up identification ended.
enum class StartConnection {
    OfflineChosen,  // the settings say offline: nothing was tried
    Online,
    NoDevice,       // the port could not be opened or nothing answered (the link says why)
    UnknownDevice,  // a device of neither variant answered
    Protected,      // a password-protected device: it is connected through the settings dialog
};

// Start-up identification, run once after the settings are read. When the
// session is online: open the configured port, read the identity (which sets
// Medium) and the access record. An unreadable or unknown identity closes the
// port and leaves the session offline; a password-protected device leaves it
// offline too (it is connected through the settings dialog). Finally enables
// the offline-only menus and shows the online label as the session says.
StartConnection ConnectDevice(Link& link, DeviceState& device);

// What the status bar says after a start that ended offline: why no device
// was reached (the link's failure right after ConnectDevice, in the
// library's language) or that the device is of neither variant; empty when
// offline was chosen or the start went online.
std::string StartStatusText(StartConnection started, const LinkFailure& failure,
                            const std::function<std::string(std::uint16_t)>& text);

// True when offline; online, true only when the identity can be read and is
// one of the two supported identities. Medium is not changed.
bool DeviceAvailable(Link& link, DeviceState& device);

}  // namespace parvion
