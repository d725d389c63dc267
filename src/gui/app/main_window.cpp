#include "gui/app/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "core/app/error_log.h"
#include "core/app/history_open.h"
#include "core/app/recent_files.h"
#include "core/app/settings.h"
#include "core/app/texts.h"
#include "core/edit/history_recorder.h"
#include "core/edit/write_back.h"
#include "core/history/history.h"
#include "core/history/history_view.h"
#include "core/link/connect.h"
#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/defaults.h"
#include "core/views/page_rules.h"
#include "core/views/text_source.h"
#include "gui/app/about_box.h"
#include "gui/operation/circuit_values_page.h"
#include "gui/operation/error_protocol_page.h"
#include "gui/operation/integrator_page.h"
#include "gui/operation/trend_page.h"
#include "gui/parameters/circuit_parameter_page.h"
#include "gui/parameters/correction_page.h"
#include "gui/parameters/display_page.h"
#include "gui/parameters/output_page.h"
#include "gui/parameters/relay_page.h"
#include "gui/parameters/remarks_page.h"
#include "gui/parameters/system_page.h"
#include "gui/parameters/trend_recording_page.h"
#include "gui/parameters/units_page.h"
#include "gui/print/print_menu.h"
#include "gui/shared/dialog_texts.h"
#include "gui/shared/dialogs.h"
#include "gui/shared/input_dialog.h"
#include "gui/shared/multi_row_tab_bar.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {

// Expansion level of each item of the "Ausbaustufe" menu.
constexpr std::array<std::uint8_t, 4> kLevels = {ausbaustufe::HighEnd, ausbaustufe::BasicA2,
                                                 ausbaustufe::BasicA1, ausbaustufe::Basic};

QWidget* addSheet(QTabWidget* owner, const char* name, const char* caption) {
    auto* page = new QWidget(owner);
    page->setObjectName(QString::fromLatin1(name));
    owner->addTab(page, QString::fromUtf8(caption));
    return page;
}

QTabWidget* pageControl(QWidget* sheet, const QString& name) {
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* tabs = named(new QTabWidget(sheet), name);
    tabs->setTabPosition(QTabWidget::South);
    layout->addWidget(tabs);
    return tabs;
}

}  // namespace

Tfrm_Main::Tfrm_Main(MainWindowOptions options)
    : options_(std::move(options)), device_(std::make_unique<DeviceState>()) {
    setObjectName(QStringLiteral("Tfrm_Main"));
    if (options_.dialogs != nullptr) {
        dialogs_ = options_.dialogs;
    } else {
        ownDialogs_ = std::make_unique<QtDialogs>();
        dialogs_ = ownDialogs_.get();
    }
    texts_ = std::make_unique<TextLibrary>(options_.programFolder, session_);
    link_ = std::make_unique<Link>(*options_.line, *this, session_, options_.appDataFolder);
    link_->setErrorLog(ErrorLogIn(options_.appDataFolder));
    qtTranslations_ = std::make_unique<QtTranslations>();
    // A close asked for during a device sequence happens once it has ended.
    busy_.setOnRelease([this] {
        recordHistory();
        if (!closePending_) return;
        closePending_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    });

    setWindowTitle(QStringLiteral("parvion2[*]"));
    QFont base = font();
    base.setPointSize(8);
    setFont(base);
    // The value input dialog first: the pages use it.
    inputDlg_ = new TInputDlg(image_, session_, this, [this] { beep(); });
    inputDlg_->setTexts([this](std::uint16_t n) { return LoadText(n); });
    context_ = std::unique_ptr<PageContext>(new PageContext{
        session_, image_, *device_, *link_, *texts_, *this, *inputDlg_, busy_, *dialogs_, *this});
    buildPages();
    buildMenus();
    buildStatusBar();

    RefreshTimer = named(new QTimer(this), QStringLiteral("RefreshTimer"));
    SystemTimer = named(new QTimer(this), QStringLiteral("SystemTimer"));
    SystemTimer->setInterval(1000);
    connect(RefreshTimer, &QTimer::timeout, this, &Tfrm_Main::RefreshTimerTimer);
    connect(SystemTimer, &QTimer::timeout, this, &Tfrm_Main::SystemTimerTimer);
    pendingTimer_ = new QTimer(this);
    pendingTimer_->setSingleShot(true);
    pendingTimer_->setInterval(200);
    connect(pendingTimer_, &QTimer::timeout, this, &Tfrm_Main::openPendingFiles);
    // Edits reach the image from every page; the mark follows a moment later.
    unsavedTimer_ = new QTimer(this);
    unsavedTimer_->setInterval(250);
    connect(unsavedTimer_, &QTimer::timeout, this, &Tfrm_Main::refreshUnsavedMark);
    createDialogs();
    // A parameter file dropped anywhere on the window is loaded; the
    // application-wide filter sees the drop before an edit field would
    // take the file's name as text.
    setAcceptDrops(true);
    qApp->installEventFilter(this);

    // The window opens with a client area of 630 x 483 below the menu, the
    // size every page is laid out for and the smallest it can be made; it
    // grows (and maximises) with its layouts, and by itself when a page
    // needs more room than that (see event()).
    standardSize_ = QSize(630, 483 + menuBar()->sizeHint().height());
    resize(standardSize_);
    setMinimumSize(standardSize_);
    focusConnection_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* from, QWidget* to) {
            for (QWidget* sheet : std::initializer_list<QWidget*>{TabKreis1, TabKreis2, TabTrend,
                                                                  TabFehler, TabIntegrator}) {
                const bool into = to != nullptr && sheet->isAncestorOf(to);
                const bool already = from != nullptr && sheet->isAncestorOf(from);
                if (into && !already) {
                    TabKreis1Enter();
                    break;
                }
            }
        });
}

