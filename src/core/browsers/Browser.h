// The browser table: one row per browser holding everything the program knows of it, and the
// families whose browsers share a file layout. A family knows its files; a row names its
// folders. Nothing outside the table asks which browser it has: it reads the browser's row.
#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "core/browsers/CareItem.h"
#include "core/fs/FileManager.h"

namespace qz {

enum class BrowserId { Safari, Firefox, Chrome, Opera, Chromium, Brave, Vivaldi, Edge, LibreWolf };

inline constexpr size_t kBrowserCount = 9;
// Every browser the program knows, whatever the layout; per-browser arrays are indexed in this
// order.
inline constexpr std::array<BrowserId, kBrowserCount> kAllBrowsers = {
    BrowserId::Safari,  BrowserId::Firefox,  BrowserId::Chrome,
    BrowserId::Opera,   BrowserId::Chromium, BrowserId::Brave,
    BrowserId::Vivaldi, BrowserId::Edge,     BrowserId::LibreWolf};

enum class FamilyId { Safari, Firefox, Chromium };

// How a browser lists its profiles in the Linux layout.
enum class ProfileList {
    None,        // no profiles: the browser has no Linux data
    FirefoxIni,  // profiles.ini in the data folder names the profiles
    LocalState,  // "Local State" in the data folder lists them (profile.info_cache)
    DataFolder,  // the data folder is the one profile
};

// A file that every browser of a family keeps: in each profile folder, or in each install's
// data folder. An empty name: the family has no such file.
struct FamilyFile {
    enum class In { Profile, DataFolder };
    QString name;
    In in = In::Profile;
};

// One place a browser keeps its data on Linux. Paths are templates below the home: "$CONFIG"
// and "$CACHE" stand for the configuration and cache folders, anything else starts at the home.
struct LinuxInstall {
    QString name;         // "native", "flatpak" or "snap"; other installs prefix their profiles
    QString dataFolder;   // the browser's own folder: profiles, or the profiles' parent
    QString cacheFolder;  // where the profiles' caches live, profile by profile
};

inline constexpr int kLogoLevelCount = 10;

// A logo's frames in its superview (bottom-left coordinates): x, y and width stay, the height
// and the update button's origin follow the size level.
struct LogoDesign {
    struct Level {
        int height;
        int buttonX;
        int buttonY;
    };
    int x;
    int y;
    int width;
    std::array<Level, kLogoLevelCount> levels;
};

// What the browsers of a family share. Item names leave out the browser's letter, and paths
// inside a profile leave out the browser: each row gets them with its own.
struct BrowserFamily {
    FamilyId id{};
    ProfileList profileList = ProfileList::None;
    FamilyFile lock{};     // a link naming the process that holds the data while it runs
    FamilyFile version{};  // where the browser writes the version that last ran
    QString versionKey{};  // the version line's key ("LastVersion="); empty: the whole file is it
    // The cookie database's table and its host column; empty where cookies are not rows of ours.
    QString cookieTable{};
    QString cookieHostColumn{};
    BrowserCatalogue linuxItems{};      // the items of a profile
    QList<CarePath> linuxMonitorSet{};  // what the status item and the logo add up in a profile
    LogoDesign logoDesign{};            // how the logo grows
};

// How a browser's care module measures and shows its figure.
struct PanelTraits {
    bool firstMeasurementAtOnce = true;  // else a 0 s one-shot timer takes the first measurement
    double interval = 2.0;               // seconds between measurements
    bool needsGrant = false;             // measure only while the home-folder grant resolves
    bool redShadow = false;              // the size label gets a red glow
};

// One browser. Every field has a default, so a row names only what it has. Fields marked
// "empty: the family's" are filled from the family when the table is made, texts and log lines
// left empty are named after the row's class and key, and item names get the row's letter, so a
// reader always finds them complete.
struct BrowserInfo {
    BrowserId id{};
    FamilyId family{};
    QString displayName{};       // "Google Chrome"; also the care history's browser name
    QString moduleClass{};       // "Chrome": names the panel and its emblem
    QChar suffix{};              // the letter that ends per-browser names: historyC, CareC, UpdateC
    QString key{};               // "chrome": the command line's and the monitor output's name
    QString bundleIdentifier{};  // the running-application test
    QStringList processNames{};  // the executables that stand for the bundle identifier
    bool systemBrowser = false;  // comes with macOS: always counted by the status item, needed
                                 // for any panel, list key by the system version, bundle read
                                 // without an existence test

    // macOS layout (a browser without application paths is not in it).
    QStringList applicationPaths{};  // installation test, system-wide first (templates)
    BrowserCatalogue macItems{};     // item names without the letter
    QList<CarePath> macStatusSet{};  // what the status item adds up
    QList<CarePath> macLogoSet{};    // what the logo adds up; empty: the status set

    // Linux layout (a browser without installs is not in it).
    QList<LinuxInstall> linuxInstalls{};  // native first, then Flatpak and Snap
    bool dataFolderIsProfile = false;     // the browser keeps one profile: its data folder
    BrowserCatalogue linuxItems{};        // empty: the family's
    QList<CarePath> linuxMonitorSet{};    // empty: the family's
    QList<CarePath> linuxLogoSet{};       // empty: the monitor set

    PanelTraits panel{};
    bool logoTimerFirst = false;             // the logo starts its timer before the update check
    std::optional<LogoDesign> logoDesign{};  // empty: the family's
    QString updateListKey{};  // the remote version list's key; the system browser's follows the
                              // system version; empty: the key
    QString updateTextKey{};  // "UpdateChrome": the update sheet's text

    // Log lines, text keys and the help page's section; empty ones follow the examples, with
    // the row's class ("Chrome") and key ("chrome").
    QString openLogLine{};             // "Chrome aperto"
    QString openKey{};                 // "OpenChrome"
    QString nothingSelectedLogLine{};  // "nessun elemento selezionato chrome"
    QString nothingSelectedKey{};      // "NoItemsChrome"
    QString readyLogLine{};            // "Pronto per eseguire la cura chrome"
    QString completedKey{};            // "ChromeCompleted"
    QString incompleteKey{};    // "ChromeIncomplete": a care that could not remove everything
    QString supportFragment{};  // "#chrome"
};

// The rows in the order the layouts show them.
const std::array<BrowserInfo, kBrowserCount>& browserTable();
const BrowserInfo& browserInfo(BrowserId browser);
const BrowserFamily& browserFamily(BrowserId browser);
std::optional<BrowserId> browserForKey(const QString& key);
// How the browser's Linux profiles are listed: its data folder, or its family's list.
ProfileList profileList(BrowserId browser);

// The layout's browsers in its fixed order.
const QList<BrowserId>& layoutBrowsers(Layout layout);
QString layoutName(Layout layout);  // "macos" or "linux"
std::optional<Layout> layoutForName(const QString& name);

// A Linux template with "$CONFIG" and "$CACHE" replaced by the configuration and cache folders;
// any other template is a path below the home.
QString linuxPath(const QString& pathTemplate, const FileManager& files);

// macOS: whether at least one of the browser's application paths exists under the root.
// Linux: whether the browser's own data folder (native, Flatpak or Snap) exists; a browser that
// never ran has nothing to clean, and data left after an uninstall is still worth cleaning.
bool isInstalled(BrowserId browser, const FileManager& files);
// The layout's installed browsers in its fixed order.
QList<BrowserId> installedBrowsers(const FileManager& files);
// The browsers that get a panel: on macOS none at all without the system browser, else the
// installed ones.
QList<BrowserId> panelBrowsers(const FileManager& files);

}  // namespace qz
