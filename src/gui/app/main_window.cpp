#include "gui/app/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "core/app/settings.h"
#include "core/app/texts.h"
#include "core/link/connect.h"
#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/defaults.h"
#include "core/views/page_rules.h"
#include "gui/app/about_box.h"
#include "gui/app/dialogs.h"
#include "gui/app/radio_group.h"

namespace parvion::gui {

namespace {

// Expansion level of each item of the "Ausbaustufe" menu.
constexpr std::array<std::uint8_t, 4> kLevels = {ausbaustufe::HighEnd, ausbaustufe::BasicA2,
                                                 ausbaustufe::BasicA1, ausbaustufe::Basic};

QWidget* addPage(QTabWidget* owner, const char* name, const char* caption) {
    auto* page = new QWidget(owner);
    page->setObjectName(QString::fromLatin1(name));
    owner->addTab(page, QString::fromUtf8(caption));
    return page;
}

template <typename W>
W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QListWidget* fixedList(QWidget* parent, const char* name) {
    auto* list = named(new QListWidget(parent), QString::fromLatin1(name));
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::TypeWriter);
    list->setFont(font);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
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

    setWindowTitle(QStringLiteral("parvion2"));
    QFont base = font();
    base.setPointSize(8);
    setFont(base);
    buildPages();
    buildMenus();
    buildStatusBar();

    RefreshTimer = named(new QTimer(this), QStringLiteral("RefreshTimer"));
    SystemTimer = named(new QTimer(this), QStringLiteral("SystemTimer"));
    SystemTimer->setInterval(1000);
    connect(RefreshTimer, &QTimer::timeout, this, &Tfrm_Main::RefreshTimerTimer);
    connect(SystemTimer, &QTimer::timeout, this, &Tfrm_Main::SystemTimerTimer);
    createDialogs();

