#include "core/browsers/FirefoxProfile.h"

#include <dirent.h>

#include <QFile>

#include "core/browsers/Catalogue.h"
#include "core/fs/FileManager.h"

namespace qz {

QStringList visibleFolderEntries(const char* folderPath) {
    QStringList names;
    DIR* folder = ::opendir(folderPath);
    if (!folder) {
        return names;
    }
    while (const dirent* entry = ::readdir(folder)) {
        if (entry->d_name[0] != '.') {
            names.append(QFile::decodeName(entry->d_name));
        }
    }
    ::closedir(folder);
    return names;
}

QString firefoxDefaultProfile(const FileManager& files) {
    const QString profiles = files.userPath(kFirefoxProfilesFolder);
    const QByteArray local = QFile::encodeName(files.localPath(profiles));
    for (const QString& name : visibleFolderEntries(local.constData())) {
        if (name.endsWith(QStringLiteral("default"))) {
            return profiles + u'/' + name;
        }
    }
    return {};
}

}  // namespace qz
