#include "care/BrowserProfiles.h"

#include <algorithm>

#include <QDir>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

#include "care/LinuxCatalogue.h"
#include "platform/FileManager.h"

namespace qz {

namespace {

constexpr qint64 kProfilesIniLimit = 1 << 20;  // a few hundred bytes in practice
constexpr qint64 kLocalStateLimit = 16 << 20;  // a few hundred kilobytes in practice

struct IniSection {
    QString name;
    QHash<QString, QString> values;
};

QList<IniSection> parseIni(const QByteArray& text) {
    QList<IniSection> sections;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) {
            continue;
        }
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            sections.append({line.mid(1, line.size() - 2), {}});
        } else if (const qsizetype equals = line.indexOf(u'='); equals > 0 && !sections.isEmpty()) {
            sections.last().values.insert(line.left(equals).trimmed(),
                                          line.mid(equals + 1).trimmed());
        }
    }
    return sections;
}

QString prefixed(const LinuxInstall& install, const QString& name) {
    return install.name == QStringLiteral("native") ? name : install.name + u':' + name;
}

// Checks a profile folder and its cache folder; false when the folder is not there at all.
bool check(BrowserProfile& profile, const LinuxInstall& install, const FileManager& files) {
    const QString data = linuxPath(install.dataFolder, files);
    if (profile.refused.isEmpty()) {
        if (const QString link = files.linkOnPath(profile.folder); !link.isEmpty()) {
            profile.refused = QStringLiteral("reached through the symbolic link %1").arg(link);
        } else if (!(install.profiles == ProfileList::DataFolder && profile.folder == data) &&
                   !liesInside(profile.folder, data)) {
            profile.refused = QStringLiteral("lies outside %1").arg(data);
        } else if (!files.isDirectory(profile.folder)) {
            return false;
        }
    }
    if (!profile.usable()) {
        profile.cacheFolder.clear();
        return true;
    }
    if (const QString link = files.linkOnPath(profile.cacheFolder); !link.isEmpty()) {
        profile.cacheRefused = QStringLiteral("reached through the symbolic link %1").arg(link);
        profile.cacheFolder.clear();
    }
    return true;
}

void firefoxProfiles(const LinuxInstall& install, const FileManager& files,
                     QList<BrowserProfile>& out) {
    const QString data = linuxPath(install.dataFolder, files);
    const QString cache = linuxPath(install.cacheFolder, files);
    const auto ini = files.readSmallFile(data + QStringLiteral("/profiles.ini"), kProfilesIniLimit);
    if (!ini) {
        return;
    }
    const QList<IniSection> sections = parseIni(*ini);
    QStringList installDefaults;  // newer versions name each install's default profile here
    for (const IniSection& section : sections) {
        if (section.name.startsWith(QStringLiteral("Install")) &&
            section.values.contains(QStringLiteral("Default"))) {
            installDefaults.append(section.values.value(QStringLiteral("Default")));
        }
    }
    QList<BrowserProfile> found;
    for (const IniSection& section : sections) {
        const QString path = section.values.value(QStringLiteral("Path"));
        if (!section.name.startsWith(QStringLiteral("Profile")) || path.isEmpty()) {
            continue;
        }
        BrowserProfile profile;
        profile.install = install.name;
        profile.name = prefixed(install, section.values.value(QStringLiteral("Name"), path));
        profile.isDefault = installDefaults.contains(path) ||
                            section.values.value(QStringLiteral("Default")) == QStringLiteral("1");
        const bool relative =
            section.values.value(QStringLiteral("IsRelative"), path.startsWith(u'/') ? "0" : "1") ==
            QStringLiteral("1");
        if (relative) {
            profile.folder = QDir::cleanPath(data + u'/' + path);
            // A relative profile keeps its cache under the same name in the cache folder.
            profile.cacheFolder = QDir::cleanPath(cache + u'/' + path);
            if (!liesInside(profile.cacheFolder, cache)) {
                profile.cacheFolder.clear();
            }
        } else {
            profile.folder = files.platformPath(path);
            if (profile.folder.isEmpty()) {
                // Named by the list that declares it, since it has no place below the home.
                profile.folder = data + QStringLiteral("/profiles.ini");
                profile.refused =
                    QStringLiteral("its path %1 lies outside the home folder").arg(path);
            }
            profile.cacheFolder = profile.folder;  // an absolute profile keeps its cache inside
        }
        if (check(profile, install, files)) {
            found.append(profile);
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.isDefault && !b.isDefault; });
    out.append(found);
}

