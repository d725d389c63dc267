#include "gui/app/settings_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <thread>

#include "core/app/error_log.h"
#include "core/app/settings.h"
#include "core/app/texts.h"
#include "core/edit/parameter_compare.h"
#include "core/link/link_failure.h"
#include "core/link/net_port.h"
#include "core/link/transport.h"
#include "core/link/ui_hooks.h"
#include "gui/parameters/password_dialog.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/dialog_texts.h"
#include "gui/shared/radio_group.h"

namespace parvion::gui {

namespace {

RadioGroup* group(QWidget* parent, const char* name, const char* title, const QStringList& items,
                  int columns, int selected) {
    auto* g = new RadioGroup(parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setTitle(QString::fromUtf8(title));
    g->setItems(items);
    g->setColumns(columns);
    g->setItemIndex(selected);
    return g;
}

QString fromText(const std::string& text) {
    return QString::fromStdString(TrimText(text));
}

// The block's texts up to the first empty one; nothing when it cannot be
// loaded.
bool loadItems(const TextLibrary& texts, std::uint16_t first, QStringList& items) {
    std::array<std::string, 16> block;
    if (!texts.LoadTextBlock(first, 1, block)) return false;
    items.clear();
    for (const std::string& t : block) {
        const QString item = fromText(t);
        if (item.isEmpty()) break;
        items << item;
    }
    return true;
}

}  // namespace

TEinst::TEinst(EinstContext context, EinstHooks hooks, TPasswordDlg& passwordDlg, QWidget* parent)
    : QDialog(parent),
      ctx_(std::move(context)),
      hooks_(std::move(hooks)),
      passwordDlg_(passwordDlg) {
    setObjectName(QStringLiteral("TEinst"));
    setWindowTitle(QStringLiteral("Einstellungen"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    QFont f(QStringLiteral("MS Sans Serif"), 8);
    f.setBold(true);
    setFont(f);

    for (int i = 1; i <= 8; ++i) portLabels_ << QStringLiteral("Com %1").arg(i);
    Com_Grp = group(this, "Com_Grp", "Anschluß", portLabels_, 1, 0);
    Bd_Grp = group(this, "Bd_Grp", "Übertragungsrate",
                   {QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"),
                    QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
                    QStringLiteral("57600"), QStringLiteral("115200")},
                   2, 3);
    Zustand_Grp = group(this, "Zustand_Grp", "Verbindung",
                        {QStringLiteral("Offline"), QStringLiteral("Online")}, 1, 0);
    Akt_Grp = group(
        this, "Akt_Grp", "Aktualisierung der Daten",
        {QStringLiteral("Parameter vom parvion"), QStringLiteral("Parameter zum parvion")}, 1, 0);
    Akt_Grp->hide();
    Ref_Grp = group(this, "Ref_Grp", "Betriebsanzeige auffrischen",
                    {QStringLiteral("Manuell"), QStringLiteral("2 Sec."), QStringLiteral("5 Sec.")},
                    3, 0);
    GroupBox1 = new QGroupBox(QStringLiteral("RS-Index"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    RSIndex = new QLabel(QStringLiteral("0"), GroupBox1);
    RSIndex->setObjectName(QStringLiteral("RSIndex"));
    (new QHBoxLayout(GroupBox1))->addWidget(RSIndex);
    BtnOk = new QPushButton(QtButtonText(QDialogButtonBox::Ok), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setDefault(true);
    BtnCancel = new QPushButton(QtButtonText(QDialogButtonBox::Cancel), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    BtnTest = new QPushButton(QStringLiteral("Verbindung testen"), this);
    BtnTest->setObjectName(QStringLiteral("BtnTest"));
    BtnTest->setAutoDefault(false);
    CompareBox = new QCheckBox(QStringLiteral("Vor dem Schreiben vergleichen"), this);
    CompareBox->setObjectName(QStringLiteral("CompareBox"));
    NetNote = new QLabel(this);
    NetNote->setObjectName(QStringLiteral("NetNote"));
    NetNote->setWordWrap(true);
    NetNote->hide();
    ProgressText = new QLabel(this);
    ProgressText->setObjectName(QStringLiteral("ProgressText"));
    ProgressText->setWordWrap(true);
    ProgressText->setTextFormat(Qt::PlainText);
    QFont plain = ProgressText->font();
    plain.setBold(false);
    ProgressText->setFont(plain);
    ProgressText->hide();

    auto* grid = new QGridLayout(this);
    grid->addWidget(Com_Grp, 0, 0, 3, 1);
    grid->addWidget(Bd_Grp, 0, 1);
    grid->addWidget(Zustand_Grp, 1, 1);
    grid->addWidget(Akt_Grp, 2, 1);
    grid->addWidget(Ref_Grp, 3, 0, 1, 2);
    grid->addWidget(CompareBox, 4, 0, 1, 2);
    grid->addWidget(NetNote, 5, 0, 1, 2);
    grid->addWidget(ProgressText, 6, 0, 1, 2);
    auto* side = new QVBoxLayout;
    side->addWidget(BtnOk);
    side->addWidget(BtnCancel);
    side->addWidget(BtnTest);
    side->addStretch();
    side->addWidget(GroupBox1);
    grid->addLayout(side, 0, 2, 5, 1);
    // Fixed border, but the size is what the groups need in the language
    // shown: the dialog grows when the transfer choice appears on the way
    // online and shrinks when it goes again.
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(Zustand_Grp, &RadioGroup::clicked, this, &TEinst::Zustand_GrpClick);
    connect(Ref_Grp, &RadioGroup::clicked, this, &TEinst::Ref_GrpClick);
    connect(Com_Grp, &RadioGroup::clicked, this, [this](int) { updateNetNote(); });
    connect(BtnOk, &QPushButton::clicked, this, &TEinst::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtnTest, &QPushButton::clicked, this, &TEinst::BtnTestClick);
}

std::string TEinst::portPath(int comNumber) const {
    if (ctx_.portResolver) return ctx_.portResolver(comNumber);
    return PortName(ctx_.appDataFolder, comNumber);
}

QStringList TEinst::decoratedPorts() const {
    QStringList items;
    for (int i = 0; i < portLabels_.size(); ++i) {
        if (i >= 8) {
            items << portLabels_[i];
            continue;
        }
        const std::string path = portPath(i + 1);
        items << QString::fromStdString(
            PortItemText(portLabels_[i].toStdString(), path, PortExists(path)));
    }
    return items;
}

void TEinst::updateNetNote() {
    const int com = Com_Grp->itemIndex() < 0 ? 0 : Com_Grp->itemIndex();
    const auto net = ParseNetworkPort(portPath(com + 1));
    const bool raw = net && net->protocol == NetProtocol::Raw;
    if (raw) {
        const std::string label = portLabels_.value(com).toStdString();
        NetNote->setText(QString::fromStdString(
            doctor::RenderFinding({doctor::Verdict::Note, link_text::NetRawBaudNote, {label}},
                                  [this](std::uint16_t n) { return ctx_.texts.LoadText(n); })));
        // The note wraps within the two columns of groups; a fixed-size
        // dialog needs its height told.
        const int width = noteWidth();
        NetNote->setFixedWidth(width);
        NetNote->setFixedHeight(NetNote->heightForWidth(width));
    }
    NetNote->setVisible(raw);
}

int TEinst::noteWidth() const {
    // As wide as the groups stand now, or would stand by their hints.
    const int spacing = static_cast<QGridLayout*>(layout())->horizontalSpacing();
    return std::max(Bd_Grp->geometry().right() - Com_Grp->geometry().left() + 1,
                    Com_Grp->sizeHint().width() + spacing +
                        std::max(Bd_Grp->sizeHint().width(), Zustand_Grp->sizeHint().width()));
}

void TEinst::showProgress(const QString& text) {
    if (text.isEmpty()) {
        ProgressText->clear();
        ProgressText->hide();
        return;
    }
    const int width = noteWidth();
    ProgressText->setText(text);
    ProgressText->setFixedWidth(width);
    // Room for two lines at least, so that the dialog does not jump with
    // every step of a test.
    const int lines = 2 * ProgressText->fontMetrics().lineSpacing();
    ProgressText->setFixedHeight(std::max(lines, ProgressText->heightForWidth(width)));
    ProgressText->show();
}

void TEinst::Sprache() {
    std::array<std::string, 16> captions;
    ctx_.texts.LoadTextBlock(kEinstCaptions, 1, captions);
    setWindowTitle(fromText(captions[0]));
    Com_Grp->setTitle(fromText(captions[1]));
    Bd_Grp->setTitle(fromText(captions[2]));
    Zustand_Grp->setTitle(fromText(captions[3]));
    Akt_Grp->setTitle(fromText(captions[4]));
    Ref_Grp->setTitle(fromText(captions[5]));
    const views::TextLoader text = [this](std::uint16_t n) { return ctx_.texts.LoadText(n); };
    SetButtonText(BtnOk, text, kTextButtonOk, QDialogButtonBox::Ok);
    SetButtonText(BtnCancel, text, kTextButtonCancel, QDialogButtonBox::Cancel);
    if (const QString t = fromText(ctx_.texts.LoadText(doctor::text::kButton)); !t.isEmpty()) {
        BtnTest->setText(t);
    }
    if (const QString t = fromText(ctx_.texts.LoadText(edit::compare_text::kSwitch));
        !t.isEmpty()) {
        CompareBox->setText(t);
    }

    QStringList items;
    if (loadItems(ctx_.texts, kEinstComItems, items)) portLabels_ = items;
    Com_Grp->setItems(decoratedPorts());
    items.clear();
    if (loadItems(ctx_.texts, kEinstBaudItems, items)) Bd_Grp->setItems(items);
    items.clear();
    if (loadItems(ctx_.texts, kEinstZustandItems, items)) Zustand_Grp->setItems(items);
    items.clear();
    if (loadItems(ctx_.texts, kEinstAktItems, items)) {
        Akt_Grp->setItems(items);
        Akt_Grp->setItemIndex(0);
    }
    items.clear();
    if (loadItems(ctx_.texts, kEinstRefItems, items)) Ref_Grp->setItems(items);
    // The refresh choice shows what is in force, not the first item.
    Ref_Grp->setItemIndex(refreshChoice_);
}

void TEinst::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TEinst::FormActivate() {
    Sprache();
    ctx_.link.line().close();
    if (hooks_.stopRefreshTimer) hooks_.stopRefreshTimer();
    Com_Grp->setItemIndex(ctx_.session.Anschluss);
    Bd_Grp->setItemIndex(ctx_.session.Baudrate);
    RSIndex->setText(QString::number(ctx_.link.TransmissionErrors()));
    const bool online = ctx_.session.Online;
    Bd_Grp->setEnabled(online);
    Com_Grp->setEnabled(online);
    Zustand_Grp->setItemIndex(online ? 1 : 0);
    CompareBox->setChecked(ctx_.session.CompareBeforeWrite);
    updateNetNote();
    showProgress(QString());
    statusAfterClose_.clear();
}

void TEinst::Zustand_GrpClick(int index) {
    const bool online = index == 1;
    Bd_Grp->setEnabled(online);
    Com_Grp->setEnabled(online);
    if (!ctx_.session.Online) Akt_Grp->setVisible(online);
}

void TEinst::Ref_GrpClick(int index) {
    if (hooks_.setRefreshInterval) hooks_.setRefreshInterval(RefreshIntervalMs(index));
}

void TEinst::keyPressEvent(QKeyEvent* event) {
    // A held Enter presses OK once, not again with every repeat.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->isAutoRepeat()) {
        return;
    }
    QDialog::keyPressEvent(event);
}

void TEinst::BtnOkClick() {
    // One sequence at a time: a second OK (a double click, Enter) during the
    // sequence's device waits finds the guard held and does nothing.
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    bool closes = false;
    {
        running_ = true;
        const bool online = Zustand_Grp->itemIndex() == 1;
        if (online) {
            // Going online takes a while (a slow device, a wrong rate): the
            // dialog says what it is doing.
            const int com = Com_Grp->itemIndex() < 0 ? 0 : Com_Grp->itemIndex();
            const int baud = Bd_Grp->itemIndex() < 0 ? ctx_.session.Baudrate : Bd_Grp->itemIndex();
            const views::TextLoader text = [this](std::uint16_t n) {
                return ctx_.texts.LoadText(n);
            };
            showProgress(QString::fromStdString(ConnectingText(
                text, portLabels_.value(com).toStdString(), portPath(com + 1), baud)));
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
        auto ended = qScopeGuard([this, online] {
            if (online) QApplication::restoreOverrideCursor();
            running_ = false;
        });
        closes = connectionSequence();
    }
    // The sequence has ended: now the dialog may close.
    busy.release();
    if (closes) accept();
}

bool TEinst::connectionSequence() {
    ctx_.session.CompareBeforeWrite = CompareBox->isChecked();
    ConnectionRequest request;
    request.online = Zustand_Grp->itemIndex() == 1;
    request.comIndex = Com_Grp->itemIndex() < 0 ? 0 : Com_Grp->itemIndex();
    request.baudIndex = Bd_Grp->itemIndex() < 0 ? ctx_.session.Baudrate : Bd_Grp->itemIndex();
    request.transferShown = !Akt_Grp->isHidden();
    request.transfer = Akt_Grp->itemIndex();

    ConnectionHooks hooks;
    hooks.variantChanged = [this] {
        if (hooks_.UpdateTexts) hooks_.UpdateTexts();
        if (hooks_.checkVariantMenus) hooks_.checkVariantMenus();
    };
    // The device keeps 8 single-byte characters.
    hooks.rememberedPassword = [this] { return passwordDlg_.text().toLatin1().toStdString(); };
    hooks.askPassword = [this] {
        // The password dialog waits for the user, not for the device.
        const bool busyCursor = QApplication::overrideCursor() != nullptr;
        if (busyCursor) QApplication::restoreOverrideCursor();
        auto back = qScopeGuard([busyCursor] {
            if (busyCursor) QApplication::setOverrideCursor(Qt::WaitCursor);
        });
        return passwordDlg_.ask().toLatin1().toStdString();
    };
    hooks.fillParameterPages = hooks_.FillParameterPages;

    const ConnectionOutcome outcome = RunConnection(ctx_.link, ctx_.image, ctx_.device, ctx_.texts,
                                                    ctx_.appDataFolder, request, hooks);
    // Why the device was not reached is said in the dialog that stays open.
    showProgress(QString::fromStdString(
        NotConnectedText([this](std::uint16_t n) { return ctx_.texts.LoadText(n); },
                         outcome.closesDialog() ? std::string() : outcome.status)));
    lastResult_ = outcome.result;
    Bd_Grp->setItemIndex(outcome.baudIndex);
    RSIndex->setText(QString::number(ctx_.link.TransmissionErrors()));
    // Why the device was not reached stays in the status bar after the
    // dialog closed, and so does a refused password.
    statusAfterClose_ = outcome.status;
    if (!outcome.closesDialog()) return false;
    refreshChoice_ = Ref_Grp->itemIndex() < 0 ? 0 : Ref_Grp->itemIndex();

    if (outcome.result == ConnectionResult::Online && RefreshTimerRuns(Ref_Grp->itemIndex())) {
        if (hooks_.setRefreshInterval) {
            hooks_.setRefreshInterval(RefreshIntervalMs(Ref_Grp->itemIndex()));
        }
        if (hooks_.startRefreshTimer) hooks_.startRefreshTimer();
    }
    return true;
}

TDoctorDlg::TDoctorDlg(const QString& title, const QString& report, const QString& takeText,
                       const QString& closeText, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TDoctorDlg"));
    setWindowTitle(title);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    DoctorReport = new QPlainTextEdit(report, this);
    DoctorReport->setObjectName(QStringLiteral("DoctorReport"));
    DoctorReport->setReadOnly(true);
    DoctorReport->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    DoctorReport->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(DoctorReport);
    auto* buttons = new QDialogButtonBox(this);
    if (!takeText.isEmpty()) {
        BtnTake = buttons->addButton(takeText, QDialogButtonBox::AcceptRole);
        BtnTake->setObjectName(QStringLiteral("BtnTake"));
    }
    BtnClose = buttons->addButton(closeText, QDialogButtonBox::RejectRole);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(760, 440);
}

void TEinst::BtnTestClick() {
    // No second test, no connection sequence and no closing meanwhile.
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    // The port stays closed while the dialog is open; the test opens each
    // port on its own and closes it again.
    ctx_.link.line().close();
    const int com = Com_Grp->itemIndex() < 0 ? 0 : Com_Grp->itemIndex();
    const int baud = Bd_Grp->itemIndex() < 0 ? ctx_.session.Baudrate : Bd_Grp->itemIndex();
    // What the test's thread needs, taken here: the port table as paths,
    // the settings as values. It sees none of the dialog's objects.
    std::array<std::string, doctor::kComPorts> comPaths;
    for (int n = 1; n <= doctor::kComPorts; ++n) {
        comPaths[static_cast<std::size_t>(n - 1)] = portPath(n);
    }
    const doctor::ComPorts comPort = [comPaths](int n) {
        return n >= 1 && n <= doctor::kComPorts ? comPaths[static_cast<std::size_t>(n - 1)]
                                                : std::string();
    };
    const std::string chosen = comPaths[static_cast<std::size_t>(com)];
    const std::filesystem::path logFolder = ctx_.appDataFolder;
    const int latencyMs = ctx_.session.NetLatencyMs;
    const views::TextLoader text = [this](std::uint16_t n) { return ctx_.texts.LoadText(n); };

    testCancel_ = std::make_shared<std::atomic<bool>>(false);
    const std::shared_ptr<std::atomic<bool>> cancel = testCancel_;
    running_ = true;
    testRunning_ = true;
    BtnOk->setEnabled(false);
    BtnTest->setEnabled(false);
    BtnCancel->setEnabled(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    showProgress(QString::fromStdString(doctor::StepText({chosen, 1, 1, -1}, text)));

    std::vector<doctor::PortReport> reports;
    int portCount = 0;
    QEventLoop loop;
    std::thread worker([&, cancel, chosen, comPort, baud, logFolder, latencyMs] {
        NullUiHooks ui;  // the waits sleep on this thread
        doctor::ProbeOptions options;
        options.latencyMs = latencyMs;
        options.errorLog = ErrorLogIn(logFolder);
        options.cancelled = [cancel] { return cancel->load(); };
        options.step = [this, cancel, &portCount](const doctor::Step& step) {
            portCount = step.count;  // read once the thread has ended
            QMetaObject::invokeMethod(
                this,
                [this, cancel, step] {
                    // The texts are loaded on the window's thread; once the
                    // test is being stopped, that stays the line shown.
                    if (cancel->load()) return;
                    showProgress(QString::fromStdString(doctor::StepText(
                        step, [this](std::uint16_t n) { return ctx_.texts.LoadText(n); })));
                },
                Qt::QueuedConnection);
        };
        std::vector<doctor::PortReport> found = doctor::CheckPorts(
            chosen, comPort, doctor::SystemPorts(), baud, ui, logFolder, options);
        QMetaObject::invokeMethod(
            &loop,
            [&reports, &loop, found = std::move(found)]() mutable {
                reports = std::move(found);
                loop.quit();
            },
            Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();

    const bool cancelled = cancel->load();
    QApplication::restoreOverrideCursor();
    BtnOk->setEnabled(true);
    BtnTest->setEnabled(true);
    BtnCancel->setEnabled(true);
    testRunning_ = false;
    running_ = false;
    testCancel_.reset();
    busy.release();
    doctorReports_ = std::move(reports);
    // How the test ended, and why no device was found, stays in the dialog.
    showProgress(
        QString::fromStdString(doctor::RunSummary(doctorReports_, cancelled, portCount, text)));
    if (cancelled) return;

    QString report;
    for (const doctor::PortReport& r : doctorReports_) {
        report += QString::fromStdString(doctor::RenderPortReport(r, text)) + QStringLiteral("\n");
    }
    if (doctorReports_.empty()) report = fromText(text(doctor::text::kNoPorts));
    const auto answered = doctor::AnsweringComPort(doctorReports_, comPort);
    const int takeCom = answered ? answered->comIndex : -1;
    const int takeBaud = answered ? answered->baudIndex : -1;
    QString take;
    if (takeCom >= 0 && (takeCom != com || takeBaud != baud)) {
        take = QString::fromStdString(doctor::RenderFinding(
            {doctor::Verdict::Ok,
             doctor::text::kTakeOver,
             {portLabels_.value(takeCom).toStdString(), std::to_string(kBaudRates[takeBaud])}},
            text));
    }
    TDoctorDlg dlg(fromText(text(doctor::text::kCaption)), report, take,
                   fromText(text(edit::compare_text::kClose)), this);
    if (dlg.exec() == QDialog::Accepted && dlg.BtnTake != nullptr) {
        Com_Grp->setItemIndex(takeCom);
        Bd_Grp->setItemIndex(takeBaud);
        updateNetNote();
    }
}

void TEinst::cancelTest() {
    if (!testRunning_ || !testCancel_ || testCancel_->load()) return;
    testCancel_->store(true);
    BtnCancel->setEnabled(false);
    showProgress(fromText(ctx_.texts.LoadText(doctor::text::kStopping)));
}

TEinst::~TEinst() {
    // A test still running (the dialog destroyed from within its wait)
    // stops at its next step.
    if (testCancel_) testCancel_->store(true);
}

void TEinst::done(int result) {
    // Cancel, Escape and the close box stop a connection test; they wait
    // for the connection sequence's end: what it works on (the port, the
    // password dialog, this dialog) stays.
    if (testRunning_) {
        cancelTest();
        return;
    }
    if (running_) return;
    // Cancel keeps the refresh choice in force; a click on another choice
    // has set the timer's interval already.
    if (result != QDialog::Accepted && hooks_.setRefreshInterval) {
        hooks_.setRefreshInterval(RefreshIntervalMs(refreshChoice_));
    }
    QDialog::done(result);
    FormDeactivate();
}

void TEinst::FormDeactivate() {
    Akt_Grp->hide();
    Akt_Grp->setItemIndex(0);
    ctx_.ui.statusText(0, "");
    ctx_.ui.statusText(1, "");
    if (hooks_.clearDateTime) hooks_.clearDateTime();
    if (ctx_.session.Online && ctx_.link.line().isOpen()) {
        ctx_.ui.showOnline(true);
    } else {
        ctx_.session.Online = false;
        ctx_.link.line().close();
        ctx_.ui.showOnline(false);
    }
    ctx_.ui.enableOfflineMenus(!ctx_.session.Online);
    // A refused password stays in the status bar after the dialog closed.
    if (!statusAfterClose_.empty()) ctx_.ui.statusText(0, statusAfterClose_);
    statusAfterClose_.clear();
}

}  // namespace parvion::gui