Tfrm_Main::~Tfrm_Main() {
    qApp->removeEventFilter(this);
    // Child windows destroyed after this point move the focus; the page
    // entry handler must not run on a window that is half gone.
    disconnect(focusConnection_);
    if (!closed_) FormClose();
}

// --- layout -----------------------------------------------------------------

template <class P, class... Args>
P* Tfrm_Main::addPage(QTabWidget* owner, const char* caption, Args&&... args) {
    auto* page = new P(*context_, std::forward<Args>(args)..., owner);
    owner->addTab(page, QString::fromUtf8(caption));
    pages_.push_back(page);
    return page;
}

void Tfrm_Main::buildPages() {
    Notebook = named(new QTabWidget(this), QStringLiteral("Notebook"));
    setCentralWidget(Notebook);
    TabBetrieb = addSheet(Notebook, "TabBetrieb", "Betriebsanzeige");
    TabParameter = addSheet(Notebook, "TabParameter", "Parameter");
    QFont pageFont(QStringLiteral("Arial"), 9);
    TabBetrieb->setFont(pageFont);
    TabParameter->setFont(pageFont);

    NBBetrieb = pageControl(TabBetrieb, QStringLiteral("NBBetrieb"));
    TabKreis1 = addPage<CircuitValuesPage>(NBBetrieb, "Kreis1", 0);
    TabKreis2 = addPage<CircuitValuesPage>(NBBetrieb, "Kreis2", 1);
    TabTrend = addPage<TrendPage>(NBBetrieb, "Trendwerte");
    TabFehler = addPage<ErrorProtocolPage>(NBBetrieb, "Fehlerprotokoll");
    TabIntegrator = addPage<IntegratorPage>(NBBetrieb, "Integratoren");

    NBParameter = pageControl(TabParameter, QStringLiteral("NBParameter"));
    NBParameterTabs = named(new MultiRowTabBar(NBParameter, true, TabParameter),
                            QStringLiteral("NBParameterTabs"));
    TabParameter->layout()->addWidget(NBParameterTabs);
    // The pages share the height the tab rows leave; without this the tallest
    // page's wish would move the tab rows from page to page.
    NBParameter->setMinimumHeight(100);
    // The press has switched the page; the release checks and fills it.
    connect(NBParameterTabs, &MultiRowTabBar::tabClicked, this, [this] { NotebookMouseDown(); });
    TabPar1 = addPage<CircuitParameterPage>(NBParameter, "Kreis 1", 0);
    TabPar2 = addPage<CircuitParameterPage>(NBParameter, "Kreis 2", 1);
    TabParRelais = addPage<RelayPage>(NBParameter, "Relais");
    TabParAusgang = addPage<OutputPage>(NBParameter, "Ausgänge");
    TabParDisplay = addPage<DisplayPage>(NBParameter, "Display");
    TabParTrend = addPage<TrendRecordingPage>(NBParameter, "Trendwert");
    TabParSystem = addPage<SystemPage>(NBParameter, "System");
    TabParKorrektur = addPage<CorrectionPage>(NBParameter, "Korrekturfaktoren");
    TabparEinheiten = addPage<UnitsPage>(NBParameter, "Einheiten");
    TabParBemerkung = addPage<RemarksPage>(NBParameter, "Bemerkungen");

    for (QTabWidget* tabs : {Notebook, NBBetrieb}) tabs->tabBar()->installEventFilter(this);
    const std::array<QTabWidget*, 3> controls = {Notebook, NBBetrieb, NBParameter};
    for (std::size_t i = 0; i < controls.size(); ++i) {
        QTabWidget* tabs = controls[i];
        connect(tabs, &QTabWidget::currentChanged, this, [this, tabs, i](int index) {
            const int from = pageIndex_[i];
            pageIndex_[i] = index;
            if (keyDown_ && !keySwitching_) keyboardPageSwitch(tabs, from, index);
        });
    }
}

