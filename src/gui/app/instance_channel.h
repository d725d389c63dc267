#pragma once
// Hands a parameter file from a second start of the program to the running
// one: the running copy listens on a local (Unix-domain) socket in the
// runtime folder, open to its user only; a second start with a file sends
// the file's absolute path there and ends. The single-instance lock
// (instance_guard.h) decides which copy runs; this is only its mailbox.

#include <QObject>
#include <QString>
#include <filesystem>

class QLocalServer;

namespace parvion::gui {

class InstanceChannel : public QObject {
    Q_OBJECT
  public:
    explicit InstanceChannel(QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Listens at `socketPath` (a stale socket left by a copy that ended is
    // removed first; the caller holds the instance lock). False when it
    // cannot listen: the program then runs without the mailbox.
    bool listen(const std::filesystem::path& socketPath);

    // Sends the file to the copy listening at `socketPath`; true once that
    // copy has taken it.
    static bool send(const std::filesystem::path& socketPath, const QString& file,
                     int timeoutMs = 3000);

    // XDG_RUNTIME_DIR + "parvion2.socket"; without it the temporary folder
    // + "parvion2-UID.socket".
    static std::filesystem::path defaultSocketPath();

  signals:
    // A second start asked to open this file.
    void fileRequested(const QString& file);

  private:
    void accept();
    QLocalServer* server_ = nullptr;
};

}  // namespace parvion::gui
