// Orders version texts the way people read them: runs of digits as numbers, the rest by
// character, so 1.10 is newer than 1.9 and 2.0.1 newer than 2.0.
#pragma once

#include <QString>

namespace qz {

// Negative when a orders before b, zero when they are the same version, positive after.
int compareVersions(const QString& a, const QString& b);
// Whether the published version is newer than the installed one.
inline bool isNewerVersion(const QString& published, const QString& installed) {
    return compareVersions(installed, published) < 0;
}

}  // namespace qz
