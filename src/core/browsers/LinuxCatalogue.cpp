// The Linux items keep the names, presets and orders of the macOS catalogue; only the files
// differ. Nothing here holds bookmarks (places.sqlite, Bookmarks), saved passwords outside the
// logins item, or extensions and their data.
#include "core/browsers/LinuxCatalogue.h"

#include "core/browsers/Catalogue.h"

namespace qz {

namespace {

// A file in each profile folder; `sqlite` adds its -journal, -wal and -shm companions.
CarePath in(BrowserId browser, const QString& name, bool sqlite = false) {
    return {PathKind::File, name, PathBase::Profile, browser, sqlite};
}
CarePath folderIn(BrowserId browser, const QString& name) {
    return {PathKind::Folder, name, PathBase::Profile, browser, false};
}
// A folder in each profile's cache folder.
CarePath cacheIn(BrowserId browser, const QString& name) {
    return {PathKind::Folder, name, PathBase::ProfileCache, browser, false};
}

CareItem same(const QString& name, const QList<CarePath>& paths) {
    return {name, paths, paths};
}

// Names and orders come from the macOS catalogue, so presets and the care order stay alike.
BrowserCatalogue withOrders(const BrowserCatalogue& names, BrowserId browser,
                            QList<CareItem> items) {
    return {browser, std::move(items), names.declarationOrder, names.careOrder, names.basicSet};
}

BrowserCatalogue firefox() {
    const BrowserId f = BrowserId::Firefox;
    return withOrders(catalogue(f), f,
                      {
                          // the profile's disk cache, start-up cache and page thumbnails
                          same("cacheF", {cacheIn(f, "cache2"), cacheIn(f, "startupCache"),
                                          cacheIn(f, "thumbnails")}),
                          // cookies only
                          same("coockiesF", {in(f, "cookies.sqlite", true)}),
                          // the download list of older versions; newer ones keep it with the
                          // bookmarks in places.sqlite, which stays
                          same("downloadlistF", {in(f, "downloads.sqlite", true)}),
                          // the open windows and tabs, their backups, and the older session files
                          same("lastsessionF",
                               {in(f, "sessionstore.jsonlz4"), folderIn(f, "sessionstore-backups"),
                                in(f, "sessionstore.js"), in(f, "sessionstore.bak")}),
                          // per-site preferences, site permissions, saved form entries
                          same("websiteF", {in(f, "content-prefs.sqlite", true),
                                            in(f, "permissions.sqlite", true),
                                            in(f, "formhistory.sqlite", true)}),
                          // window and toolbar state, download actions per file type (and the
                          // older files that held them)
                          same("preferenceF", {in(f, "xulstore.json"), in(f, "handlers.json"),
                                               in(f, "localstore.rdf"), in(f, "mimeTypes.rdf")}),
                      });
}

// Chrome's item names with another browser's suffix in place of "C".
QStringList withSuffix(const QStringList& names, const QString& suffix) {
    QStringList renamed;
    for (const QString& name : names) {
        renamed.append(name.chopped(1) + suffix);
    }
    return renamed;
}

// Chrome and Chromium keep the same files; the item names end with the browser's suffix.
BrowserCatalogue chromeFamily(BrowserId b) {
    const QString s = browserInfo(b).suffix;
    const BrowserCatalogue& chrome = catalogue(BrowserId::Chrome);
    return {
        b,
        {
            // browsing history and the visited-link table
            same("history" + s, {in(b, "History", true), in(b, "Visited Links")}),
            // the profile's HTTP cache and compiled-script cache
            same("cache" + s, {cacheIn(b, "Cache"), cacheIn(b, "Code Cache")}),
            // cookies, where older and newer versions keep them
            same("cookies" + s, {in(b, "Cookies", true), in(b, "Network/Cookies", true)}),
            // site icons
            same("webpageicon" + s, {in(b, "Favicons", true)}),
            // the older session files and the Sessions folder that replaced them
            same("lastsession" + s,
                 {in(b, "Last Session"), in(b, "Last Tabs"), in(b, "Current Session"),
                  in(b, "Current Tabs"), folderIn(b, "Sessions")}),
            // most-visited sites
            same("topsites" + s, {in(b, "Top Sites", true)}),
            // settings, omnibox shortcuts, autofill and search-engine data
            same("preferences" + s,
                 {in(b, "Preferences"), in(b, "Shortcuts", true), in(b, "Web Data", true)}),
        },
        withSuffix(chrome.declarationOrder, s),
        withSuffix(chrome.careOrder, s),
        withSuffix(chrome.basicSet, s),
    };
}

BrowserCatalogue opera() {
    const BrowserId o = BrowserId::Opera;
    return withOrders(
        catalogue(o), o,
        {
            same("historyO", {in(o, "History", true), in(o, "Visited Links")}),
            same("cacheO", {cacheIn(o, "Cache"), cacheIn(o, "Code Cache")}),
            same("cookiesO", {in(o, "Cookies", true), in(o, "Network/Cookies", true)}),
            // the session files of older and newer versions
            same("sessionO",
                 {in(o, "session.db"), in(o, "Last Session"), in(o, "Last Tabs"),
                  in(o, "Current Session"), in(o, "Current Tabs"), folderIn(o, "Sessions")}),
            // speed-dial thumbnails
            same("thumbinalsO", {folderIn(o, "Thumbnails"), in(o, "thumbnails.db", true)}),
            // saved logins and certificate data: this item is the one that removes passwords
            {"webdateO",
             {in(o, "Origin Bound Certs", true), in(o, "Login Data", true),
              in(o, "Certificate Revocation Lists")},
             {in(o, "Login Data", true), in(o, "Origin Bound Certs", true),
              in(o, "Certificate Revocation Lists")}},
            // settings, autofill and search-engine data
            same("preferencesO", {in(o, "Preferences"), in(o, "Web Data", true)}),
        });
}

}  // namespace

const QList<LinuxInstall>& linuxInstalls(BrowserId browser) {
    static const QList<LinuxInstall> none;
    static const QList<LinuxInstall> firefoxInstalls = {
        {"native", "/.mozilla/firefox", "$CACHE/mozilla/firefox", ProfileList::FirefoxIni},
        {"flatpak", "/.var/app/org.mozilla.firefox/.mozilla/firefox",
         "/.var/app/org.mozilla.firefox/cache/mozilla/firefox", ProfileList::FirefoxIni},
        {"snap", "/snap/firefox/common/.mozilla/firefox",
         "/snap/firefox/common/.cache/mozilla/firefox", ProfileList::FirefoxIni},
    };
    static const QList<LinuxInstall> chromeInstalls = {
        {"native", "$CONFIG/google-chrome", "$CACHE/google-chrome", ProfileList::LocalState},
        {"flatpak", "/.var/app/com.google.Chrome/config/google-chrome",
         "/.var/app/com.google.Chrome/cache/google-chrome", ProfileList::LocalState},
    };
    static const QList<LinuxInstall> chromiumInstalls = {
        {"native", "$CONFIG/chromium", "$CACHE/chromium", ProfileList::LocalState},
        {"flatpak", "/.var/app/org.chromium.Chromium/config/chromium",
         "/.var/app/org.chromium.Chromium/cache/chromium", ProfileList::LocalState},
        {"snap", "/snap/chromium/common/chromium", "/snap/chromium/common/.cache/chromium",
         ProfileList::LocalState},
    };
    // Opera's data folder is its profile.
    static const QList<LinuxInstall> operaInstalls = {
        {"native", "$CONFIG/opera", "$CACHE/opera", ProfileList::DataFolder},
        {"flatpak", "/.var/app/com.opera.Opera/config/opera",
         "/.var/app/com.opera.Opera/cache/opera", ProfileList::DataFolder},
    };
    switch (browser) {
        case BrowserId::Firefox:
            return firefoxInstalls;
        case BrowserId::Chrome:
            return chromeInstalls;
        case BrowserId::Chromium:
            return chromiumInstalls;
        case BrowserId::Opera:
            return operaInstalls;
        case BrowserId::Safari:
            break;
    }
    return none;
}

QString linuxPath(const QString& pathTemplate, const FileManager& files) {
    QString path = pathTemplate;
    path.replace(QStringLiteral("$CONFIG"), files.configFolder());
    path.replace(QStringLiteral("$CACHE"), files.cacheFolder());
    return path;
}

const BrowserCatalogue* linuxCatalogue(BrowserId browser) {
    static const BrowserCatalogue firefoxItems = firefox();
    static const BrowserCatalogue chromeItems = chromeFamily(BrowserId::Chrome);
    static const BrowserCatalogue chromiumItems = chromeFamily(BrowserId::Chromium);
    static const BrowserCatalogue operaItems = opera();
    switch (browser) {
        case BrowserId::Firefox:
            return &firefoxItems;
        case BrowserId::Chrome:
            return &chromeItems;
        case BrowserId::Chromium:
            return &chromiumItems;
        case BrowserId::Opera:
            return &operaItems;
        case BrowserId::Safari:
            break;
    }
    return nullptr;
}

}  // namespace qz
