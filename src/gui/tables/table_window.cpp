#include "gui/tables/table_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTime>
#include <QVBoxLayout>

#include "core/link/link_failure.h"
#include "core/link/transport.h"
#include "core/link/ui_hooks.h"
#include "core/model/session.h"
#include "core/tables/table_messages.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/dialogs.h"
#include "gui/shared/file_written.h"
#include "gui/shared/page.h"
#include "gui/tables/table_grid_model.h"

namespace parvion::gui {

namespace {

constexpr std::uint16_t kFileMenuTexts = 1280;
// The grid's context menu: copy, paste, delete.
constexpr std::uint16_t kCopyText = 22922;
constexpr std::uint16_t kPasteText = 22923;
constexpr std::uint16_t kDeleteText = 22924;
constexpr std::uint16_t kQuestionTransmit = 14336;
constexpr std::uint16_t kQuestionSave = 14337;
// How a read or a send of the table went (%1: the cause).
constexpr std::uint16_t kReceivedText = 22812;
constexpr std::uint16_t kNotReceivedText = 22813;
constexpr std::uint16_t kSentText = 22814;
constexpr std::uint16_t kNotSentText = 22815;

QAction* NamedAction(QObject* parent, const char* name, const QString& text) {
    auto* a = new QAction(text, parent);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

}  // namespace

TableWindow::Hourglass::Hourglass(TableWindow& w) : w_(w) {
    w_.ctx_.ui.busyCursor(true);
}
TableWindow::Hourglass::~Hourglass() {
    w_.ctx_.ui.busyCursor(false);
}

TableWindow::TableWindow(PageContext& context, const QString& objectName, QWidget* parent)
    : QDialog(parent), ctx_(context) {
    setObjectName(objectName);
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setSizeGripEnabled(true);
}

void TableWindow::build(TableGridModel* model, int columnWidth) {
    model_ = model;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Menu = new QMenuBar(this);
    Menu->setObjectName(QStringLiteral("MainMenu1"));
    Datei1 = Menu->addMenu(QStringLiteral("Tabelle"));
    Datei1->setObjectName(QStringLiteral("Datei1"));
    mnu_Neu = NamedAction(this, "mnu_Neu", QStringLiteral("Neu"));
    mnu_Load = NamedAction(this, "mnu_Load", QStringLiteral("Öffnen..."));
    mnu_Store1 = NamedAction(this, "mnu_Store1", QStringLiteral("Speichern..."));
    N1 = NamedAction(this, "N1", QString());
    N1->setSeparator(true);
    mnu_Receive = NamedAction(this, "mnu_Receive", QStringLiteral("vom parvion"));
    mnu_Transmit = NamedAction(this, "mnu_Transmit", QStringLiteral("zum parvion"));
    Datei1->addActions({mnu_Neu, mnu_Load, mnu_Store1, N1, mnu_Receive, mnu_Transmit});
    connect(mnu_Neu, &QAction::triggered, this, &TableWindow::mnu_NeuClick);
    connect(mnu_Load, &QAction::triggered, this, &TableWindow::mnu_LoadClick);
    connect(mnu_Store1, &QAction::triggered, this, &TableWindow::mnu_Store1Click);
    connect(mnu_Receive, &QAction::triggered, this, &TableWindow::mnu_ReceiveClick);
    connect(mnu_Transmit, &QAction::triggered, this, &TableWindow::mnu_TransmitClick);
    layout->setMenuBar(Menu);

    TabGrid = new QTableView(this);
    TabGrid->setObjectName(QStringLiteral("TabGrid"));
    TabGrid->setModel(model_);
    TabGrid->horizontalHeader()->hide();
    TabGrid->verticalHeader()->hide();
    TabGrid->horizontalHeader()->setDefaultSectionSize(columnWidth);
    TabGrid->verticalHeader()->setDefaultSectionSize(QFontMetrics(TabGrid->font()).height() + 6);
    QFont grid(QStringLiteral("Courier New"), 9);
    grid.setStyleHint(QFont::Monospace);
    TabGrid->setFont(grid);
    TabGrid->setShowGrid(true);
    TabGrid->setTabKeyNavigation(true);
    TabGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    TabGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(TabGrid, &QTableView::doubleClicked, this, [this] { TabGridDblClick(); });
    layout->addWidget(TabGrid);
    TransferNote = new QLabel(this);
    TransferNote->setObjectName(QStringLiteral("TransferNote"));
    TransferNote->setWordWrap(true);
    TransferNote->setContentsMargins(4, 2, 4, 2);
    TransferNote->hide();
    layout->addWidget(TransferNote);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    mnu_Kopieren = NamedAction(this, "mnu_Kopieren", QString());
    mnu_Einfuegen = NamedAction(this, "mnu_Einfuegen", QString());
    mnu_Loeschen = NamedAction(this, "mnu_Loeschen", QString());
    PopupMenu1->addActions({mnu_Kopieren, mnu_Einfuegen, mnu_Loeschen});
    connect(mnu_Kopieren, &QAction::triggered, this, &TableWindow::mnu_KopierenClick);
    connect(mnu_Einfuegen, &QAction::triggered, this, &TableWindow::mnu_EinfuegenClick);
    connect(mnu_Loeschen, &QAction::triggered, this, &TableWindow::mnu_LoeschenClick);
    TabGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TabGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex i = TabGrid->indexAt(at);
        if (i.isValid() && (model_->flags(i) & Qt::ItemIsSelectable)) TabGrid->setCurrentIndex(i);
        PopupMenu1->popup(TabGrid->viewport()->mapToGlobal(at));
    });
    // The captions of the session's language from the start (the derived
    // window's own menus are not built yet).
    TableWindow::updateTexts();
}

