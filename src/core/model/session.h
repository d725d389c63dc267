#pragma once
// The process-wide state of one program run: which variant and language,
// which port, whether the link is in use. One object, owned by the main
// window (or the CLI) and passed by reference.

#include <cstdint>

#include "core/model/parameter_image.h"

namespace parvion {

// The network latency allowance when the settings give none, and its limits.
inline constexpr int kDefaultNetLatencyMs = 200;
inline constexpr int kMaxNetLatencyMs = 10000;

struct Session {
    int Medium = medium::Gas;  // 0 gas, 1 energy, -1 unknown device
    int Sprache = 0;           // 0 German, 1 English
    bool Online = false;
    int Anschluss = 0;  // COM port index 0..7 (settings key "Anschluß")
    int Baudrate = 3;   // baud-rate index 0..7
    bool MemCheck = false;
    int TraceLevel = 0;  // settings key "RS232" of section "Debug"
    // Loading a parameter file online shows the differences first (settings
    // key "Vergleich" of section "Einstellungen").
    bool CompareBeforeWrite = true;
    // What a network line (rfc2217://, tcp://) adds to the reply time-out,
    // in milliseconds, beside the round trip it measures when it opens
    // (settings key "Latenz" of section "Ports"). Local lines add nothing.
    int NetLatencyMs = kDefaultNetLatencyMs;
};

// Baud rates by index 0..7.
inline constexpr int kBaudRates[8] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

}  // namespace parvion
