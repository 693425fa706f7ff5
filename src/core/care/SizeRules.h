// How much a care item, or a selection of items, occupies on disk, and which paths on disk a
// care path stands for.
#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QtGlobal>

#include "core/browsers/BrowserProfiles.h"
#include "core/browsers/Catalogue.h"

namespace qz {

class FileManager;
class FolderSizes;

// One path on disk that a care path stands for.
struct CareTarget {
    QString platformPath;
    QString container;  // the profile or cache folder it must lie in; empty for root paths
    PathKind kind = PathKind::File;
};

// The usable profiles of each browser, read once per measurement or care and kept for it.
class ProfileLookup {
  public:
    explicit ProfileLookup(const FileManager& files, QString only = {})
        : files_(files), only_(std::move(only)) {}
    const QList<BrowserProfile>& usable(BrowserId browser);

  private:
    const FileManager& files_;
    QString only_;
    QHash<int, QList<BrowserProfile>> usable_;
};

// The paths on disk of a care path: the template under the root, the profile file inside
// Firefox's default profile (macOS), or the path in every usable profile (Linux), each followed
// by its SQLite companions. Nothing for the cookie store or a missing profile.
QList<CareTarget> careTargets(const CarePath& path, const FileManager& files,
                              ProfileLookup& profiles);

// The size of one measured path: the file rule for files and profile files, the folder rule
// for folders; the cookie store counts 0. Folder totals come from `sizes` when given, else
// from a fresh walk of each folder.
quint64 measurePath(const CarePath& path, const FileManager& files, FolderSizes* sizes = nullptr);
quint64 measurePath(const CarePath& path, const FileManager& files, ProfileLookup& profiles,
                    FolderSizes* sizes = nullptr);
// The sum of an item's measured paths.
quint64 measureItem(const CareItem& item, const FileManager& files, FolderSizes* sizes = nullptr);
quint64 measureItem(const CareItem& item, const FileManager& files, ProfileLookup& profiles,
                    FolderSizes* sizes = nullptr);
// The sum over the named items of a browser (unknown names count 0).
quint64 measureSelection(BrowserId browser, const QSet<QString>& selected, const FileManager& files,
                         FolderSizes* sizes = nullptr);
// The platform path of a root or macOS profile path (the profile file inside the default
// profile); empty for the cookie store or a profile file when Firefox has no default profile.
QString platformPathOf(const CarePath& path, const FileManager& files);

}  // namespace qz
