#pragma once
// The connection sequence of the settings dialog: going offline, or changing
// the device's baud rate, opening the port, identifying the device,
// switching the program to the device's variant, reading the system record,
// checking the device password and making the first parameter transfer.
// The dialog collects the user's choices and runs RunConnection; everything
// that belongs to the main window or to the password dialog is reached
// through ConnectionHooks.

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/model/device_records.h"
#include "core/model/parameter_image.h"
#include "core/model/session.h"
#include "core/views/text_source.h"

namespace parvion {

class Link;
class TextLibrary;

// Status-bar texts of the sequence (a device that was not reached is named
// by the link's failure, LinkFailureText).
inline constexpr std::uint16_t kTextPasswordRefused = 48;
inline constexpr std::uint16_t kTextNoAnswer = 49;
// What the dialog says while the sequence runs, and why it stays open.
inline constexpr std::uint16_t kTextConnecting = 22948;    // %1 port, %2 baud
inline constexpr std::uint16_t kTextNotConnected = 22949;  // %1 the cause

// "Connecting to Com 2 (/dev/ttyUSB0) at 19200 baud …": the port's label,
// its path when the label does not say it, and the rate (index 0..7).
std::string ConnectingText(const views::TextLoader& text, std::string_view label,
                           std::string_view path, int baudIndex);
// "Not connected: " and the cause the sequence gave (ConnectionOutcome's
// status); nothing without a cause.
std::string NotConnectedText(const views::TextLoader& text, std::string_view cause);

// Length of the device password; a typed password is padded with this
// character to it.
inline constexpr std::size_t kPasswordLength = 8;
inline constexpr char kPasswordPad = '-';

// The first 8 characters of the typed text followed by "--------": the form
// in which the device keeps its password.
std::string PadPassword(std::string_view typed);
// Case-sensitive comparison of the padded entry with the device password.
bool PasswordMatches(std::string_view typed, std::string_view devicePassword);

// Choices of "Betriebsanzeige auffrischen": 0 manual, 1 every 2 s, 2 every 5 s.
// The refresh timer's interval for a choice (10000 ms for manual and for an
// unknown choice) and whether OK starts it.
int RefreshIntervalMs(int choice);
bool RefreshTimerRuns(int choice);

// What the user chose in the dialog.
struct ConnectionRequest {
    bool online = false;         // "Online" selected
    int comIndex = 0;            // port index 0..7 ("Com 1" .. "Com 8")
    int baudIndex = 3;           // baud-rate index 0..7
    bool transferShown = false;  // the transfer choice is offered (the program was offline)
    int transfer = 0;            // 0 parameters from the device, 1 parameters to the device
};

// Transfer choices.
namespace transfer {
inline constexpr int FromDevice = 0;
inline constexpr int ToDevice = 1;
}  // namespace transfer

struct ConnectionHooks {
    // The device is of the other variant and Medium has been switched:
    // reload every text of the main window and check the menu item of the
    // variant.
    std::function<void()> variantChanged;
    // What was typed in the password dialog last time (empty at first).
    std::function<std::string()> rememberedPassword;
    // Empties the password dialog, shows it modally and returns what it
    // holds afterwards, whichever button closed it.
    std::function<std::string()> askPassword;
    // Refills the parameter pages from the image.
    std::function<void()> fillParameterPages;
};

enum class ConnectionResult {
    Offline,          // "Offline" chosen: port closed, dialog closes
    KeepOpen,         // the device did not answer: port closed, dialog stays open
    ClosedOffline,    // unknown device or unreadable system record: dialog closes offline
    PasswordRefused,  // wrong password: port closed, dialog closes offline
    Online,           // connected; dialog closes
};

struct ConnectionOutcome {
    ConnectionResult result = ConnectionResult::Offline;
    // The baud index the dialog shows afterwards: the chosen one, or the
    // old one when the device could not be switched to the new rate.
    int baudIndex = 0;
    // What the status bar says about a failure (why the device was not
    // reached, a refused password); it stays once the dialog has closed.
    std::string status;
    bool closesDialog() const { return result != ConnectionResult::KeepOpen; }
};

// Runs the OK sequence. The link carries the session (Online, Medium,
// Anschluss, Baudrate) and the user-interface hooks (beep, status texts);
// failures are written to the error log in appDataFolder.
ConnectionOutcome RunConnection(Link& link, ParameterImage& image, DeviceState& device,
                                const TextLibrary& texts,
                                const std::filesystem::path& appDataFolder,
                                const ConnectionRequest& request, const ConnectionHooks& hooks);

// The gas rule of the first transfer to the device: the device's own Ready
// flags survive unless the device's gas composition (EG_User) differs from
// the one about to be written, in which case Ready is cleared in both
// circuits. The image keeps the program's EG_User and Med_User otherwise.
// Reads Med_User of both circuits and EG_User from the device.
void KeepDeviceReadyFlags(Link& link, ParameterImage& image);

// The same rule for a parameter set about to be written (a loaded file):
// each Med_User's Ready is the device's when the set's EG_User equals the
// device's, and 0 in both circuits otherwise.
void TakeDeviceReadyFlags(ParameterImage& image, const EG_UserRec& deviceGas,
                          const std::array<Med_UserRec, 2>& deviceMedium);

// How the port list names a port: the label, its device path and a mark
// whether the path exists ("Com 1  /dev/ttyS0 \u2713", "Com 2  /dev/ttyS1 \u2717");
// a network port with its host and protocol ("Com 3  station-7:4001 (RFC 2217)",
// "Com 4  10.0.0.5:4002 (TCP)"), a malformed one as it stands with the cross.
std::string PortItemText(std::string_view label, std::string_view path, bool exists);
// True when something exists at the path (a device node or a link to one).
bool PortExists(const std::string& path);

}  // namespace parvion
