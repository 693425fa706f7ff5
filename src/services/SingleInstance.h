// Keeps one running Quenzel per user and root: a later start hands a reopen to the running
// one over a local socket and ends.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace qz {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // `name` is the window's socket path, singleInstanceServerName() (platform/InstanceName.h);
    // only peers of this user are believed or heard.
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    // Asks a running instance to reopen; true when one took the message.
    bool handOver(int timeoutMs = 1000) const;
    // True when an instance answers, without asking it for anything.
    bool isRunning(int timeoutMs = 1000) const;
    // Starts answering later starts; false when the socket cannot be set up.
    bool listen();

  signals:
    // A later start asked this instance to come forward.
    void reopenRequested();

  private:
    QString name_;
    QLocalServer server_;
};

}  // namespace qz
