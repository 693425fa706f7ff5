#include <gtest/gtest.h>

#include <QDir>

#include "core/monitor/LogoLevels.h"
#include "core/monitor/MonitorSets.h"
#include "fixtures/FixtureHome.h"

namespace qz {
namespace {

// Each row adds its files under a fresh home.
TEST(MonitorSets, TotalsAddEveryRowOfEachSet) {
    struct TotalsCase {
        const char* name;
        std::vector<std::pair<QString, qint64>> files;
        std::array<quint64, kBrowserCount> statusTotals;  // Safari, Firefox, Chrome, Opera
        quint64 operaLogo;
    };
    const QString safari = QStringLiteral("/Users/%@/Library/Safari/");
    const QString chrome =
        QStringLiteral("/Users/%@/Library/Application Support/Google/Chrome/Default/");
    const QString opera = QStringLiteral("/Users/%@/Library/Opera/");
    const QString newOpera =
        QStringLiteral("/Users/%@/Library/Application Support/com.operasoftware.Opera/");
    // clang-format off
    const std::vector<TotalsCase> cases = {
        {"nothing at all", {}, {0, 0, 0, 0}, 0},
        {"safari files, nothing installed",
         {{safari + "History.plist", 10}, {safari + "HistoryIndex.sk", 20},
          {"/Users/%@/Library/Caches/com.apple.Safari/Cache.db", 40},
          {safari + "Downloads.plist", 80}, {safari + "Bookmarks.plist", 1000}},
         {150, 0, 0, 0}, 0},
        {"chrome files outside the set do not count",
         {{chrome + "History", 7}, {chrome + "Visited Links", 9}, {chrome + "Cookies", 500}},
         {0, 0, 16, 0}, 0},
        {"older opera files only: the logo stays at 0",
         {{opera + "global_history.dat", 1}, {opera + "vlink4.dat", 2}, {opera + "download.dat", 4}},
         {0, 0, 0, 7}, 0},
        {"newer opera files only: the status item stays at 0",
         {{newOpera + "History", 3}, {newOpera + "Visited Links", 5}, {newOpera + "Web Data", 11}},
         {0, 0, 0, 0}, 19},
    };
    // clang-format on
    for (const TotalsCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::FixtureHome home;
        for (const auto& [path, size] : c.files) {
            home.writeFile(path, size);
        }
        const BrowserTotals totals = measureTotals(home.files());
        EXPECT_EQ(totals.bytes, c.statusTotals);
        EXPECT_EQ(measureLogoTotal(BrowserId::Opera, home.files()), c.operaLogo);
        for (BrowserId browser : {BrowserId::Safari, BrowserId::Firefox, BrowserId::Chrome}) {
            EXPECT_EQ(measureLogoTotal(browser, home.files()), totals[browser]);
        }
    }
}

TEST(MonitorSets, FoldersCountTheirContentsAndTheirOwnEntries) {
    const std::vector<std::pair<BrowserId, const char*>> cases = {
        {BrowserId::Safari, "/Users/%@/Library/Caches/com.apple.Safari/Webpage Previews"},
        {BrowserId::Firefox, "/Users/%@/Library/Caches/Firefox"},
        {BrowserId::Chrome, "/Users/%@/Library/Caches/Google/Chrome/Default/Cache"},
        {BrowserId::Chrome, "/Users/%@/Library/Caches/Google/Chrome/Default/Media Cache"},
        {BrowserId::Opera, "/Users/%@/Library/Caches/Opera/opcache"},
        {BrowserId::Opera, "/Users/%@/Library/Caches/Opera/cache"},
        {BrowserId::Opera, "/Users/%@/Library/Caches/Opera/temporary_downloads"},
    };
    for (const auto& [browser, path] : cases) {
        SCOPED_TRACE(path);
        test::FixtureHome home;
        const QString folder = QString::fromUtf8(path);
        home.writeFile(folder + QStringLiteral("/a/b/data"), 300);
        home.writeFile(folder + QStringLiteral("/top"), 5);
        home.makeFolder(folder + QStringLiteral("/empty"));
        const quint64 expected = 305 + static_cast<quint64>(home.folderEntrySize(folder));
        EXPECT_EQ(measureTotals(home.files())[browser], expected);
        // Once the folder is gone, the next measurement drops it to 0.
        QDir(home.local(folder)).removeRecursively();
        EXPECT_EQ(measureTotals(home.files())[browser], 0u);
    }
}

}  // namespace
}  // namespace qz
