// The supported browsers and what the program needs to know of each. Each layout has its own
// list in its own fixed order: Safari, Firefox, Chrome, Opera on macOS; Firefox, Chrome,
// Chromium, Opera on Linux.
#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "core/fs/FileManager.h"

namespace qz {

enum class BrowserId { Safari, Firefox, Chrome, Opera, Chromium };

inline constexpr size_t kBrowserCount = 5;
// Every browser the program knows, whatever the layout; tables are indexed in this order.
inline constexpr std::array<BrowserId, kBrowserCount> kAllBrowsers = {
    BrowserId::Safari, BrowserId::Firefox, BrowserId::Chrome, BrowserId::Opera,
    BrowserId::Chromium};

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

// The layout's browsers in its fixed order.
const QList<BrowserId>& layoutBrowsers(Layout layout);
QString layoutName(Layout layout);  // "macos" or "linux"
std::optional<Layout> layoutForName(const QString& name);

// macOS: whether at least one of the browser's application paths exists under the root.
// Linux: whether the browser's own data folder (native, Flatpak or Snap) exists; a browser that
// never ran has nothing to clean, and data left after an uninstall is still worth cleaning.
bool isInstalled(BrowserId browser, const FileManager& files);
// The layout's installed browsers in its fixed order.
QList<BrowserId> installedBrowsers(const FileManager& files);
// The browsers that get a panel: on macOS none at all without Safari, else the installed ones.
QList<BrowserId> panelBrowsers(const FileManager& files);

}  // namespace qz
