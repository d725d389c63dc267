#include "gui/app/folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace parvion::gui {

namespace {

QString programFolderIn(QStandardPaths::StandardLocation location) {
    const QString base = QStandardPaths::writableLocation(location);
    if (base.isEmpty()) return {};
    const QString path = QDir::cleanPath(base + QStringLiteral("/parvion2"));
    if (!QDir().mkpath(path) || !QFileInfo(path).isDir()) return {};
    return path;
}

}  // namespace

QString AppDataFolder() {
    return programFolderIn(QStandardPaths::GenericDataLocation);
}

QString DocumentsFolder() {
    return programFolderIn(QStandardPaths::DocumentsLocation);
}

std::filesystem::path ToPath(const QString& folder) {
    if (folder.isEmpty()) return {};
    const QByteArray bytes = QFile::encodeName(folder);
    return std::filesystem::path(
        std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace parvion::gui
