// The catalogue checked against the item tables, written out here independently as text.
#include <gtest/gtest.h>

#include "care/Catalogue.h"
#include "care/Presets.h"

namespace qz {
namespace {

// One line per path: F file, D folder, P profile file, C cookie store.
QString describe(const QList<CarePath>& paths) {
    QStringList parts;
    for (const CarePath& path : paths) {
        const char* kind = path.kind == PathKind::File          ? "F "
                           : path.kind == PathKind::Folder      ? "D "
                           : path.kind == PathKind::ProfileFile ? "P "
                                                                : "C";
        parts.append(QString::fromLatin1(kind) + path.path);
    }
    return parts.join(" | ");
}

const QString L = "/Users/%@/Library/";
const QString S = L + "Safari/";
const QString G = L + "Application Support/Google/Chrome/Default/";
const QString O = L + "Application Support/com.operasoftware.Opera/";

void expectRows(BrowserId browser,
                const std::vector<std::pair<QString, std::pair<QString, QString>>>& rows) {
    const BrowserCatalogue& items = catalogue(browser);
    ASSERT_EQ(items.items.size(), static_cast<qsizetype>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        const CareItem& item = items.items[static_cast<qsizetype>(i)];
        SCOPED_TRACE(item.name.toStdString());
        EXPECT_EQ(item.name, rows[i].first);
        EXPECT_EQ(describe(item.measured), rows[i].second.first);
        const QString removed =
            rows[i].second.second.isEmpty() ? rows[i].second.first : rows[i].second.second;
        EXPECT_EQ(describe(item.removed), removed);
    }
}

TEST(CatalogueTest, SafariItems) {
    expectRows(BrowserId::Safari,
               {{"historyS",
                 {"F " + S + "History.plist | F " + S + "HistoryIndex.sk | D " + L +
                      "Caches/com.apple.Safari/Webpage Previews",
                  "F " + S + "HistoryIndex.sk | D " + L +
                      "Caches/com.apple.Safari/Webpage Previews | F " + S + "History.plist"}},
                {"cacheS", {"F " + L + "Caches/com.apple.Safari/Cache.db", ""}},
                {"coockiesS",
                 {"D " + S + "LocalStorage | D " + S + "Databases",
                  "C | D " + S + "Databases | D " + S + "LocalStorage"}},
                {"downloadlistS", {"F " + S + "Downloads.plist", ""}},
                {"lastsessionS", {"F " + S + "LastSession.plist", ""}},
                {"topsitesS", {"F " + S + "TopSites.plist", ""}},
                {"webpageiconS", {"F " + S + "WebpageIcons.db", ""}},
                {"autofilS", {"F " + S + "Form Values", ""}},
                {"posictionS", {"F " + S + "LocationPermissions.plist", ""}},
                {"preferencesS",
                 {"F " + L + "Preferences/com.apple.Safari.LSSharedFileList.plist | F " + L +
                      "Preferences/com.apple.Safari.plist | F " + L +
                      "Preferences/com.apple.Safari.RSS.plist",
                  ""}}});
}

TEST(CatalogueTest, FirefoxItems) {
    expectRows(
        BrowserId::Firefox,
        {{"cacheF", {"D " + L + "Caches/Firefox", "D " + L + "Caches/Firefox/"}},
         {"coockiesF", {"P cookies.sqlite", ""}},
         {"downloadlistF", {"P downloads.sqlite", ""}},
         {"lastsessionF", {"P sessionstore.js | P sessionstore.bak", ""}},
         {"websiteF", {"P content-prefs.sqlite | P permissions.sqlite | P formhistory.sqlite", ""}},
         {"preferenceF", {"P localstore.rdf | P mimeTypes.rdf", ""}}});
}

TEST(CatalogueTest, ChromeItems) {
    const QString caches = L + "Caches/Google/Chrome/Default/";
    expectRows(BrowserId::Chrome,
               {{"historyC", {"F " + G + "History | F " + G + "Visited Links", ""}},
                {"cacheC", {"D " + caches + "Cache | D " + caches + "Media Cache", ""}},
                {"cookiesC", {"F " + G + "Cookies", ""}},
                {"webpageiconC", {"F " + G + "Favicons", ""}},
                {"lastsessionC",
                 {"F " + G + "Last Session | F " + G + "Last Tabs | F " + G +
                      "Current Session | F " + G + "Current Tabs",
                  ""}},
                {"topsitesC", {"F " + G + "Top Sites", ""}},
                {"preferencesC",
                 {"F " + G + "Preferences | F " + G + "Shortcuts | F " + G + "Web Data", ""}}});
}

TEST(CatalogueTest, OperaItems) {
    expectRows(BrowserId::Opera,
               {{"historyO", {"F " + O + "History | F " + O + "Visited Links", ""}},
                {"cacheO", {"D " + L + "Caches/com.operasoftware.Opera", ""}},
                {"cookiesO", {"F " + O + "Cookies", ""}},
                {"sessionO", {"F " + O + "session.db", ""}},
                {"thumbinalsO", {"F " + O + "Thumbnails | F " + O + "thumbnails.db", ""}},
                {"webdateO",
                 {"F " + O + "Origin Bound Certs | F " + O + "Login Data | F " + O +
                      "Certificate Revocation Lists",
                  "F " + O + "Login Data | F " + O + "Origin Bound Certs | F " + O +
                      "Certificate Revocation Lists"}},
                {"preferencesO", {"F " + O + "Preferences | F " + O + "Web Data", ""}}});
}

TEST(CatalogueTest, OrdersBasicSetsAndPauses) {
    struct Case {
        BrowserId browser;
        QStringList declaration;
        QStringList care;
        QStringList basic;
    } cases[] = {
        {BrowserId::Safari,
         {"historyS", "preferencesS", "cacheS", "coockiesS", "downloadlistS", "lastsessionS",
          "topsitesS", "webpageiconS", "autofilS", "posictionS"},
         {"historyS", "cacheS", "downloadlistS", "coockiesS", "topsitesS", "webpageiconS",
          "lastsessionS", "autofilS", "posictionS", "preferencesS"},
         {"historyS", "cacheS", "downloadlistS"}},
        {BrowserId::Firefox,
         {"cacheF", "coockiesF", "downloadlistF", "lastsessionF", "websiteF", "preferenceF"},
         {"cacheF", "coockiesF", "downloadlistF", "lastsessionF", "websiteF", "preferenceF"},
         {"cacheF", "downloadlistF"}},
        {BrowserId::Chrome,
         {"historyC", "cacheC", "cookiesC", "webpageiconC", "lastsessionC", "topsitesC",
          "preferencesC"},
         {"historyC", "cacheC", "cookiesC", "webpageiconC", "lastsessionC", "topsitesC",
          "preferencesC"},
         {"historyC", "cacheC"}},
        {BrowserId::Opera,
         {"historyO", "cacheO", "cookiesO", "sessionO", "thumbinalsO", "webdateO", "preferencesO"},
         {"historyO", "cacheO", "cookiesO", "sessionO", "thumbinalsO", "webdateO", "preferencesO"},
         {"historyO", "cacheO"}},
    };
    for (const Case& c : cases) {
        const BrowserCatalogue& items = catalogue(c.browser);
        SCOPED_TRACE(browserInfo(c.browser).key.toStdString());
        EXPECT_EQ(items.declarationOrder, c.declaration);
        EXPECT_EQ(items.careOrder, c.care);
        EXPECT_EQ(items.basicSet, c.basic);
        for (const CareItem& item : items.items) {
            EXPECT_EQ(item.pauseBeforeRemoval, item.name == "preferencesS" ? 2.0 : 0.0)
                << item.name.toStdString();
            EXPECT_EQ(presetState(c.browser, 0, item.name), c.basic.contains(item.name) ? 1 : 0);
            EXPECT_EQ(presetState(c.browser, 1, item.name), 1);
            EXPECT_EQ(presetState(c.browser, 2, item.name), 0);
        }
    }
    EXPECT_EQ(presetForSegment(0)->image, QStringLiteral("Bpreset"));
    EXPECT_TRUE(presetForSegment(2)->boxesEnabled);
    EXPECT_FALSE(presetForSegment(-1).has_value());
    EXPECT_FALSE(presetForSegment(3).has_value());
}

}  // namespace
}  // namespace qz