bool Tfrm_Main::pageAvailable(QTabWidget* tabs, int index) const {
    const SystemRec& sys = image_.System;
    QWidget* page = tabs->widget(index);
    if (page == TabKreis2 || page == TabPar2) return !views::Circuit2Unavailable(sys);
    if (page == TabTrend || page == TabParTrend) return views::TrendRecordingPresent(sys);
    return true;
}

void Tfrm_Main::keyboardPageSwitch(QTabWidget* tabs, int from, int to) {
    if (!formReady_ || busy_.held()) return;
    const int n = tabs->count();
    // Ctrl+Shift+Tab and the left arrow go back, everything else forward.
    const int step = (to - from + n) % n == n - 1 ? -1 : 1;
    int target = to;
    for (int tries = 0; tries < n && !pageAvailable(tabs, target); ++tries) {
        target = (target + step + n) % n;
    }
    if (target != to) {
        keySwitching_ = true;
        tabs->setCurrentIndex(target);
        keySwitching_ = false;
    }
    // As the release of a click: the rules of the page, and its values.
    QTimer::singleShot(0, this, &Tfrm_Main::NotebookMouseDown);
}

void Tfrm_Main::buildMenus() {
    auto action = [this](QMenu* menu, const char* name, const char* caption) {
        QAction* a = menu->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    auto submenu = [this](QMenu* parent, const char* name, const char* caption) {
        QMenu* m = parent != nullptr ? parent->addMenu(QString::fromUtf8(caption))
                                     : menuBar()->addMenu(QString::fromUtf8(caption));
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };

    mnu_Parameter = submenu(nullptr, "mnu_Parameter", "&Parameter");
    mnu_Neu = action(mnu_Parameter, "mnu_Neu", "&Neu");
    mnu_Laden = action(mnu_Parameter, "mnu_Laden", "&Laden...");
    mnu_Zuletzt = submenu(mnu_Parameter, "mnu_Zuletzt", "Zuletzt geöffnet");
    connect(mnu_Zuletzt, &QMenu::aboutToShow, this, &Tfrm_Main::refreshRecentMenu);
    mnu_Vergleichen = action(mnu_Parameter, "mnu_Vergleichen", "Mit Datei vergleichen...");
    mnu_Historie = action(mnu_Parameter, "mnu_Historie", "Geräte&historie...");
    mnu_Speichern = action(mnu_Parameter, "mnu_Speichern", "&Speichern...");
    mnu_Parameter->addSeparator();
    mnu_Seitenansicht = action(mnu_Parameter, "mnu_Seitenansicht", "S&eitenansicht");
    mnu_Drucken = action(mnu_Parameter, "mnu_Drucken", "&Drucken...");
    mnu_Parameter->addSeparator();
    mnu_Klemmenplan = action(mnu_Parameter, "mnu_Klemmenplan", "Klemmenplan");
    mnu_PrintKlemmenplan = action(mnu_Parameter, "mnu_PrintKlemmenplan", "Drucken...");
    mnu_Parameter->addSeparator();
    mnu_Beenden = action(mnu_Parameter, "mnu_Beenden", "&Beenden");
    printMenu_ = new PrintMenu(
        *this, *context_, *this,
        {mnu_Parameter, mnu_Seitenansicht, mnu_Drucken, mnu_Klemmenplan, mnu_PrintKlemmenplan},
        options_.printDialog);
    connect(mnu_Neu, &QAction::triggered, this, &Tfrm_Main::mnu_NeuClick);
    connect(mnu_Laden, &QAction::triggered, this, &Tfrm_Main::mnu_LadenClick);
    connect(mnu_Vergleichen, &QAction::triggered, this, &Tfrm_Main::mnu_VergleichenClick);
    connect(mnu_Speichern, &QAction::triggered, this, &Tfrm_Main::mnu_SpeichernClick);
    connect(mnu_Historie, &QAction::triggered, this, &Tfrm_Main::mnu_HistorieClick);
    connect(mnu_Beenden, &QAction::triggered, this, &Tfrm_Main::mnu_BeendenClick);

    mnu_Optionen = submenu(nullptr, "mnu_Optionen", "Optionen");
    mnu_Einstellungen = action(mnu_Optionen, "mnu_Einstellungen", "Einstellungen...");
    connect(mnu_Einstellungen, &QAction::triggered, this, &Tfrm_Main::mnu_EinstellungenClick);
    mnu_System = submenu(mnu_Optionen, "mnu_System", "System");
    mnu_energy = action(mnu_System, "mnu_energy", "energy");
    mnu_gas = action(mnu_System, "mnu_gas", "gas");
    mnu_Sprache = submenu(mnu_Optionen, "mnu_Sprache", "Sprache");
    mnu_Deutsch = action(mnu_Sprache, "mnu_Deutsch", "Deutsch");
    mnu_Englisch = action(mnu_Sprache, "mnu_Englisch", "English");
    mnu_Ausbaustufe = submenu(mnu_Optionen, "mnu_Ausbaustufe", "Ausbaustufe");
    mnu_Level[0] = action(mnu_Ausbaustufe, "mnu_highendversion", "high end version");
    mnu_Level[1] = action(mnu_Ausbaustufe, "mnu_basicversiona2", "basic version + a2");
    mnu_Level[2] = action(mnu_Ausbaustufe, "mnu_basicversiona1", "basic version + a1");
    mnu_Level[3] = action(mnu_Ausbaustufe, "mnu_basicversion", "basic version");

    // The handlers decide the check marks themselves: undo the toggle that
    // triggering a checkable item makes on its own.
    auto checkable = [this](QAction* a, void (Tfrm_Main::*handler)(QAction*)) {
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, a, handler] {
            a->setChecked(!a->isChecked());
            (this->*handler)(a);
        });
    };
    checkable(mnu_energy, &Tfrm_Main::mnu_energyClick);
    checkable(mnu_gas, &Tfrm_Main::mnu_energyClick);
    checkable(mnu_Deutsch, &Tfrm_Main::mnu_DeutschClick);
    checkable(mnu_Englisch, &Tfrm_Main::mnu_DeutschClick);
    for (QAction* a : mnu_Level) checkable(a, &Tfrm_Main::mnu_highendversionClick);
    mnu_Level[0]->setChecked(true);
    // The device or a loaded set may have brought another level since.
    connect(mnu_Ausbaustufe, &QMenu::aboutToShow, this, &Tfrm_Main::checkLevelMenu);

    mnu_Hilfe = submenu(nullptr, "mnu_Hilfe", "Hilfe");
    mnu_Info = action(mnu_Hilfe, "mnu_Info", "Info ...");
    connect(mnu_Info, &QAction::triggered, this, &Tfrm_Main::mnu_InfoClick);
}

