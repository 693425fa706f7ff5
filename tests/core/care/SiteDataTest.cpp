// Site data items on a Linux home: each entry of a storage folder goes as an item of its own, the
// extensions' entries stay, and a link among them goes as a link while what it names stays.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/browsers/RunningApplications.h"
#include "core/care/CareRun.h"
#include "core/settings/TimeScale.h"
#include "fixtures/LinuxHome.h"
#include "support/QuickCare.h"

namespace qz {
namespace {

using test::LinuxHome;

bool present(const QString& local) {
    struct stat info {};
    return ::lstat(QFile::encodeName(local).constData(), &info) == 0;
}

class SiteDataTest : public test::QuickCareTest {};

TEST_F(SiteDataTest, LinksAmongTheEntriesGoAsLinksAndWhatTheyNameStays) {
    const QString firefox = "/.mozilla/firefox/abcd.default-release";
    const QString chrome = "/.config/google-chrome/Default";
    const struct {
        BrowserId browser;
        QString item;
        QString link;  // made to point at a folder outside the profile
        bool goes;
    } cases[] = {
        {BrowserId::Firefox, "sitedataF", firefox + "/storage/default/https+++evil.example", true},
        {BrowserId::Firefox, "sitedataF", firefox + "/storage/default/moz-extension+++linked",
         false},
        {BrowserId::Chrome, "sitedataC",
         chrome + "/IndexedDB/https_evil.example_0.indexeddb.leveldb", true},
        {BrowserId::Chrome, "sitedataC", chrome + "/IndexedDB/chrome-extension_linked_0.indexeddb",
         false},
        {BrowserId::Chrome, "sitedataC", chrome + "/blob_storage", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link.toStdString());
        LinuxHome home;
        const QString outside = home.local("/outside/secret");
        ASSERT_TRUE(QDir().mkpath(outside + "/inner"));
        QFile(outside + "/inner/keep.txt").open(QIODevice::WriteOnly);
        home.makeLink(c.link, outside);
        const SelectionProvider only = [&c](const QString& item) { return int(item == c.item); };

        // The plan counts the link by its own size and names nothing behind it.
        bool planned = false;
        for (const PlannedRemoval& entry : planCare(c.browser, only, home.files())) {
            EXPECT_FALSE(entry.platformPath.startsWith(c.link + u'/'));
            if (entry.platformPath == c.link) {
                planned = true;
                EXPECT_EQ(entry.bytes, quint64(QFile::encodeName(outside).size()));
            }
        }
        EXPECT_EQ(planned, c.goes);

        CareRun run(c.browser, home.files());
        run.setSelection(only);
        const CareReport report = run.run();
        EXPECT_EQ(report.removed.contains(c.link), c.goes);
        EXPECT_NE(present(home.local(c.link)), c.goes);
        EXPECT_TRUE(QFileInfo::exists(outside + "/inner/keep.txt"));
        // The item's other files went, the files it does not cover stayed.
        for (const test::FixtureFile& file : home.recorded()) {
            const bool covered = file.browser == c.browser && file.item == c.item;
            EXPECT_NE(present(home.local(file.path)), covered) << file.path.toStdString();
        }
    }
}

// A storage folder that is itself a link is not entered: nothing behind it is listed or removed.
TEST_F(SiteDataTest, AStorageFolderThatIsALinkIsNotEntered) {
    LinuxHome home;
    const QString outside = home.local("/outside/default");
    ASSERT_TRUE(QDir().mkpath(outside + "/https+++example.org"));
    const QString storage = "/.mozilla/firefox/abcd.default-release/storage/default";
    ASSERT_TRUE(QDir(home.local(storage)).removeRecursively());
    home.makeLink(storage, outside);
    const SelectionProvider only = [](const QString& item) { return int(item == "sitedataF"); };
    for (const PlannedRemoval& entry : planCare(BrowserId::Firefox, only, home.files())) {
        EXPECT_FALSE(entry.platformPath.startsWith(storage)) << entry.platformPath.toStdString();
    }
    CareRun run(BrowserId::Firefox, home.files());
    run.setSelection(only);
    run.run();
    EXPECT_TRUE(QFileInfo::exists(outside + "/https+++example.org"));
    EXPECT_TRUE(present(home.local(storage)));
}

}  // namespace
}  // namespace qz
