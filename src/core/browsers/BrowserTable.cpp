// The rows of the browser table and the families they belong to. The Linux items keep the
// names, presets and orders of the macOS ones and only the files differ, but for Firefox's
// history and every browser's site storage, which Linux adds. No Linux item removes bookmarks
// (Bookmarks, or those beside the history in places.sqlite, which is edited rather than removed),
// saved passwords outside a logins item, or extensions and their data.
#include "core/browsers/Browser.h"

namespace qz {

namespace {

CarePath file(const QString& path) {
    return filePath(path);
}
CarePath folder(const QString& path) {
    return folderPath(path);
}
// A file name inside Firefox's default profile folder (macOS).
CarePath profileFile(const QString& name) {
    return {PathKind::ProfileFile, name};
}
// A file in each profile folder; `sqlite` adds its -journal, -wal and -shm companions.
CarePath in(const QString& name, bool sqlite = false) {
    return {PathKind::File, name, PathBase::Profile, {}, sqlite};
}
// A database in each profile folder whose rows the change removes.
CarePath databaseIn(const QString& name, DatabaseChange change) {
    return {PathKind::Database, name, PathBase::Profile, {}, false, change};
}
CarePath folderIn(const QString& name) {
    return {PathKind::Folder, name, PathBase::Profile};
}
// A cookie database in each profile, with its companions.
CarePath cookiesIn(const QString& name) {
    return {PathKind::CookieDatabase, name, PathBase::Profile, {}, true};
}
// The entries of a folder in each profile, but those whose names start with `except`.
CarePath entriesIn(const QString& name, const QString& except) {
    return {PathKind::FolderEntries, name,  PathBase::Profile, {}, false,
            DatabaseChange::None,    except};
}
// A folder in each profile's cache folder.
CarePath cacheIn(const QString& name) {
    return {PathKind::Folder, name, PathBase::ProfileCache};
}

// An item whose paths are measured and removed in the same order.
CareItem same(const QString& name, const QList<CarePath>& paths) {
    return {name, paths, paths};
}

// What web pages store in a Chromium-family profile: each site's IndexedDB databases (those of
// extensions, chrome-extension_..., stay), and the storage folders every origin shares.
QList<CarePath> chromiumSiteData() {
    return {entriesIn("IndexedDB", "chrome-extension_"),
            folderIn("Local Storage"),
            folderIn("Session Storage"),
            folderIn("Service Worker"),
            folderIn("File System"),
            folderIn("databases"),
            folderIn("blob_storage")};
}

// Items declared and cared for in the order they are listed, unless orders are given.
BrowserCatalogue itemSet(const QList<CareItem>& items, const QStringList& basicSet,
                         QStringList declarationOrder = {}, QStringList careOrder = {}) {
    QStringList listed;
    for (const CareItem& item : items) {
        listed.append(item.name);
    }
    return {{},
            items,
            declarationOrder.isEmpty() ? listed : declarationOrder,
            careOrder.isEmpty() ? listed : careOrder,
            basicSet};
}

QString library(const QString& rest) {
    return "/Users/%@/Library/" + rest;
}

// ---- Families -------------------------------------------------------------------------------

const BrowserFamily& family(FamilyId id) {
    static const std::array<BrowserFamily, 3> families = {{
        {.id = FamilyId::Safari,
         .logoDesign = {-1,
                        71,
                        200,
                        {{{107, 114, 146},
                          {110, 115, 150},
                          {120, 117, 157},
                          {130, 119, 163},
                          {135, 122, 167},
                          {140, 123, 170},
                          {150, 125, 180},
                          {155, 128, 183},
                          {160, 130, 185},
                          {165, 135, 190}}}}},
        {.id = FamilyId::Firefox,
         .profileList = ProfileList::FirefoxIni,
         .lock = {"lock", FamilyFile::In::Profile},
         .version = {"compatibility.ini", FamilyFile::In::Profile},
         .versionKey = "LastVersion=",
         .cookieTable = "moz_cookies",
         .cookieHostColumn = "host",
         .linuxItems = itemSet(
             {
                 // visits, typed input, page metadata and the pages no bookmark or keyword
                 // needs, edited out of places.sqlite where the bookmarks stay; measured as
                 // the database's size
                 {"history",
                  {in("places.sqlite", true)},
                  {databaseIn("places.sqlite", DatabaseChange::FirefoxHistory)}},
                 // the profile's disk cache, start-up cache and page thumbnails
                 same("cache", {cacheIn("cache2"), cacheIn("startupCache"), cacheIn("thumbnails")}),
                 // cookies only
                 same("coockies", {cookiesIn("cookies.sqlite")}),
                 // what web pages store per site, and the older local-storage database; the
                 // extensions' own entries (moz-extension+++...) stay
                 same("sitedata", {entriesIn("storage/default", "moz-extension+++"),
                                   in("webappsstore.sqlite", true)}),
                 // the download list of older versions; newer ones keep it with the history
                 // in places.sqlite
                 same("downloadlist", {in("downloads.sqlite", true)}),
                 // the open windows and tabs, their backups, and the older session files
                 same("lastsession", {in("sessionstore.jsonlz4"), folderIn("sessionstore-backups"),
                                      in("sessionstore.js"), in("sessionstore.bak")}),
                 // per-site preferences, site permissions, saved form entries
                 same("website", {in("content-prefs.sqlite", true), in("permissions.sqlite", true),
                                  in("formhistory.sqlite", true)}),
                 // window and toolbar state, download actions per file type (and the older
                 // files that held them)
                 same("preference", {in("xulstore.json"), in("handlers.json"), in("localstore.rdf"),
                                     in("mimeTypes.rdf")}),
             },
             {"history", "cache", "downloadlist"}),
         .linuxMonitorSet = {cacheIn("cache2"), cacheIn("startupCache"), cacheIn("thumbnails")},
         // The logo stops growing at level 8.
         .logoDesign = {0,
                        71,
                        155,
                        {{{105, 100, 146},
                          {110, 102, 150},
                          {120, 106, 157},
                          {130, 108, 165},
                          {135, 110, 172},
                          {140, 112, 176},
                          {150, 113, 183},
                          {155, 114, 192},
                          {160, 114, 196},
                          {160, 114, 196}}}}},
        {.id = FamilyId::Chromium,
         .profileList = ProfileList::LocalState,
         .lock = {"SingletonLock", FamilyFile::In::DataFolder},
         .version = {"Last Version", FamilyFile::In::DataFolder},
         .cookieTable = "cookies",
         .cookieHostColumn = "host_key",
         .linuxItems = itemSet(
             {
                 // browsing history and the visited-link table
                 same("history", {in("History", true), in("Visited Links")}),
                 // the profile's HTTP cache and compiled-script cache
                 same("cache", {cacheIn("Cache"), cacheIn("Code Cache")}),
                 // cookies, where older and newer versions keep them
                 same("cookies", {cookiesIn("Cookies"), cookiesIn("Network/Cookies")}),
                 // what web pages store; the extensions' own databases stay
                 same("sitedata", chromiumSiteData()),
                 // site icons
                 same("webpageicon", {in("Favicons", true)}),
                 // the older session files and the Sessions folder that replaced them
                 same("lastsession", {in("Last Session"), in("Last Tabs"), in("Current Session"),
                                      in("Current Tabs"), folderIn("Sessions")}),
                 // most-visited sites
                 same("topsites", {in("Top Sites", true)}),
                 // settings, omnibox shortcuts, autofill and search-engine data
                 same("preferences",
                      {in("Preferences"), in("Shortcuts", true), in("Web Data", true)}),
             },
             {"history", "cache"}),
         .linuxMonitorSet = {in("History"), in("Visited Links"), cacheIn("Cache"),
                             cacheIn("Code Cache")},
         // The logo's button stays at level 9.
         .logoDesign = {0,
                        71,
                        160,
                        {{{100, 100, 146},
                          {108, 102, 150},
                          {117, 105, 157},
                          {127, 108, 165},
                          {135, 112, 172},
                          {140, 113, 176},
                          {150, 113, 183},
                          {155, 114, 192},
                          {160, 115, 196},
                          {165, 115, 196}}}}},
    }};
    return families[static_cast<size_t>(id)];
}

// ---- Rows, in the order the layouts show them -----------------------------------------------

BrowserInfo safari() {
    const auto safariFile = [](const QString& rest) { return file(library("Safari/" + rest)); };
    const CarePath previews = folder(library("Caches/com.apple.Safari/Webpage Previews"));
    const QList<CarePath> preferences = {
        file(library("Preferences/com.apple.Safari.LSSharedFileList.plist")),
        file(library("Preferences/com.apple.Safari.plist")),
        file(library("Preferences/com.apple.Safari.RSS.plist"))};
    return {
        .id = BrowserId::Safari,
        .family = FamilyId::Safari,
        .displayName = "Safari",
        .moduleClass = "Safari",
        .suffix = u'S',
        .key = "safari",
        .bundleIdentifier = "com.apple.Safari",
        .processNames = {"Safari", "safari"},
        .systemBrowser = true,
        .applicationPaths = {"/Applications/Safari.app"},
        .macItems = itemSet(
            {
                {"history",
                 {safariFile("History.plist"), safariFile("HistoryIndex.sk"), previews},
                 {safariFile("HistoryIndex.sk"), previews, safariFile("History.plist")}},
                same("cache", {file(library("Caches/com.apple.Safari/Cache.db"))}),
                {"coockies",
                 {folder(library("Safari/LocalStorage")), folder(library("Safari/Databases"))},
                 {{PathKind::CookieStore, {}},
                  folder(library("Safari/Databases")),
                  folder(library("Safari/LocalStorage"))}},
                same("downloadlist", {safariFile("Downloads.plist")}),
                same("lastsession", {safariFile("LastSession.plist")}),
                same("topsites", {safariFile("TopSites.plist")}),
                same("webpageicon", {safariFile("WebpageIcons.db")}),
                same("autofil", {safariFile("Form Values")}),
                same("posiction", {safariFile("LocationPermissions.plist")}),
                {"preferences", preferences, preferences, 2.0},
            },
            {"history", "cache", "downloadlist"},
            {"history", "preferences", "cache", "coockies", "downloadlist", "lastsession",
             "topsites", "webpageicon", "autofil", "posiction"},
            {"history", "cache", "downloadlist", "coockies", "topsites", "webpageicon",
             "lastsession", "autofil", "posiction", "preferences"}),
        .macStatusSet = {safariFile("History.plist"), safariFile("HistoryIndex.sk"), previews,
                         file(library("Caches/com.apple.Safari/Cache.db")),
                         safariFile("Downloads.plist")},
        .panel = {.redShadow = true},
        .updateTextKey = "UpdateSafari",
        .openLogLine = "Safari aperto",
        .openKey = "OpenSafari",
        .nothingSelectedLogLine = "nessun elemento selezionato safari",
        .nothingSelectedKey = "NoItemsSafari",
        .readyLogLine = "Pronto per eseguire la cura safari",
        .completedKey = "SafariCompleted",
        .incompleteKey = "SafariIncomplete",
        .supportFragment = "#safari",
    };
}

BrowserInfo firefox() {
    return {
        .id = BrowserId::Firefox,
        .family = FamilyId::Firefox,
        .displayName = "Firefox",
        .moduleClass = "Firefox",
        .suffix = u'F',
        .key = "firefox",
        .bundleIdentifier = "org.mozilla.firefox",
        .processNames = {"firefox", "firefox-bin", "firefox-esr"},
        .applicationPaths = {"/Applications/Firefox.app", "/Users/%@/Applications/Firefox.app"},
        .macItems = itemSet(
            {
                {"cache",
                 {folder(library("Caches/Firefox"))},
                 {folder(library("Caches/Firefox/"))}},
                same("coockies", {profileFile("cookies.sqlite")}),
                same("downloadlist", {profileFile("downloads.sqlite")}),
                same("lastsession",
                     {profileFile("sessionstore.js"), profileFile("sessionstore.bak")}),
                same("website",
                     {profileFile("content-prefs.sqlite"), profileFile("permissions.sqlite"),
                      profileFile("formhistory.sqlite")}),
                same("preference", {profileFile("localstore.rdf"), profileFile("mimeTypes.rdf")}),
            },
            {"cache", "downloadlist"}),
        .macStatusSet = {folder(library("Caches/Firefox"))},
        .linuxInstalls =
            {
                {"native", "/.mozilla/firefox", "$CACHE/mozilla/firefox"},
                {"flatpak", "/.var/app/org.mozilla.firefox/.mozilla/firefox",
                 "/.var/app/org.mozilla.firefox/cache/mozilla/firefox"},
                {"snap", "/snap/firefox/common/.mozilla/firefox",
                 "/snap/firefox/common/.cache/mozilla/firefox"},
            },
        .panel = {.firstMeasurementAtOnce = false, .interval = 3.5, .needsGrant = true},
        .logoTimerFirst = true,
        .updateListKey = "firefox",
        .updateTextKey = "UpdateFirefox",
        .openLogLine = "Firefox aperto",
        .openKey = "OpenFirefox",
        .nothingSelectedLogLine = "nessun elemento selezionato firefox",
        .nothingSelectedKey = "NoItemsFirefox",
        .readyLogLine = "Pronto per eseguire la cura firefox",
        .completedKey = "FirefoxCompleted",
        .incompleteKey = "FirefoxIncomplete",
        .supportFragment = "#firefox",
    };
}

BrowserInfo chrome() {
    const auto profile = [](const QString& rest) {
        return file(library("Application Support/Google/Chrome/Default/" + rest));
    };
    const auto caches = [](const QString& rest) {
        return folder(library("Caches/Google/Chrome/Default/" + rest));
    };
    return {
        .id = BrowserId::Chrome,
        .family = FamilyId::Chromium,
        .displayName = "Google Chrome",
        .moduleClass = "Chrome",
        .suffix = u'C',
        .key = "chrome",
        .bundleIdentifier = "com.google.Chrome",
        .processNames = {"chrome", "google-chrome", "google-chrome-stable", "Google Chrome"},
        .applicationPaths = {"/Applications/Google Chrome.app",
                             "/Users/%@/Applications/Google Chrome.app"},
        .macItems = itemSet(
            {
                same("history", {profile("History"), profile("Visited Links")}),
                same("cache", {caches("Cache"), caches("Media Cache")}),
                same("cookies", {profile("Cookies")}),
                same("webpageicon", {profile("Favicons")}),
                same("lastsession", {profile("Last Session"), profile("Last Tabs"),
                                     profile("Current Session"), profile("Current Tabs")}),
                same("topsites", {profile("Top Sites")}),
                same("preferences",
                     {profile("Preferences"), profile("Shortcuts"), profile("Web Data")}),
            },
            {"history", "cache"}),
        .macStatusSet = {profile("History"), profile("Visited Links"), caches("Cache"),
                         caches("Media Cache")},
        .linuxInstalls =
            {
                {"native", "$CONFIG/google-chrome", "$CACHE/google-chrome"},
                {"flatpak", "/.var/app/com.google.Chrome/config/google-chrome",
                 "/.var/app/com.google.Chrome/cache/google-chrome"},
            },
        .updateListKey = "chrome",
        .updateTextKey = "UpdateChrome",
        .openLogLine = "Chrome aperto",
        .openKey = "OpenChrome",
        .nothingSelectedLogLine = "nessun elemento selezionato chrome",
        .nothingSelectedKey = "NoItemsChrome",
        .readyLogLine = "Pronto per eseguire la cura chrome",
        .completedKey = "ChromeCompleted",
        .incompleteKey = "ChromeIncomplete",
        .supportFragment = "#chrome",
    };
}

BrowserInfo chromium() {
    return {
        .id = BrowserId::Chromium,
        .family = FamilyId::Chromium,
        .displayName = "Chromium",
        .moduleClass = "Chromium",
        .suffix = u'M',
        .key = "chromium",
        .bundleIdentifier = "org.chromium.Chromium",
        .processNames = {"chromium", "chromium-browser"},
        .linuxInstalls =
            {
                {"native", "$CONFIG/chromium", "$CACHE/chromium"},
                {"flatpak", "/.var/app/org.chromium.Chromium/config/chromium",
                 "/.var/app/org.chromium.Chromium/cache/chromium"},
                {"snap", "/snap/chromium/common/chromium", "/snap/chromium/common/.cache/chromium"},
            },
        .updateListKey = "chromium",
        .updateTextKey = "UpdateChromium",
        .openLogLine = "Chromium aperto",
        .openKey = "OpenChromium",
        .nothingSelectedLogLine = "nessun elemento selezionato chromium",
        .nothingSelectedKey = "NoItemsChromium",
        .readyLogLine = "Pronto per eseguire la cura chromium",
        .completedKey = "ChromiumCompleted",
        .incompleteKey = "ChromiumIncomplete",
        .supportFragment = "#chromium",
    };
}

BrowserInfo opera() {
    const auto profile = [](const QString& rest) {
        return file(library("Application Support/com.operasoftware.Opera/" + rest));
    };
    // The older generation kept its profile in Library/Opera and its caches in
    // Library/Caches/Opera.
    const auto older = [](const QString& rest) { return file(library("Opera/" + rest)); };
    return {
        .id = BrowserId::Opera,
        .family = FamilyId::Chromium,
        .displayName = "Opera",
        .moduleClass = "Opera",
        .suffix = u'O',
        .key = "opera",
        .bundleIdentifier = "com.operasoftware.Opera",
        .processNames = {"opera", "Opera"},
        .applicationPaths = {"/Applications/Opera.app", "/Users/%@/Applications/Opera.app"},
        .macItems = itemSet(
            {
                same("history", {profile("History"), profile("Visited Links")}),
                same("cache", {folder(library("Caches/com.operasoftware.Opera"))}),
                same("cookies", {profile("Cookies")}),
                same("session", {profile("session.db")}),
                same("thumbinals", {profile("Thumbnails"), profile("thumbnails.db")}),
                {"webdate",
                 {profile("Origin Bound Certs"), profile("Login Data"),
                  profile("Certificate Revocation Lists")},
                 {profile("Login Data"), profile("Origin Bound Certs"),
                  profile("Certificate Revocation Lists")}},
                same("preferences", {profile("Preferences"), profile("Web Data")}),
            },
            {"history", "cache"}),
        // The status item counts the older generation, the logo the newer one.
        .macStatusSet = {older("global_history.dat"), older("vlink4.dat"),
                         folder(library("Caches/Opera/opcache")),
                         folder(library("Caches/Opera/cache")), older("download.dat"),
                         folder(library("Caches/Opera/temporary_downloads"))},
        .macLogoSet = {profile("History"), profile("Visited Links"), profile("Web Data"),
                       folder(library("Caches/com.operasoftware.Opera/Cache"))},
        .linuxInstalls =
            {
                {"native", "$CONFIG/opera", "$CACHE/opera"},
                {"flatpak", "/.var/app/com.opera.Opera/config/opera",
                 "/.var/app/com.opera.Opera/cache/opera"},
            },
        .dataFolderIsProfile = true,
        .linuxItems = itemSet(
            {
                same("history", {in("History", true), in("Visited Links")}),
                same("cache", {cacheIn("Cache"), cacheIn("Code Cache")}),
                same("cookies", {cookiesIn("Cookies"), cookiesIn("Network/Cookies")}),
                same("sitedata", chromiumSiteData()),
                // the session files of older and newer versions
                same("session", {in("session.db"), in("Last Session"), in("Last Tabs"),
                                 in("Current Session"), in("Current Tabs"), folderIn("Sessions")}),
                // speed-dial thumbnails
                same("thumbinals", {folderIn("Thumbnails"), in("thumbnails.db", true)}),
                // saved logins and certificate data: this item is the one that removes passwords
                {"webdate",
                 {in("Origin Bound Certs", true), in("Login Data", true),
                  in("Certificate Revocation Lists")},
                 {in("Login Data", true), in("Origin Bound Certs", true),
                  in("Certificate Revocation Lists")}},
                // settings, autofill and search-engine data
                same("preferences", {in("Preferences"), in("Web Data", true)}),
            },
            {"history", "cache"}),
        // The logo adds the web data, as on macOS.
        .linuxLogoSet = {in("History"), in("Visited Links"), in("Web Data"), cacheIn("Cache"),
                         cacheIn("Code Cache")},
        // Its button drops at the last level.
        .logoDesign = LogoDesign{0,
                                 71,
                                 160,
                                 {{{100, 97, 146},
                                   {108, 99, 150},
                                   {117, 103, 157},
                                   {127, 105, 165},
                                   {135, 107, 172},
                                   {140, 109, 176},
                                   {150, 110, 183},
                                   {155, 112, 192},
                                   {160, 112, 196},
                                   {165, 112, 194}}}},
        .updateListKey = "opera",
        .updateTextKey = "UpdateOpera",
        .openLogLine = "Opera aperto",
        .openKey = "OpenOpera",
        .nothingSelectedLogLine = "nessun elemento selezionato opera",
        .nothingSelectedKey = "NoItemsOpera",
        .readyLogLine = "Pronto per eseguire la cura Opera",
        .completedKey = "OperaCompleted",
        .incompleteKey = "OperaIncomplete",
        .supportFragment = "#opera",
    };
}

// The browsers below exist only in the Linux layout; their texts and log lines follow their
// class and key.

// A Chromium-family browser with a native and a Flatpak install: `folder` below the
// configuration and cache folders, the Flatpak's own home named by its application id.
QList<LinuxInstall> chromiumInstalls(const QString& folder, const QString& flatpakId) {
    const QString flatpak = "/.var/app/" + flatpakId;
    return {
        {"native", "$CONFIG/" + folder, "$CACHE/" + folder},
        {"flatpak", flatpak + "/config/" + folder, flatpak + "/cache/" + folder},
    };
}

BrowserInfo brave() {
    return {
        .id = BrowserId::Brave,
        .family = FamilyId::Chromium,
        .displayName = "Brave",
        .moduleClass = "Brave",
        .suffix = u'B',
        .key = "brave",
        .bundleIdentifier = "com.brave.Browser",
        .processNames = {"brave", "brave-browser"},
        .linuxInstalls = chromiumInstalls("BraveSoftware/Brave-Browser", "com.brave.Browser"),
    };
}

BrowserInfo vivaldi() {
    return {
        .id = BrowserId::Vivaldi,
        .family = FamilyId::Chromium,
        .displayName = "Vivaldi",
        .moduleClass = "Vivaldi",
        .suffix = u'V',
        .key = "vivaldi",
        .bundleIdentifier = "com.vivaldi.Vivaldi",
        .processNames = {"vivaldi-bin", "vivaldi"},
        .linuxInstalls = chromiumInstalls("vivaldi", "com.vivaldi.Vivaldi"),
    };
}

BrowserInfo edge() {
    return {
        .id = BrowserId::Edge,
        .family = FamilyId::Chromium,
        .displayName = "Microsoft Edge",
        .moduleClass = "Edge",
        .suffix = u'E',
        .key = "edge",
        .bundleIdentifier = "com.microsoft.Edge",
        .processNames = {"msedge", "microsoft-edge"},
        .linuxInstalls = chromiumInstalls("microsoft-edge", "com.microsoft.Edge"),
    };
}

BrowserInfo librewolf() {
    const QString flatpak = "/.var/app/io.gitlab.librewolf-community";
    return {
        .id = BrowserId::LibreWolf,
        .family = FamilyId::Firefox,
        .displayName = "LibreWolf",
        .moduleClass = "LibreWolf",
        .suffix = u'L',
        .key = "librewolf",
        .bundleIdentifier = "io.gitlab.librewolf-community",
        .processNames = {"librewolf"},
        .linuxInstalls =
            {
                {"native", "/.librewolf", "$CACHE/librewolf"},
                {"flatpak", flatpak + "/.librewolf", flatpak + "/cache/librewolf"},
            },
    };
}

// ---- Filling a row from its family ----------------------------------------------------------

// A set's names with the row's letter, and its profile paths with the row's browser.
BrowserCatalogue forRow(BrowserCatalogue set, const BrowserInfo& row) {
    const auto name = [&row](QStringList& names) {
        for (QString& each : names) {
            each += row.suffix;
        }
    };
    set.browser = row.id;
    for (CareItem& item : set.items) {
        item.name += row.suffix;
        for (QList<CarePath>* paths : {&item.measured, &item.removed}) {
            for (CarePath& path : *paths) {
                if (path.base != PathBase::Root) {
                    path.browser = row.id;
                }
            }
        }
    }
    name(set.declarationOrder);
    name(set.careOrder);
    name(set.basicSet);
    return set;
}

QList<CarePath> forRow(QList<CarePath> paths, const BrowserInfo& row) {
    for (CarePath& path : paths) {
        path.browser = row.id;
    }
    return paths;
}

// Text keys, log lines and the help section the row leaves empty, named after its class and
// key as the older rows name theirs.
void nameByConvention(BrowserInfo& row) {
    const auto orElse = [](QString& field, const QString& conventional) {
        if (field.isEmpty()) {
            field = conventional;
        }
    };
    if (!row.systemBrowser) {
        orElse(row.updateListKey, row.key);
    }
    orElse(row.updateTextKey, "Update" + row.moduleClass);
    orElse(row.openLogLine, row.moduleClass + " aperto");
    orElse(row.openKey, "Open" + row.moduleClass);
    orElse(row.nothingSelectedLogLine, "nessun elemento selezionato " + row.key);
    orElse(row.nothingSelectedKey, "NoItems" + row.moduleClass);
    orElse(row.readyLogLine, "Pronto per eseguire la cura " + row.key);
    orElse(row.completedKey, row.moduleClass + "Completed");
    orElse(row.incompleteKey, row.moduleClass + "Incomplete");
    orElse(row.supportFragment, "#" + row.key);
}

BrowserInfo filled(BrowserInfo row) {
    const BrowserFamily& own = family(row.family);
    nameByConvention(row);
    row.macItems = forRow(row.macItems, row);
    if (row.macLogoSet.isEmpty()) {
        row.macLogoSet = row.macStatusSet;
    }
    if (!row.linuxInstalls.isEmpty()) {
        row.linuxItems =
            forRow(row.linuxItems.items.isEmpty() ? own.linuxItems : row.linuxItems, row);
        row.linuxMonitorSet =
            forRow(row.linuxMonitorSet.isEmpty() ? own.linuxMonitorSet : row.linuxMonitorSet, row);
        row.linuxLogoSet =
            row.linuxLogoSet.isEmpty() ? row.linuxMonitorSet : forRow(row.linuxLogoSet, row);
    }
    if (!row.logoDesign) {
        row.logoDesign = own.logoDesign;
    }
    return row;
}

}  // namespace

const std::array<BrowserInfo, kBrowserCount>& browserTable() {
    // Never destroyed: a walk still running as the process exits may read it.
    static const auto* rows = new std::array<BrowserInfo, kBrowserCount>{
        filled(safari()), filled(firefox()), filled(chrome()), filled(chromium()), filled(opera()),
        filled(brave()),  filled(vivaldi()), filled(edge()),   filled(librewolf())};
    return *rows;
}

const BrowserInfo& browserInfo(BrowserId browser) {
    static const std::array<const BrowserInfo*, kBrowserCount> byId = [] {
        std::array<const BrowserInfo*, kBrowserCount> index{};
        for (const BrowserInfo& row : browserTable()) {
            index[static_cast<size_t>(row.id)] = &row;
        }
        return index;
    }();
    return *byId[static_cast<size_t>(browser)];
}

const BrowserFamily& browserFamily(BrowserId browser) {
    return family(browserInfo(browser).family);
}

}  // namespace qz
