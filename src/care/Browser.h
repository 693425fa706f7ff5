// The four supported browsers, always in the order Safari, Firefox, Chrome, Opera, and what
// the program needs to know of each.
#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace qz {

class FileManager;

enum class BrowserId { Safari, Firefox, Chrome, Opera };

inline constexpr std::array<BrowserId, 4> kAllBrowsers = {BrowserId::Safari, BrowserId::Firefox,
                                                          BrowserId::Chrome, BrowserId::Opera};

struct BrowserInfo {
    BrowserId id;
    QString displayName;           // "Google Chrome"; also the care history's browser name
    QString moduleClass;           // "Chrome"
    QChar suffix;                  // ends per-browser names: careC:, indicatorC, presetC
    QString key;                   // "chrome"
    QString bundleIdentifier;      // the running-application test
    QStringList applicationPaths;  // installation test, system-wide first (templates)
    QString historyOperation;      // "elementoChrome"
    QString openLogLine;           // "Chrome aperto"
    QString openKey;               // "OpenChrome"
    QString nothingSelectedLogLine;
    QString nothingSelectedKey;  // "NoItemsChrome"
    QString readyLogLine;        // "Pronto per eseguire la cura chrome"
    QString completedKey;        // "ChromeCompleted"
    QString incompleteKey;       // "ChromeIncomplete": a care that could not remove everything
    QString supportFragment;     // "#chrome"
};

const BrowserInfo& browserInfo(BrowserId browser);
std::optional<BrowserId> browserForKey(const QString& key);

// Whether at least one of the browser's application paths exists under the root.
bool isInstalled(BrowserId browser, const FileManager& files);
// The installed browsers in the fixed order.
QList<BrowserId> installedBrowsers(const FileManager& files);

}  // namespace qz