void Tfrm_Main::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    StatusPanel0 = named(new QLabel(bar), QStringLiteral("StatusPanel0"));
    // 400 pixels at the default size; the panel takes what a larger window
    // gives, so a long cause is read whole in a maximised window.
    StatusPanel0->setMinimumWidth(400);
    Zeitmesser = named(new QProgressBar(bar), QStringLiteral("Zeitmesser"));
    Zeitmesser->setFixedWidth(150);
    Zeitmesser->setTextVisible(false);
    Zeitmesser->hide();
    // Panel 1 keeps its place while the progress bar is hidden.
    auto* panel1 = named(new QWidget(bar), QStringLiteral("StatusPanel1"));
    panel1->setFixedWidth(150);
    // ... and its height, so that the status bar does not grow and shrink
    // (moving the pages) as the progress bar comes and goes.
    panel1->setFixedHeight(Zeitmesser->sizeHint().height());
    auto* p1 = new QHBoxLayout(panel1);
    p1->setContentsMargins(0, 0, 0, 0);
    p1->addWidget(Zeitmesser);
    Label_Online =
        named(new QLabel(QStringLiteral("OFFLINE"), bar), QStringLiteral("Label_Online"));
    Label_Online->setFixedWidth(60);
    Label_Online->setAlignment(Qt::AlignCenter);
    StatusPanel3 = named(new QLabel(bar), QStringLiteral("StatusPanel3"));
    StatusPanel3->setFixedWidth(20);
    StatusPanel3->setAlignment(Qt::AlignCenter);
    bar->addWidget(StatusPanel0, 1);
    bar->addWidget(panel1);
    bar->addWidget(Label_Online);
    bar->addWidget(StatusPanel3);
    showOnline(false);
}

QString Tfrm_Main::statusPanelText(int panel) const {
    switch (panel) {
        case 0:
            return StatusPanel0->text();
        case 2:
            return Label_Online->text();
        case 3:
            return StatusPanel3->text();
        default:
            return {};
    }
}

// --- texts ----------------------------------------------------------------------

std::string Tfrm_Main::LoadText(std::uint16_t number) const {
    return texts_->LoadText(number);
}

bool Tfrm_Main::LoadTextBlock(std::uint16_t first, std::uint8_t width,
                              views::TextBlock& texts) const {
    return texts_->LoadTextBlock(first, width, texts);
}

// --- UiHooks ---------------------------------------------------------------------

