#pragma once
// The main window: operation display and parameter pages, menus, status bar,
// the two timers, the start-up and shut-down sequences and the page rules of
// the expansion level and system definition. It owns the session, the
// parameter image, the device records, the string libraries and the link.
// Busy is the one guard against re-entry: timer ticks, page switches and the
// file commands test it first, because device waits keep the event loop
// running.

#include <QMainWindow>
#include <QString>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/app/session.h"
#include "core/link/ui_hooks.h"
#include "core/model/device_records.h"
#include "core/model/parameter_image.h"
#include "core/views/text_source.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QTimer;

namespace parvion {
class Link;
class SerialLine;
class TextLibrary;
}  // namespace parvion

namespace parvion::gui {

class Dialogs;
class RadioGroup;
class TAboutBox;
class TEinst;
class TInputDlg;
class TPasswordDlg;

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
};

class Tfrm_Main : public QMainWindow, public UiHooks {
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
    bool Busy() const { return busy_; }
    bool FormReady() const { return formReady_; }
    Session& session() { return session_; }
    ParameterImage& image() { return image_; }
    DeviceState& device() { return *device_; }
    Link& link() { return *link_; }
    TAboutBox* aboutBox() const { return aboutBox_; }
    TEinst* settingsDialog() const { return einst_; }
    TInputDlg* inputDialog() const { return inputDlg_; }
    TPasswordDlg* passwordDialog() const { return passwordDlg_; }
    QString statusPanelText(int panel) const;

    // --- texts (current library) ---------------------------------------
    std::string LoadText(std::uint16_t number) const;
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

  public slots:
    void UpdateTexts();
    void RefreshTimerTimer();
    void SystemTimerTimer();
    void NotebookMouseDown();
    void TabKreis1Enter();
    void ReadCircuitValues(int circuit);
    void ShowCircuitValues();
    void FillParameterPages();
    void cmd_SetDateTimeClick();
    void mnu_NeuClick();
    void mnu_LadenClick();
    void mnu_SpeichernClick();
    void mnu_BeendenClick();
    void mnu_InfoClick();
    void mnu_EinstellungenClick();
    void ed_SystemFaktorDblClick();
    void mnu_energyClick(QAction* item);
    void mnu_DeutschClick(QAction* item);
    void mnu_highendversionClick(QAction* item);

  public:
    // --- components ---------------------------------------------------------
    QTabWidget* Notebook = nullptr;
    QWidget* TabBetrieb = nullptr;
    QWidget* TabParameter = nullptr;
    QTabWidget* NBBetrieb = nullptr;
    QWidget* TabKreis1 = nullptr;
    QWidget* TabKreis2 = nullptr;
    QWidget* TabTrend = nullptr;
    QWidget* TabFehler = nullptr;
    QWidget* TabIntegrator = nullptr;
    QTabWidget* NBParameter = nullptr;
    QWidget* TabPar1 = nullptr;
    QWidget* TabPar2 = nullptr;
    QWidget* TabParRelais = nullptr;
    QWidget* TabParAusgang = nullptr;
    QWidget* TabParDisplay = nullptr;
    QWidget* TabParTrend = nullptr;
    QWidget* TabParSystem = nullptr;
    QWidget* TabParKorrektur = nullptr;
    QWidget* TabparEinheiten = nullptr;
    QWidget* TabParBemerkung = nullptr;

    QListWidget* ListeK1 = nullptr;
    QListWidget* ListeK2 = nullptr;
    QListWidget* ErrorListe = nullptr;
    QGroupBox* GroupInteg1 = nullptr;
    QGroupBox* GroupInteg2 = nullptr;
    QListWidget* ListeIntegrator1 = nullptr;
    QListWidget* ListeIntegrator2 = nullptr;
    QTableWidget* Trendgrid = nullptr;
    QComboBox* ComboTrends = nullptr;
    QPushButton* cmd_ReadTrends = nullptr;
    QPushButton* cmd_ExportTrends = nullptr;
    QPushButton* cmd_Grafik = nullptr;

