// A care run: refusals, the walk's order and pauses, boxes read as the walk reaches them,
// links never followed, and an honest report.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QtEndian>
#include <mutex>

#include "care/CareRun.h"
#include "fixtures/FixtureHome.h"
#include "platform/CookieStorage.h"
#include "platform/Localization.h"
#include "platform/Log.h"
#include "platform/RunningApplications.h"
#include "platform/TimeScale.h"

namespace qz {
namespace {

const QString kProfile =
    QStringLiteral("Application Support/Firefox/Profiles/x1.default/");  // under Library
const QString kCookies = QStringLiteral("/Users/%@/Library/Cookies/Cookies.binarycookies");

// A cookies file holding `count` cookies, laid out by hand.
QByteArray cookiesFile(int count) {
    const auto little = [](QByteArray& out, quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    QByteArray records;
    QList<quint32> offsets;
    for (int i = 0; i < count; ++i) {
        offsets.append(12 + 4 * count + records.size());
        QByteArray r;
        little(r, 64);
        little(r, 0);
        little(r, 0);
        little(r, 0);
        for (quint32 at : {56u, 58u, 60u, 62u}) {
            little(r, at);
        }
        r.append(QByteArray(24, '\0')).append("d\0n\0/\0v\0", 8);
        r[57] = char('0' + i);  // distinct names so each is its own cookie
        r[56] = 'a';
        records.append(r);
    }
    QByteArray page = QByteArray::fromHex("00000100");
    little(page, count);
    for (quint32 o : offsets) {
        little(page, o);
    }
    page.append(QByteArray(4, '\0')).append(records);
    QByteArray out = QByteArray("cook") + QByteArray::fromHex("00000001");
    char size[4];
    qToBigEndian(quint32(page.size()), size);
    return out.append(size, 4).append(page).append(QByteArray(4, '\0'));
}

struct Recording {
    std::mutex mutex;
    QStringList events;
    QList<qint64> times;
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
    run.setCallbacks(callbacks);
    recording.clock.start();
    return run.run();
}

class CareRunTest : public testing::Test {
  protected:
    void SetUp() override { TimeScale::setFactor(0.02); }
    void TearDown() override {
        TimeScale::setFactor(1.0);
        RunningApplications::setProbe({});
    }
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

TEST_F(CareRunTest, AnOpenBrowserIsReportedBeforeAnEmptySelection) {
    struct Case {
        bool open;
        QList<int> states;
        CarePrecheck expected;
        const char* log;
    };
    const QList<int> none(7, 0);
    QList<int> mixedOnly = none;
    mixedOnly[3] = -1;
    QList<int> one = none;
    one[0] = 1;
    const QList<Case> cases = {
        {true, none, CarePrecheck::BrowserOpen, "Chrome aperto"},
        {true, one, CarePrecheck::BrowserOpen, "Chrome aperto"},
        {false, none, CarePrecheck::NothingSelected, "nessun elemento selezionato chrome"},
        {false, mixedOnly, CarePrecheck::Ready, nullptr},
        {false, one, CarePrecheck::Ready, nullptr},
    };
    for (const Case& c : cases) {
        RunningApplications::setProbe(
            [&](const QString& id) { return c.open && id == "com.google.Chrome"; });
        QStringList lines;
        Log::Sink previous = Log::setSink([&](const QString& line) { lines.append(line); });
        EXPECT_EQ(precheckCare(BrowserId::Chrome, c.states), c.expected);
        Log::setSink(previous);
        EXPECT_EQ(lines, c.log ? QStringList{c.log} : QStringList{});
    }
}

TEST_F(CareRunTest, BoxesAreReadWhenTheWalkReachesThemAndMixedOnesStay) {
    test::FixtureHome home;
    const QStringList files = {"Safari/History.plist", "Caches/com.apple.Safari/Cache.db",
                               "Safari/Downloads.plist", "Safari/TopSites.plist",
                               "Safari/LastSession.plist"};
    for (const QString& file : files) {
        home.writeFile("/Users/%@/Library/" + file, 1);
    }
    CareSelection boxes(BrowserId::Safari);
    boxes.setState("historyS", 1);
    boxes.setState("cacheS", -1);
    boxes.setState("downloadlistS", 1);
    QStringList asked;
    // The user switches presets while the run is at the download list.
    const SelectionProvider provider = [&](const QString& item) {
        asked.append(item);
        if (item == "downloadlistS") {
            boxes.setState("downloadlistS", 0);
            boxes.setState("topsitesS", 1);
        }
        return boxes.state(item);
    };
    Recording recording;
    const CareReport report = runCare(BrowserId::Safari, home, provider, recording);
    EXPECT_EQ(asked.first(), "historyS");
    EXPECT_EQ(asked.size(), 10);
    EXPECT_FALSE(QFileInfo::exists(home.local("/Users/%@/Library/Safari/History.plist")));
    EXPECT_FALSE(QFileInfo::exists(home.local("/Users/%@/Library/Safari/TopSites.plist")));
    EXPECT_TRUE(
        QFileInfo::exists(home.local("/Users/%@/Library/Caches/com.apple.Safari/Cache.db")));
    EXPECT_TRUE(QFileInfo::exists(home.local("/Users/%@/Library/Safari/Downloads.plist")));
    EXPECT_TRUE(QFileInfo::exists(home.local("/Users/%@/Library/Safari/LastSession.plist")));
    EXPECT_FALSE(nothingSelected({0, -1, 0}));
    EXPECT_TRUE(report.complete());
}

TEST_F(CareRunTest, LinksGoButTheirTargetsStayAndWhatStaysIsReported) {
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
    // "Media Cache" was never there: missing, not failed.
    EXPECT_EQ(chromeReport.missing.size(), 1);

    // A Library folder that is a link: its files are out of reach and reported, not followed.
    test::FixtureHome linked;
    QDir().mkpath(outside.path() + "/safari");
    QFile history(outside.path() + "/safari/History.plist");
    ASSERT_TRUE(history.open(QIODevice::WriteOnly));
    history.close();
    linked.makeLink("/Users/%@/Library/Safari", outside.path() + "/safari");
    QStringList lines;
    Log::Sink previous = Log::setSink([&](const QString& line) { lines.append(line); });
    Recording safari;
    const CareReport report = runCare(
        BrowserId::Safari, linked, [](const QString& i) { return int(i == "historyS"); }, safari);
    Log::setSink(previous);
    EXPECT_TRUE(QFileInfo::exists(outside.path() + "/safari/History.plist"));
    // History.plist is out of reach; HistoryIndex.sk is not there at all, so it is missing.
    ASSERT_EQ(report.failed.size(), 1);
    EXPECT_EQ(report.failed[0].path,
              linked.files().userPath("/Users/%@/Library/Safari/History.plist"));
    EXPECT_EQ(report.missing.size(), 2);
    EXPECT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(report.failed[0].path));
    const Localization english = Localization::forLanguage("en");
    EXPECT_EQ(completionNotification(report, english).informativeText,
              english.text("SafariIncomplete"));
    EXPECT_EQ(completionNotification(chromeReport, english).informativeText,
              english.text("ChromeCompleted"));
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
