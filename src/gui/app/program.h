#pragma once

#include <QString>
#include <QStringList>

namespace parvion::gui {

// The text of `parvion2 --help`.
extern const char* const kProgramHelp;

// The program's own command line, after Qt took its options: one optional
// parameter file (made absolute), --version, --help; `error` names what is
// wrong.
struct ProgramArguments {
    QString file;
    bool version = false;
    bool help = false;
    QString error;
};
ProgramArguments ParseProgramArguments(const QStringList& arguments);

class InstanceChannel;
class Tfrm_Main;

// A file that a second start hands over brings the window to the front and
// is loaded as "Load" loads it.
void ServeSecondStarts(InstanceChannel& channel, Tfrm_Main& window);

// The program entry: command line, application object, single instance,
// windows, event loop. Returns the process exit code.
int runProgram(int argc, char* argv[]);

}  // namespace parvion::gui
