#pragma once
// parvion2-cli doctor: the connection test of the settings dialog.

namespace parvion::cli {

class Context;

// Tests the chosen port (--port, else the settings' port), the ports mapped
// in the settings and the ports the system lists, and prints the findings
// port by port. Exit code 0 when a device answered on any port, 1 when none
// did.
void RunDoctor(Context& ctx);

}  // namespace parvion::cli
