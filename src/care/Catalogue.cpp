#include "care/Catalogue.h"

namespace qz {

namespace {

CarePath file(const QString& path) {
    return {PathKind::File, path};
}
CarePath folder(const QString& path) {
    return {PathKind::Folder, path};
}
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
        file("/Users/%@/Library/Preferences/com.apple.Safari.LSSharedFileList.plist"),
        file("/Users/%@/Library/Preferences/com.apple.Safari.plist"),
        file("/Users/%@/Library/Preferences/com.apple.Safari.RSS.plist")};
    return {
        BrowserId::Safari,
        {
            {"historyS",
             {file(safari("History.plist")), file(safari("HistoryIndex.sk")), folder(previews)},
             {file(safari("HistoryIndex.sk")), folder(previews), file(safari("History.plist"))}},
            same("cacheS", {file("/Users/%@/Library/Caches/com.apple.Safari/Cache.db")}),
            {"coockiesS",
             {folder(safari("LocalStorage")), folder(safari("Databases"))},
             {{PathKind::CookieStore, {}},
              folder(safari("Databases")),
              folder(safari("LocalStorage"))}},
            same("downloadlistS", {file(safari("Downloads.plist"))}),
            same("lastsessionS", {file(safari("LastSession.plist"))}),
            same("topsitesS", {file(safari("TopSites.plist"))}),
            same("webpageiconS", {file(safari("WebpageIcons.db"))}),
            same("autofilS", {file(safari("Form Values"))}),
            same("posictionS", {file(safari("LocationPermissions.plist"))}),
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
             {folder("/Users/%@/Library/Caches/Firefox")},
             {folder("/Users/%@/Library/Caches/Firefox/")}},
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
            same("historyC", {file(chrome("History")), file(chrome("Visited Links"))}),
            same("cacheC", {folder(caches + "Cache"), folder(caches + "Media Cache")}),
            same("cookiesC", {file(chrome("Cookies"))}),
            same("webpageiconC", {file(chrome("Favicons"))}),
            same("lastsessionC", {file(chrome("Last Session")), file(chrome("Last Tabs")),
                                  file(chrome("Current Session")), file(chrome("Current Tabs"))}),
            same("topsitesC", {file(chrome("Top Sites"))}),
            same("preferencesC", {file(chrome("Preferences")), file(chrome("Shortcuts")),
                                  file(chrome("Web Data"))}),
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
            same("historyO", {file(opera("History")), file(opera("Visited Links"))}),
            same("cacheO", {folder("/Users/%@/Library/Caches/com.operasoftware.Opera")}),
            same("cookiesO", {file(opera("Cookies"))}),
            same("sessionO", {file(opera("session.db"))}),
            same("thumbinalsO", {file(opera("Thumbnails")), file(opera("thumbnails.db"))}),
            {"webdateO",
             {file(opera("Origin Bound Certs")), file(opera("Login Data")),
              file(opera("Certificate Revocation Lists"))},
             {file(opera("Login Data")), file(opera("Origin Bound Certs")),
              file(opera("Certificate Revocation Lists"))}},
            same("preferencesO", {file(opera("Preferences")), file(opera("Web Data"))}),
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

const BrowserCatalogue& catalogue(BrowserId browser) {
    static const std::array<BrowserCatalogue, 4> catalogues = {makeSafari(), makeFirefox(),
                                                               makeChrome(), makeOpera()};
    return catalogues[static_cast<size_t>(browser)];
}

}  // namespace qz
