// The catalogue checked against the item tables, written out here independently as text.
#include <gtest/gtest.h>

#include "core/browsers/Catalogue.h"

namespace qz {
namespace {

// One line per item: "name: paths", and "name removes: paths" when removal differs. Kinds: F file,
// D folder, P profile file, C cookie store. G/ and O/ are Chrome's and Opera's data folders,
// ~/ the Library.
std::string describe(BrowserId browser) {
    const QString library = QStringLiteral("/Users/%@/Library/");
    const auto paths = [&](const QList<CarePath>& list) {
        QStringList parts;
        for (const CarePath& path : list) {
            const char* kind = path.kind == PathKind::File          ? "F "
                               : path.kind == PathKind::Folder      ? "D "
                               : path.kind == PathKind::ProfileFile ? "P "
                                                                    : "C";
            parts.append(
                QString::fromLatin1(kind) +
                QString(path.path)
                    .replace(library + "Application Support/Google/Chrome/Default/", "G/")
                    .replace(library + "Application Support/com.operasoftware.Opera/", "O/")
                    .replace(library, "~/"));
        }
        return parts.join(" | ");
    };
    QString text;
    for (const CareItem& item : catalogue(browser).items) {
        text += item.name + ": " + paths(item.measured) + "\n";
        if (paths(item.removed) != paths(item.measured)) {
            text += item.name + " removes: " + paths(item.removed) + "\n";
        }
    }
    return text.toStdString();
}

TEST(CatalogueTest, EveryItemsPathsKindsAndOrder) {
    EXPECT_EQ(
        describe(BrowserId::Safari),
        R"(historyS: F ~/Safari/History.plist | F ~/Safari/HistoryIndex.sk | D ~/Caches/com.apple.Safari/Webpage Previews
historyS removes: F ~/Safari/HistoryIndex.sk | D ~/Caches/com.apple.Safari/Webpage Previews | F ~/Safari/History.plist
cacheS: F ~/Caches/com.apple.Safari/Cache.db
coockiesS: D ~/Safari/LocalStorage | D ~/Safari/Databases
coockiesS removes: C | D ~/Safari/Databases | D ~/Safari/LocalStorage
downloadlistS: F ~/Safari/Downloads.plist
lastsessionS: F ~/Safari/LastSession.plist
topsitesS: F ~/Safari/TopSites.plist
webpageiconS: F ~/Safari/WebpageIcons.db
autofilS: F ~/Safari/Form Values
posictionS: F ~/Safari/LocationPermissions.plist
preferencesS: F ~/Preferences/com.apple.Safari.LSSharedFileList.plist | F ~/Preferences/com.apple.Safari.plist | F ~/Preferences/com.apple.Safari.RSS.plist
)");
    EXPECT_EQ(describe(BrowserId::Firefox), R"(cacheF: D ~/Caches/Firefox
cacheF removes: D ~/Caches/Firefox/
coockiesF: P cookies.sqlite
downloadlistF: P downloads.sqlite
lastsessionF: P sessionstore.js | P sessionstore.bak
websiteF: P content-prefs.sqlite | P permissions.sqlite | P formhistory.sqlite
preferenceF: P localstore.rdf | P mimeTypes.rdf
)");
    EXPECT_EQ(describe(BrowserId::Chrome), R"(historyC: F G/History | F G/Visited Links
cacheC: D ~/Caches/Google/Chrome/Default/Cache | D ~/Caches/Google/Chrome/Default/Media Cache
cookiesC: F G/Cookies
webpageiconC: F G/Favicons
lastsessionC: F G/Last Session | F G/Last Tabs | F G/Current Session | F G/Current Tabs
topsitesC: F G/Top Sites
preferencesC: F G/Preferences | F G/Shortcuts | F G/Web Data
)");
    EXPECT_EQ(describe(BrowserId::Opera), R"(historyO: F O/History | F O/Visited Links
cacheO: D ~/Caches/com.operasoftware.Opera
cookiesO: F O/Cookies
sessionO: F O/session.db
thumbinalsO: F O/Thumbnails | F O/thumbnails.db
webdateO: F O/Origin Bound Certs | F O/Login Data | F O/Certificate Revocation Lists
webdateO removes: F O/Login Data | F O/Origin Bound Certs | F O/Certificate Revocation Lists
preferencesO: F O/Preferences | F O/Web Data
)");
}

// The basic sets and presets are checked on the panels' boxes, the care order by the care run's
// walk.
TEST(CatalogueTest, DeclarationOrderAndPauses) {
    const QStringList safariDeclared{"historyS",      "preferencesS", "cacheS",    "coockiesS",
                                     "downloadlistS", "lastsessionS", "topsitesS", "webpageiconS",
                                     "autofilS",      "posictionS"};
    EXPECT_EQ(catalogue(BrowserId::Safari).declarationOrder, safariDeclared);
    // The others declare their items in the order of the tables above.
    for (BrowserId browser : {BrowserId::Firefox, BrowserId::Chrome, BrowserId::Opera}) {
        QStringList listed;
        for (const CareItem& item : catalogue(browser).items) {
            listed.append(item.name);
        }
        EXPECT_EQ(catalogue(browser).declarationOrder, listed)
            << browserInfo(browser).key.toStdString();
    }
    for (BrowserId browser : kAllBrowsers) {
        for (const CareItem& item : catalogue(browser).items) {
            EXPECT_EQ(item.pauseBeforeRemoval, item.name == "preferencesS" ? 2.0 : 0.0)
                << item.name.toStdString();
        }
    }
}

}  // namespace
}  // namespace qz
