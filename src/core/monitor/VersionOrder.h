// Orders version texts the way people read them: runs of digits as numbers, the rest by
// character, so 1.10 is newer than 1.9 and 2.0.1 newer than 2.0.
#pragma once

#include <QString>

namespace qz {

// Negative when a orders before b, zero when they are the same version, positive after.
int compareVersions(const QString& a, const QString& b);
// Whether the text reads as a version: numbers joined by dots, perhaps with a tag of letters
// and digits right after the last one ("128.0", "115.12.0esr", "128.0b3"); "beta", "1.x", "v"
// and "" do not.
bool isWellFormedVersion(const QString& text);
// Whether the published version is newer than the installed one; never when either is not a
// version, so a list that publishes nonsense never asks for an update.
inline bool isNewerVersion(const QString& published, const QString& installed) {
    return isWellFormedVersion(published) && isWellFormedVersion(installed) &&
           compareVersions(installed, published) < 0;
}

}  // namespace qz
