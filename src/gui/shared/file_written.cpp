#include "gui/shared/file_written.h"

#include <QDir>
#include <QMainWindow>
#include <QStatusBar>

#include "core/views/text_source.h"

namespace parvion::gui {

void ShowFileWritten(QWidget* from, const std::string& pattern, const QString& file) {
    // The table editors and the graph are windows of their own: up to the
    // main window that owns them.
    QWidget* w = from;
    while (w != nullptr && qobject_cast<QMainWindow*>(w->window()) == nullptr) {
        w = w->window()->parentWidget();
    }
    if (w == nullptr) return;
    auto* main = qobject_cast<QMainWindow*>(w->window());
    main->statusBar()->showMessage(QString::fromStdString(views::FillPlaceholders(
                                       pattern, {QDir::toNativeSeparators(file).toStdString()})),
                                   kFileWrittenMs);
}

}  // namespace parvion::gui
