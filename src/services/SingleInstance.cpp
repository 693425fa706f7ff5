#include "services/SingleInstance.h"

#include <QLocalSocket>

#include "services/InstanceName.h"

namespace qz {

namespace {

const QByteArray kReopen = QByteArrayLiteral("reopen\n");

}  // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), name_(name) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            // Only this user's own starts may bring the window forward.
            if (!peerIsThisUser(socket->socketDescriptor())) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine()) {
                    return;
                }
                if (socket->readLine(64) == kReopen) {
                    emit reopenRequested();
                }
                socket->disconnectFromServer();
            });
        }
    });
}

bool SingleInstance::handOver(int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs) || !peerIsThisUser(socket.socketDescriptor())) {
        return false;
    }
    socket.write(kReopen);
    if (!socket.waitForBytesWritten(timeoutMs)) {
        return false;
    }
    socket.waitForDisconnected(timeoutMs);
    return true;
}

bool SingleInstance::isRunning(int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    // A socket held by another user is nobody's window: it neither counts nor blocks.
    return socket.waitForConnected(timeoutMs) && peerIsThisUser(socket.socketDescriptor());
}

bool SingleInstance::listen() {
    if (name_.isEmpty()) {
        return false;
    }
    if (server_.listen(name_)) {
        return true;
    }
    // A socket left behind by an instance that ended without closing it.
    QLocalServer::removeServer(name_);
    return server_.listen(name_);
}

}  // namespace qz