    // Fixed border: the client area is 630 x 483 below the menu.
    setFixedSize(630, 483 + menuBar()->sizeHint().height());
    focusConnection_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* from, QWidget* to) {
            for (QWidget* sheet : {TabKreis1, TabKreis2, TabTrend, TabFehler, TabIntegrator}) {
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
    // Child windows destroyed after this point move the focus; the page
    // entry handler must not run on a window that is half gone.
    disconnect(focusConnection_);
    if (!closed_) FormClose();
}

// --- layout -----------------------------------------------------------------

void Tfrm_Main::buildPages() {
    Notebook = named(new QTabWidget(this), QStringLiteral("Notebook"));
    setCentralWidget(Notebook);
    TabBetrieb = addPage(Notebook, "TabBetrieb", "Betriebsanzeige");
    TabParameter = addPage(Notebook, "TabParameter", "Parameter");
    QFont pageFont(QStringLiteral("Arial"), 9);
    TabBetrieb->setFont(pageFont);
    TabParameter->setFont(pageFont);
    buildOperationPages();
    buildParameterPages();
    for (QTabWidget* tabs : {Notebook, NBBetrieb, NBParameter})
        tabs->tabBar()->installEventFilter(this);
}

void Tfrm_Main::buildOperationPages() {
    auto* layout = new QVBoxLayout(TabBetrieb);
    layout->setContentsMargins(2, 2, 2, 2);
    NBBetrieb = named(new QTabWidget(TabBetrieb), QStringLiteral("NBBetrieb"));
    NBBetrieb->setTabPosition(QTabWidget::South);
    layout->addWidget(NBBetrieb);

    TabKreis1 = addPage(NBBetrieb, "TabKreis1", "Kreis1");
    TabKreis2 = addPage(NBBetrieb, "TabKreis2", "Kreis2");
    TabTrend = addPage(NBBetrieb, "TabTrend", "Trendwerte");
    TabFehler = addPage(NBBetrieb, "TabFehler", "Fehlerprotokoll");
    TabIntegrator = addPage(NBBetrieb, "TabIntegrator", "Integratoren");

    for (std::size_t c = 0; c < 2; ++c) {
        QWidget* sheet = c == 0 ? TabKreis1 : TabKreis2;
        auto* l = new QVBoxLayout(sheet);
        l->setContentsMargins(2, 2, 2, 2);
        QListWidget* list = fixedList(sheet, c == 0 ? "ListeK1" : "ListeK2");
        list->setStyleSheet(QStringLiteral("QListWidget { background: silver; color: black; }"));
        l->addWidget(list);
        (c == 0 ? ListeK1 : ListeK2) = list;
    }

    // Trend values: read and shown by the trend page (not built yet).
    auto* trendLayout = new QVBoxLayout(TabTrend);
    auto* trendButtons = new QHBoxLayout;
    cmd_ReadTrends =
        named(new QPushButton(QStringLiteral("Lesen"), TabTrend), QStringLiteral("cmd_ReadTrends"));
    cmd_ExportTrends = named(new QPushButton(QStringLiteral("Export..."), TabTrend),
                             QStringLiteral("cmd_ExportTrends"));
    cmd_Grafik = named(new QPushButton(QStringLiteral("Grafik ..."), TabTrend),
                       QStringLiteral("cmd_Grafik"));
    ComboTrends = named(new QComboBox(TabTrend), QStringLiteral("ComboTrends"));
    for (QWidget* w : std::initializer_list<QWidget*>{cmd_ReadTrends, cmd_ExportTrends, cmd_Grafik,
                                                      ComboTrends}) {
        w->setEnabled(false);
        trendButtons->addWidget(w);
    }
    trendLayout->addLayout(trendButtons);
    Trendgrid = named(new QTableWidget(64, 5, TabTrend), QStringLiteral("Trendgrid"));
    Trendgrid->horizontalHeader()->hide();
    Trendgrid->verticalHeader()->hide();
    Trendgrid->setEnabled(false);
    trendLayout->addWidget(Trendgrid);

    auto* errorLayout = new QVBoxLayout(TabFehler);
    ErrorListe = fixedList(TabFehler, "ErrorListe");
    ErrorListe->setEnabled(false);
    errorLayout->addWidget(ErrorListe);

    auto* integLayout = new QVBoxLayout(TabIntegrator);
    for (std::size_t c = 0; c < 2; ++c) {
        auto* group =
            named(new QGroupBox(c == 0 ? QStringLiteral("Kreis 1") : QStringLiteral("Kreis 2"),
                                TabIntegrator),
                  c == 0 ? QStringLiteral("GroupInteg1") : QStringLiteral("GroupInteg2"));
        auto* gl = new QVBoxLayout(group);
        QListWidget* list = fixedList(group, c == 0 ? "ListeIntegrator1" : "ListeIntegrator2");
        list->setEnabled(false);
        gl->addWidget(list);
        integLayout->addWidget(group);
        (c == 0 ? GroupInteg1 : GroupInteg2) = group;
        (c == 0 ? ListeIntegrator1 : ListeIntegrator2) = list;
    }
}

void Tfrm_Main::buildParameterPages() {
    auto* layout = new QVBoxLayout(TabParameter);
    layout->setContentsMargins(2, 2, 2, 2);
    NBParameter = named(new QTabWidget(TabParameter), QStringLiteral("NBParameter"));
    NBParameter->setTabPosition(QTabWidget::South);
    NBParameter->setUsesScrollButtons(false);
    layout->addWidget(NBParameter);

    TabPar1 = addPage(NBParameter, "TabPar1", "Kreis 1");
    TabPar2 = addPage(NBParameter, "TabPar2", "Kreis 2");
    TabParRelais = addPage(NBParameter, "TabParRelais", "Relais");
    TabParAusgang = addPage(NBParameter, "TabParAusgang", "Ausgänge");
    TabParDisplay = addPage(NBParameter, "TabParDisplay", "Display");
    TabParTrend = addPage(NBParameter, "TabParTrend", "Trendwert");
    TabParSystem = addPage(NBParameter, "TabParSystem", "System");
    TabParKorrektur = addPage(NBParameter, "TabParKorrektur", "Korrekturfaktoren");
    TabparEinheiten = addPage(NBParameter, "TabparEinheiten", "Einheiten");
    TabParBemerkung = addPage(NBParameter, "TabParBemerkung", "Bemerkungen");

    // The editing controls of the parameter pages are placed here with
    // their captions and choices; they stay disabled until the pages that
    // edit them are built.
    auto groupWithCombo = [](QWidget* parent, const QString& group, const QString& combo,
                             QComboBox** comboOut) {
        auto* box = named(new QGroupBox(parent), group);
        auto* l = new QVBoxLayout(box);
        *comboOut = named(new QComboBox(box), combo);
        (*comboOut)->setEnabled(false);
        l->addWidget(*comboOut);
        l->addStretch();
        return box;
    };

    for (std::size_t c = 0; c < 2; ++c) {
        QWidget* sheet = c == 0 ? TabPar1 : TabPar2;
        const QString n = QString::number(c + 1);
        auto* grid = new QGridLayout(sheet);
        TBox[c] = groupWithCombo(sheet, "TBox" + n, "ComboPT" + n, &ComboPT[c]);
        PBox[c] = groupWithCombo(sheet, "PBox" + n, "ComboPD" + n, &ComboPD[c]);
        FBox[c] = groupWithCombo(sheet, "FBox" + n, "ComboPF" + n, &ComboPF[c]);
        GBox[c] = groupWithCombo(sheet, "GBox" + n, "ComboPG" + n, &ComboPG[c]);
        IBox[c] = groupWithCombo(sheet, "IBox" + n, "ComboIA" + n, &ComboIA[c]);
        grid->addWidget(TBox[c], 0, 0);
        grid->addWidget(PBox[c], 0, 1);
        grid->addWidget(FBox[c], 1, 0);
        grid->addWidget(GBox[c], 1, 1);
        grid->addWidget(IBox[c], 2, 0);
    }

    {
        auto* l = new QHBoxLayout(TabParRelais);
        for (std::size_t c = 0; c < 2; ++c) {
            const QString n = QString::number(c + 1);
            GroupAlm[c] =
                groupWithCombo(TabParRelais, "GroupAlm" + n, "ComboAlm" + n, &ComboAlm[c]);
            ComboAlmKind[c] = named(new QComboBox(GroupAlm[c]), "ComboAlmKind" + n);
            ComboAlmKind[c]->setEnabled(false);
            GroupAlm[c]->layout()->addWidget(ComboAlmKind[c]);
            l->addWidget(GroupAlm[c]);
        }
    }
    {
        auto* grid = new QGridLayout(TabParAusgang);
        for (std::size_t k = 0; k < 4; ++k) {
            const QString n = QString::number(k + 1);
            GroupAus[k] =
                groupWithCombo(TabParAusgang, "GroupAus" + n, "ComboAus" + n, &ComboAus[k]);
            grid->addWidget(GroupAus[k], static_cast<int>(k / 2), static_cast<int>(k % 2));
        }
    }
    {
        auto* l = new QVBoxLayout(TabParDisplay);
        GroupDisplay = groupWithCombo(TabParDisplay, "GroupDisplay", "ComboVorzug", &ComboVorzug);
        CheckDisplay = named(new QCheckBox(QStringLiteral("Kompaktanzeige"), GroupDisplay),
                             QStringLiteral("CheckDisplay"));
        CheckCalc = named(
            new QCheckBox(QStringLiteral("Berechnungsfehler autom. bestätigen"), GroupDisplay),
            QStringLiteral("CheckCalc"));
        CheckCalc->setEnabled(false);
        GroupDisplay->layout()->addWidget(CheckDisplay);
        GroupDisplay->layout()->addWidget(CheckCalc);
        l->addWidget(GroupDisplay);
        GroupBetriebsanzeige =
            named(new QGroupBox(TabParDisplay), QStringLiteral("GroupBetriebsanzeige"));
        auto* row = new QHBoxLayout(GroupBetriebsanzeige);
        static const char* const kChecks[7] = {"Chk_T", "Chk_P",  "Chk_R", "Chk_F",
                                               "Chk_M", "Chk_TF", "Chk_TM"};
        for (std::size_t b = 0; b < 4; ++b) {
            const QString n = QString::number(b + 1);
            DisplayBox[b] = named(new QGroupBox(GroupBetriebsanzeige), "DisplayBox" + n);
            auto* bl = new QVBoxLayout(DisplayBox[b]);
            for (std::size_t i = 0; i < 7; ++i) {
                auto* check =
                    named(new QCheckBox(DisplayBox[b]), QString::fromLatin1(kChecks[i]) + n);
                check->setEnabled(false);
                // The fourth box has no temperature, pressure and density.
                if (b == 3 && i < 3) check->hide();
                bl->addWidget(check);
                DisplayChecks[b][i] = check;
            }
            row->addWidget(DisplayBox[b]);
        }
        l->addWidget(GroupBetriebsanzeige);
    }
    {
        auto* l = new QHBoxLayout(TabParTrend);
        GroupTrend = groupWithCombo(TabParTrend, "GroupTrend", "ComboTrend", &ComboTrend);
        GroupIntervall = groupWithCombo(TabParTrend, "GroupIntervall", "ComboTrendinterval",
                                        &ComboTrendinterval);
        l->addWidget(GroupTrend);
        l->addWidget(GroupIntervall);
    }
    {
        auto* grid = new QGridLayout(TabParSystem);
        GroupSystem = groupWithCombo(TabParSystem, "GroupSystem", "Combosystem", &Combosystem);
        grid->addWidget(GroupSystem, 0, 0);
        AnzahlMU = named(new RadioGroup(TabParSystem), QStringLiteral("AnzahlMU"));
        AnzahlMU->setItems(
            {QStringLiteral("2 MU"), QStringLiteral("3 MU"), QStringLiteral("4 MU")});
        AnzahlMU->setEnabled(false);
        grid->addWidget(AnzahlMU, 0, 1);
        RG_Grenzen = named(new RadioGroup(TabParSystem), QStringLiteral("RG_Grenzen"));
        RG_Grenzen->setItems(
            {QStringLiteral("Grenzwerte nach Namur"), QStringLiteral("Grenzwerte der Industrie")});
        RG_Grenzen->setEnabled(false);
        grid->addWidget(RG_Grenzen, 1, 0);
        auto* presets = new QWidget(TabParSystem);
        auto* pl = new QVBoxLayout(presets);
        Chk_Vorgabe = named(new QCheckBox(presets), QStringLiteral("Chk_Vorgabe"));
        Chk_Vorgabe->setEnabled(false);
        ListeVorgaben = fixedList(presets, "ListeVorgaben");
        ListeVorgaben->setEnabled(false);
        pl->addWidget(Chk_Vorgabe);
        pl->addWidget(ListeVorgaben);
        grid->addWidget(presets, 1, 1, 2, 1);
        auto* factorRow = new QHBoxLayout;
        lbl_Systemfaktor = named(new QLabel(TabParSystem), QStringLiteral("lbl_Systemfaktor"));
        ed_SystemFaktor = named(new QLineEdit(TabParSystem), QStringLiteral("ed_SystemFaktor"));
        // Read-only: a double click opens the value input dialog.
        ed_SystemFaktor->setReadOnly(true);
        ed_SystemFaktor->installEventFilter(this);
        factorRow->addWidget(lbl_Systemfaktor);
        factorRow->addWidget(ed_SystemFaktor);
        grid->addLayout(factorRow, 2, 0);
        GroupDate = named(new QGroupBox(TabParSystem), QStringLiteral("GroupDate"));
        auto* dl = new QHBoxLayout(GroupDate);
        Ed_DateTime = named(new QLineEdit(GroupDate), QStringLiteral("Ed_DateTime"));
        Ed_DateTime->setReadOnly(true);
        cmd_SetDateTime = named(new QPushButton(QStringLiteral("SET"), GroupDate),
                                QStringLiteral("cmd_SetDateTime"));
        connect(cmd_SetDateTime, &QPushButton::clicked, this, &Tfrm_Main::cmd_SetDateTimeClick);
        dl->addWidget(Ed_DateTime);
        dl->addWidget(cmd_SetDateTime);
        grid->addWidget(GroupDate, 3, 0, 1, 2);
    }
    {
        auto* l = new QHBoxLayout(TabParKorrektur);
        for (std::size_t c = 0; c < 2; ++c) {
            const QString n = QString::number(c + 1);
            GroupFaktor[c] = named(new QGroupBox(TabParKorrektur), "GroupFaktor" + n);
            auto* gl = new QVBoxLayout(GroupFaktor[c]);
            FlowKorr[c] = named(new QTableWidget(8, 2, GroupFaktor[c]), "FlowKorr" + n);
            FlowKorr[c]->horizontalHeader()->hide();
            FlowKorr[c]->verticalHeader()->hide();
            FlowKorr[c]->setEnabled(false);
            gl->addWidget(FlowKorr[c]);
            l->addWidget(GroupFaktor[c]);
        }
    }
    {
        auto* l = new QVBoxLayout(TabparEinheiten);
        CheckUserEinheiten = named(new QCheckBox(QStringLiteral("User-Einheiten"), TabparEinheiten),
                                   QStringLiteral("CheckUserEinheiten"));
        CheckUserEinheiten->setEnabled(false);
        l->addWidget(CheckUserEinheiten);
        PC_Usereinheiten =
            named(new QTabWidget(TabparEinheiten), QStringLiteral("PC_Usereinheiten"));
        static const char* const kRadios[8] = {
            "Radio_E_Temp",  "Radio_E_Druck",       "Radio_E_Dichte",   "Radio_E_Leistung",
            "Radio_E_Masse", "Radio_E_TotLeistung", "Radio_E_TotMasse", "Radio_E_BetrVS"};
        for (std::size_t q = 0; q < 8; ++q) {
            auto* sheet = new QWidget(PC_Usereinheiten);
            auto* sl = new QVBoxLayout(sheet);
            Radio_E[q] = named(new RadioGroup(sheet), QString::fromLatin1(kRadios[q]));
            Radio_E[q]->setEnabled(false);
            sl->addWidget(Radio_E[q]);
            sl->addStretch();
            PC_Usereinheiten->addTab(sheet, QString::number(q));
        }
        PC_Usereinheiten->hide();
        l->addWidget(PC_Usereinheiten);
        l->addStretch();
    }
    {
        auto* l = new QVBoxLayout(TabParBemerkung);
        Param_Memo = named(new QPlainTextEdit(TabParBemerkung), QStringLiteral("Param_Memo"));
        QFont font(QStringLiteral("Courier New"), 10);
        font.setStyleHint(QFont::TypeWriter);
        Param_Memo->setFont(font);
        l->addWidget(Param_Memo);
    }
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
    mnu_Speichern = action(mnu_Parameter, "mnu_Speichern", "&Speichern...");
    mnu_Parameter->addSeparator();
    mnu_Seitenansicht = action(mnu_Parameter, "mnu_Seitenansicht", "S&eitenansicht");
    mnu_Drucken = action(mnu_Parameter, "mnu_Drucken", "&Drucken...");
    mnu_Parameter->addSeparator();
    mnu_Klemmenplan = action(mnu_Parameter, "mnu_Klemmenplan", "Klemmenplan");
    mnu_PrintKlemmenplan = action(mnu_Parameter, "mnu_PrintKlemmenplan", "Drucken...");
    mnu_Parameter->addSeparator();
    mnu_Beenden = action(mnu_Parameter, "mnu_Beenden", "&Beenden");
    // Printing comes with the printouts.
    for (QAction* a : {mnu_Seitenansicht, mnu_Drucken, mnu_Klemmenplan, mnu_PrintKlemmenplan}) {
        a->setEnabled(false);
    }
    connect(mnu_Neu, &QAction::triggered, this, &Tfrm_Main::mnu_NeuClick);
    connect(mnu_Laden, &QAction::triggered, this, &Tfrm_Main::mnu_LadenClick);
    connect(mnu_Speichern, &QAction::triggered, this, &Tfrm_Main::mnu_SpeichernClick);
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

    mnu_Hilfe = submenu(nullptr, "mnu_Hilfe", "Hilfe");
    mnu_Info = action(mnu_Hilfe, "mnu_Info", "Info ...");
    connect(mnu_Info, &QAction::triggered, this, &Tfrm_Main::mnu_InfoClick);
}

void Tfrm_Main::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    StatusPanel0 = named(new QLabel(bar), QStringLiteral("StatusPanel0"));
    StatusPanel0->setFixedWidth(400);
    Zeitmesser = named(new QProgressBar(bar), QStringLiteral("Zeitmesser"));
    Zeitmesser->setFixedWidth(150);
    Zeitmesser->setTextVisible(false);
    Zeitmesser->hide();
    // Panel 1 keeps its place while the progress bar is hidden.
    auto* panel1 = named(new QWidget(bar), QStringLiteral("StatusPanel1"));
    panel1->setFixedWidth(150);
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
    bar->addWidget(StatusPanel0);
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
    if (panel == 0) StatusPanel0->setText(t);
    if (panel == 3) StatusPanel3->setText(t);
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

// --- busy guard --------------------------------------------------------------------

void Tfrm_Main::setBusy(bool busy) {
    busy_ = busy;
    if (!busy && closePending_) {
        closePending_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

// --- start and end -----------------------------------------------------------------

bool Tfrm_Main::FormCreate() {
    formReady_ = false;
    Notebook->setCurrentIndex(0);
    NBBetrieb->setCurrentIndex(0);
    NBParameter->setCurrentIndex(0);
    lastParameterFolder_ = QString::fromStdString(options_.documentsFolder.string());

    ReadSettings(options_.appDataFolder, session_);
    link_->setPortResolver(
        [folder = options_.appDataFolder](int comNumber) { return PortName(folder, comNumber); });
    ConnectDevice(*link_, *device_);
    checkVariantMenus();
    mnu_Deutsch->setChecked(session_.Sprache == 0);
    mnu_Englisch->setChecked(session_.Sprache == 1);

    if (!texts_->CheckLibrary()) {
        dialogs_->error(this, QStringLiteral("Sprachen - Dll fehlt!"), false);
        return false;
    }

    QElapsedTimer startScreen;
    startScreen.start();

    TAboutBox::Hooks hooks;
    hooks.text = [this](std::uint16_t n) { return LoadText(n); };
    hooks.readDevice = [this]() -> std::optional<views::AboutDeviceInfo> {
        // Device reads of the box never overlap another transaction.
        if (!session_.Online || busy_) return std::nullopt;
        setBusy(true);
        auto done = qScopeGuard([this] { setBusy(false); });
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
    show();
    repaint();
    setUnitSelections();
    formReady_ = true;
    if (session_.Online) {
        setBusy(true);
        ReadCircuitValues(0);
        setBusy(false);
    } else {
        ResetParameters(image_, session_.Medium, false);
        statusText(0, "");
        showRemarks();
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
        }
    }
}

void Tfrm_Main::closeEvent(QCloseEvent* event) {
    // A transaction in progress ends first; the window closes after it.
    if (busy_) {
        closePending_ = true;
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
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
    if (busy_ || !session_.Online) return;
    setBusy(true);
    if (Notebook->currentWidget() == TabBetrieb) {
        if (NBBetrieb->currentWidget() == TabKreis1) ReadCircuitValues(0);
        if (NBBetrieb->currentWidget() == TabKreis2) ReadCircuitValues(1);
    }
    setBusy(false);
}

void Tfrm_Main::SystemTimerTimer() {
    if (busy_ || !session_.Online) return;
    setBusy(true);
    const DeviceDateTime& t = device_->DeviceDateTime;
    if (t.month != 0 && t.day != 0) {
        device_->DeviceDateTime = RunningDeviceClock(device_->ClockOffset, SystemLocalNow());
        showDeviceClock();
    }
    setBusy(false);
}

// --- page rules ---------------------------------------------------------------------

bool Tfrm_Main::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ed_SystemFaktor && event->type() == QEvent::MouseButtonDblClick) {
        ed_SystemFaktorDblClick();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease &&
        (watched == Notebook->tabBar() || watched == NBBetrieb->tabBar() ||
         watched == NBParameter->tabBar())) {
        // The press has switched the page; the release checks and fills it.
        NotebookMouseDown();
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tfrm_Main::NotebookMouseDown() {
    if (busy_) return;
    busyCursor(true);
    setBusy(true);
    const SystemRec& sys = image_.System;
    const bool allOutputs = views::AllOutputsPresent(sys);
    const bool circuit2 = !views::Circuit2Unavailable(sys);
    if (Notebook->currentWidget() == TabParameter) {
        QWidget* page = NBParameter->currentWidget();
        if (page == TabPar2 && !circuit2) NBParameter->setCurrentWidget(TabPar1);
        if (page == TabParAusgang) {
            for (int k = 1; k < 4; ++k)
                GroupAus[static_cast<std::size_t>(k)]->setVisible(allOutputs);
        }
        if (page == TabParDisplay) {
            CheckDisplay->setEnabled(allOutputs);
            if (!allOutputs) CheckDisplay->setChecked(false);
            for (int b = 1; b < 4; ++b)
                DisplayBox[static_cast<std::size_t>(b)]->setVisible(circuit2);
        }
        if (page == TabParTrend && !views::TrendRecordingPresent(sys)) {
            NBParameter->setCurrentWidget(TabPar1);
        }
        if (page == TabParSystem) GroupSystem->setVisible(allOutputs);
        if (page == TabParKorrektur) GroupFaktor[1]->setVisible(circuit2);
        FillParameterPages();
    } else {
        if (NBBetrieb->currentWidget() == TabKreis2 && !circuit2) {
            NBBetrieb->setCurrentWidget(TabKreis1);
        }
        if (NBBetrieb->currentWidget() == TabKreis1) ReadCircuitValues(0);
        if (NBBetrieb->currentWidget() == TabKreis2) ReadCircuitValues(1);
        if (NBBetrieb->currentWidget() == TabTrend && !views::TrendRecordingPresent(sys)) {
            NBBetrieb->setCurrentWidget(TabKreis1);
        }
        if (NBBetrieb->currentWidget() == TabIntegrator) GroupInteg2->setVisible(allOutputs);
        // The error protocol and integrator pages fill themselves once built.
    }
    busyCursor(false);
    setBusy(false);
}

void Tfrm_Main::TabKreis1Enter() {
    if (busy_ || !formReady_) return;
    busyCursor(true);
    setBusy(true);
    if (session_.Online) {
        if (NBBetrieb->currentWidget() == TabKreis1) ReadCircuitValues(0);
        if (NBBetrieb->currentWidget() == TabKreis2) ReadCircuitValues(1);
    }
    setBusy(false);
    busyCursor(false);
}

void Tfrm_Main::FillParameterPages() {
    // The parameter pages fill themselves once their editors are built; the
    // remark page and the clock show what the image and the device hold.
    showRemarks();
    ed_SystemFaktor->setText(QString::number(static_cast<double>(image_.System.Faktor), 'f', 4));
}

void Tfrm_Main::refreshVisiblePage(bool withTrend) {
    (void)withTrend;  // the trend page is read only on request
    if (Notebook->currentWidget() == TabBetrieb) {
        if (NBBetrieb->currentWidget() == TabKreis1) ReadCircuitValues(0);
        if (NBBetrieb->currentWidget() == TabKreis2) ReadCircuitValues(1);
    } else {
        FillParameterPages();
    }
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
    if (!session_.Online) {
        session_.Medium = item == mnu_energy ? medium::Energy : medium::Gas;
        ResetParameters(image_, session_.Medium, false);
        statusText(0, "");
        showRemarks();
    } else {
        // The identity read is a transaction like any other.
        if (busy_) return;
        setBusy(true);
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
        setBusy(false);
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
    if (!texts_->CheckLibrary()) {
        dialogs_->error(this, QStringLiteral("Sprachen - Dll fehlt!"), true);
        session_.Sprache = 0;
        return;
    }
    mnu_Deutsch->setChecked(session_.Sprache == 0);
    mnu_Englisch->setChecked(session_.Sprache == 1);
    busyScreen([this] { UpdateTexts(); });
}

void Tfrm_Main::mnu_highendversionClick(QAction* item) {
    if (session_.Online) return;
    for (std::size_t i = 0; i < mnu_Level.size(); ++i) {
        mnu_Level[i]->setChecked(false);
        if (mnu_Level[i] == item) image_.System.Ausbaustufe = kLevels[i];
    }
    item->setChecked(true);
    NotebookMouseDown();
}

}  // namespace parvion::gui