int TableWindow::open(int tag, const QString& caption) {
    tag_ = tag;
    setWindowTitle(caption);
    updateTexts();
    FormActivate();
    return exec();
}

void TableWindow::updateTexts() {
    views::TextBlock block;
    if (ctx_.textBlock(kFileMenuTexts, 0, block)) {
        const auto q = [&](std::size_t i) { return QString::fromStdString(block[i]); };
        Datei1->setTitle(q(0));
        mnu_Neu->setText(q(1));
        mnu_Load->setText(q(2));
        mnu_Store1->setText(q(3));
        mnu_Receive->setText(q(6));
        mnu_Transmit->setText(q(7));
    }
    mnu_Kopieren->setText(QString::fromStdString(text(kCopyText)));
    mnu_Einfuegen->setText(QString::fromStdString(text(kPasteText)));
    mnu_Loeschen->setText(QString::fromStdString(text(kDeleteText)));
}

std::string TableWindow::text(std::uint16_t number) const {
    return ctx_.text(number);
}

views::TextLoader TableWindow::textLoader() const {
    return [this](std::uint16_t number) { return ctx_.text(number); };
}

void TableWindow::showMessage(const std::string& message) {
    ctx_.dialogs.error(this, QString::fromStdString(message), false);
}

std::pair<int, int> TableWindow::current() const {
    const QModelIndex i = TabGrid->currentIndex();
    if (!i.isValid()) return {-1, -1};
    return {i.column(), i.row()};
}

void TableWindow::showTransfer(bool received, bool ok, const std::string& cause) {
    std::string line;
    if (ok) {
        line = text(received ? kReceivedText : kSentText);
    } else {
        const std::string why =
            cause.empty() ? LinkFailureText(ctx_.link.lastFailure(), textLoader()) : cause;
        line = views::FillPlaceholders(text(received ? kNotReceivedText : kNotSentText), {why});
    }
    // The time tells one attempt from the next.
    TransferNote->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss  ")) +
                          QString::fromStdString(line));
    TransferNote->setStyleSheet(
        ok ? QStringLiteral("QLabel { color: #006000; }")
           : QStringLiteral("QLabel { color: #a00000; font-weight: bold; }"));
    TransferNote->show();
}

bool TableWindow::openCommon() {
    TransferNote->hide();
    if (!tables::HasKindExtension(fileName_.toStdString(), kind())) fileName_.clear();
    notTransmitted_ = false;
    const bool online = ctx_.online();
    mnu_Receive->setEnabled(online);
    mnu_Transmit->setEnabled(online);
    return online;
}

void TableWindow::done(int result) {
    // While the window reads or sends its table, the device waits keep the
    // event loop running: Escape and the close box wait for the end.
    if (ctx_.busy.held()) return;
    if (isVisible() && !FormDeactivate()) return;
    QDialog::done(result);
}

bool TableWindow::FormDeactivate() {
    const bool online = ctx_.online();
    if (!(online ? notTransmitted_ : notSaved_)) return true;
    const auto q = [this](std::uint16_t n) { return QString::fromStdString(text(n)); };
    // Sending overwrites the device's table and saving may overwrite a
    // file: neither is the default; Cancel (and Escape) goes back to the
    // table with its edits.
    const KeepWorkQuestion question{q(online ? kQuestionTransmit : kQuestionSave),
                                    q(online ? kSendButtonText : kSaveButtonText),
                                    q(kDiscardButtonText), q(kCancelButtonText)};
    switch (ctx_.dialogs.askKeepWork(this, question)) {
        case KeepWorkAnswer::Keep:
            // A table not sent, or a save dialog cancelled, stays open.
            if (online) {
                if (!transmit()) return false;
                notTransmitted_ = false;
                return true;
            }
            return save();
        case KeepWorkAnswer::Discard:
            return true;
        case KeepWorkAnswer::Cancel:
            break;
    }
    return false;
}

