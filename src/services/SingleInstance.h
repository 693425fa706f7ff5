// Keeps one running Quenzel per user and root: a later start hands a reopen to the running
// one over a local socket and ends.
#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace qz {

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // `name` is the window's socket path, singleInstanceServerName() (services/InstanceName.h);
    // only peers of this user are believed or heard.
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);
    // Stops listening and removes the socket it made.
    ~SingleInstance() override;

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
    // Plain Unix sockets rather than Qt Network's local server: the window starts without
    // loading that library.
    bool bindAndListen();
    void acceptPending();
    void readFrom(QSocketNotifier* peer);

    QString name_;
    int server_ = -1;
};

}  // namespace qz
