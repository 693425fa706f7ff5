// Whether to advise a browser update: the installed bundle's version against the version the
// remote list publishes for that browser, and the texts of the sheet the update button shows.
#pragma once

#include <QMap>
#include <QString>
#include <optional>

#include "core/browsers/Browser.h"

namespace qz {

class FileManager;
class Localization;

// The remote version list: keys such as "firefox" or "safariMavericks" to version texts.
// Nothing when it could not be fetched.
using VersionList = std::optional<QMap<QString, QString>>;

inline const QString kSystemVersionFile =
    QStringLiteral("/System/Library/CoreServices/SystemVersion.plist");
inline const QString kSafariMavericksKey = QStringLiteral("safariMavericks");
inline const QString kSafariOtherKey = QStringLiteral("safariMountainLion-Lion");

// The longest leading decimal number of a text ("10.9.5" reads 10.9, "10.10" reads 10.1,
// anything else 0), after leading white space.
double leadingDecimalValue(const QString& text);
// The Safari key for a system version text: "safariMavericks" when it reads as 10.9.
QString safariKeyForSystemVersion(const QString& productVersion);
// The Safari key for the system under the root; an unreadable file counts as another system.
QString safariKey(const FileManager& files);
// The list key naming a browser's published version.
QString versionListKey(BrowserId browser, const FileManager& files);

// "CFBundleShortVersionString" of an application bundle (a platform path); nothing when the
// bundle or the value cannot be read.
std::optional<QString> bundleShortVersion(const QString& appPath, const FileManager& files);

// The version a Linux browser last wrote into its data, in the file its family keeps for it
// (compatibility.ini in a profile, "Last Version" in the data folder); `source` names the file
// read.
std::optional<QString> linuxInstalledVersion(BrowserId browser, const FileManager& files,
                                             QString* source);

struct UpdateAdvice {
    BrowserId browser = BrowserId::Safari;
    bool evaluated = false;  // false: not installed, the button keeps its initial visibility
    QString bundle;          // the platform path of the bundle that decided
    std::optional<QString> installed;
    std::optional<QString> published;  // the list's version under the key, installed or not
    QString key;
    bool advice = false;  // show the update button
};

// The start-up check. Linux: the version in the browser's data, for an installed browser.
// macOS: the system browser's bundle is read without an existence test; the other browsers
// evaluate each of their bundles that exists, system-wide first, so the user's own copy
// decides when there are two. Unknown installed or published versions give no advice.
UpdateAdvice checkBrowserUpdate(BrowserId browser, const FileManager& files,
                                const VersionList& list);

struct UpdateSheet {
    QString button;           // "Done"
    QString messageText;      // "UpdateS"
    QString informativeText;  // "UpdateSafari" with the published version
};

// The sheet of the update button; without a published version it says the version is unknown.
UpdateSheet updateSheet(BrowserId browser, const std::optional<QString>& published,
                        const Localization& texts);

}  // namespace qz
