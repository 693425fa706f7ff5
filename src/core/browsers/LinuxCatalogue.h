// The Linux layout as data: where each browser keeps its profiles and caches under the home
// folder (native, Flatpak and Snap installs), and what each care item covers in a profile.
#pragma once

#include <QList>
#include <QString>

#include "core/browsers/Browser.h"

namespace qz {

struct BrowserCatalogue;

enum class ProfileList {
    FirefoxIni,  // profiles.ini in the data folder names the profiles
    LocalState,  // "Local State" in the data folder lists them (profile.info_cache)
    DataFolder,  // the data folder is the one profile
};

// One place a browser keeps its data. Paths are templates below the home: "$CONFIG" and
// "$CACHE" stand for the configuration and cache folders, anything else starts at the home.
struct LinuxInstall {
    QString name;         // "native", "flatpak" or "snap"; other installs prefix their profiles
    QString dataFolder;   // the browser's own folder: profiles, or the profiles' parent
    QString cacheFolder;  // where the profiles' caches live, profile by profile
    ProfileList profiles;
};

const QList<LinuxInstall>& linuxInstalls(BrowserId browser);
// A template with "$CONFIG" and "$CACHE" replaced by the home's folders.
QString linuxPath(const QString& pathTemplate, const FileManager& files);
// The browser's Linux catalogue; nullptr for a browser the Linux layout does not have.
const BrowserCatalogue* linuxCatalogue(BrowserId browser);

}  // namespace qz
