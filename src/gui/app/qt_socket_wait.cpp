#include "gui/app/qt_socket_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>

namespace parvion::gui {

void QtSocketWait::wait(int fd, bool forWrite, Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || fd < 0) {
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    QSocketNotifier ready(fd, forWrite ? QSocketNotifier::Write : QSocketNotifier::Read);
    QSocketNotifier failed(fd, QSocketNotifier::Exception);
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&ready, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    QObject::connect(&failed, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(std::min<long long>(left.count(), 60000)));
    loop.exec();
}

void QtSocketWait::processEvents() {
    QCoreApplication::processEvents();
}

}  // namespace parvion::gui
