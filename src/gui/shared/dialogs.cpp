#include "gui/shared/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <algorithm>

namespace parvion::gui {

namespace {

std::optional<QString> runFileDialog(QWidget* parent, const FileRequest& request,
                                     QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    // The program asks itself before it overwrites, after it forced the
    // extension.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDirectory(request.directory);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    // Qt's own dialog keeps its places list narrower than its entries
    // ("Computer"): it gets the width they need.
    auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter"));
    auto* sidebar = dialog.findChild<QListView*>(QStringLiteral("sidebar"));
    if (splitter != nullptr && sidebar != nullptr) {
        dialog.resize(dialog.sizeHint().expandedTo(QSize(720, 440)));
        const int side =
            sidebar->sizeHintForColumn(0) + 2 * sidebar->frameWidth() +
            sidebar->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, sidebar) + 8;
        splitter->setSizes({side, std::max(dialog.width() - side, side)});
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

}  // namespace

bool mayOverwrite(Dialogs& dialogs, QWidget* parent, const QString& file, int sprache) {
    if (!QFileInfo::exists(file)) return true;
    return sprache == 1 ? dialogs.askOkCancel(parent, QStringLiteral("Warning"),
                                              QStringLiteral("Overwrite the file?"))
                        : dialogs.askOkCancel(parent, QStringLiteral("Warnung"),
                                              QStringLiteral("Datei überschreiben ?"));
}

bool QtDialogs::askYesNo(QWidget* parent, const QString& text, DefaultAnswer byDefault) {
    return QMessageBox::information(
               parent, QApplication::applicationName(), text, QMessageBox::Yes | QMessageBox::No,
               byDefault == DefaultAnswer::Yes ? QMessageBox::Yes : QMessageBox::No) ==
           QMessageBox::Yes;
}

bool QtDialogs::askOkCancel(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::warning(parent, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtDialogs::information(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QApplication::applicationName(), text, QMessageBox::Ok);
}

void QtDialogs::warning(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QApplication::applicationName(), text, QMessageBox::Ok);
}

void QtDialogs::error(QWidget* parent, const QString& text, bool yesButton) {
    QMessageBox::critical(parent, QApplication::applicationName(), text,
                          yesButton ? QMessageBox::Yes : QMessageBox::Ok);
}

KeepWorkAnswer QtDialogs::askKeepWork(QWidget* parent, const KeepWorkQuestion& question) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), question.text,
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("KeepWorkQuestion"));
    QPushButton* keep = box.addButton(question.keep, QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(question.discard, QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(question.cancel, QMessageBox::RejectRole);
    keep->setObjectName(QStringLiteral("keep"));
    discard->setObjectName(QStringLiteral("discard"));
    cancel->setObjectName(QStringLiteral("cancel"));
    // A stray Enter or Escape loses nothing and closes nothing.
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == keep) return KeepWorkAnswer::Keep;
    if (box.clickedButton() == discard) return KeepWorkAnswer::Discard;
    return KeepWorkAnswer::Cancel;
}

std::optional<QString> QtDialogs::openFile(QWidget* parent, const FileRequest& request) {
    return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::saveFile(QWidget* parent, const FileRequest& request) {
    return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

}  // namespace parvion::gui
