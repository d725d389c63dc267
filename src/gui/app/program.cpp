#include "gui/app/program.h"

#include <QApplication>
#include <QMainWindow>

namespace parvion::gui {

int runProgram(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("parvion2"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("parvion2"));
    window.show();
    return QApplication::exec();
}

}  // namespace parvion::gui
