#include "gui/app/instance_channel.h"

#include <unistd.h>
#include <QLocalServer>
#include <QLocalSocket>
#include <QUrl>

#include <cstdlib>
#include <string>

namespace parvion::gui {

namespace {

// Longest request taken: one path and its line end.
constexpr qint64 kMaxRequest = 64 * 1024;
// The answer of the running copy once it has the file.
constexpr char kTaken = '+';

}  // namespace

InstanceChannel::InstanceChannel(QObject* parent) : QObject(parent) {}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::listen(const std::filesystem::path& socketPath) {
    const QString name = QString::fromStdString(socketPath.string());
    // Only the user's own processes may connect.
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(name);
    if (!server_->listen(name)) {
        delete server_;
        server_ = nullptr;
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::accept);
    return true;
}

void InstanceChannel::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // The request is one line: the file's absolute path, percent-encoded.
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxRequest) socket->abort();
                return;
            }
            QByteArray line = socket->readLine(kMaxRequest);
            while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
            const QString file = QUrl::fromPercentEncoding(line);
            socket->write(&kTaken, 1);
            socket->flush();
            socket->disconnectFromServer();
            if (!file.isEmpty()) emit fileRequested(file);
        });
    }
}

bool InstanceChannel::send(const std::filesystem::path& socketPath, const QString& file,
                           int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath.string()));
    if (!socket.waitForConnected(timeoutMs)) return false;
    // Percent-encoded: any character of a file name fits on the line.
    socket.write(QUrl::toPercentEncoding(file) + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    if (!socket.waitForReadyRead(timeoutMs)) return false;
    char answer = 0;
    return socket.read(&answer, 1) == 1 && answer == kTaken;
}

std::filesystem::path InstanceChannel::defaultSocketPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::filesystem::path folder;
    if (runtime != nullptr && *runtime != '\0') {
        folder = runtime;
    } else {
        std::error_code ec;
        folder = std::filesystem::temp_directory_path(ec);
        if (ec) folder = "/tmp";
        // A folder shared by all users: the name is the user's own.
        return folder / ("parvion2-" + std::to_string(::getuid()) + ".socket");
    }
    return folder / "parvion2.socket";
}

}  // namespace parvion::gui
