#include "core/link/live_read.h"

#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/link/ui_hooks.h"

namespace parvion {

LiveRead ReadLiveValues(Link& link, ParameterImage& image, DeviceState& device, int circuit,
                        const std::function<void()>& clockRead) {
    UiHooks& ui = link.ui();
    const auto c = static_cast<std::size_t>(circuit == 1 ? 1 : 0);
    if (!ReadDeviceClock(link, device.DeviceDateTime, device.ClockOffset)) return LiveRead::Clock;
    ui.progressStep();
    ReadSystem(link, image);
    ui.progressStep();
    if (clockRead) clockRead();
    if (!ReadOperatingValues(link, static_cast<int>(c), device.OperatingValues[c])) {
        return LiveRead::OperatingValues;
    }
    ui.progressStep();
    if (!ReadCircuitParameters(link, image, static_cast<int>(c))) {
        return LiveRead::CircuitParameters;
    }
    ui.progressStep();
    if (!ReadOutputCurrents(link, device.OutputCurrents)) return LiveRead::OutputCurrents;
    ui.progressStep();
    if (!ReadDis_User(link, image)) return LiveRead::DisplayOptions;
    ui.progressStep();
    if (image.Dis_User.Einheiten != 0) {
        for (int q = 0; q < 16; ++q) ReadUserEinheiten(link, image, q);
    }
    ui.progressStep();
    return LiveRead::Complete;
}

}  // namespace parvion
