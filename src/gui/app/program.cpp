#include "gui/app/program.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QSerialPortInfo>
#include <cstring>
#include <iostream>
#include <memory>

#include "gui/app/instance_channel.h"
#include "gui/app/instance_guard.h"
#include "gui/app/main_window.h"
#include "gui/app/program_folders.h"
#include "version/version.h"

namespace parvion::gui {

const char* const kProgramHelp = R"(usage: parvion2 [options] [FILE]

Configures and monitors a PV-GAS2 or PV-ENG2 flow computer over a serial line.

FILE, a parameter file (.PGA gas, .PEG energy, older .PAR), is loaded as the
parameter menu's "Load" loads it: offline into the program, online after the
question and, when the settings ask for it, the comparison with the device
before anything is written. When parvion2 runs already, the file is handed to
the running program, whose window comes to the front, and this start ends.

Options:
  --version             the program's version and the commit it was built from
  -h, --help            this text

Qt's own options (-platform, -style, ...) are taken as well.

The settings file parvion2.ini, the error log and the serial traces are in
$XDG_DATA_HOME/parvion2 (default ~/.local/share/parvion2). The string
libraries are found beside the program, or in ../share/parvion2 relative to
it.

Exit codes: 0 done; 1 no string library; 2 the command line is wrong.

The manual page parvion2(1) describes the program's options and files.
)";

ProgramArguments ParseProgramArguments(const QStringList& arguments) {
    ProgramArguments parsed;
    bool optionsEnded = false;
    for (const QString& a : arguments) {
        if (!optionsEnded && a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && a == QLatin1String("--version")) {
            parsed.version = true;
        } else if (!optionsEnded && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            parsed.help = true;
        } else if (!optionsEnded && a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            parsed.error = QStringLiteral("unknown option ") + a;
        } else if (!parsed.file.isEmpty()) {
            parsed.error = QStringLiteral("only one file can be opened at a time");
        } else {
            parsed.file = QFileInfo(a).absoluteFilePath();
        }
    }
    return parsed;
}

void ServeSecondStarts(InstanceChannel& channel, Tfrm_Main& window) {
    QObject::connect(&channel, &InstanceChannel::fileRequested, &window,
                     [&window](const QString& file) {
                         window.raiseWindow();
                         window.openParameterFile(file);
                     });
}

int runProgram(int argc, char* argv[]) {
    // --version and --help answer without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << VersionLine("parvion2") << '\n';
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << kProgramHelp;
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("parvion2"));
    QApplication::setApplicationVersion(
        QString::fromUtf8(ProgramVersion().data(), static_cast<int>(ProgramVersion().size())));
    // The desktop entry's name, so that the window finds its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("parvion2"));
    // Qt has taken its own options out of the arguments.
    const ProgramArguments arguments = ParseProgramArguments(QApplication::arguments().mid(1));
    if (!arguments.error.isEmpty()) {
        std::cerr << "parvion2: " << arguments.error.toStdString() << "\n(see parvion2 --help)\n";
        return 2;
    }

    // One copy at a time; the lock goes with the process. A second start
    // with a file hands it to the running copy.
    InstanceGuard guard(InstanceGuard::defaultLockFile());
    const std::filesystem::path socket = InstanceChannel::defaultSocketPath();
    if (!guard.acquired()) {
        if (!arguments.file.isEmpty() && InstanceChannel::send(socket, arguments.file)) return 0;
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("parvion2"),
                        QStringLiteral("parvion2 is already running!!"), QMessageBox::Ok);
        box.exec();
        return 0;
    }
    InstanceChannel channel;
    channel.listen(socket);

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
    ServeSecondStarts(channel, *window);
    if (!window->FormCreate()) return 1;
    if (!arguments.file.isEmpty()) window->openParameterFile(arguments.file);
    const int rc = QApplication::exec();
    window.reset();
    return rc;
}

}  // namespace parvion::gui
