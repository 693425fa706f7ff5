// The user's grant of the home folder, kept as a bookmark under "ExportDirectory".
#pragma once

#include <QString>

namespace qz {

class UserDefaults;

inline const QString kExportDirectoryKey = QStringLiteral("ExportDirectory");

// Whether a grant is stored and still resolves (a stale bookmark counts as resolved).
bool accessGranted(const UserDefaults& defaults);

}  // namespace qz
