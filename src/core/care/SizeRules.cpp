#include "core/care/SizeRules.h"

#include <QFile>

#include "core/browsers/FirefoxProfile.h"
#include "core/fs/ByteSum.h"
#include "core/fs/FileManager.h"

namespace qz {

const QList<BrowserProfile>& ProfileLookup::usable(BrowserId browser) {
    const int key = static_cast<int>(browser);
    auto found = usable_.find(key);
    if (found == usable_.end()) {
        found = usable_.insert(key, usableProfiles(browserProfiles(browser, files_), only_));
    }
    return *found;
}

QString platformPathOf(const CarePath& path, const FileManager& files) {
    switch (path.kind) {
        case PathKind::File:
        case PathKind::Folder:
        case PathKind::Database:
        case PathKind::FolderEntries:
        case PathKind::CookieDatabase:
            return files.userPath(path.path);
        case PathKind::ProfileFile: {
            const QString profile = firefoxDefaultProfile(files);
            return profile.isEmpty() ? QString() : profile + u'/' + path.path;
        }
        case PathKind::CookieStore:
            break;
    }
    return {};
}

QList<CareTarget> careTargets(const CarePath& path, const FileManager& files,
                              ProfileLookup& profiles) {
    QList<CareTarget> targets;
    const auto add = [&](const QString& platformPath, const QString& container) {
        if (path.kind == PathKind::FolderEntries) {
            // Each entry is a target of its own: a folder by the folder rule, anything else
            // (a link included, never followed) by the file rule.
            for (const FolderEntry& entry : files.folderEntries(platformPath)) {
                const QByteArray raw = QByteArray::fromStdString(entry.name);
                const QString name = QFile::decodeName(raw);
                // A name the text cannot carry back to the same bytes is left where it is.
                if (QFile::encodeName(name) != raw ||
                    (!path.except.isEmpty() && name.startsWith(path.except))) {
                    continue;
                }
                targets.append({platformPath + u'/' + name, container,
                                entry.folder ? PathKind::Folder : PathKind::File});
            }
            return;
        }
        targets.append({platformPath, container, path.kind});
        if (path.companions) {
            for (const char* companion : {"-journal", "-wal", "-shm"}) {
                targets.append(
                    {platformPath + QLatin1String(companion), container, PathKind::File});
            }
        }
    };
    if (path.base == PathBase::Root) {
        if (const QString platformPath = platformPathOf(path, files); !platformPath.isEmpty()) {
            add(platformPath, {});
        }
        return targets;
    }
    for (const BrowserProfile& profile : profiles.usable(path.browser)) {
        const QString& folder =
            path.base == PathBase::Profile ? profile.folder : profile.cacheFolder;
        if (!folder.isEmpty()) {
            add(folder + u'/' + path.path, folder);
        }
    }
    return targets;
}

quint64 measurePath(const CarePath& path, const FileManager& files, ProfileLookup& profiles,
                    FolderSizes* sizes) {
    quint64 total = 0;
    for (const CareTarget& target : careTargets(path, files, profiles)) {
        quint64 size = 0;
        if (target.kind != PathKind::Folder) {
            size = files.fileSize(target.platformPath);
        } else if (sizes) {
            size = sizes->folderSize(target.platformPath);
        } else {
            size = files.walkFolderSize(target.platformPath);
        }
        total = saturatingAdd(total, size);
    }
    return total;
}

quint64 measurePath(const CarePath& path, const FileManager& files, FolderSizes* sizes) {
    ProfileLookup profiles(files);
    return measurePath(path, files, profiles, sizes);
}

quint64 measureItem(const CareItem& item, const FileManager& files, ProfileLookup& profiles,
                    FolderSizes* sizes) {
    quint64 total = 0;
    for (const CarePath& path : item.measured) {
        total = saturatingAdd(total, measurePath(path, files, profiles, sizes));
    }
    return total;
}

quint64 measureItem(const CareItem& item, const FileManager& files, FolderSizes* sizes) {
    ProfileLookup profiles(files);
    return measureItem(item, files, profiles, sizes);
}

quint64 measureSelection(BrowserId browser, const QSet<QString>& selected, const FileManager& files,
                         FolderSizes* sizes) {
    ProfileLookup profiles(files);
    quint64 total = 0;
    for (const CareItem& item : catalogue(browser, files).items) {
        if (selected.contains(item.name)) {
            total = saturatingAdd(total, measureItem(item, files, profiles, sizes));
        }
    }
    return total;
}

}  // namespace qz
