#pragma once
// Identification of the device at start-up and the availability test of the
// parameter-file menu commands.

#include "core/model/device_records.h"

namespace parvion {

class Link;

// The status-bar text (panel 0) when the device is neither variant.
inline constexpr const char* kNoSupportedDevice = "Kein GAS- oder DAMPF Rechner";

// Start-up identification, run once after the settings are read. When the
// session is online: open the configured port, read the identity (which sets
// Medium) and the access record. An unreadable or unknown identity closes the
// port and leaves the session offline; a password-protected device leaves it
// offline too (it is connected through the settings dialog). Finally enables
// the offline-only menus and shows the online label as the session says.
void ConnectDevice(Link& link, DeviceState& device);

// True when offline; online, true only when the identity can be read and is
// one of the two supported identities. Medium is not changed.
bool DeviceAvailable(Link& link, DeviceState& device);

}  // namespace parvion
