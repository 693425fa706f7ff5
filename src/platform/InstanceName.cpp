#include "platform/InstanceName.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalSocket>

#include "platform/ApplicationSupport.h"

namespace qz {

QString singleInstanceServerName() {
    // Keyed by the folder that holds the care history: one process owns one history file.
    const QByteArray hash =
        QCryptographicHash::hash(applicationSupportDirectory().toUtf8(), QCryptographicHash::Sha256)
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