// The profile folders "Local State" lists, "Default" first; just "Default" without a list.
QStringList chromiumProfileNames(const QString& data, const FileManager& files) {
    QStringList names;
    const auto state = files.readSmallFile(data + QStringLiteral("/Local State"), kLocalStateLimit);
    if (state) {
        const QJsonObject cache = QJsonDocument::fromJson(*state)
                                      .object()
                                      .value(QStringLiteral("profile"))
                                      .toObject()
                                      .value(QStringLiteral("info_cache"))
                                      .toObject();
        names = cache.keys();
    }
    names.removeAll(QStringLiteral("Default"));
    names.prepend(QStringLiteral("Default"));
    return names;
}

void chromiumProfiles(const LinuxInstall& install, const FileManager& files,
                      QList<BrowserProfile>& out) {
    const QString data = linuxPath(install.dataFolder, files);
    const QString cache = linuxPath(install.cacheFolder, files);
    if (!files.isDirectory(data)) {
        return;
    }
    const QStringList names = install.profiles == ProfileList::DataFolder
                                  ? QStringList{QString()}
                                  : chromiumProfileNames(data, files);
    for (const QString& name : names) {
        BrowserProfile profile;
        profile.install = install.name;
        profile.name = prefixed(install, name.isEmpty() ? QStringLiteral("Default") : name);
        profile.isDefault = name.isEmpty() || name == QStringLiteral("Default");
        profile.folder = name.isEmpty() ? data : data + u'/' + name;
        profile.cacheFolder = name.isEmpty() ? cache : cache + u'/' + name;
        if (name.contains(u'/') || name == QStringLiteral(".") || name == QStringLiteral("..")) {
            profile.refused = QStringLiteral("\"%1\" is not a folder inside %2").arg(name, data);
        }
        if (check(profile, install, files)) {
            out.append(profile);
        }
    }
}

}  // namespace

bool liesInside(const QString& path, const QString& folder) {
    if (path.isEmpty() || folder.isEmpty() || path.split(u'/').contains(QStringLiteral(".."))) {
        return false;
    }
    const QString base = QDir::cleanPath(folder);
    return QDir::cleanPath(path).startsWith(base == QStringLiteral("/") ? base : base + u'/');
}

QList<BrowserProfile> browserProfiles(BrowserId browser, const FileManager& files) {
    QList<BrowserProfile> profiles;
    if (files.layout() != Layout::Linux) {
        return profiles;
    }
    for (const LinuxInstall& install : linuxInstalls(browser)) {
        if (install.profiles == ProfileList::FirefoxIni) {
            firefoxProfiles(install, files, profiles);
        } else {
            chromiumProfiles(install, files, profiles);
        }
    }
    return profiles;
}

QList<BrowserProfile> usableProfiles(const QList<BrowserProfile>& profiles, const QString& only) {
    QList<BrowserProfile> usable;
    for (const BrowserProfile& profile : profiles) {
        if (profile.usable() && (only.isEmpty() || profile.name == only)) {
            usable.append(profile);
        }
    }
    return usable;
}

QStringList browserLocks(BrowserId browser, const FileManager& files) {
    QStringList locks;
    if (files.layout() != Layout::Linux) {
        return locks;
    }
    for (const LinuxInstall& install : linuxInstalls(browser)) {
        if (install.profiles != ProfileList::FirefoxIni) {
            locks.append(linuxPath(install.dataFolder, files) + QStringLiteral("/SingletonLock"));
        }
    }
    for (const BrowserProfile& profile : browserProfiles(browser, files)) {
        if (profile.usable() && browser == BrowserId::Firefox) {
            locks.append(profile.folder + QStringLiteral("/lock"));
        }
    }
    return locks;
}

}  // namespace qz
