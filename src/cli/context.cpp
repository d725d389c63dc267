#include "cli/context.h"

#include <cstdlib>
#include <iostream>
#include <system_error>

#include "cli/cli_error.h"
#include "core/app/connection.h"
#include "core/app/error_log.h"
#include "core/app/history_open.h"
#include "core/app/settings.h"
#include "core/history/history_view.h"
#include "core/link/connect.h"
#include "core/link/data_commands.h"
#include "core/link/net_port.h"
#include "core/link/parameter_blocks.h"
#include "core/model/profile_file.h"
#include "core/model/value_format.h"
#include "core/model/variant.h"

namespace parvion::cli {

namespace fs = std::filesystem;

fs::path AppDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') return fs::path(xdg) / "parvion2";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return fs::path(home) / ".local/share/parvion2";
    return {};
}

fs::path ExecutableFolder(const char* argv0) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty()) return self.parent_path();
    return fs::absolute(fs::path(argv0 != nullptr ? argv0 : ""), ec).parent_path();
}

Context::Context(const CliOptions& options, const fs::path& exeFolder)
    : options_(options), appData_(AppDataFolder()), device_(std::make_unique<DeviceState>()) {
    // The settings file gives the defaults; it is only read, never written.
    const ProfileFile settings(SettingsFile(appData_));
    using namespace settings_keys;
    int anschluss = settings.readInt(kEinstellungen, kAnschluss, 0);
    if (anschluss < 0 || anschluss > 7) anschluss = 0;
    int baud = settings.readInt(kEinstellungen, kBaudrate, 3);
    if (baud < 0 || baud > 7) baud = 7;
    int sprache = settings.readInt(kSystem, kSprache, 0);
    if (sprache < 0 || sprache > 1) sprache = 0;
    int medium = settings.readInt(kSystem, kMedium, 0);
    medium = VariantOf(medium).medium;

    session_.Medium = medium;
    session_.Sprache = options.sprache.value_or(sprache);
    session_.Baudrate = options.baudIndex.value_or(baud);
    session_.TraceLevel = settings.readInt(kDebug, kRs232, 0);
    session_.NetLatencyMs = ReadNetLatency(settings);
    comNumber_ = anschluss + 1;
    if (options.port) {
        if (options.port->comNumber > 0) {
            comNumber_ = options.port->comNumber;
        } else {
            portPath_ = options.port->path;
        }
    }
    if (portPath_.empty()) portPath_ = PortName(settings, comNumber_);
    session_.Anschluss = comNumber_ - 1;
    if (options.baudIndex) {
        if (const auto net = ParseNetworkPort(portPath_);
            net && net->protocol == NetProtocol::Raw) {
            std::cerr << "parvion2-cli: note: " << portPath_
                      << " is a raw TCP port: its baud rate is set on the server; --baud only "
                         "sets the timing\n";
        }
    }

    texts_ = std::make_unique<TextLibrary>(FindTextFolder(exeFolder), session_);
    if (!texts_->checkLibrary()) {
        Failure("Sprachen - Dll fehlt! (" + texts_->libraryPath().string() + ")");
    }
}

void CliUiHooks::historyWarning(const std::string& text) {
    if (!text.empty()) std::cerr << "parvion2-cli: warning: " << text << '\n';
}

history::History& Context::history() {
    if (!history_) {
        OpenedHistory opened = OpenHistory(appData_, history::kProgramCli);
        history_ = std::move(opened.history);
        // In the language of --lang where the cause is a common one.
        if (!opened.cause.empty()) historyCause_ = history::StoreCauseText(opened.status, texts());
    }
    return *history_;
}

void Context::RecordHistory() noexcept {
    if (!recorder_ || !link_) return;
    try {
        recorder_->finish(*link_);
    } catch (const std::exception& e) {
        std::cerr << "parvion2-cli: warning: the device history was not written: " << e.what()
                  << '\n';
    }
}

std::string Context::text(std::uint16_t number, const std::string& fallback) const {
    std::string t = texts_->LoadText(number);
    return t.empty() ? fallback : t;
}

views::BlockLoader Context::blocks() const {
    return [this](std::uint16_t first, std::uint8_t width, views::TextBlock& t) {
        return texts_->LoadTextBlock(first, width, t);
    };
}

views::TextLoader Context::texts() const {
    return [this](std::uint16_t number) { return texts_->LoadText(number); };
}

views::ValueFormatter Context::values() const {
    return [this](std::uint8_t q, bool withUnit, bool trim, float v) {
        return FormatValue(image_, session_.Medium, q, withUnit, trim, v);
    };
}

std::string Context::portDescription() const {
    return portPath_ + " at " + std::to_string(kBaudRates[session_.Baudrate]) + " baud";
}

std::string Context::linkCauseText() const {
    if (!link_) return {};
    return LinkFailureText(link_->lastFailure(), texts());
}

void Context::deviceFailure(const std::string& what) const {
    std::string message = what;
    const std::string cause = linkCauseText();
    if (!cause.empty()) message += (message.empty() ? "" : ": ") + cause;
    Failure(message + " (" + portDescription() + ")");
}

Link& Context::offlineLink() {
    session_.Online = false;
    if (!link_) link_ = std::make_unique<Link>(line_, ui_, session_, appData_);
    return *link_;
}

void Context::connect(bool checkPassword) {
    std::error_code ec;
    if (!appData_.empty()) fs::create_directories(appData_, ec);  // for Errors.log and traces
    link_ = std::make_unique<Link>(line_, ui_, session_, appData_);
    link_->setErrorLog(ErrorLogIn(appData_));
    recorder_ = std::make_unique<HistoryRecorder>(
        [this]() -> history::History& { return history(); }, appData_, texts());
    link_->setRecordWatch(recorder_.get());
    const std::string path = portPath_;
    link_->setPortResolver([path](int) { return path; });

    session_.Online = true;
    // The cause names the port and why it cannot be opened; the error log
    // has the details.
    if (!link_->OpenComPort(comNumber_, session_.Baudrate)) Failure(linkCauseText());

    DeviceState& dev = *device_;
    if (!ReadDeviceIdent(*link_, dev.DeviceIdent)) deviceFailure("");
    session_.Medium = MediumOfIdent(dev.DeviceIdent);
    if (session_.Medium == medium::Unknown) {
        Failure(std::string(kNoSupportedDevice) + " (identity \"" + dev.DeviceIdent + "\")");
    }

    if (!ReadDeviceAccess(*link_, dev.DeviceAccess)) {
        deviceFailure("the access record cannot be read");
    }
    if (dev.DeviceAccess.isProtected() && (checkPassword || options_.password)) {
        if (!options_.password) {
            Failure("the device is password-protected: give its password with --password");
        }
        if (!PasswordMatches(*options_.password, dev.DeviceAccess.Password)) {
            Failure("wrong password for the protected device");
        }
    }
    if (!ReadSystem(*link_, image_)) {
        deviceFailure("the System block cannot be read");
    }
}

}  // namespace parvion::cli
