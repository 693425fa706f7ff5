#include "core/browsers/Catalogue.h"

#include "core/browsers/LinuxCatalogue.h"

namespace qz {

namespace {

CarePath profile(const QString& name) {
    return {PathKind::ProfileFile, name};
}

// An item whose paths are measured and removed in the same order.
CareItem same(const QString& name, const QList<CarePath>& paths) {
    return {name, paths, paths};
}

QString safari(const QString& rest) {
    return "/Users/%@/Library/Safari/" + rest;
}
QString chrome(const QString& rest) {
    return "/Users/%@/Library/Application Support/Google/Chrome/Default/" + rest;
}
QString opera(const QString& rest) {
    return "/Users/%@/Library/Application Support/com.operasoftware.Opera/" + rest;
}

BrowserCatalogue makeSafari() {
    const QString previews = "/Users/%@/Library/Caches/com.apple.Safari/Webpage Previews";
    const QList<CarePath> preferences = {
        filePath("/Users/%@/Library/Preferences/com.apple.Safari.LSSharedFileList.plist"),
        filePath("/Users/%@/Library/Preferences/com.apple.Safari.plist"),
        filePath("/Users/%@/Library/Preferences/com.apple.Safari.RSS.plist")};
    return {
        BrowserId::Safari,
        {
            {"historyS",
             {filePath(safari("History.plist")), filePath(safari("HistoryIndex.sk")),
              folderPath(previews)},
             {filePath(safari("HistoryIndex.sk")), folderPath(previews),
              filePath(safari("History.plist"))}},
            same("cacheS", {filePath("/Users/%@/Library/Caches/com.apple.Safari/Cache.db")}),
            {"coockiesS",
             {folderPath(safari("LocalStorage")), folderPath(safari("Databases"))},
             {{PathKind::CookieStore, {}},
              folderPath(safari("Databases")),
              folderPath(safari("LocalStorage"))}},
            same("downloadlistS", {filePath(safari("Downloads.plist"))}),
            same("lastsessionS", {filePath(safari("LastSession.plist"))}),
            same("topsitesS", {filePath(safari("TopSites.plist"))}),
            same("webpageiconS", {filePath(safari("WebpageIcons.db"))}),
            same("autofilS", {filePath(safari("Form Values"))}),
            same("posictionS", {filePath(safari("LocationPermissions.plist"))}),
            {"preferencesS", preferences, preferences, 2.0},
        },
        {"historyS", "preferencesS", "cacheS", "coockiesS", "downloadlistS", "lastsessionS",
         "topsitesS", "webpageiconS", "autofilS", "posictionS"},
        {"historyS", "cacheS", "downloadlistS", "coockiesS", "topsitesS", "webpageiconS",
         "lastsessionS", "autofilS", "posictionS", "preferencesS"},
        {"historyS", "cacheS", "downloadlistS"},
    };
}

BrowserCatalogue makeFirefox() {
    return {
        BrowserId::Firefox,
        {
            {"cacheF",
             {folderPath("/Users/%@/Library/Caches/Firefox")},
             {folderPath("/Users/%@/Library/Caches/Firefox/")}},
            same("coockiesF", {profile("cookies.sqlite")}),
            same("downloadlistF", {profile("downloads.sqlite")}),
            same("lastsessionF", {profile("sessionstore.js"), profile("sessionstore.bak")}),
            same("websiteF", {profile("content-prefs.sqlite"), profile("permissions.sqlite"),
                              profile("formhistory.sqlite")}),
            same("preferenceF", {profile("localstore.rdf"), profile("mimeTypes.rdf")}),
        },
        {"cacheF", "coockiesF", "downloadlistF", "lastsessionF", "websiteF", "preferenceF"},
        {"cacheF", "coockiesF", "downloadlistF", "lastsessionF", "websiteF", "preferenceF"},
        {"cacheF", "downloadlistF"},
    };
}

BrowserCatalogue makeChrome() {
    const QString caches = "/Users/%@/Library/Caches/Google/Chrome/Default/";
    return {
        BrowserId::Chrome,
        {
            same("historyC", {filePath(chrome("History")), filePath(chrome("Visited Links"))}),
            same("cacheC", {folderPath(caches + "Cache"), folderPath(caches + "Media Cache")}),
            same("cookiesC", {filePath(chrome("Cookies"))}),
            same("webpageiconC", {filePath(chrome("Favicons"))}),
            same("lastsessionC",
                 {filePath(chrome("Last Session")), filePath(chrome("Last Tabs")),
                  filePath(chrome("Current Session")), filePath(chrome("Current Tabs"))}),
            same("topsitesC", {filePath(chrome("Top Sites"))}),
            same("preferencesC", {filePath(chrome("Preferences")), filePath(chrome("Shortcuts")),
                                  filePath(chrome("Web Data"))}),
        },
        {"historyC", "cacheC", "cookiesC", "webpageiconC", "lastsessionC", "topsitesC",
         "preferencesC"},
        {"historyC", "cacheC", "cookiesC", "webpageiconC", "lastsessionC", "topsitesC",
         "preferencesC"},
        {"historyC", "cacheC"},
    };
}

BrowserCatalogue makeOpera() {
    return {
        BrowserId::Opera,
        {
            same("historyO", {filePath(opera("History")), filePath(opera("Visited Links"))}),
            same("cacheO", {folderPath("/Users/%@/Library/Caches/com.operasoftware.Opera")}),
            same("cookiesO", {filePath(opera("Cookies"))}),
            same("sessionO", {filePath(opera("session.db"))}),
            same("thumbinalsO", {filePath(opera("Thumbnails")), filePath(opera("thumbnails.db"))}),
            {"webdateO",
             {filePath(opera("Origin Bound Certs")), filePath(opera("Login Data")),
              filePath(opera("Certificate Revocation Lists"))},
             {filePath(opera("Login Data")), filePath(opera("Origin Bound Certs")),
              filePath(opera("Certificate Revocation Lists"))}},
            same("preferencesO", {filePath(opera("Preferences")), filePath(opera("Web Data"))}),
        },
        {"historyO", "cacheO", "cookiesO", "sessionO", "thumbinalsO", "webdateO", "preferencesO"},
        {"historyO", "cacheO", "cookiesO", "sessionO", "thumbinalsO", "webdateO", "preferencesO"},
        {"historyO", "cacheO"},
    };
}

}  // namespace

const CareItem* BrowserCatalogue::item(const QString& name) const {
    for (const CareItem& candidate : items) {
        if (candidate.name == name) {
            return &candidate;
        }
    }
    return nullptr;
}

const BrowserCatalogue* catalogue(BrowserId browser, Layout layout) {
    if (layout == Layout::Linux) {
        return linuxCatalogue(browser);
    }
    static const std::array<BrowserCatalogue, 4> catalogues = {makeSafari(), makeFirefox(),
                                                               makeChrome(), makeOpera()};
    const size_t index = static_cast<size_t>(browser);
    return index < catalogues.size() ? &catalogues[index] : nullptr;
}

const BrowserCatalogue& catalogue(BrowserId browser, const FileManager& files) {
    const BrowserCatalogue* own = catalogue(browser, files.layout());
    return own ? *own : catalogue(browser);
}

const BrowserCatalogue& catalogue(BrowserId browser) {
    const BrowserCatalogue* macos = catalogue(browser, Layout::MacOS);
    return macos ? *macos : *catalogue(browser, Layout::Linux);
}

}  // namespace qz
