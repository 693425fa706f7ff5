#include "core/formats/Bundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "core/formats/PropertyList.h"

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
    if (site.isEmpty() && QCoreApplication::instance()) {
        const QString folder = siteFolder(QCoreApplication::applicationDirPath());
        if (!folder.isEmpty()) {
            site = QUrl::fromLocalFile(folder).toString(QUrl::FullyEncoded);
        }
    }
    while (site.endsWith(u'/')) {
        site.chop(1);
    }
    return site;
}

QString Bundle::siteFolder(const QString& applicationDir) {
    QStringList candidates{QDir(applicationDir).filePath(QStringLiteral("../share/quenzel/site"))};
#ifdef QUENZEL_BUILD_SITE
    candidates.append(QStringLiteral(QUENZEL_BUILD_SITE));
#endif
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate + QStringLiteral("/support.html")).isFile()) {
            return QDir(candidate).canonicalPath();
        }
    }
    return {};
}

QString Bundle::imagePath(const QString& name) {
    return QStringLiteral(":/images/%1.svg").arg(QFileInfo(name).completeBaseName());
}

}  // namespace qz
