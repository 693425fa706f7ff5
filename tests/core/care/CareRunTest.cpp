// A care run: the walk's order and pauses, links never followed, and the cookie store. Refusals,
// boxes read as the walk reaches them and reports of what stays are checked through the panels.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <mutex>

#include "core/care/CareRun.h"
#include "core/formats/CookieStorage.h"
#include "fixtures/CookieStores.h"
#include "fixtures/FixtureHome.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

const QString kProfile =
    QStringLiteral("Application Support/Firefox/Profiles/x1.default/");  // under Library
const QString kCookies = QStringLiteral("/Users/%@/Library/Cookies/Cookies.binarycookies");

// A cookies file of one page holding `count` cookies with distinct domains.
QByteArray cookiesFile(int count) {
    QStringList hosts;
    for (int i = 0; i < count; ++i) {
        hosts.append(QStringLiteral("a%1").arg(i));
    }
    return test::binaryCookiesFile(hosts);
}

struct Recording {
    std::mutex mutex;
    QStringList events;
    QList<qint64> times;
    QList<std::pair<quint64, quint64>> progress;  // files and bytes after each path
    QElapsedTimer clock;
    void add(const QString& event) {
        std::lock_guard lock(mutex);
        events.append(event);
        times.append(clock.elapsed());
    }
};

CareReport runCare(BrowserId browser, test::FixtureHome& home, SelectionProvider selection,
                   Recording& recording) {
    CareRun run(browser, home.files());
    run.setSelection(std::move(selection));
    run.setRecorder([&](BrowserId) {
        recording.add("recorded");
        return true;
    });
    CareCallbacks callbacks;
    const QString library = home.files().userPath("/Users/%@/Library/");
    callbacks.started = [&] { recording.add("started"); };
    callbacks.removed = [&, library](const QString& p) {
        recording.add(QString(p).remove(library));
    };
    callbacks.cookiesDeleted = [&](int n) { recording.add(QStringLiteral("cookies %1").arg(n)); };
    callbacks.progress = [&](quint64 files, quint64 bytes) {
        std::lock_guard lock(recording.mutex);
        recording.progress.append({files, bytes});
    };
    run.setCallbacks(callbacks);
    recording.clock.start();
    return run.run();
}

class CareRunTest : public testing::Test {
  protected:
    test::ScopedTimeScale scale{0.02};
};

