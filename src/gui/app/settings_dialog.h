#pragma once
// The settings dialog "Einstellungen": serial port and baud rate, offline
// or online work, which way the parameters go when going online, and how
// often the live values are refreshed. OK runs the connection sequence
// (core/app/connection). The dialog works on the objects it is given and
// reaches the main window only through EinstHooks.
//
// Opening closes the serial port and stops the refresh timer; the port
// stays closed while the dialog is open. Closing (OK or Cancel) shows the
// online state as it then is, so Cancel while online leaves the program
// offline.
//
// The connection sequence and the connection test hold the busy guard for
// their whole run, with the busy cursor, and say in the dialog what they are
// doing and, when they end without a device, why. The sequence's device
// waits keep the event loop running, so a second click on OK, a held Enter,
// Escape, Cancel or the close box arrive in the middle of it: all are
// ignored until the sequence has ended.
//
// The connection test runs on a thread of its own (it uses its own lines and
// links, never the window's, and touches no widget: what it reports comes
// back through queued calls), while the dialog waits in its event loop and
// keeps painting. Cancel, Escape and the close box stop the test after the
// step it is in (a port's checks or one baud rate) and leave the dialog
// open.

#include <QDialog>
#include <QStringList>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/app/connection.h"
#include "core/link/doctor.h"
#include "gui/app/qt_socket_wait.h"

class QCheckBox;
class QLabel;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;

namespace parvion {
class Link;
class TextLibrary;
class UiHooks;
struct DeviceState;
struct ParameterImage;
struct Session;
}  // namespace parvion

namespace parvion::gui {

class BusyGuard;
class RadioGroup;
class TPasswordDlg;

// Text numbers of the dialog: caption and group captions, then the items of
// the five groups.
inline constexpr std::uint16_t kEinstCaptions = 21504;
inline constexpr std::uint16_t kEinstComItems = 21520;
inline constexpr std::uint16_t kEinstBaudItems = 21536;
inline constexpr std::uint16_t kEinstZustandItems = 21552;
inline constexpr std::uint16_t kEinstAktItems = 21568;
inline constexpr std::uint16_t kEinstRefItems = 21584;

struct EinstContext {
    Session& session;
    ParameterImage& image;
    DeviceState& device;
    Link& link;  // its UiHooks must be `ui`
    const TextLibrary& texts;
    UiHooks& ui;
    // The main window's guard: no sequence of the dialog starts while
    // another device sequence runs, and none inside its own.
    BusyGuard& busy;
    std::filesystem::path appDataFolder;  // error log; settings file for the port table
    // Device path of "Com N"; null: section "Ports" of the settings file in
    // appDataFolder, else /dev/ttyS{N-1}.
    std::function<std::string(int comNumber)> portResolver;
};

// What belongs to the main window. Every hook may be left empty.
struct EinstHooks {
    std::function<void()> stopRefreshTimer;
    std::function<void(int intervalMs)> setRefreshInterval;
    std::function<void()> startRefreshTimer;
    // After the program switched to the device's variant (Medium changed).
    std::function<void()> UpdateTexts;
    // Check mnu_gas / mnu_energy as Medium says.
    std::function<void()> checkVariantMenus;
    std::function<void()> FillParameterPages;
    // Empty Ed_DateTime.
    std::function<void()> clearDateTime;
};

// The connection test's report: the findings port by port, and, when a
// device answered on one of the ports "Com 1" to "Com 8", a button that
// takes that port and baud rate into the settings dialog.
class TDoctorDlg : public QDialog {
    Q_OBJECT
  public:
    TDoctorDlg(const QString& title, const QString& report, const QString& takeText,
               const QString& closeText, QWidget* parent);
    QPlainTextEdit* DoctorReport = nullptr;
    QPushButton* BtnTake = nullptr;  // null when nothing answered on a Com port
    QPushButton* BtnClose = nullptr;
};

class TEinst : public QDialog {
    Q_OBJECT
  public:
    TEinst(EinstContext context, EinstHooks hooks, TPasswordDlg& passwordDlg,
           QWidget* parent = nullptr);

    // Loads the dialog's texts from the current string library.
    void Sprache();

    RadioGroup* Com_Grp = nullptr;
    RadioGroup* Bd_Grp = nullptr;
    RadioGroup* Zustand_Grp = nullptr;
    RadioGroup* Akt_Grp = nullptr;
    RadioGroup* Ref_Grp = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* RSIndex = nullptr;
    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;
    // "Test connection": the connection doctor for the chosen port and every
    // port the system lists; sends nothing but identity requests.
    QPushButton* BtnTest = nullptr;
    // "Compare before writing" (the session's CompareBeforeWrite, taken on OK).
    QCheckBox* CompareBox = nullptr;
    // Shown when the chosen port is a raw TCP port: its baud rate is set on
    // the server.
    QLabel* NetNote = nullptr;
    // What the connection test or the connection sequence is doing, and once
    // they have ended without a device, why; hidden until then.
    QLabel* ProgressText = nullptr;

    // Outcome of the last OK (Offline before any).
    ConnectionResult lastResult() const { return lastResult_; }
    // The refresh choice in force: the one the last OK took (0 "Manuell"
    // until then). The dialog opens with it.
    int refreshChoice() const { return refreshChoice_; }
    // True while the connection sequence or the connection test runs.
    bool sequenceRunning() const { return running_; }
    // True while the connection test runs.
    bool testRunning() const { return testRunning_; }

  public slots:
    void FormActivate();
    void FormDeactivate();
    void Zustand_GrpClick(int index);
    void Ref_GrpClick(int index);
    void BtnOkClick();
    void BtnTestClick();

  public:
    ~TEinst() override;
    void done(int result) override;
    // Stops a running connection test after its current step.
    void cancelTest();
    // The reports of the last connection test, port by port.
    const std::vector<doctor::PortReport>& doctorReports() const { return doctorReports_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // OK's connection sequence; true when the dialog closes after it.
    bool connectionSequence();
    std::string portPath(int comNumber) const;
    QStringList decoratedPorts() const;
    void updateNetNote();
    // The width of the notes below the groups: the two columns of groups.
    int noteWidth() const;
    // Shows a line in ProgressText (hidden when empty).
    void showProgress(const QString& text);

    EinstContext ctx_;
    EinstHooks hooks_;
    TPasswordDlg& passwordDlg_;
    QStringList portLabels_;
    std::string statusAfterClose_;
    ConnectionResult lastResult_ = ConnectionResult::Offline;
    int refreshChoice_ = 0;
    bool running_ = false;
    bool testRunning_ = false;
    // Set by cancelTest, read by the test's thread.
    std::shared_ptr<std::atomic<bool>> testCancel_;
    std::vector<doctor::PortReport> doctorReports_;
    // The connection test waits for network servers in the event loop.
    QtSocketWait socketWait_;
};

}  // namespace parvion::gui
