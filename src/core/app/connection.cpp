#include "core/app/connection.h"

#include <filesystem>
#include <system_error>

#include "core/app/error_log.h"
#include "core/app/texts.h"
#include "core/link/data_commands.h"
#include "core/link/net_port.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/variant.h"

namespace parvion {

std::string PadPassword(std::string_view typed) {
    std::string padded(typed.substr(0, kPasswordLength));
    padded.resize(kPasswordLength, kPasswordPad);
    return padded;
}

bool PasswordMatches(std::string_view typed, std::string_view devicePassword) {
    return PadPassword(typed) == devicePassword;
}

int RefreshIntervalMs(int choice) {
    switch (choice) {
        case 1:
            return 2000;
        case 2:
            return 5000;
        default:
            return 10000;
    }
}

bool RefreshTimerRuns(int choice) {
    return choice == 1 || choice == 2;
}

namespace {

std::string PasswordOf(const std::function<std::string()>& source) {
    return source ? source() : std::string();
}

// Steps 4 to 7 need the port closed again when they fail before the device
// is known.
void ClosePort(Link& link) {
    link.line().close();
}

}  // namespace

void TakeDeviceReadyFlags(ParameterImage& image, const EG_UserRec& deviceGas,
                          const std::array<Med_UserRec, 2>& deviceMedium) {
    const bool changed = image.EG_User != deviceGas;
    for (std::size_t c = 0; c < 2; ++c) {
        image.Med_User[c].Ready = changed ? std::uint8_t{0} : deviceMedium[c].Ready;
    }
}

void KeepDeviceReadyFlags(Link& link, ParameterImage& image) {
    // What the device holds; a failed read leaves the image's own values in
    // their place.
    ParameterImage device = image;
    for (int c = 0; c < 2; ++c) ReadMed_User(link, device, c);
    ReadEG_User(link, device);
    TakeDeviceReadyFlags(image, device.EG_User, device.Med_User);
}

ConnectionOutcome RunConnection(Link& link, ParameterImage& image, DeviceState& device,
                                const TextLibrary& texts,
                                const std::filesystem::path& appDataFolder,
                                const ConnectionRequest& request, const ConnectionHooks& hooks) {
    Session& session = link.session();
    UiHooks& ui = link.ui();
    ConnectionOutcome out;
    out.baudIndex = request.baudIndex;

    if (!request.online) {
        session.Online = false;
        ClosePort(link);
        out.result = ConnectionResult::Offline;
        return out;
    }

    // The device changes its rate first, over the line as it was.
    if (session.Online && request.baudIndex != session.Baudrate) {
        if (!WriteDeviceBaudRate(link, image, request.baudIndex)) {
            LogError(appDataFolder, "ERROR:  Einst, OK, SetBetrieb");
            image.Betrieb.Bytes[0] = static_cast<std::uint8_t>(session.Baudrate);
            out.baudIndex = session.Baudrate;
        }
    }

    session.Online = true;
    ui.statusText(0, "");
    ui.statusText(1, "");
    link.OpenComPort(request.comIndex + 1, out.baudIndex);

    std::string ident;
    if (!ReadDeviceIdent(link, ident)) {
        LogError(appDataFolder, "ERROR:  Einst, OK, GetInitString");
        session.Online = false;
        ui.beep();
        // Why: a port that does not open, a device that does not answer, ...
        out.status = LinkFailureText(link.lastFailure(),
                                     [&texts](std::uint16_t n) { return texts.LoadText(n); });
        if (out.status.empty()) out.status = texts.LoadText(kTextNoAnswer);
        ui.statusText(0, out.status);
        ClosePort(link);
        out.result = ConnectionResult::KeepOpen;
        return out;
    }
    device.DeviceIdent = ident;

    // A program that met an unknown device (Medium -1) takes the variant of
    // the device it now finds, like one of the other variant.
    const int deviceMedium = MediumOfIdent(ident);
    if (deviceMedium == medium::Unknown) {
        LogError(appDataFolder,
                 "ERROR:  Einst, OK, GetInitString ?"
                 "?(" +
                     ident + ")");
        ui.beep();
        session.Online = false;
        out.result = ConnectionResult::ClosedOffline;
        return out;
    }
    if (session.Medium != deviceMedium) {
        session.Medium = deviceMedium;
        if (hooks.variantChanged) hooks.variantChanged();
    }

    if (!ReadSystem(link, image)) {
        LogError(appDataFolder, "ERROR:  Einst, OK, GetSystem_user");
        ui.beep();
        session.Online = false;
        out.result = ConnectionResult::ClosedOffline;
        return out;
    }

    bool passwordRefused = false;
    if (ReadDeviceAccess(link, device.DeviceAccess) && device.DeviceAccess.isProtected()) {
        const std::string& wanted = device.DeviceAccess.Password;
        bool ok = PasswordMatches(PasswordOf(hooks.rememberedPassword), wanted);
        if (!ok) ok = PasswordMatches(PasswordOf(hooks.askPassword), wanted);
        if (!ok) {
            LogError(appDataFolder, "ERROR:  Einst, OK, Password");
            ui.beep();
            session.Online = false;
            passwordRefused = true;
        }
    }

    if (session.Online) {
        session.Anschluss = request.comIndex;
        session.Baudrate = out.baudIndex;
    }

    if (session.Online && request.transferShown) {
        if (request.transfer == transfer::FromDevice) {
            ReadAllParameters(link, image);
            if (hooks.fillParameterPages) hooks.fillParameterPages();
        } else {
            if (VariantOf(session.Medium).gasCalculation) KeepDeviceReadyFlags(link, image);
            WriteAllParameters(link, image);
        }
        ui.progressHide();
    }

    if (!session.Online) {
        if (passwordRefused) {
            out.status = texts.LoadText(kTextPasswordRefused);
            ui.statusText(0, out.status);
        }
        ClosePort(link);
        out.result =
            passwordRefused ? ConnectionResult::PasswordRefused : ConnectionResult::ClosedOffline;
        return out;
    }
    out.result = ConnectionResult::Online;
    return out;
}

std::string PortItemText(std::string_view label, std::string_view path, bool exists) {
    std::string text(label);
    if (path.empty()) return text;
    if (const auto net = ParseNetworkPort(path)) {
        // Whether a server answers there is the connection test's question.
        return text + "  " + HostAndPort(*net) +
               (net->protocol == NetProtocol::Rfc2217 ? " (RFC 2217)" : " (TCP)");
    }
    text += "  ";
    text += path;
    text += exists ? " \u2713" : " \u2717";
    return text;
}

bool PortExists(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

std::string ConnectingText(const views::TextLoader& text, std::string_view label,
                           std::string_view path, int baudIndex) {
    std::string port(label);
    if (!path.empty() && port.find(path) == std::string::npos) {
        port += (port.empty() ? "" : " (") + std::string(path) + (port.empty() ? "" : ")");
    }
    const std::string baud =
        baudIndex >= 0 && baudIndex < 8 ? std::to_string(kBaudRates[baudIndex]) : "?";
    return views::FillText(text, kTextConnecting, {port, baud});
}

std::string NotConnectedText(const views::TextLoader& text, std::string_view cause) {
    if (cause.empty()) return {};
    return views::FillText(text, kTextNotConnected, {std::string(cause)});
}

}  // namespace parvion
