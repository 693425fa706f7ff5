#include "services/InstanceName.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>

#include "core/fs/ApplicationSupport.h"
#include "services/SingleInstance.h"

namespace qz {

namespace {

// Room for the socket's own name after the folder in sockaddr_un's path.
constexpr qsizetype kSocketNameRoom = 32;

// Makes `path` (mode 0700, its parents as needed) unless it is there, then checks that what is
// there is private: a folder someone else made first is refused, never used.
bool makePrivateFolder(const QString& path) {
    const QByteArray local = QFile::encodeName(path);
    if (::mkdir(local.constData(), 0700) != 0 && errno == ENOENT) {
        QDir().mkpath(QFileInfo(path).path());
        ::mkdir(local.constData(), 0700);
    }
    return isPrivateFolder(path);
}

bool fitsASocketPath(const QString& folder) {
    return QFile::encodeName(folder).size() + kSocketNameRoom <
           static_cast<qsizetype>(sizeof(sockaddr_un::sun_path));
}

}  // namespace

bool isPrivateFolder(const QString& path) {
    struct stat info {};
    return QDir::isAbsolutePath(path) && ::lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 07777) == 0700;
}

QString instanceSocketFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime) && fitsASocketPath(runtime)) {
        return QDir::cleanPath(runtime);
    }
    const QString fallbacks[] = {
        QDir::tempPath() + QStringLiteral("/quenzel-%1").arg(::geteuid()),
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
            QStringLiteral("/quenzel-instance"),
    };
    for (const QString& folder : fallbacks) {
        if (QDir::isAbsolutePath(folder) && fitsASocketPath(folder) && makePrivateFolder(folder)) {
            return QDir::cleanPath(folder);
        }
    }
    return {};
}

QString singleInstanceServerName() {
    const QString folder = instanceSocketFolder();
    if (folder.isEmpty()) {
        return {};
    }
    // Keyed by the folder that holds the care history: one process owns one history file.
    const QByteArray hash =
        QCryptographicHash::hash(applicationSupportDirectory().toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return folder + QStringLiteral("/quenzel-%1").arg(QString::fromLatin1(hash));
}

bool peerIsThisUser(qintptr socketDescriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return socketDescriptor >= 0 &&
           ::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer,
                        &size) == 0 &&
           size == sizeof peer && peer.uid == ::geteuid();
}

bool windowInstanceRunning() {
    const QString name = singleInstanceServerName();
    return !name.isEmpty() && SingleInstance(name).isRunning(500);
}

}  // namespace qz
