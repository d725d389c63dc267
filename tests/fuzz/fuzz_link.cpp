// Device replies through the real Link and the command functions: the input
// picks the commands and is, chunk by chunk, what the device answers (see
// FuzzLine).

#include <cstdlib>
#include <iterator>
#include <memory>

#include "core/link/connect.h"
#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/session.h"
#include "fuzz_support.h"

using namespace parvion;

namespace {

LocalTime FixedNow() {
    using namespace std::chrono;
    return local_days{year{2024} / 2 / 29} + hours{23} + minutes{59} + seconds{58};
}

// What a command works on: arg picks circuit, block or table, i is a
// mostly valid index, sometimes not.
struct Step {
    Link& link;
    ParameterImage& image;
    DeviceState& device;
    std::uint8_t arg;
    int i;
};

// The commands, chosen by the selector byte (scripts/fuzz seeds each by its
// place here).
using Command = void (*)(Step&);
const Command kCommands[] = {
    [](Step& s) { ReadT_User(s.link, s.image, s.i); },
    [](Step& s) { ReadP_User(s.link, s.image, s.i); },
    [](Step& s) { ReadFlow_User(s.link, s.image, s.i); },
    [](Step& s) { ReadDes_User(s.link, s.image, s.i); },
    [](Step& s) { ReadMed_User(s.link, s.image, s.i); },
    [](Step& s) { ReadBez_User(s.link, s.image, s.i); },
    [](Step& s) { ReadImp_User(s.link, s.image, s.i); },
    [](Step& s) { ReadAlm_User(s.link, s.image, s.i); },
    [](Step& s) { ReadAus_User(s.link, s.image, s.i); },
    [](Step& s) { ReadFlowKorr(s.link, s.image, s.i); },
    [](Step& s) { ReadEG_User(s.link, s.image); },
    [](Step& s) { ReadGrenzwerte(s.link, s.image); },
    [](Step& s) { ReadSystem(s.link, s.image); },
    [](Step& s) { ReadBetrieb(s.link, s.image); },
    [](Step& s) { ReadDis_User(s.link, s.image); },
    [](Step& s) { ReadTrend_User(s.link, s.image); },
    [](Step& s) { ReadUserEinheiten(s.link, s.image, s.arg % 17); },
    [](Step& s) { ReadVorgaben(s.link, s.image, s.arg % 9); },
    [](Step& s) { ReadDisplay(s.link, s.image); },
    [](Step& s) { ReadCircuitParameters(s.link, s.image, s.i); },
    [](Step& s) { ReadAllParameters(s.link, s.image); },
    [](Step& s) { WriteAllParameters(s.link, s.image); },
    [](Step& s) { WriteDeviceBaudRate(s.link, s.image, s.arg % 9); },
    [](Step& s) { WriteUserEinheiten(s.link, s.image, s.arg % 17); },
    [](Step& s) {
        std::string ident;
        if (ReadDeviceIdent(s.link, ident)) (void)MediumOfIdent(ident);
    },
    [](Step& s) { ReadDeviceAccess(s.link, s.device.DeviceAccess); },
    [](Step& s) { (void)ReadProgramText(s.link); },
    [](Step& s) { ReadDeviceSerialNo(s.link, s.device.DeviceSerialNo); },
    [](Step& s) {
        ReadDeviceClock(s.link, s.device.DeviceDateTime, s.device.ClockOffset, FixedNow);
    },
    [](Step& s) { WriteDeviceClock(s.link, FixedNow); },
    [](Step& s) { ReadOperatingValues(s.link, s.i, s.device.OperatingValues[s.arg % 2]); },
    [](Step& s) { ReadOutputCurrents(s.link, s.device.OutputCurrents); },
    [](Step& s) {
        std::uint8_t bits = 0;
        (void)ReadErrorState(s.link, bits);
    },
    [](Step& s) { ReadErrorProtocol(s.link, s.device.ErrorProtocol); },
    [](Step& s) { ReadIntegrators(s.link, s.device.Integrators); },
    [](Step& s) { ReadTrendDirectory(s.link, s.device.TrendStore); },
    [](Step& s) { ReadTrendBlock(s.link, s.arg % 46, s.device.TrendStore); },
    [](Step& s) { (void)ReadTrendMemory(s.link, s.device.TrendStore); },
    [](Step& s) { ReadPropertyTable(s.link, s.arg % 3, s.device.PropertyTable); },
    [](Step& s) { WritePropertyTable(s.link, s.arg % 3, s.device.PropertyTable); },
    [](Step& s) { ReadSaturationTable(s.link, s.device.SaturationTable); },
    [](Step& s) { WriteSaturationTable(s.link, s.device.SaturationTable); },
    [](Step& s) { (void)DeviceAvailable(s.link, s.device); },
    [](Step& s) { ConnectDevice(s.link, s.device); },
};
static_assert(std::size(kCommands) == 44);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader in(data, size);
    const std::uint8_t how = in.byte();

    Session session;
    session.Medium = how & 1;
    session.TraceLevel = (how >> 1) & 3;
    session.Baudrate = (how >> 3) & 7;
    const auto logs = fuzz::ScratchFolder() / "logs";
    fuzz::FuzzLine line(in);
    fuzz::NoWaitUi ui;
    Link link(line, ui, session, logs);
    link.setPortResolver([](int) { return std::string("fuzz"); });
    if (!link.OpenComPort(1, session.Baudrate)) return 0;

    auto image = std::make_unique<ParameterImage>();
    auto device = std::make_unique<DeviceState>();
    // Each step: a selector byte and an argument byte, then the replies.
    for (int step = 0; step < 64 && !in.empty(); ++step) {
        if (!session.Online && !link.OpenComPort(1, session.Baudrate)) break;
        const std::uint8_t selector = in.byte();
        const std::uint8_t arg = in.byte();
        Step on{link, *image, *device, arg, arg % 4 == 3 ? arg : arg % 4};
        kCommands[selector % std::size(kCommands)](on);
    }
    std::error_code ec;
    std::filesystem::remove_all(logs, ec);
    return 0;
}