    // Circuit pages (index 0 = circuit 1).
    std::array<QGroupBox*, 2> TBox{}, PBox{}, FBox{}, GBox{}, IBox{};
    std::array<QComboBox*, 2> ComboPT{}, ComboPD{}, ComboPF{}, ComboPG{}, ComboIA{};
    // Relays, outputs, display.
    std::array<QGroupBox*, 2> GroupAlm{};
    std::array<QComboBox*, 2> ComboAlm{}, ComboAlmKind{};
    std::array<QGroupBox*, 4> GroupAus{};
    std::array<QComboBox*, 4> ComboAus{};
    QGroupBox* GroupDisplay = nullptr;
    QComboBox* ComboVorzug = nullptr;
    QCheckBox* CheckDisplay = nullptr;
    QCheckBox* CheckCalc = nullptr;
    QGroupBox* GroupBetriebsanzeige = nullptr;
    std::array<QGroupBox*, 4> DisplayBox{};
    // Chk_T, Chk_P, Chk_R, Chk_F, Chk_M, Chk_TF, Chk_TM of each display box.
    std::array<std::array<QCheckBox*, 7>, 4> DisplayChecks{};
    // Trend recording, system, correction factors.
    QGroupBox* GroupTrend = nullptr;
    QComboBox* ComboTrend = nullptr;
    QGroupBox* GroupIntervall = nullptr;
    QComboBox* ComboTrendinterval = nullptr;
    QGroupBox* GroupSystem = nullptr;
    QComboBox* Combosystem = nullptr;
    RadioGroup* AnzahlMU = nullptr;
    RadioGroup* RG_Grenzen = nullptr;
    QCheckBox* Chk_Vorgabe = nullptr;
    QListWidget* ListeVorgaben = nullptr;
    QLabel* lbl_Systemfaktor = nullptr;
    QLineEdit* ed_SystemFaktor = nullptr;
    QGroupBox* GroupDate = nullptr;
    QLineEdit* Ed_DateTime = nullptr;
    QPushButton* cmd_SetDateTime = nullptr;
    std::array<QGroupBox*, 2> GroupFaktor{};
    std::array<QTableWidget*, 2> FlowKorr{};
    // Units and remarks.
    QCheckBox* CheckUserEinheiten = nullptr;
    QTabWidget* PC_Usereinheiten = nullptr;
    // Radio_E_Temp, _Druck, _Dichte, _Leistung, _Masse, _TotLeistung,
    // _TotMasse, _BetrVS: quantities 0..7.
    std::array<RadioGroup*, 8> Radio_E{};
    QPlainTextEdit* Param_Memo = nullptr;

    // Status bar.
    QLabel* StatusPanel0 = nullptr;
    QProgressBar* Zeitmesser = nullptr;
    QLabel* Label_Online = nullptr;
    QLabel* StatusPanel3 = nullptr;

    QTimer* RefreshTimer = nullptr;
    QTimer* SystemTimer = nullptr;

    // Menus.
    QMenu* mnu_Parameter = nullptr;
    QAction* mnu_Neu = nullptr;
    QAction* mnu_Laden = nullptr;
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

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildPages();
    void buildOperationPages();
    void buildParameterPages();
    void buildMenus();
    void buildStatusBar();
    void setBusy(bool busy);
    void refreshVisiblePage(bool withTrend);
    void busyScreen(const std::function<void()>& work);
    bool languageLibraryOk();
    void applyTextBlocks();
    void fillUnitRadioGroups();
    void setUnitSelections();
    void fillTrendGridHeader();
    void showDeviceClock();
    void checkVariantMenus();
    std::optional<QString> askParameterFileToOpen();
    bool loadParameterFile();
    void saveParameterFile();
    void showParameterFileName(const QString& file);
    void syncRemarksToImage();
    void showRemarks();
    void createDialogs();

    MainWindowOptions options_;
    std::unique_ptr<Dialogs> ownDialogs_;
    Dialogs* dialogs_ = nullptr;
    Session session_;
    ParameterImage image_;
    std::unique_ptr<DeviceState> device_;
    std::unique_ptr<TextLibrary> texts_;
    std::unique_ptr<Link> link_;
    TAboutBox* aboutBox_ = nullptr;
    QMetaObject::Connection focusConnection_;
    TInputDlg* inputDlg_ = nullptr;
    TEinst* einst_ = nullptr;
    TPasswordDlg* passwordDlg_ = nullptr;
    bool busy_ = false;
    bool formReady_ = false;
    bool closePending_ = false;
    bool closed_ = false;
    int cursorDepth_ = 0;
    QString lastParameterFolder_;
    QString saveFileName_;
};

}  // namespace parvion::gui