void Tfrm_Main::showOnline(bool online) {
    Label_Online->setText(online ? QStringLiteral("ONLINE") : QStringLiteral("OFFLINE"));
    Label_Online->setStyleSheet(online ? QStringLiteral("color: green; font-weight: bold;")
                                       : QStringLiteral("color: red; font-weight: bold;"));
}

void Tfrm_Main::enableOfflineMenus(bool enabled) {
    mnu_System->menuAction()->setEnabled(enabled);
    mnu_Ausbaustufe->menuAction()->setEnabled(enabled);
}

void Tfrm_Main::checkLevelMenu() {
    // The item with the same options as the level in force: circuit 2 with
    // all outputs, and trend recording. Other bits of the byte do not count.
    const SystemRec& sys = image_.System;
    for (std::size_t i = 0; i < mnu_Level.size(); ++i) {
        SystemRec item;
        item.Ausbaustufe = kLevels[i];
        mnu_Level[i]->setChecked(views::AllOutputsPresent(item) == views::AllOutputsPresent(sys) &&
                                 views::TrendRecordingPresent(item) ==
                                     views::TrendRecordingPresent(sys));
    }
}

void Tfrm_Main::mnu_DruckenClick(QAction* item) {
    printMenu_->mnu_DruckenClick(item);
}

void Tfrm_Main::progressStart(int maximum) {
    Zeitmesser->setRange(0, maximum);
    Zeitmesser->setValue(0);
    Zeitmesser->show();
}

void Tfrm_Main::progressStep() {
    if (Zeitmesser->value() < Zeitmesser->maximum()) Zeitmesser->setValue(Zeitmesser->value() + 1);
    QCoreApplication::processEvents();
}

void Tfrm_Main::progressHide() {
    Zeitmesser->hide();
}

void Tfrm_Main::busyCursor(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++cursorDepth_;
    } else if (cursorDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --cursorDepth_;
    }
}

void Tfrm_Main::statusText(int panel, const std::string& text) {
    const QString t = QString::fromStdString(text);
    if (panel == 0) {
        StatusPanel0->setText(t);
        // A cause longer than the panel can still be read in full.
        StatusPanel0->setToolTip(t);
    }
    if (panel == 3) StatusPanel3->setText(t);
}

void Tfrm_Main::editNotSent(const LinkFailure& failure) {
    // The page shows the image, which the edit left as it was; the status
    // bar says that nothing went to the device, and why.
    const auto text = [this](std::uint16_t n) { return LoadText(n); };
    statusText(0, views::FillPlaceholders(LoadText(edit::kEditNotSentText),
                                          {LinkFailureText(failure, text)}));
    beep();
}

void Tfrm_Main::recordHistory() {
    // The recorder's read-backs are device traffic of their own: it holds
    // the guard, and its own release does not come here again.
    if (recorder_ == nullptr || recording_) return;
    recording_ = true;
    {
        auto busy = busy_.tryHold();
        if (busy) recorder_->finish(*link_);
    }
    recording_ = false;
}

void Tfrm_Main::historyWarning(const std::string& text) {
    // The device work went on; the status bar says why the history missed
    // it, beside what it says of the device work, never in its place.
    if (text.empty()) return;
    std::string shown = StatusPanel0->text().toStdString();
    if (!historyWarningShown_.empty()) {
        const std::size_t at = shown.find(historyWarningShown_);
        if (at != std::string::npos) shown.erase(at >= 3 ? at - 3 : at);
    }
    historyWarningShown_ = text;
    statusText(0, shown.empty() ? text : shown + " | " + text);
}

void Tfrm_Main::beep() {
    QApplication::beep();
}

