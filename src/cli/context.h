#pragma once
// What one run of parvion2-cli works with: the settings it starts from, the
// session, the string library, and the link to the device with its records.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "cli/cli_options.h"
#include "core/edit/history_recorder.h"
#include "core/app/texts.h"
#include "core/history/history.h"
#include "core/link/port_line.h"
#include "core/link/termios_line.h"
#include "core/link/transport.h"
#include "core/link/ui_hooks.h"
#include "core/model/device_records.h"
#include "core/model/parameter_image.h"
#include "core/model/session.h"
#include "core/views/text_source.h"

namespace parvion::cli {

// $XDG_DATA_HOME/parvion2, else $HOME/.local/share/parvion2 (not created).
std::filesystem::path AppDataFolder();
// The folder of the running program.
std::filesystem::path ExecutableFolder(const char* argv0);

// The command line has no window: of the user-interface effects it keeps
// that an edit was not sent, for its message, and prints the history's
// warnings on stderr (the exit code stays as the device work ends).
class CliUiHooks : public NullUiHooks {
  public:
    void editNotSent(const LinkFailure& failure) override {
        (void)failure;
        notSent = true;
    }
    void historyWarning(const std::string& text) override;
    bool notSent = false;
};

class Context {
  public:
    Context(const CliOptions& options, const std::filesystem::path& exeFolder);
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    // Text of the library, or the fallback when it has none.
    std::string text(std::uint16_t number, const std::string& fallback = {}) const;
    views::BlockLoader blocks() const;
    views::TextLoader texts() const;
    views::ValueFormatter values() const;

    // Opens the port, identifies the device (which sets the variant), reads
    // its access record and its System block. With checkPassword, a
    // protected device needs the right --password; a given password is
    // always checked. Throws CliError on every failure.
    void connect(bool checkPassword);

    // A link that stays offline (no port is opened): the edit layer then
    // changes the image alone.
    Link& offlineLink();

    const CliOptions& options() const { return options_; }
    Session& session() { return session_; }
    Link& link() { return *link_; }
    DeviceState& device() { return *device_; }
    ParameterImage& image() { return image_; }
    const std::filesystem::path& appData() const { return appData_; }
    int medium() const { return session_.Medium; }

    // Why the link last failed, in the user's language; empty when it has
    // not failed.
    std::string linkCauseText() const;
    // Ends the command with "what: cause (the port at its baud rate)" for a
    // device operation that failed.
    [[noreturn]] void deviceFailure(const std::string& what) const;

    // An edit stopped before it sent anything: a record it writes could not
    // be read from the device first.
    bool editNotSent() const { return ui_.notSent; }

    // The device history of the settings, opened at the first call; a store
    // that cannot be opened gives a warning on stderr, and the history
    // keeps what it is given for later in this run.
    history::History& history();
    // After the command, whether it ended well or not: what it read whole
    // and wrote goes into the history (warnings on stderr). Never throws.
    void RecordHistory() noexcept;
    // Whether the store opened (history() opens it).
    bool historyOpened() { return history(), historyCause_.empty(); }
    const std::string& historyOpenCause() const { return historyCause_; }

    // The device path or network port name of the chosen port.
    const std::string& portPath() const { return portPath_; }
    // "the port /dev/x at 9600 baud" for messages.
    std::string portDescription() const;

  private:
    const CliOptions& options_;
    std::filesystem::path appData_;
    Session session_;
    std::unique_ptr<TextLibrary> texts_;
    CliUiHooks ui_;
    TermiosLine termios_;
    PortLine line_{termios_};
    std::unique_ptr<Link> link_;
    std::unique_ptr<DeviceState> device_;
    ParameterImage image_;
    std::string portPath_;
    int comNumber_ = 1;
    std::unique_ptr<history::History> history_;
    std::unique_ptr<HistoryRecorder> recorder_;
    std::string historyCause_;
};

}  // namespace parvion::cli
