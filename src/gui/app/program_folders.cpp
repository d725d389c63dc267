#include "gui/app/program_folders.h"

#include <QCoreApplication>

#include "core/app/texts.h"
#include "gui/app/folders.h"
#include "gui/app/window_line.h"

namespace parvion::gui {

ProgramFolders ResolveProgramFolders() {
    ProgramFolders f;
    f.program = FindTextFolder(QCoreApplication::applicationDirPath().toStdString());
    f.appData = ToPath(AppDataFolder());
    f.documents = ToPath(DocumentsFolder());
    return f;
}

std::unique_ptr<SerialLine> MakeSerialLine() {
    return std::make_unique<WindowLine>();
}

}  // namespace parvion::gui
