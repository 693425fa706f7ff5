#include "care/Browser.h"

#include "platform/FileManager.h"

namespace qz {

namespace {
const std::array<BrowserInfo, 4>& table() {
    static const std::array<BrowserInfo, 4> browsers = {{
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

bool isInstalled(BrowserId browser, const FileManager& files) {
    for (const QString& path : browserInfo(browser).applicationPaths) {
        if (files.fileExistsAtPath(files.userPath(path))) {
            return true;
        }
    }
    return false;
}

QList<BrowserId> installedBrowsers(const FileManager& files) {
    QList<BrowserId> installed;
    for (BrowserId browser : kAllBrowsers) {
        if (isInstalled(browser, files)) {
            installed.append(browser);
        }
    }
    return installed;
}

}  // namespace qz
