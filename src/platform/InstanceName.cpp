#include "platform/InstanceName.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalSocket>

#include "platform/FileManager.h"

namespace qz {

QString singleInstanceServerName() {
    const QByteArray hash =
        QCryptographicHash::hash(FileManager::shared().root().toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return QStringLiteral("quenzel-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

bool windowInstanceRunning() {
    QLocalSocket socket;
    socket.connectToServer(singleInstanceServerName());
    const bool connected = socket.waitForConnected(500);
    socket.abort();
    return connected;
}

}  // namespace qz
