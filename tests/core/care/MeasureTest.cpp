// Size text boundaries, the Firefox profile lookup and measuring selections on a fixture home.
#include <gtest/gtest.h>

#include <QDir>

#include "core/browsers/Browser.h"
#include "core/browsers/FirefoxProfile.h"
#include "core/care/SizeRules.h"
#include "core/care/SizeText.h"
#include "core/formats/Localization.h"
#include "fixtures/FixtureHome.h"

namespace qz {
namespace {

using test::FixtureHome;

TEST(SizeTextTest, BoundariesWithKeysAsTheirOwnFormats) {
    const Localization keysOnly;
    struct Case {
        quint64 size;
        const char* text;
    } cases[] = {
        {0, "0 Bytes"},          {998, "998 Bytes"},    {999, "1.0 KB"},
        {998999, "999.0 KB"},    {999000, "1.0 MB"},    {1500000, "1.5 MB"},
        {998999968, "999.0 MB"}, {998999969, "1.0 GB"}, {300000000000ull, "300.0 GB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(convertSizeToString(c.size, keysOnly), QString::fromLatin1(c.text)) << c.size;
    }
    const Localization italian({{"%1.1f MB", "%1.1f Mo"}});
    EXPECT_EQ(convertSizeToString(1500000, italian), QStringLiteral("1.5 Mo"));
    // The bundle's tables write reals in their language's way.
    const struct {
        const char* language;
        quint64 size;
        const char* text;
    } languages[] = {{"en", 403000000, "403.0 MB"},
                     {"it", 403000000, "403,0 MB"},
                     {"it", 2500, "2,5 KB"},
                     {"it", 998, "998 byte"}};
    for (const auto& l : languages) {
        EXPECT_EQ(convertSizeToString(l.size, Localization::forLanguage(l.language)),
                  QString::fromUtf8(l.text))
            << l.language;
    }
}

TEST(FirefoxProfileTest, FirstVisibleEntryEndingInDefaultWins) {
    struct Case {
        const char* name;
        QStringList entries;
        QStringList candidates;  // the entries that may be chosen (directory order decides)
    } cases[] = {
        {"no profiles folder", {}, {}},
        {"only hidden entries", {".a.default", ".DS_Store"}, {}},
        {"capital D does not count", {"x.Default", "y.default-release"}, {}},
        {"default after another entry", {"aaaa.other", "zzzz.default"}, {"zzzz.default"}},
        {"two defaults", {"one.default", "two.default", "three"}, {"one.default", "two.default"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FixtureHome home;
        for (const QString& entry : c.entries) {
            home.makeFolder(kFirefoxProfilesFolder + u'/' + entry);
        }
        const QString found = firefoxDefaultProfile(home.files());
        if (c.candidates.isEmpty()) {
            EXPECT_TRUE(found.isEmpty());
            continue;
        }
        // The first matching name in the order the directory is read.
        const QByteArray local = QFile::encodeName(home.local(kFirefoxProfilesFolder));
        QString expected;
        for (const QString& name : visibleFolderEntries(local.constData())) {
            if (c.candidates.contains(name)) {
                expected = name;
                break;
            }
        }
        EXPECT_EQ(found, home.files().userPath(kFirefoxProfilesFolder) + u'/' + expected);
    }
    EXPECT_TRUE(visibleFolderEntries("/no/such/folder").isEmpty());
}

TEST(MeasureTest, SelectionsAddTheirItemsAndFirefoxMeasuresWhatACareRemoves) {
    FixtureHome home;
    home.writeFile("/Users/%@/Library/Safari/History.plist", 100);
    home.writeFile("/Users/%@/Library/Safari/HistoryIndex.sk", 20);
    home.writeFile("/Users/%@/Library/Caches/com.apple.Safari/Cache.db", 3000);
    home.writeFile("/Users/%@/Library/Safari/LocalStorage/a", 5);
    // Firefox: a non-default profile listed alongside the default one.
    home.makeFolder(kFirefoxProfilesFolder + "/aaaa.other");
    home.writeFile(kFirefoxProfilesFolder + "/aaaa.other/cookies.sqlite", 999999);
    home.writeFile(kFirefoxProfilesFolder + "/zzzz.default/cookies.sqlite", 64);
    home.writeFile(kFirefoxProfilesFolder + "/zzzz.default/sessionstore.js", 8);
    FileManager& files = home.files();
    const auto folder = [&](const char* path) {
        return static_cast<quint64>(home.folderEntrySize(path));
    };

    EXPECT_EQ(measureSelection(BrowserId::Safari, {"historyS"}, files), 120u);
    EXPECT_EQ(measureSelection(BrowserId::Safari, {"historyS", "cacheS", "unknown"}, files), 3120u);
    EXPECT_EQ(measureSelection(BrowserId::Safari, {"coockiesS"}, files),
              5 + folder("/Users/%@/Library/Safari/LocalStorage"));
    EXPECT_EQ(measureSelection(BrowserId::Safari, {}, files), 0u);
    EXPECT_EQ(measureSelection(BrowserId::Firefox, {"coockiesF", "lastsessionF"}, files), 72u);
    EXPECT_EQ(measureSelection(BrowserId::Chrome, {"historyC", "cacheC"}, files), 0u);
}

TEST(BrowserTest, KeysAreLowerCaseOnly) {  // installed browsers: see the window's placement
    EXPECT_EQ(browserForKey("chrome"), BrowserId::Chrome);
    EXPECT_FALSE(browserForKey("Chrome").has_value());
}

}  // namespace
}  // namespace qz
