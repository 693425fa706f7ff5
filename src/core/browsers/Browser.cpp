#include "core/browsers/Browser.h"

#include "core/browsers/LinuxCatalogue.h"
#include "core/fs/FileManager.h"

namespace qz {

namespace {
const std::array<BrowserInfo, kBrowserCount>& table() {
    static const std::array<BrowserInfo, kBrowserCount> browsers = {{
        {BrowserId::Safari,
         "Safari",
         "Safari",
         u'S',
         "safari",
         "com.apple.Safari",
         {"/Applications/Safari.app"},
         "elementoSafari",
         "Safari aperto",
         "OpenSafari",
         "nessun elemento selezionato safari",
         "NoItemsSafari",
         "Pronto per eseguire la cura safari",
         "SafariCompleted",
         "SafariIncomplete",
         "#safari"},
        {BrowserId::Firefox,
         "Firefox",
         "Firefox",
         u'F',
         "firefox",
         "org.mozilla.firefox",
         {"/Applications/Firefox.app", "/Users/%@/Applications/Firefox.app"},
         "elementoFirefox",
         "Firefox aperto",
         "OpenFirefox",
         "nessun elemento selezionato firefox",
         "NoItemsFirefox",
         "Pronto per eseguire la cura firefox",
         "FirefoxCompleted",
         "FirefoxIncomplete",
         "#firefox"},
        {BrowserId::Chrome,
         "Google Chrome",
         "Chrome",
         u'C',
         "chrome",
         "com.google.Chrome",
         {"/Applications/Google Chrome.app", "/Users/%@/Applications/Google Chrome.app"},
         "elementoChrome",
         "Chrome aperto",
         "OpenChrome",
         "nessun elemento selezionato chrome",
         "NoItemsChrome",
         "Pronto per eseguire la cura chrome",
         "ChromeCompleted",
         "ChromeIncomplete",
         "#chrome"},
        {BrowserId::Opera,
         "Opera",
         "Opera",
         u'O',
         "opera",
         "com.operasoftware.Opera",
         {"/Applications/Opera.app", "/Users/%@/Applications/Opera.app"},
         "elementoOpera",
         "Opera aperto",
         "OpenOpera",
         "nessun elemento selezionato opera",
         "NoItemsOpera",
         "Pronto per eseguire la cura Opera",
         "OperaCompleted",
         "OperaIncomplete",
         "#opera"},
        {BrowserId::Chromium,
         "Chromium",
         "Chromium",
         u'M',
         "chromium",
         "org.chromium.Chromium",
         {},
         "elementoChromium",
         "Chromium aperto",
         "OpenChromium",
         "nessun elemento selezionato chromium",
         "NoItemsChromium",
         "Pronto per eseguire la cura chromium",
         "ChromiumCompleted",
         "ChromiumIncomplete",
         "#chromium"},
    }};
    return browsers;
}
}  // namespace

const BrowserInfo& browserInfo(BrowserId browser) {
    return table()[static_cast<size_t>(browser)];
}

std::optional<BrowserId> browserForKey(const QString& key) {
    for (const BrowserInfo& info : table()) {
        if (info.key == key) {
            return info.id;
        }
    }
    return std::nullopt;
}

const QList<BrowserId>& layoutBrowsers(Layout layout) {
    static const QList<BrowserId> macos = {BrowserId::Safari, BrowserId::Firefox, BrowserId::Chrome,
                                           BrowserId::Opera};
    static const QList<BrowserId> linuxList = {BrowserId::Firefox, BrowserId::Chrome,
                                               BrowserId::Chromium, BrowserId::Opera};
    return layout == Layout::Linux ? linuxList : macos;
}

QString layoutName(Layout layout) {
    return layout == Layout::Linux ? QStringLiteral("linux") : QStringLiteral("macos");
}

std::optional<Layout> layoutForName(const QString& name) {
    if (name == QStringLiteral("macos")) {
        return Layout::MacOS;
    }
    if (name == QStringLiteral("linux")) {
        return Layout::Linux;
    }
    return std::nullopt;
}

bool isInstalled(BrowserId browser, const FileManager& files) {
    if (!layoutBrowsers(files.layout()).contains(browser)) {
        return false;
    }
    if (files.layout() == Layout::Linux) {
        for (const LinuxInstall& install : linuxInstalls(browser)) {
            if (files.isDirectory(linuxPath(install.dataFolder, files))) {
                return true;
            }
        }
        return false;
    }
    for (const QString& path : browserInfo(browser).applicationPaths) {
        if (files.fileExistsAtPath(files.userPath(path))) {
            return true;
        }
    }
    return false;
}

QList<BrowserId> installedBrowsers(const FileManager& files) {
    QList<BrowserId> installed;
    for (BrowserId browser : layoutBrowsers(files.layout())) {
        if (isInstalled(browser, files)) {
            installed.append(browser);
        }
    }
    return installed;
}

QList<BrowserId> panelBrowsers(const FileManager& files) {
    const QList<BrowserId> installed = installedBrowsers(files);
    if (files.layout() == Layout::MacOS && !installed.contains(BrowserId::Safari)) {
        return {};  // the macOS window shows no panel at all without Safari
    }
    return installed;
}

}  // namespace qz
