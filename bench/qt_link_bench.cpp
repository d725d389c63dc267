// Link throughput over a real pseudo-terminal with the QSerialPort line of
// the window program, whose waits run an event loop: the figures users get
// in the window. See link_ops.h for what is measured.
//
//   qt_link_bench [repetitions at 115200 (default 5)]

#include <QCoreApplication>

#include "gui/app/qt_serial_line.h"
#include "link_ops.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return parvion::bench::RunLinkBench(argc, argv, "parvion2-qt-link-bench", [] {
        return std::make_unique<parvion::gui::QtSerialLine>();
    });
}
