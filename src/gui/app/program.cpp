#include "gui/app/program.h"

#include <QApplication>
#include <QMessageBox>
#include <QSerialPortInfo>
#include <memory>

#include "gui/app/instance_guard.h"
#include "gui/app/main_window.h"
#include "gui/app/program_folders.h"

namespace parvion::gui {

int runProgram(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("parvion2"));

    // One copy at a time; the lock goes with the process.
    InstanceGuard guard(InstanceGuard::defaultLockFile());
    if (!guard.acquired()) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("parvion2"),
                        QStringLiteral("parvion2 is already running!!"), QMessageBox::Ok);
        box.exec();
        return 0;
    }

    ProgramFolders folders = ResolveProgramFolders();
    std::unique_ptr<SerialLine> line = MakeSerialLine();
    MainWindowOptions options;
    options.line = line.get();
    options.programFolder = folders.program;
    options.appDataFolder = folders.appData;
    options.documentsFolder = folders.documents;
    // The other windows (print preview, value input, settings, tables,
    // password, graph) are created after the main window, in this order, as
    // they are built.
    auto window = std::make_unique<Tfrm_Main>(options);
    if (!window->FormCreate()) return 1;
    const int rc = QApplication::exec();
    window.reset();
    return rc;
}

}  // namespace parvion::gui
