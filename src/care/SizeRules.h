// How much a care item, or a selection of items, occupies on disk.
#pragma once

#include <QSet>
#include <QString>
#include <QtGlobal>

#include "care/Catalogue.h"

namespace qz {

class FileManager;

// The size of one measured path: the file rule for files and profile files, the folder rule
// for folders; the cookie store counts 0.
quint64 measurePath(const CarePath& path, const FileManager& files);
// The sum of an item's measured paths.
quint64 measureItem(const CareItem& item, const FileManager& files);
// The sum over the named items of a browser (unknown names count 0).
quint64 measureSelection(BrowserId browser, const QSet<QString>& selected,
                         const FileManager& files);
// The platform path of a care path (the profile file inside the default profile); empty for
// the cookie store or a profile file when Firefox has no default profile.
QString platformPathOf(const CarePath& path, const FileManager& files);

}  // namespace qz
