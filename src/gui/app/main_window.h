#pragma once
// The main window as a frame: the two page controls with their pages, the
// menus, the status bar, the two timers, the busy guard, the start-up and
// shut-down sequences and page switching with the page rules of the
// expansion level and system definition. Each page is a class of its own
// (gui/operation, gui/parameters) built from one PageContext; the frame
// holds the pages and delegates to them, never to their widgets.
//
// The frame owns the session, the parameter image, the device records, the
// string libraries and the link. Busy is the one guard against re-entry:
// timer ticks, page switches and the file commands take it first, because
// device waits keep the event loop running.

#include <QMainWindow>
#include <QSize>
#include <QString>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/link/ui_hooks.h"
#include "core/model/device_records.h"
#include "core/model/parameter_image.h"
#include "core/model/session.h"
#include "core/model/unsaved_changes.h"
#include "core/views/text_source.h"
#include "gui/history/history_window.h"
#include "gui/print/print_menu.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/page.h"

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QProgressBar;
class QTabWidget;
class QTimer;

namespace parvion {
class HistoryRecorder;
class Link;
class SerialLine;
class TextLibrary;
}  // namespace parvion

namespace parvion::history {
class History;
}  // namespace parvion::history

namespace parvion::gui {

class CircuitParameterPage;
class CircuitValuesPage;
class CorrectionPage;
class Dialogs;
struct ComparisonView;
class DisplayPage;
class MultiRowTabBar;
class ErrorProtocolPage;
class IntegratorPage;
class OutputPage;
class PrintMenu;
class QtTranslations;
class RelayPage;
class RemarksPage;
class SystemPage;
class TAboutBox;
class TEinst;
class Tfrm_Grafik;
class Tfrm_Tabelle;
class Tfrm_UserSatTab;
class HistoryWindow;
class TInputDlg;
class TPasswordDlg;
class TrendPage;
class TrendRecordingPage;
class UnitsPage;

// Texts of the recent-files menu and the loader's message for a file that
// cannot be read (string libraries).
inline constexpr std::uint16_t kRecentMenuText = 22656;   // "Open recent"
inline constexpr std::uint16_t kRecentNoneText = 22657;   // "(none)"
inline constexpr std::uint16_t kRecentClearText = 22658;  // "Clear list"

struct MainWindowOptions {
    SerialLine* line = nullptr;             // the serial line the link uses; required
    std::filesystem::path programFolder;    // holds the string libraries
    std::filesystem::path appDataFolder;    // settings, error log, traces
    std::filesystem::path documentsFolder;  // start folder of the file dialogs
    // How long the start screen stays at least.
    int startScreenMs = 3000;
    // Message boxes and file dialogs; null: the real ones.
    Dialogs* dialogs = nullptr;
    // Opens a folder in the desktop's file manager; null: the desktop's own.
    std::function<void(const QString&)> openFolder;
    // Runs the print dialog, true when confirmed; null: the real one.
    std::function<bool(QPrinter&, QWidget*)> printDialog;
};

class Tfrm_Main : public QMainWindow,
                  public UiHooks,
                  public PageHost,
                  public PrintHost,
                  public HistoryHost {
    Q_OBJECT
  public:
    explicit Tfrm_Main(MainWindowOptions options);
    ~Tfrm_Main() override;

    // The creation sequence. False when the program must end with exit code
    // 1 (no matching string library); the message has been shown then.
    bool FormCreate();
    // Closes the port and, once started, writes the settings.
    void FormClose();

    // --- state --------------------------------------------------------
    bool Busy() const { return busy_.held(); }
    bool FormReady() const { return formReady_; }
    Session& session() override { return session_; }
    ParameterImage& image() { return image_; }
    DeviceState& device() override { return *device_; }
    Link& link() { return *link_; }
    // The device history (snapshots and journal), opened at start from the
    // settings; null before FormCreate. The history window reads its store.
    history::History* history() { return history_.get(); }
    BusyGuard& busyGuard() { return busy_; }
    TAboutBox* aboutBox() const { return aboutBox_; }
    TEinst* settingsDialog() const { return einst_; }
    TInputDlg* inputDialog() const { return inputDlg_; }
    TPasswordDlg* passwordDialog() const { return passwordDlg_; }
    Tfrm_Grafik* graphWindow() const { return grafik_; }
    // The print commands and the preview window (gui/print).
    PrintMenu* printMenu() const { return printMenu_; }
    Tfrm_Tabelle* tableWindow() const { return tabelle_; }
    Tfrm_UserSatTab* saturationWindow() const { return userSatTab_; }
    // The device history window (gui/history).
    HistoryWindow* historyWindow() const { return historie_; }
    // Settings, error log, traces; the scratch files of the history.
    const std::filesystem::path& appDataFolder() const override { return options_.appDataFolder; }
    // Qt's own texts (standard buttons, file and print dialogs) in the
    // language in force.
    const QtTranslations& qtTranslations() const { return *qtTranslations_; }
    QString statusPanelText(int panel) const;
    // Closing now would lose work (core/model/unsaved_changes.h); the title
    // carries a mark while it does.
    bool unsavedWork() const { return unsaved_.pending(image_, session_.Online); }
    // A failed whole-set write waits to be written again once connected.
    bool rewritePending() const { return rewritePending_; }
    void refreshUnsavedMark();
    // Every page, operation display first, in tab order.
    const std::vector<Page*>& pages() const { return pages_; }

    // --- texts (current library) ---------------------------------------
    std::string LoadText(std::uint16_t number) const override;
    bool LoadTextBlock(std::uint16_t first, std::uint8_t width, views::TextBlock& texts) const;

    // --- UiHooks --------------------------------------------------------
    void showOnline(bool online) override;
    void enableOfflineMenus(bool enabled) override;
    void progressStart(int maximum) override;
    void progressStep() override;
    void progressHide() override;
    void busyCursor(bool busy) override;
    void statusText(int panel, const std::string& text) override;
    void beep() override;
    void waitMs(int ms) override;
    void processEvents() override;
    void editNotSent(const LinkFailure& failure) override;
    void historyWarning(const std::string& text) override;

    // --- PageHost ---------------------------------------------------------
    bool formReady() const override { return formReady_; }
    void showDeviceClock() override;
    void unitsChanged() override { redisplayPages(); }
    void fillParameterPages() override { FillParameterPages(); }
    QString documentsFolder() const override {
        return QString::fromStdString(options_.documentsFolder.string());
    }

    // --- PrintHost --------------------------------------------------------
    QString loadedFileText() const override { return statusPanelText(0); }

    // --- files from outside the menus ----------------------------------------
    // Loads a parameter file as "Load" does, with the same questions (the
    // command line, a second start, a drop, the recent-files menu). While a
    // device sequence or a dialog is under way it waits until they end.
    void openParameterFile(const QString& file);
    // A parameter set from elsewhere (a snapshot of the device history)
    // compared, as "Compare with file" does, with the device (online) or
    // the program's parameters (offline); `caption` heads its column.
    // Writes nothing.
    void compareParameterSet(const ParameterImage& set, const QString& caption) override;
    // A parameter file's text (a snapshot) written to the device as "Load"
    // writes a file: the same questions and preparation, online the
    // comparison first and the write only when confirmed. The status bar
    // names `caption`; the text is not remembered as a recent file.
    void writeParameterText(const std::string& text, int medium, const QString& caption) override;
    // Shows the window in front of the others (a second start handed it a
    // file).
    void raiseWindow();
    // The recent parameter files, newest first, as the menu lists them.
    const std::vector<std::filesystem::path>& recentFiles() const { return recentFiles_; }
    // Rebuilds the recent-files menu; files that are gone are dropped.
    void refreshRecentMenu();

  public slots:
    void UpdateTexts();
    void RefreshTimerTimer();
    void SystemTimerTimer();
    void NotebookMouseDown();
    void TabKreis1Enter();
    void ReadCircuitValues(int circuit);
    void ShowCircuitValues();
    void FillParameterPages();
    void mnu_NeuClick();
    void mnu_LadenClick();
    // "Compare with file...": the differences between the device (online) or
    // the program's parameters (offline) and a parameter file; writes nothing.
    void mnu_VergleichenClick();
    // "Device history...": shows the history window without waiting.
    void mnu_HistorieClick();
    void mnu_SpeichernClick();
    void mnu_BeendenClick();
    void mnu_InfoClick();
    void mnu_EinstellungenClick();
    // "Grafik ..." on the trend page: shows the graph window without waiting.
    void cmd_GrafikClick();
    // The four print items: preview or print the parameter printout or the
    // terminal plan.
    void mnu_DruckenClick(QAction* item);
    void mnu_energyClick(QAction* item);
    void mnu_DeutschClick(QAction* item);
    void mnu_highendversionClick(QAction* item);

  public:
    // --- page controls and pages -------------------------------------------------
    QTabWidget* Notebook = nullptr;
    QWidget* TabBetrieb = nullptr;
    QWidget* TabParameter = nullptr;
    QTabWidget* NBBetrieb = nullptr;
    QTabWidget* NBParameter = nullptr;
    // The tabs of NBParameter, in as many rows as they need.
    MultiRowTabBar* NBParameterTabs = nullptr;

    CircuitValuesPage* TabKreis1 = nullptr;
    CircuitValuesPage* TabKreis2 = nullptr;
    TrendPage* TabTrend = nullptr;
    ErrorProtocolPage* TabFehler = nullptr;
    IntegratorPage* TabIntegrator = nullptr;
    CircuitParameterPage* TabPar1 = nullptr;
    CircuitParameterPage* TabPar2 = nullptr;
    RelayPage* TabParRelais = nullptr;
    OutputPage* TabParAusgang = nullptr;
    DisplayPage* TabParDisplay = nullptr;
    TrendRecordingPage* TabParTrend = nullptr;
    SystemPage* TabParSystem = nullptr;
    CorrectionPage* TabParKorrektur = nullptr;
    UnitsPage* TabparEinheiten = nullptr;
    RemarksPage* TabParBemerkung = nullptr;

    // Status bar.
    QLabel* StatusPanel0 = nullptr;
    std::string historyWarningShown_;  // the history warning panel 0 carries
    QProgressBar* Zeitmesser = nullptr;
    QLabel* Label_Online = nullptr;
    QLabel* StatusPanel3 = nullptr;

    QTimer* RefreshTimer = nullptr;
    QTimer* SystemTimer = nullptr;

    // Menus.
    QMenu* mnu_Parameter = nullptr;
    QAction* mnu_Neu = nullptr;
    QAction* mnu_Laden = nullptr;
    // The last parameter files loaded or saved.
    QMenu* mnu_Zuletzt = nullptr;
    QAction* mnu_Vergleichen = nullptr;
    QAction* mnu_Historie = nullptr;
    QAction* mnu_Speichern = nullptr;
    QAction* mnu_Seitenansicht = nullptr;
    QAction* mnu_Drucken = nullptr;
    QAction* mnu_Klemmenplan = nullptr;
    QAction* mnu_PrintKlemmenplan = nullptr;
    QAction* mnu_Beenden = nullptr;
    QMenu* mnu_Optionen = nullptr;
    QAction* mnu_Einstellungen = nullptr;
    QMenu* mnu_System = nullptr;
    QAction* mnu_energy = nullptr;
    QAction* mnu_gas = nullptr;
    QMenu* mnu_Sprache = nullptr;
    QAction* mnu_Deutsch = nullptr;
    QAction* mnu_Englisch = nullptr;
    QMenu* mnu_Ausbaustufe = nullptr;
    std::array<QAction*, 4> mnu_Level{};  // high end, basic + a2, basic + a1, basic
    QMenu* mnu_Hilfe = nullptr;
    QAction* mnu_Info = nullptr;

    // A device read that a sequence needs failed: nothing was written. The
    // message names the link's cause.
    void showDeviceUnreadable() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A layout change: the smallest size follows what the pages need.
    bool event(QEvent* event) override;

  private:
    // The size the window opens with; the smallest it can be made, unless
    // a page needs more (a note shown below its groups).
    QSize standardSize_;
    void buildPages();
    // A page switched by the keyboard (Ctrl+Tab, arrow keys on a tab bar):
    // a page the device lacks is passed over in the direction of travel, and
    // the page is checked and filled as after a click.
    void keyboardPageSwitch(QTabWidget* tabs, int from, int to);
    bool pageAvailable(QTabWidget* tabs, int index) const;
    void buildMenus();
    void buildStatusBar();
    template <class P, class... Args>
    P* addPage(QTabWidget* owner, const char* caption, Args&&... args);
    Page* visibleOperationPage() const;
    Page* visibleParameterPage() const;
    void refreshVisiblePage();
    // Every page shows the image and the device records again, without
    // device traffic: after a new, loaded or reset parameter set.
    void redisplayPages();
    void busyScreen(const std::function<void()>& work);
    void applyFrameTexts();
    void checkVariantMenus();
    // Checks the item of the "Ausbaustufe" menu that names the expansion
    // level of the parameter image: when the menu opens, when a level is
    // picked and when the pages show a new set.
    void checkLevelMenu();
    std::optional<QString> askParameterFileToOpen();
    // "Load": the questions, the file (asked for unless given), online the
    // comparison and the write.
    void loadParameterSet(const std::optional<QString>& given);
    // The load with a caption: a snapshot's scratch file, shown by its
    // caption and not remembered.
    void loadParameterSet(const std::optional<QString>& given, const QString& snapshot);
    void openPendingFiles();
    // Loads and checks the dropped parameter file; true when the event was
    // one and has been taken.
    bool takeFileDrop(QObject* watched, QEvent* event);
    void rememberRecentFile(const QString& file);
    // Asks for a parameter file (unless given) and prepares it as a load
    // does (onto the defaults, online fitted to the device,
    // edit::PrepareParameterFile); false when cancelled, refused or the
    // device could not be read (the message is shown). Keys the file lacks
    // are named. The image is not touched.
    bool readParameterFile(ParameterImage& candidate, QString& file,
                           const std::optional<QString>& given = std::nullopt);
    // Writes the whole set to the device (`source`: the file it came from,
    // empty for a new set). When that failed it says which blocks were
    // written and offers to write again once the device is connected; the
    // status bar then says the set is not on the device. True when written.
    bool writeParameterSet(const QString& source);
    // The write again the user asked for, when the device is connected.
    void writeAgainIfConnected();
    void takeParameterFile(ParameterImage candidate, const QString& file,
                           const QString& snapshot = {});
    // The whole parameter set of the device, read into `device`; false when
    // any block could not be read.
    bool readDeviceParameters(ParameterImage& device);
    // `rightHead` heads the file's column; empty: "File".
    ComparisonView comparisonView(const ParameterImage& left, const ParameterImage& file,
                                  bool offerWrite, const QString& rightHead = {}) const;
    // True when the file was written.
    bool saveParameterFile();
    // Saves as "Save" does (online the device's parameters are read first);
    // true when the file was written.
    bool saveAll();
    // The question before unsaved work is lost on closing; true when the
    // window may close.
    bool mayCloseWithWork();
    void showParameterFileName(const QString& file);
    void createDialogs();
    // After each device sequence (the busy guard released): what it read
    // whole and wrote goes into the device history.
    void recordHistory();

    MainWindowOptions options_;
    std::unique_ptr<Dialogs> ownDialogs_;
    Dialogs* dialogs_ = nullptr;
    Session session_;
    ParameterImage image_;
    std::unique_ptr<DeviceState> device_;
    std::unique_ptr<TextLibrary> texts_;
    std::unique_ptr<Link> link_;
    std::unique_ptr<history::History> history_;
    // Watches the link and records into history_ after each device sequence.
    std::unique_ptr<HistoryRecorder> recorder_;
    bool recording_ = false;
    std::unique_ptr<QtTranslations> qtTranslations_;
    BusyGuard busy_;
    std::unique_ptr<PageContext> context_;
    std::vector<Page*> pages_;
    TAboutBox* aboutBox_ = nullptr;
    QMetaObject::Connection focusConnection_;
    TInputDlg* inputDlg_ = nullptr;
    TEinst* einst_ = nullptr;
    TPasswordDlg* passwordDlg_ = nullptr;
    Tfrm_Grafik* grafik_ = nullptr;
    PrintMenu* printMenu_ = nullptr;
    Tfrm_Tabelle* tabelle_ = nullptr;
    Tfrm_UserSatTab* userSatTab_ = nullptr;
    HistoryWindow* historie_ = nullptr;
    bool formReady_ = false;
    bool closePending_ = false;
    bool closed_ = false;
    UnsavedChanges unsaved_;
    bool markOnline_ = false;
    // A key press is being handled (page switches by the keyboard), and the
    // index each page control showed before its last switch.
    bool keyDown_ = false;
    bool keySwitching_ = false;
    std::array<int, 3> pageIndex_{};
    // A whole-set write to try again once connected, and where it came from.
    bool rewritePending_ = false;
    QString rewriteSource_;
    std::uint32_t markConnection_ = 0;
    QTimer* unsavedTimer_ = nullptr;
    int cursorDepth_ = 0;
    QString lastParameterFolder_;
    QString saveFileName_;
    std::vector<std::filesystem::path> recentFiles_;
    // Files to open once no device sequence or dialog is under way.
    QStringList pendingFiles_;
    QTimer* pendingTimer_ = nullptr;
};

}  // namespace parvion::gui
