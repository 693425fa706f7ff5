// The profiles of a browser in the Linux layout, read from the list its family keeps:
// profiles.ini (the default profile first) or "Local State". Each
// profile folder is opened beneath the browser's own folder by descriptor; one that leads out
// of it, through a symbolic link or onto another mount, or whose name or path holds a control
// character, is listed as refused and never measured or cleaned.
#pragma once

#include <QList>
#include <QString>

#include "core/browsers/Browser.h"

namespace qz {

// How many profiles one list may name; the rest are left out and said once.
constexpr int kMaxProfilesPerList = 200;

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

// Why an install's profiles are not all known: its list (or its folder) cannot be read, or
// the list names more profiles than are read.
struct ProfileListProblem {
    QString install;
    QString list;  // platform path of the list, or of the data folder that cannot be opened
    QString reason;
    bool unreadable = true;  // false: only the profiles beyond the cap were left out
};

struct BrowserProfileList {
    QList<BrowserProfile> profiles;
    QList<ProfileListProblem> problems;
};

// Every profile the browser lists that exists, refused ones included, default first, each
// folder once, with what kept a list from being read. Empty in the macOS layout.
BrowserProfileList readBrowserProfiles(BrowserId browser, const FileManager& files);
// The profiles alone.
QList<BrowserProfile> browserProfiles(BrowserId browser, const FileManager& files);
// The usable ones, limited to the profile named `only` when it is not empty.
QList<BrowserProfile> usableProfiles(const QList<BrowserProfile>& profiles,
                                     const QString& only = {});

// The links whose target shows a running browser: the family's lock file in each usable profile
// or in each install's data folder (platform paths of the links).
QStringList browserLocks(BrowserId browser, const FileManager& files);

// Whether a path lies strictly inside a folder (both platform paths, compared cleanly).
bool liesInside(const QString& path, const QString& folder);

}  // namespace qz
