#include "core/formats/Bookmark.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace qz {

namespace {
constexpr char kMagic[] = "QZBOOKMARK1\n";
}

QByteArray Bookmark::create(const QString& folder, QString* error) {
    const QFileInfo info(folder);
    struct stat identity {};
    if (folder.isEmpty() || !info.isDir() ||
        ::stat(QFile::encodeName(info.absoluteFilePath()).constData(), &identity) != 0) {
        if (error) {
            *error = QStringLiteral("\"%1\" is not a folder that can be read").arg(folder);
        }
        return {};
    }
    QJsonObject object;
    object.insert(QStringLiteral("path"), QDir::cleanPath(info.absoluteFilePath()));
    object.insert(QStringLiteral("device"), QString::number(identity.st_dev));
    object.insert(QStringLiteral("inode"), QString::number(identity.st_ino));
    return QByteArray(kMagic) + QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Bookmark::Resolved> Bookmark::resolve(const QByteArray& data) {
    if (!data.startsWith(kMagic)) {
        return std::nullopt;
    }
    const QJsonObject object = QJsonDocument::fromJson(data.mid(sizeof(kMagic) - 1)).object();
    const QString path = object.value(QStringLiteral("path")).toString();
    struct stat identity {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &identity) != 0 ||
        !S_ISDIR(identity.st_mode)) {
        return std::nullopt;
    }
    Resolved resolved;
    resolved.path = path;
    resolved.stale =
        object.value(QStringLiteral("device")).toString() != QString::number(identity.st_dev) ||
        object.value(QStringLiteral("inode")).toString() != QString::number(identity.st_ino);
    return resolved;
}

}  // namespace qz