void Tfrm_Main::waitMs(int ms) {
    if (ms <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void Tfrm_Main::processEvents() {
    QCoreApplication::processEvents();
}

// --- start and end -----------------------------------------------------------------

bool Tfrm_Main::FormCreate() {
    formReady_ = false;
    Notebook->setCurrentIndex(0);
    NBBetrieb->setCurrentIndex(0);
    NBParameter->setCurrentIndex(0);
    lastParameterFolder_ = QString::fromStdString(options_.documentsFolder.string());

    ReadSettings(options_.appDataFolder, session_);
    OpenedHistory opened = OpenHistory(options_.appDataFolder, history::kProgramWindow);
    history_ = std::move(opened.history);
    recorder_ = std::make_unique<HistoryRecorder>(
        [this]() -> history::History& { return *history_; }, options_.appDataFolder,
        [this](std::uint16_t n) { return LoadText(n); });
    link_->setRecordWatch(recorder_.get());
    recentFiles_ = ReadRecentFiles(options_.appDataFolder);
    link_->setPortResolver(
        [folder = options_.appDataFolder](int comNumber) { return PortName(folder, comNumber); });
    const StartConnection started = ConnectDevice(*link_, *device_);
    // Why the start ends offline, before later requests meet an offline link.
    const LinkFailure startFailure = link_->lastFailure();
    checkVariantMenus();
    mnu_Deutsch->setChecked(session_.Sprache == 0);
    mnu_Englisch->setChecked(session_.Sprache == 1);
    // Qt's own texts in the same language as the string library's.
    qtTranslations_->apply(session_.Sprache);

    if (!texts_->checkLibrary()) {
        dialogs_->error(this, QStringLiteral("Sprachen - Dll fehlt!"), false);
        return false;
    }

    QElapsedTimer startScreen;
    startScreen.start();

    TAboutBox::Hooks hooks;
    hooks.text = [this](std::uint16_t n) { return LoadText(n); };
    hooks.readDevice = [this]() -> std::optional<views::AboutDeviceInfo> {
        // Device reads of the box never overlap another transaction.
        if (!session_.Online) return std::nullopt;
        auto busy = busy_.tryHold();
        if (!busy) return std::nullopt;
        views::AboutDeviceInfo info;
        ReadSystem(*link_, image_);
        info.ausbaustufe = image_.System.Ausbaustufe;
        info.programText = ReadProgramText(*link_);
        ReadDeviceSerialNo(*link_, device_->DeviceSerialNo);
        info.serialNo = device_->DeviceSerialNo;
        return info;
    };
    hooks.openLogFolder = [this] {
        std::error_code ec;
        std::filesystem::create_directories(options_.appDataFolder, ec);
        const QString folder = QString::fromStdString(options_.appDataFolder.string());
        if (options_.openFolder) {
            options_.openFolder(folder);
        } else {
            QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
        }
    };
    aboutBox_ = new TAboutBox(std::move(hooks), this);
    auto hideStartScreen = qScopeGuard([this] {
        if (aboutBox_ != nullptr) aboutBox_->hide();
        SystemTimer->start();
        NBBetrieb->setFocus();
    });
    aboutBox_->show();
    QCoreApplication::processEvents();

    UpdateTexts();
    Notebook->setCurrentWidget(TabBetrieb);
    device_->TrendStore = TrendStore{};
    device_->PropertyTable = PropertyTableBuffer{};
    centreWindow(this, nullptr);
    show();
    repaint();
    TabparEinheiten->redisplay();
    formReady_ = true;
    if (session_.Online) {
        auto busy = busy_.tryHold();
        ReadCircuitValues(0);
    } else {
        ResetParameters(image_, session_.Medium, false);
        unsaved_.saved(image_);
        // Why the program starts offline when the settings say online.
        statusText(0, StartStatusText(started, startFailure,
                                      [this](std::uint16_t n) { return LoadText(n); }));
        redisplayPages();
    }
    markOnline_ = session_.Online;
    unsavedTimer_->start();
    if (!opened.cause.empty()) {
        // Beside the reason of an offline start, not in its place.
        const views::TextLoader text = [this](std::uint16_t n) { return LoadText(n); };
        const std::string warning = views::FillPlaceholders(
            LoadText(kHistoryWarningText), {history::StoreCauseText(opened.status, text)});
        const std::string shown = StatusPanel0->text().toStdString();
        historyWarning(shown.empty() ? warning : shown + " | " + warning);
    }
    const qint64 remaining = options_.startScreenMs - startScreen.elapsed();
    if (remaining > 0) waitMs(static_cast<int>(remaining));
    return true;
}

void Tfrm_Main::FormClose() {
    if (closed_) return;
    closed_ = true;
    RefreshTimer->stop();
    SystemTimer->stop();
    unsavedTimer_->stop();
    // What the last sequence left, and what waits for the store, while the
    // port is still open.
    recordHistory();
    if (link_) link_->setRecordWatch(nullptr);
    options_.line->close();
    delete aboutBox_;
    aboutBox_ = nullptr;
    if (formReady_) {
        device_->TrendStore = TrendStore{};
        device_->PropertyTable = PropertyTableBuffer{};
        const SettingsWriteResult written = WriteSettings(options_.appDataFolder, session_);
        if (!written.ok) {
            dialogs_->warning(
                this, QString::fromStdString(LoadText(5) + std::to_string(written.ioError)));
        } else {
            WriteRecentFiles(options_.appDataFolder, recentFiles_);
        }
    }
}

void Tfrm_Main::closeEvent(QCloseEvent* event) {
    // A transaction in progress ends first; the window closes after it.
    if (busy_.held()) {
        closePending_ = true;
        event->ignore();
        return;
    }
    if (!closed_ && formReady_ && !mayCloseWithWork()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void Tfrm_Main::refreshUnsavedMark() {
    // Going offline, the program holds what the device holds: nothing of it
    // is lost yet. Edits from now on are.
    if (markOnline_ && !session_.Online) unsaved_.deviceHolds(image_);
    markOnline_ = session_.Online;
    // A new connection: the write again that waited for it.
    if (link_->connection() != 0 && link_->connection() != markConnection_) {
        markConnection_ = link_->connection();
        if (rewritePending_) QTimer::singleShot(0, this, &Tfrm_Main::writeAgainIfConnected);
    }
    setWindowModified(unsavedWork());
}

bool Tfrm_Main::mayCloseWithWork() {
    refreshUnsavedMark();
    if (!unsavedWork()) return true;
    const auto q = [this](std::uint16_t n) { return QString::fromStdString(LoadText(n)); };
    const KeepWorkQuestion question{q(kUnsavedCloseText), q(kSaveButtonText), q(kDiscardButtonText),
                                    q(kCancelButtonText)};
    switch (dialogs_->askKeepWork(this, question)) {
        case KeepWorkAnswer::Keep:
            // A save dialog cancelled or a file not written keeps the window.
            return saveAll();
        case KeepWorkAnswer::Discard:
            return true;
        case KeepWorkAnswer::Cancel:
            break;
    }
    return false;
}

void Tfrm_Main::mnu_BeendenClick() {
    close();
}

void Tfrm_Main::mnu_InfoClick() {
    if (aboutBox_ == nullptr) return;
    aboutBox_->hide();
    aboutBox_->exec();
}

// --- timers --------------------------------------------------------------------------

void Tfrm_Main::RefreshTimerTimer() {
    if (!session_.Online) return;
    auto busy = busy_.tryHold();
    if (!busy) return;
    if (Notebook->currentWidget() == TabBetrieb) {
        if (NBBetrieb->currentWidget() == TabKreis1) TabKreis1->ReadCircuitValues();
        if (NBBetrieb->currentWidget() == TabKreis2) TabKreis2->ReadCircuitValues();
    }
}

void Tfrm_Main::SystemTimerTimer() {
    if (!session_.Online) return;
    auto busy = busy_.tryHold();
    if (!busy) return;
    const DeviceDateTime& t = device_->DeviceDateTime;
    if (t.month != 0 && t.day != 0) {
        device_->DeviceDateTime = RunningDeviceClock(device_->ClockOffset, SystemLocalNow());
        showDeviceClock();
    }
}

// --- pages ---------------------------------------------------------------------------

void Tfrm_Main::ReadCircuitValues(int circuit) {
    (circuit == 1 ? TabKreis2 : TabKreis1)->ReadCircuitValues();
}

void Tfrm_Main::ShowCircuitValues() {
    (NBBetrieb->currentWidget() == TabKreis2 ? TabKreis2 : TabKreis1)->ShowCircuitValues();
}

void Tfrm_Main::showDeviceClock() {
    TabParSystem->showDeviceClock();
}

void Tfrm_Main::redisplayPages() {
    for (Page* page : pages_) page->redisplay();
    checkLevelMenu();
}

Page* Tfrm_Main::visibleOperationPage() const {
    return static_cast<Page*>(NBBetrieb->currentWidget());
}

Page* Tfrm_Main::visibleParameterPage() const {
    return static_cast<Page*>(NBParameter->currentWidget());
}

void Tfrm_Main::FillParameterPages() {
    visibleParameterPage()->fill();
}

void Tfrm_Main::refreshVisiblePage() {
    if (Notebook->currentWidget() == TabBetrieb) {
        // The trend memory is read only on request.
        if (NBBetrieb->currentWidget() != TabTrend) visibleOperationPage()->fill();
    } else {
        FillParameterPages();
    }
}

bool Tfrm_Main::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::LayoutRequest) {
        // The page shown may need more height than it has (a note below its
        // groups): the window is made that much higher, and cannot be made
        // lower than that, so that no group lies over another. A larger
        // window than needed stays as the user made it.
        int needed = standardSize_.height();
        for (const Page* page : pages_) {
            if (!page->isVisible() || page->layout() == nullptr) continue;
            const int missing = page->layout()->totalMinimumSize().height() - page->height();
            needed = std::max(needed, height() + missing);
        }
        if (needed != minimumHeight()) setMinimumHeight(needed);
    }
    return handled;
}

// --- page switching ------------------------------------------------------------------

bool Tfrm_Main::eventFilter(QObject* watched, QEvent* event) {
    if (takeFileDrop(watched, event)) return true;
    if (event->type() == QEvent::KeyPress && !keyDown_) {
        // Page switches while this key is handled came from the keyboard.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == this) {
            keyDown_ = true;
            QTimer::singleShot(0, this, [this] { keyDown_ = false; });
        }
    }
    if (event->type() == QEvent::MouseButtonRelease &&
        (watched == Notebook->tabBar() || watched == NBBetrieb->tabBar())) {
        // The press has switched the page; the release checks and fills it.
        NotebookMouseDown();
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tfrm_Main::NotebookMouseDown() {
    auto busy = busy_.tryHold();
    if (!busy) return;
    busyCursor(true);
    auto cursor = qScopeGuard([this] { busyCursor(false); });
    const SystemRec& sys = image_.System;
    const bool circuit2 = !views::Circuit2Unavailable(sys);
    const bool trend = views::TrendRecordingPresent(sys);
    if (Notebook->currentWidget() == TabParameter) {
        if (NBParameter->currentWidget() == TabPar2 && !circuit2) {
            NBParameter->setCurrentWidget(TabPar1);
        }
        if (NBParameter->currentWidget() == TabParTrend && !trend) {
            NBParameter->setCurrentWidget(TabPar1);
        }
        visibleParameterPage()->applyPageRules();
        FillParameterPages();
    } else {
        if (NBBetrieb->currentWidget() == TabKreis2 && !circuit2) {
            NBBetrieb->setCurrentWidget(TabKreis1);
        }
        if (NBBetrieb->currentWidget() == TabTrend && !trend) {
            // Lands on circuit 1 without reading its values in this pass.
            NBBetrieb->setCurrentWidget(TabKreis1);
        } else if (NBBetrieb->currentWidget() != TabTrend) {
            visibleOperationPage()->applyPageRules();
            visibleOperationPage()->fill();
        }
    }
}

void Tfrm_Main::TabKreis1Enter() {
    if (!formReady_) return;
    auto busy = busy_.tryHold();
    if (!busy) return;
    busyCursor(true);
    if (session_.Online && NBBetrieb->currentWidget() != TabTrend) visibleOperationPage()->fill();
    busyCursor(false);
}

// --- system, language and expansion level ----------------------------------------

void Tfrm_Main::checkVariantMenus() {
    mnu_gas->setChecked(session_.Medium == medium::Gas);
    mnu_energy->setChecked(session_.Medium == medium::Energy);
}

void Tfrm_Main::busyScreen(const std::function<void()>& work) {
    if (aboutBox_ != nullptr) aboutBox_->show();
    QCoreApplication::processEvents();
    auto hide = qScopeGuard([this] {
        if (aboutBox_ != nullptr) aboutBox_->hide();
    });
    work();
    repaint();
}

void Tfrm_Main::mnu_energyClick(QAction* item) {
    const int chosen = item == mnu_energy ? medium::Energy : medium::Gas;
    // Offline the variant in force chosen again changes nothing: the
    // parameter set, with its unsaved edits, stays.
    if (!session_.Online && chosen == session_.Medium) return;
    if (!session_.Online) {
        session_.Medium = chosen;
        ResetParameters(image_, session_.Medium, false);
        unsaved_.saved(image_);
        statusText(0, "");
        redisplayPages();
    } else {
        // The identity read is a transaction like any other.
        auto busy = busy_.tryHold();
        if (!busy) return;
        std::string ident;
        if (ReadDeviceIdent(*link_, ident)) {
            device_->DeviceIdent = ident;
            const int deviceMedium = MediumOfIdent(ident);
            if (deviceMedium == medium::Unknown) {
                session_.Medium = medium::Unknown;
                session_.Online = false;
                showOnline(false);
                enableOfflineMenus(true);
            } else if (session_.Medium != medium::Unknown) {
                // A known device sets the variant; a program that met an
                // unknown device keeps Medium -1 until it connects again.
                session_.Medium = deviceMedium;
            }
        }
    }
    if ((session_.Medium == medium::Energy && !mnu_energy->isChecked()) ||
        (session_.Medium == medium::Gas && !mnu_gas->isChecked())) {
        busyScreen([this] {
            checkVariantMenus();
            UpdateTexts();
        });
    }
}

void Tfrm_Main::mnu_DeutschClick(QAction* item) {
    session_.Sprache = item == mnu_Englisch ? 1 : 0;
    if (!texts_->checkLibrary()) {
        dialogs_->error(this, QStringLiteral("Sprachen - Dll fehlt!"), true);
        session_.Sprache = 0;
        qtTranslations_->apply(session_.Sprache);
        return;
    }
    qtTranslations_->apply(session_.Sprache);
    mnu_Deutsch->setChecked(session_.Sprache == 0);
    mnu_Englisch->setChecked(session_.Sprache == 1);
    busyScreen([this] { UpdateTexts(); });
}

void Tfrm_Main::mnu_highendversionClick(QAction* item) {
    if (session_.Online) return;
    for (std::size_t i = 0; i < mnu_Level.size(); ++i) {
        if (mnu_Level[i] == item) image_.System.Ausbaustufe = kLevels[i];
    }
    checkLevelMenu();
    NotebookMouseDown();
}

}  // namespace parvion::gui
