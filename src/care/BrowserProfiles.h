// The profiles of a browser in the Linux layout, read from the browser's own list: Firefox's
// profiles.ini (the default profile first) and the Chromium family's "Local State". A profile
// whose folder lies outside the browser's own folder, or is reached through a symbolic link,
// is listed as refused and never measured or cleaned.
#pragma once

#include <QList>
#include <QString>

#include "care/Browser.h"

namespace qz {

struct BrowserProfile {
    QString name;         // "default-release", "Profile 1"; "flatpak:" or "snap:" before others
    QString install;      // "native", "flatpak", "snap"
    QString folder;       // platform path of the profile folder
    QString cacheFolder;  // platform path of its cache folder; empty when it cannot be used
    bool isDefault = false;
    QString refused;       // why the profile is left alone; empty when it is used
    QString cacheRefused;  // why its cache folder is left alone

    bool usable() const { return refused.isEmpty(); }
};

// Every profile the browser lists that exists, refused ones included, default first. Empty in
// the macOS layout, which knows no profile list.
QList<BrowserProfile> browserProfiles(BrowserId browser, const FileManager& files);
// The usable ones, limited to the profile named `only` when it is not empty.
QList<BrowserProfile> usableProfiles(const QList<BrowserProfile>& profiles,
                                     const QString& only = {});

// The folders whose lock shows a running browser: each Firefox profile's "lock", each Chromium
// family data folder's "SingletonLock" (platform paths of the links).
QStringList browserLocks(BrowserId browser, const FileManager& files);

// Whether a path lies strictly inside a folder (both platform paths, compared cleanly).
bool liesInside(const QString& path, const QString& folder);

}  // namespace qz
