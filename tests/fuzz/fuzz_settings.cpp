// The settings file as found in the data folder: read into the session (the
// missing keys written at once), the port table, and written back.

#include <cstdlib>

#include "core/app/settings.h"
#include "core/link/net_port.h"
#include "fuzz_support.h"

using namespace parvion;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto folder = fuzz::ScratchFolder();
    fuzz::WriteFile(SettingsFile(folder), bytes);

    Session session;
    const SettingsReadResult read = ReadSettings(folder, session);
    if (read.loaded) {
        if (session.Baudrate < 0 || session.Baudrate > 7) std::abort();
        if (session.Anschluss < 0 || session.Anschluss > 7) std::abort();
        if (session.Medium < 0 || session.Medium > 1) std::abort();
        if (session.Sprache < 0 || session.Sprache > 1) std::abort();
    }
    if (read.loaded && (session.NetLatencyMs < 0 || session.NetLatencyMs > kMaxNetLatencyMs)) {
        std::abort();
    }
    for (int com = 0; com <= 9; ++com) {
        // A network port that parses comes out the same in its usual form.
        const std::string name = PortName(folder, com);
        if (const auto net = ParseNetworkPort(name)) {
            if (ParseNetworkPort(NetworkPortName(*net)) != net) std::abort();
        }
    }
    (void)WriteSettings(folder, session);
    return 0;
}