TEST_F(CareRunTest, EachModuleRemovesInItsOwnOrderWithSafarisCookiesAndPause) {
    struct Case {
        BrowserId browser;
        QStringList order;  // paths under Library; a trailing '/' makes a folder
    };
    const QString chrome = "Application Support/Google/Chrome/Default/";
    const QString opera = "Application Support/com.operasoftware.Opera/";
    const QList<Case> cases = {
        {BrowserId::Safari,
         {"Safari/HistoryIndex.sk", "Caches/com.apple.Safari/Webpage Previews/",
          "Safari/History.plist", "Caches/com.apple.Safari/Cache.db", "Safari/Downloads.plist",
          "cookies 3", "Safari/Databases/", "Safari/LocalStorage/", "Safari/TopSites.plist",
          "Safari/WebpageIcons.db", "Safari/LastSession.plist", "Safari/Form Values",
          "Safari/LocationPermissions.plist", "Preferences/com.apple.Safari.LSSharedFileList.plist",
          "Preferences/com.apple.Safari.plist", "Preferences/com.apple.Safari.RSS.plist"}},
        {BrowserId::Firefox,
         {"Caches/Firefox/", kProfile + "cookies.sqlite", kProfile + "downloads.sqlite",
          kProfile + "sessionstore.js", kProfile + "sessionstore.bak",
          kProfile + "content-prefs.sqlite", kProfile + "permissions.sqlite",
          kProfile + "formhistory.sqlite", kProfile + "localstore.rdf",
          kProfile + "mimeTypes.rdf"}},
        {BrowserId::Chrome,
         {chrome + "History", chrome + "Visited Links", "Caches/Google/Chrome/Default/Cache/",
          "Caches/Google/Chrome/Default/Media Cache/", chrome + "Cookies", chrome + "Favicons",
          chrome + "Last Session", chrome + "Last Tabs", chrome + "Current Session",
          chrome + "Current Tabs", chrome + "Top Sites", chrome + "Preferences",
          chrome + "Shortcuts", chrome + "Web Data"}},
        {BrowserId::Opera,
         {opera + "History", opera + "Visited Links", "Caches/com.operasoftware.Opera/",
          opera + "Cookies", opera + "session.db", opera + "Thumbnails", opera + "thumbnails.db",
          opera + "Login Data", opera + "Origin Bound Certs",
          opera + "Certificate Revocation Lists", opera + "Preferences", opera + "Web Data"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(browserInfo(c.browser).displayName.toStdString());
        test::FixtureHome home;
        home.writeFile(kCookies, cookiesFile(3));
        QStringList expected = {"started", "recorded"};
        for (const QString& entry : c.order) {
            if (entry.startsWith("cookies")) {
                expected.append(entry);
                continue;
            }
            const bool folder = entry.endsWith(u'/');
            home.writeFile("/Users/%@/Library/" + entry + (folder ? "inside/file" : ""), 4);
            expected.append(folder ? entry.chopped(1) : entry);
        }
        Recording recording;
        const CareReport report = runCare(
            c.browser, home, [](const QString&) { return 1; }, recording);
        EXPECT_EQ(recording.events, expected);
        EXPECT_TRUE(report.complete());
        EXPECT_TRUE(report.recorded);
        EXPECT_EQ(report.removed.size(), c.order.size() - (c.browser == BrowserId::Safari));
        // Every path held one file of 4 bytes; every item had something to take.
        const quint64 files = c.order.size() - (c.browser == BrowserId::Safari);
        EXPECT_EQ(report.filesRemoved, files);
        EXPECT_EQ(report.bytesFreed, 4 * files);
        EXPECT_EQ(report.itemsRemoved, catalogue(c.browser).careOrder);
        // One report per path, never going back, ending at the totals.
        ASSERT_EQ(recording.progress.size(), files);
        for (qsizetype i = 1; i < recording.progress.size(); ++i) {
            EXPECT_LE(recording.progress[i - 1].first, recording.progress[i].first);
            EXPECT_LE(recording.progress[i - 1].second, recording.progress[i].second);
        }
        EXPECT_EQ(recording.progress.last(), std::make_pair(files, 4 * files));
        if (c.browser == BrowserId::Safari) {
            EXPECT_EQ(report.cookiesDeleted, 3);
            EXPECT_TRUE(CookieStorage(home.files()).cookies().isEmpty());
            // Opening pause 1 s, then 2 s before the preference files (scaled by 0.02).
            const qsizetype firstPreference = recording.events.indexOf(c.order[13]);
            EXPECT_GE(recording.times[0], 18);
            EXPECT_GE(recording.times[firstPreference] - recording.times[firstPreference - 1], 38);
        }
    }
}

TEST_F(CareRunTest, LinksGoButTheirTargetsStay) {
    test::FixtureHome home;
    QTemporaryDir outside;
    QDir().mkpath(outside.path() + "/data");
    home.writeFile("/Users/%@/Library/Caches/Google/Chrome/Default/Cache/f", 2);
    home.makeLink("/Users/%@/Library/Caches/Google/Chrome/Default/Cache/escape",
                  outside.path() + "/data");
    home.makeLink("/Users/%@/Library/Caches/com.operasoftware.Opera", outside.path() + "/data");
    QFile precious(outside.path() + "/data/precious");
    ASSERT_TRUE(precious.open(QIODevice::WriteOnly));
    precious.close();

    Recording chrome;
    const CareReport chromeReport = runCare(
        BrowserId::Chrome, home, [](const QString& i) { return int(i == "cacheC"); }, chrome);
    Recording opera;
    const CareReport operaReport = runCare(
        BrowserId::Opera, home, [](const QString& i) { return int(i == "cacheO"); }, opera);
    EXPECT_TRUE(QFileInfo::exists(outside.path() + "/data/precious"));
    EXPECT_FALSE(
        QFileInfo(home.local("/Users/%@/Library/Caches/com.operasoftware.Opera")).isSymLink());
    EXPECT_TRUE(chromeReport.complete());
    EXPECT_TRUE(operaReport.complete());
    EXPECT_EQ(operaReport.removed.size(), 1);
    // A link counts as one file of its own size, never its target's.
    const quint64 linkBytes = QFile::encodeName(outside.path() + "/data").size();
    EXPECT_EQ(chromeReport.filesRemoved, 2u);
    EXPECT_EQ(chromeReport.bytesFreed, 2 + linkBytes);
    EXPECT_EQ(operaReport.filesRemoved, 1u);
    EXPECT_EQ(operaReport.bytesFreed, linkBytes);
    // "Media Cache" was never there: missing, not failed.
    EXPECT_EQ(chromeReport.missing.size(), 1);
}

TEST_F(CareRunTest, CookieStoreIsEmptiedEvenWithoutItsStorageFolders) {
    test::FixtureHome home;
    home.writeFile(kCookies, cookiesFile(2));
    Recording recording;
    const CareReport report = runCare(
        BrowserId::Safari, home, [](const QString& i) { return int(i == "coockiesS"); }, recording);
    EXPECT_EQ(report.cookiesDeleted, 2);
    EXPECT_TRUE(report.complete());
    EXPECT_EQ(report.missing.size(), 2);
    EXPECT_TRUE(CookieStorage(home.files()).cookies().isEmpty());
}

}  // namespace
}  // namespace qz
