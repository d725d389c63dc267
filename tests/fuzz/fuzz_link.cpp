// Device replies through the real Link and the command functions: the input
// picks the commands and is, chunk by chunk, what the device answers (see
// FuzzLine).

#include <cstdlib>
#include <memory>

#include "core/model/session.h"
#include "core/link/connect.h"
#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "fuzz_support.h"

using namespace parvion;

namespace {

LocalTime FixedNow() {
    using namespace std::chrono;
    return local_days{year{2024} / 2 / 29} + hours{23} + minutes{59} + seconds{58};
}

// One command chosen by the selector byte; arg picks circuit, block or
// table.
void RunCommand(Link& link, ParameterImage& image, DeviceState& device, std::uint8_t selector,
                std::uint8_t arg) {
    const int i = arg % 4 == 3 ? arg : arg % 4;  // mostly valid indexes, sometimes not
    switch (selector % 44) {
        case 0:
            ReadT_User(link, image, i);
            break;
        case 1:
            ReadP_User(link, image, i);
            break;
        case 2:
            ReadFlow_User(link, image, i);
            break;
        case 3:
            ReadDes_User(link, image, i);
            break;
        case 4:
            ReadMed_User(link, image, i);
            break;
        case 5:
            ReadBez_User(link, image, i);
            break;
        case 6:
            ReadImp_User(link, image, i);
            break;
        case 7:
            ReadAlm_User(link, image, i);
            break;
        case 8:
            ReadAus_User(link, image, i);
            break;
        case 9:
            ReadFlowKorr(link, image, i);
            break;
        case 10:
            ReadEG_User(link, image);
            break;
        case 11:
            ReadGrenzwerte(link, image);
            break;
        case 12:
            ReadSystem(link, image);
            break;
        case 13:
            ReadBetrieb(link, image);
            break;
        case 14:
            ReadDis_User(link, image);
            break;
        case 15:
            ReadTrend_User(link, image);
            break;
        case 16:
            ReadUserEinheiten(link, image, arg % 17);
            break;
        case 17:
            ReadVorgaben(link, image, arg % 9);
            break;
        case 18:
            ReadDisplay(link, image);
            break;
        case 19:
            ReadCircuitParameters(link, image, i);
            break;
        case 20:
            ReadAllParameters(link, image);
            break;
        case 21:
            WriteAllParameters(link, image);
            break;
        case 22:
            WriteDeviceBaudRate(link, image, arg % 9);
            break;
        case 23:
            WriteUserEinheiten(link, image, arg % 17);
            break;
        case 24: {
            std::string ident;
            if (ReadDeviceIdent(link, ident)) (void)MediumOfIdent(ident);
            break;
        }
        case 25:
            ReadDeviceAccess(link, device.DeviceAccess);
            break;
        case 26:
            (void)ReadProgramText(link);
            break;
        case 27:
            ReadDeviceSerialNo(link, device.DeviceSerialNo);
            break;
        case 28:
            ReadDeviceClock(link, device.DeviceDateTime, device.ClockOffset, FixedNow);
            break;
        case 29:
            WriteDeviceClock(link, FixedNow);
            break;
        case 30:
            ReadOperatingValues(link, i, device.OperatingValues[arg % 2]);
            break;
        case 31:
            ReadOutputCurrents(link, device.OutputCurrents);
            break;
        case 32: {
            std::uint8_t bits = 0;
            (void)ReadErrorState(link, bits);
            break;
        }
        case 33:
            ReadErrorProtocol(link, device.ErrorProtocol);
            break;
        case 34:
            ReadIntegrators(link, device.Integrators);
            break;
        case 35:
            ReadTrendDirectory(link, device.TrendStore);
            break;
        case 36:
            ReadTrendBlock(link, arg % 46, device.TrendStore);
            break;
        case 37:
            (void)ReadTrendMemory(link, device.TrendStore);
            break;
        case 38:
            ReadPropertyTable(link, arg % 3, device.PropertyTable);
            break;
        case 39:
            WritePropertyTable(link, arg % 3, device.PropertyTable);
            break;
        case 40:
            ReadSaturationTable(link, device.SaturationTable);
            break;
        case 41:
            WriteSaturationTable(link, device.SaturationTable);
            break;
        case 42:
            (void)DeviceAvailable(link, device);
            break;
        case 43:
            ConnectDevice(link, device);
            break;
    }
}

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
        RunCommand(link, *image, *device, selector, in.byte());
    }
    std::error_code ec;
    std::filesystem::remove_all(logs, ec);
    return 0;
}
