#include "care/SizeRules.h"

#include "care/FirefoxProfile.h"
#include "platform/FileManager.h"

namespace qz {

QString platformPathOf(const CarePath& path, const FileManager& files) {
    switch (path.kind) {
        case PathKind::File:
        case PathKind::Folder:
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

quint64 measurePath(const CarePath& path, const FileManager& files) {
    const QString platformPath = platformPathOf(path, files);
    if (platformPath.isEmpty()) {
        return 0;
    }
    return path.kind == PathKind::Folder ? files.folderSize(platformPath)
                                         : files.fileSize(platformPath);
}

quint64 measureItem(const CareItem& item, const FileManager& files) {
    quint64 total = 0;
    for (const CarePath& path : item.measured) {
        total += measurePath(path, files);
    }
    return total;
}

quint64 measureSelection(BrowserId browser, const QSet<QString>& selected,
                         const FileManager& files) {
    quint64 total = 0;
    for (const CareItem& item : catalogue(browser).items) {
        if (selected.contains(item.name)) {
            total += measureItem(item, files);
        }
    }
    return total;
}

}  // namespace qz
