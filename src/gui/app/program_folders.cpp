#include "gui/app/program_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "core/app/texts.h"
#include "gui/app/qt_serial_line.h"

namespace parvion::gui {

namespace {

std::filesystem::path folderUnder(QStandardPaths::StandardLocation location) {
    QString base = QStandardPaths::writableLocation(location);
    if (location == QStandardPaths::GenericDataLocation || base.isEmpty()) {
        base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    }
    const QString path = base + QStringLiteral("/parvion2");
    if (!QDir().mkpath(path)) return {};
    return std::filesystem::path(path.toStdString());
}

}  // namespace

ProgramFolders ResolveProgramFolders() {
    ProgramFolders f;
    f.program = FindTextFolder(QCoreApplication::applicationDirPath().toStdString());
    f.appData = folderUnder(QStandardPaths::GenericDataLocation);
    f.documents = folderUnder(QStandardPaths::DocumentsLocation);
    return f;
}

std::unique_ptr<SerialLine> MakeSerialLine() {
    return std::make_unique<QtSerialLine>();
}

}  // namespace parvion::gui
