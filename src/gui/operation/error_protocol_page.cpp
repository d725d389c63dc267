#include "gui/operation/error_protocol_page.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/link/data_commands.h"
#include "core/link/ui_hooks.h"
#include "core/model/device_records.h"
#include "core/model/parameter_image.h"
#include "core/model/session.h"
#include "core/views/error_protocol_lines.h"
#include "gui/shared/dialogs.h"
#include "gui/shared/file_written.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {
constexpr std::uint16_t kSaveText = 17443;
constexpr std::uint16_t kCannotWriteText = 7;
// ReadErrorProtocol steps after each of its transactions.
constexpr int kReadSteps = 17;
}  // namespace

ErrorProtocolPage::ErrorProtocolPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabFehler"), parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    ErrorListe_ = fixedList(this, QStringLiteral("ErrorListe"));
    layout->addWidget(ErrorListe_);
    // The save is also a button under the list, where it is seen without
    // knowing the context menu.
    BtnSpeichern_ = named(new QPushButton(QStringLiteral("Speichern..."), this),
                          QStringLiteral("BtnSpeichern"));
    BtnSpeichern_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnSpeichern_);
    layout->addLayout(buttons);
    connect(BtnSpeichern_, &QPushButton::clicked, this, &ErrorProtocolPage::Speichern1Click);

    PopupMenu1_ = named(new QMenu(ErrorListe_), QStringLiteral("PopupMenu1"));
    Speichern1_ =
        named(PopupMenu1_->addAction(QStringLiteral("Speichern...")), QStringLiteral("Speichern1"));
    connect(PopupMenu1_, &QMenu::aboutToShow, this, &ErrorProtocolPage::PopupMenu1Popup);
    connect(Speichern1_, &QAction::triggered, this, &ErrorProtocolPage::Speichern1Click);
    ErrorListe_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ErrorListe_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1_->popup(ErrorListe_->viewport()->mapToGlobal(at));
    });
}

void ErrorProtocolPage::updateTexts() {
    const std::string save = ctx_.text(kSaveText);
    if (!save.empty()) {
        Speichern1_->setText(qs(save));
        BtnSpeichern_->setText(qs(save));
    }
}

void ErrorProtocolPage::FillErrorProtocol() {
    UiHooks& ui = ctx_.ui;
    ui.processEvents();
    ui.progressStart(kReadSteps);
    ErrorListe_->clear();
    read_ = ReadErrorProtocol(ctx_.link, ctx_.device.ErrorProtocol);
    if (read_) showLines();
    BtnSpeichern_->setEnabled(ErrorListe_->count() > 0);
    ui.processEvents();
    ui.progressHide();
}

void ErrorProtocolPage::redisplay() {
    if (read_) showLines();
}

void ErrorProtocolPage::showLines() {
    const views::TextLoader text = [this](std::uint16_t n) { return ctx_.text(n); };
    refill(ErrorListe_, views::BuildErrorProtocolLines(ctx_.device.ErrorProtocol, ctx_.image.System,
                                                       text, ctx_.blocks()));
    BtnSpeichern_->setEnabled(ErrorListe_->count() > 0);
}

void ErrorProtocolPage::PopupMenu1Popup() {
    Speichern1_->setEnabled(ErrorListe_->count() > 0);
}

void ErrorProtocolPage::Speichern1Click() {
    if (ErrorListe_->count() == 0) return;
    FileRequest request;
    request.directory = ctx_.host.documentsFolder();
    request.fileName = QStringLiteral("ErrorListe");
    request.defaultSuffix = QStringLiteral("txt");
    const std::optional<QString> chosen = ctx_.dialogs.saveFile(this, request);
    if (!chosen || !mayOverwrite(ctx_.dialogs, this, *chosen, ctx_.session.Sprache)) return;
    // The file holds the lines as the list shows them.
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(ErrorListe_->count()));
    for (int i = 0; i < ErrorListe_->count(); ++i) {
        lines.push_back(ErrorListe_->item(i)->text().toStdString());
    }
    std::string reason;
    if (!views::SaveErrorProtocolFile(chosen->toStdString(), lines, &reason)) {
        ctx_.dialogs.warning(this, qs(ctx_.text(kCannotWriteText) + " " + reason));
        return;
    }
    ShowFileWritten(this, ctx_.text(kFileWrittenText), *chosen);
}

}  // namespace parvion::gui
