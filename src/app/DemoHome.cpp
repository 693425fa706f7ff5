#include "app/DemoHome.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QVariantMap>

#include "core/browsers/Browser.h"
#include "core/browsers/Catalogue.h"
#include "core/care/AccessGrant.h"
#include "core/formats/Bookmark.h"
#include "core/formats/PropertyList.h"
#include "core/settings/Settings.h"

namespace qz {

namespace {

const QString kProfile = QStringLiteral("k3x9w2ab.default");

// A size that looks like the file it stands for, the same on every build of the demo.
qint64 believableSize(const QString& path, qint64 low, qint64 high) {
    const QByteArray digest = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Md5);
    quint32 value = 0;
    for (int i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<quint8>(digest[i]);
    }
    return low + static_cast<qint64>(value % static_cast<quint32>(high - low));
}

// A file of the given size; large files stay sparse, so the demo costs little disk.
bool writeFile(const QString& path, qint64 size) {
    if (!QDir().mkpath(QFileInfo(path).path())) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    file.write(QByteArray(static_cast<int>(qMin<qint64>(size, 512)), 'q'));
    return file.resize(size);
}

// A cache folder of nested entries that adds up to roughly the given size.
bool writeCache(const QString& folder, qint64 approximateSize, int files) {
    for (int i = 0; i < files; ++i) {
        const QString name = QStringLiteral("%1/%2/f_%3")
                                 .arg(folder)
                                 .arg(i % 8, 2, 16, QChar(u'0'))
                                 .arg(i, 6, 16, QChar(u'0'));
        const qint64 size =
            believableSize(name, approximateSize / files / 2, approximateSize / files * 3 / 2);
        if (!writeFile(name, size)) {
            return false;
        }
    }
    return true;
}

}  // namespace

QString DemoHome::defaultLocation() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/quenzel/demo-home");
}

DemoHome::DemoHome(QString folder) : root_(std::move(folder)) {}

QString DemoHome::configFolder() const {
    return root_ + QStringLiteral("-config");
}

QString DemoHome::dataFolder() const {
    return root_ + QStringLiteral("-data");
}

QString DemoHome::marker(const QString& user) const {
    return root_ + QStringLiteral("/.demo-complete-") + user;
}

bool DemoHome::isComplete(const QString& user) const {
    return QFileInfo::exists(marker(user));
}

void DemoHome::grantAccess(const QString& user) const {
    Settings settings = Settings::standard();
    if (settings.hasFolderGrant()) {
        return;
    }
    const QByteArray grant =
        Bookmark::create(root_ + QStringLiteral("/Users/") + user + QStringLiteral("/Library"));
    if (!grant.isEmpty()) {
        settings.setFolderGrant(grant);
        settings.synchronize();
    }
}

bool DemoHome::ensure(const QString& user, QString* error) const {
    if (isComplete(user)) {
        return true;
    }
    if (!build(user, error)) {
        return false;
    }
    if (!writeFile(marker(user), 0)) {
        if (error) {
            *error = QStringLiteral("cannot write in %1").arg(root_);
        }
        return false;
    }
    return true;
}

bool DemoHome::build(const QString& user, QString* error) const {
    const auto fail = [&](const QString& path) {
        if (error) {
            *error = QStringLiteral("cannot create %1").arg(path);
        }
        return false;
    };
    const QString home = root_ + QStringLiteral("/Users/") + user;
    const QStringList versions = {QStringLiteral("7.0.6"), QStringLiteral("27.0.1"),
                                  QStringLiteral("33.0.1750.152"), QStringLiteral("20.0.1387.91")};
    int index = 0;
    for (BrowserId browser : layoutBrowsers(Layout::MacOS)) {
        const QString app = root_ + browserInfo(browser).applicationPaths.first();
        QVariantMap info{{QStringLiteral("CFBundleShortVersionString"), versions[index++]}};
        if (!QDir().mkpath(app + QStringLiteral("/Contents")) ||
            !PropertyList::writeXmlAtomically(info, app + QStringLiteral("/Contents/Info.plist"))) {
            return fail(app);
        }
        for (const CareItem& item : catalogue(browser).items) {
            for (const CarePath& path : item.measured) {
                QString local;
                switch (path.kind) {
                    case PathKind::CookieStore:
                        continue;
                    case PathKind::ProfileFile:
                        local =
                            root_ +
                            QString(kFirefoxProfilesFolder).replace(QStringLiteral("%@"), user) +
                            u'/' + kProfile + u'/' + path.path;
                        break;
                    default:
                        local = root_ + QString(path.path).replace(QStringLiteral("%@"), user);
                }
                const bool written =
                    path.kind == PathKind::Folder
                        ? writeCache(local, believableSize(local, 40'000'000, 260'000'000), 48)
                        : writeFile(local, believableSize(local, 8'000, 6'000'000));
                if (!written) {
                    return fail(local);
                }
            }
        }
    }
    return QDir().mkpath(home + QStringLiteral("/Library")) || fail(home);
}

}  // namespace qz
