// Listing folders as the directory reading returns them, and finding Firefox's default profile.
#pragma once

#include <QString>
#include <QStringList>

namespace qz {

class FileManager;

// The names of a folder's entries in directory order, leaving out every name that begins
// with "."; an empty list when the folder cannot be opened.
QStringList visibleFolderEntries(const char* folderPath);

// The platform path of Firefox's default profile folder: the first visible entry of the
// profiles folder whose name ends with "default" (case-sensitive). Empty when there is none.
// Measuring and removing both use this rule, so the size shown is what a care removes.
QString firefoxDefaultProfile(const FileManager& files);

}  // namespace qz