bool TableWindow::confirmMissing(const std::vector<std::string>& keys) {
    // A key is not broken across lines of the box: its blanks do not break.
    std::vector<std::string> shown;
    for (const std::string& key : keys) {
        std::string k;
        for (const char c : key) k += c == ' ' ? std::string("\u00A0") : std::string(1, c);
        shown.push_back(std::move(k));
    }
    const std::string question = tables::MissingCellsQuestion(textLoader(), shown);
    // Sending zeros the file never held: not without a Yes.
    return ctx_.dialogs.askYesNo(this, QString::fromStdString(question), DefaultAnswer::No);
}

bool TableWindow::transmit(bool* declined) {
    auto busy = ctx_.busy.tryHold();
    if (!busy) return false;
    tables::TransmitResult r;
    {
        Hourglass h(*this);
        r = transmitGrid();
    }
    if (r.status == tables::TransmitStatus::BadCell) {
        const std::string message = tables::BadCellMessage(textLoader(), *r.bad);
        showMessage(message);
        TabGrid->setCurrentIndex(model_->index(r.bad->row, r.bad->col));
        showTransfer(false, false, message);
    } else if (r.status == tables::TransmitStatus::AxisOrder) {
        // A loaded file may bring an axis the editor would have refused.
        const std::string message = tables::AxisOrderMessage(textLoader(), *r.axis);
        showMessage(message);
        const bool t = r.axis->temperature;
        TabGrid->setCurrentIndex(model_->index(t ? r.axis->index : 0, t ? 0 : r.axis->index));
        showTransfer(false, false, message);
    } else if (r.status != tables::TransmitStatus::Declined) {
        showTransfer(false, r.status == tables::TransmitStatus::Sent);
    }
    if (declined != nullptr) *declined = r.status == tables::TransmitStatus::Declined;
    return r.status == tables::TransmitStatus::Sent;
}

void TableWindow::mnu_TransmitClick() {
    if (!ctx_.online()) return;
    bool declined = false;
    if (transmit(&declined)) {
        notTransmitted_ = false;
    } else if (!declined) {
        ctx_.ui.beep();
    }
}

bool TableWindow::save() {
    const tables::TableKindInfo& k = tables::KindInfo(kind());
    FileRequest request;
    request.directory = ctx_.host.documentsFolder();
    request.fileName = QFileInfo(fileName_).fileName();
    request.filters = {QString::fromStdString(tables::KindFilter(kind(), textLoader()))};
    request.defaultSuffix =
        QString::fromLatin1(k.extension.data(), static_cast<qsizetype>(k.extension.size()));
    const std::optional<QString> chosen = ctx_.dialogs.saveFile(this, request);
    if (!chosen || !mayOverwrite(ctx_.dialogs, this, *chosen, ctx_.session.Sprache)) return false;
    fileName_ = *chosen;
    tables::FileResult r;
    {
        Hourglass h(*this);
        r = saveFile(fileName_.toStdString());
    }
    if (!r.ok()) {
        showMessage(tables::FileMessage(textLoader(), r));
        return false;
    }
    notSaved_ = false;
    ShowFileWritten(this, text(kFileWrittenText), fileName_);
    return true;
}

void TableWindow::mnu_Store1Click() {
    save();
}

void TableWindow::mnu_LoadClick() {
    const tables::TableKindInfo& k = tables::KindInfo(kind());
    FileRequest request;
    if (fileName_.isEmpty()) {
        request.directory = ctx_.host.documentsFolder();
    } else {
        request.directory = QFileInfo(fileName_).absolutePath();
        request.fileName = QFileInfo(fileName_).fileName();
    }
    request.filters = {QString::fromStdString(tables::KindFilter(kind(), textLoader()))};
    request.defaultSuffix =
        QString::fromLatin1(k.extension.data(), static_cast<qsizetype>(k.extension.size()));
    const std::optional<QString> chosen = ctx_.dialogs.openFile(this, request);
    if (!chosen) return;
    tables::FileResult r;
    {
        Hourglass h(*this);
        r = loadFile(chosen->toStdString());
    }
    if (!r.ok()) {
        // The grid and the current file stay as they were.
        showMessage(tables::FileMessage(textLoader(), r));
        return;
    }
    fileName_ = *chosen;
    model_->gridChanged();
    notSaved_ = false;
    notTransmitted_ = true;
}

void TableWindow::mnu_KopierenClick() {
    const auto [col, row] = current();
    if (col < 0 || !cellHoldsData(col, row)) return;
    QApplication::clipboard()->setText(model_->text(col, row));
}

void TableWindow::mnu_EinfuegenClick() {
    const auto [col, row] = current();
    if (col < 0 || !cellHoldsData(col, row)) return;
    const QString clip = QApplication::clipboard()->text();
    if (clip.isEmpty()) return;
    model_->setText(col, row, pasteText(clip.toStdString(), col, row));
    setBothFlags();
}

void TableWindow::mnu_LoeschenClick() {
    const auto [col, row] = current();
    if (col < 0 || !cellHoldsData(col, row)) return;
    model_->setText(col, row, "0");
    setBothFlags();
}

}  // namespace parvion::gui
