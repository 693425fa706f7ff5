#include "platform/Bundle.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include "platform/PropertyList.h"

namespace qz {

const QVariantMap& Bundle::infoDictionary() {
    static const QVariantMap info =
        PropertyList::readFile(QStringLiteral(":/Info.plist")).value_or(QVariant()).toMap();
    return info;
}

QString Bundle::objectForInfoDictionaryKey(const QString& key) {
    return infoDictionary().value(key).toString();
}

QString Bundle::shortVersion() {
    return objectForInfoDictionaryKey(QStringLiteral("CFBundleShortVersionString"));
}

QString Bundle::version() {
    return objectForInfoDictionaryKey(QStringLiteral("CFBundleVersion"));
}

QString Bundle::webSite() {
    QString site = qEnvironmentVariable("QUENZEL_WEBSITE");
    if (site.isEmpty()) {
        site = objectForInfoDictionaryKey(QStringLiteral("QZWebSite"));
    }
    while (site.endsWith(u'/')) {
        site.chop(1);
    }
    return site;
}

QString Bundle::imagePath(const QString& name) {
    return QStringLiteral(":/images/%1.svg").arg(QFileInfo(name).completeBaseName());
}

QIcon Bundle::image(const QString& name) {
    static QHash<QString, QIcon> cache;
    const auto it = cache.constFind(name);
    if (it != cache.constEnd()) {
        return it.value();
    }
    const QString path = imagePath(name);
    const QIcon icon = QFile::exists(path) ? QIcon(path) : QIcon();
    cache.insert(name, icon);
    return icon;
}

}  // namespace qz
