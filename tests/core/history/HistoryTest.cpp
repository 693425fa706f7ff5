// The care history: one entry per care from any thread, written at once, read back by other
// property-list readers, cleared, unreadable files kept aside.
#include <gtest/gtest.h>
#include <plist/plist.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <functional>
#include <thread>

#include "core/care/CareRun.h"
#include "core/history/CareHistory.h"
#include "core/settings/Log.h"
#include "core/settings/TimeScale.h"
#include "fixtures/FixtureHome.h"
#include "support/SmallDisk.h"

namespace qz {
namespace {

class HistoryTest : public testing::Test {
  protected:
    QTemporaryDir dir_;
    const QString path_ = dir_.path() + "/DIZEROV/History.plist";
};

// The names stored in a history file, read with libplist itself.
QStringList namesReadByLibplist(const QString& path) {
    QFile file(path);
    const QByteArray xml = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    plist_t root = nullptr;
    plist_from_xml(xml.constData(), static_cast<uint32_t>(xml.size()), &root);
    if (!root || plist_get_node_type(root) != PLIST_ARRAY) {
        return {"<no array>"};
    }
    QStringList names;
    for (uint32_t i = 0; i < plist_array_get_size(root); ++i) {
        char* text = nullptr;
        plist_get_string_val(plist_dict_get_item(plist_array_get_item(root, i), "ItemNameBrowser"),
                             &text);
        names.append(QString::fromUtf8(text ? text : "<missing>"));
        free(text);
    }
    plist_free(root);
    return names;
}

TEST_F(HistoryTest, EachCareIsWrittenAtOnceAndOtherReadersAgree) {
    CareHistory store(path_);
    store.load();
    store.record(BrowserId::Firefox);
    HistoryEntry chrome;
    store.record(BrowserId::Chrome, nullptr, &chrome);
    EXPECT_EQ(namesReadByLibplist(path_), (QStringList{"Firefox", "Google Chrome"}));
    // The care's end adds what went to its own entry only; a care that freed nothing says so.
    HistoryEntry opera;
    store.record(BrowserId::Opera, nullptr, &opera);
    ASSERT_TRUE(store.complete(chrome, {"historyC", "cacheC"}, 5'000'000'000));
    ASSERT_TRUE(store.complete(opera, {}, 0));

    QProcess python;
    python.start("python3",
                 {"-c",
                  "import plistlib,sys\n"
                  "d=plistlib.load(open(sys.argv[1],'rb'))\n"
                  "print(','.join(e['ItemNameBrowser']+'|'+str(sorted(e))+'|'+"
                  "str(e.get('ItemsCare'))+'|'+str(e.get('ItemBytesFreed')) for e in d))",
                  path_});
    ASSERT_TRUE(python.waitForFinished(20000));
    EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()).trimmed(),
              "Firefox|['ItemNameBrowser', 'ItemTimeCare', 'ItemdateCare']|None|None,"
              "Google Chrome|['ItemBytesFreed', 'ItemNameBrowser', 'ItemTimeCare', 'ItemdateCare', "
              "'ItemsCare']|['historyC', 'cacheC']|5000000000,"
              "Opera|['ItemBytesFreed', 'ItemNameBrowser', 'ItemTimeCare', 'ItemdateCare']|None|0");
    // Read back as written, by this program and by a fresh load.
    CareHistory reread(path_);
    reread.load();
    EXPECT_EQ(reread.list().entries(), store.list().entries());
    const QList<HistoryEntry> entries = reread.list().entries();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].items, QStringList{});
    EXPECT_EQ(entries[0].bytesFreed, std::nullopt);
    EXPECT_EQ(entries[1].items, (QStringList{"historyC", "cacheC"}));
    EXPECT_EQ(entries[1].bytesFreed, std::optional<quint64>(5'000'000'000));
    EXPECT_EQ(entries[2].bytesFreed, std::optional<quint64>(0));
}

TEST_F(HistoryTest, UnreadableFilesAreSetAsideNumberedAndLogged) {
    const struct {
        const char* name;
        QByteArray content;
        QString aside;
    } cases[] = {
        {"not a property list", "garbage", path_ + ".unreadable"},
        {"a dictionary at the root", "<plist><dict/></plist>", path_ + ".unreadable.1"},
        {"an entry without a date",
         "<plist><array><dict><key>ItemNameBrowser</key><string>Opera</string></dict></array>"
         "</plist>",
         path_ + ".unreadable.2"},
    };
    QDir().mkpath(QFileInfo(path_).absolutePath());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile file(path_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.content) == c.content.size());
        file.close();
        QStringList lines;
        Log::Sink previous = Log::setSink([&](const QString& line) { lines.append(line); });
        CareHistory store(path_);
        store.load();
        Log::setSink(previous);
        ASSERT_EQ(lines.size(), 1);
        EXPECT_TRUE(lines[0].contains(c.aside));
        QFile kept(c.aside);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), c.content);
        store.record(BrowserId::Opera);
        EXPECT_EQ(namesReadByLibplist(path_), QStringList{"Opera"});
        QFile::remove(path_);
    }
}

TEST_F(HistoryTest, OnAFullDiskTheEarlierHistoryStaysAndTheCareIsNotRecorded) {
    test::SmallDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why().toStdString();
    }
    const QString path = disk.path() + "/DIZEROV/History.plist";
    QByteArray before;
    {
        CareHistory store(path);
        store.load();
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(store.record(BrowserId::Firefox));
        }
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        before = file.readAll();
        ASSERT_TRUE(disk.fill());
        QString error;
        EXPECT_FALSE(store.record(BrowserId::Opera, &error));
        EXPECT_TRUE(error.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
            << error.toStdString();
        QFile after(path);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        EXPECT_EQ(after.readAll(), before);
        disk.free();
        EXPECT_TRUE(store.save());  // the unrecorded care was kept for this
    }
    CareHistory reopened(path);
    reopened.load();
    EXPECT_TRUE(reopened.unreadableMovedTo().isEmpty());
    EXPECT_EQ(namesReadByLibplist(path), (QStringList{"Firefox", "Firefox", "Firefox", "Opera"}));
}

TEST_F(HistoryTest, ALinkIsFollowedOnlyToARegularFileOfOurs) {
    QTemporaryDir elsewhere;
    const QString real = elsewhere.filePath("History.plist");
    QDir().mkpath(QFileInfo(path_).absolutePath());
    {
        CareHistory store(real);
        store.load();
        store.record(BrowserId::Safari);
    }
    const struct {
        const char* name;
        QString target;
        bool followed;
    } cases[] = {
        {"a regular file of ours", real, true},
        {"a device", "/dev/null", false},
        {"a FIFO", elsewhere.filePath("fifo"), false},
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(elsewhere.filePath("fifo")), 0600), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path_);
        ASSERT_TRUE(QFile::link(c.target, path_));
        CareHistory store(path_);
        store.load();
        store.record(BrowserId::Opera);
        EXPECT_EQ(QFileInfo(path_).isSymLink(), c.followed);
        EXPECT_EQ(store.unreadableMovedTo().isEmpty(), c.followed);
        const QStringList expected =
            c.followed ? QStringList{"Safari", "Opera"} : QStringList{"Opera"};
        EXPECT_EQ(namesReadByLibplist(path_), expected);
    }
    EXPECT_TRUE(QFileInfo("/dev/null").exists() && !QFileInfo("/dev/null").isFile());
    EXPECT_EQ(namesReadByLibplist(real), (QStringList{"Safari", "Opera"}));
}

TEST_F(HistoryTest, CaresFromManyThreadsEachLeaveOneEntry) {
    CareHistory store(path_);
    store.load();
    store.list().setEntries({{"Safari", "earlier"}});
    std::vector<std::thread> workers;
    for (int t = 0; t < 8; ++t) {
        workers.emplace_back([&store] {
            for (int i = 0; i < 25; ++i)
                store.record(BrowserId::Opera);
        });
    }
    std::for_each(workers.begin(), workers.end(), [](std::thread& w) { w.join(); });
    QCoreApplication::processEvents();
    EXPECT_EQ(store.list().entries().size(), 201);
    EXPECT_EQ(store.list().entries().first().dateCare, "earlier");
    EXPECT_EQ(namesReadByLibplist(path_).size(), 201);
}

TEST_F(HistoryTest, TwoModulesCaringAtOnceBothRemoveAndRecord) {
    TimeScale::setFactor(0.02);
    test::FixtureHome home;
    home.writeFile("/Users/%@/Library/Safari/History.plist", 5);
    home.writeFile("/Users/%@/Library/Caches/Google/Chrome/Default/Cache/a/b", 5);
    CareHistory store(path_);
    store.load();
    const auto care = [&](BrowserId browser, QString item) {
        CareRun run(browser, home.files());
        run.setSelection([item](const QString& name) { return int(name == item); });
        run.setRecorder([&](BrowserId b) { return store.record(b); });
        return run.run();
    };
    CareReport safari, chrome;
    std::thread first([&] { safari = care(BrowserId::Safari, "historyS"); });
    std::thread second([&] { chrome = care(BrowserId::Chrome, "cacheC"); });
    first.join();
    second.join();
    TimeScale::setFactor(1.0);
    EXPECT_TRUE(safari.recorded && chrome.recorded);
    EXPECT_EQ(safari.removed.size(), 1);
    EXPECT_EQ(chrome.removed.size(), 1);
    QStringList names = namesReadByLibplist(path_);
    names.sort();
    EXPECT_EQ(names, (QStringList{"Google Chrome", "Safari"}));
}

// Several processes share the file: each list below stands for one, loaded before the others
// write, as a care loads at its start and records a second later.
TEST_F(HistoryTest, ProcessesSharingTheFileKeepEveryEntryAndEveryClear) {
    const HistoryEntry older{"Safari", "old"}, first{"Opera", "1"}, second{"Firefox", "2"};
    const HistoryEntry firstDone{"Opera", "1", 0, {"cacheO"}, 42};
    struct Case {
        const char* name;
        std::function<void(HistoryList& a, HistoryList& b, const QString& path)> steps;
        QList<HistoryEntry> file;
    };
    const QList<Case> cases = {
        {"two cares at once",
         [&](auto& a, auto& b, auto& path) {
             EXPECT_TRUE(a.record(path, first));
             EXPECT_TRUE(b.record(path, second));
         },
         {older, first, second}},
        {"a clear while a care waits to record",
         [&](auto& a, auto& b, auto& path) {
             EXPECT_TRUE(b.removeFile(path));
             EXPECT_TRUE(a.record(path, first));
         },
         {first}},
        {"a care completed after another process recorded keeps its place",
         [&](auto& a, auto& b, auto& path) {
             EXPECT_TRUE(a.record(path, first));
             EXPECT_TRUE(b.record(path, second));
             EXPECT_TRUE(a.replace(path, first, firstDone));
         },
         {older, firstDone, second}},
        {"a care completed after another process cleared stays cleared",
         [&](auto& a, auto& b, auto& path) {
             EXPECT_TRUE(a.record(path, first));
             EXPECT_TRUE(b.removeFile(path));
             EXPECT_TRUE(a.replace(path, first, firstDone));
         },
         {}},
        {"a clear while the window runs, then its end",
         [&](auto& a, auto& b, auto& path) {
             EXPECT_TRUE(b.removeFile(path));
             EXPECT_TRUE(a.save(path));
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path_);
        HistoryList seed;
        ASSERT_TRUE(seed.record(path_, older));
        HistoryList a, b;
        a.load(path_);
        b.load(path_);
        c.steps(a, b, path_);
        EXPECT_EQ(HistoryList::readFile(path_).value_or(QList<HistoryEntry>{{"?", "?"}}), c.file);
    }
}

TEST_F(HistoryTest, ADeletionWhileACareRecordsLeavesFileAndListAlike) {
    CareHistory store(path_);
    store.load();
    for (int round = 0; round < 50; ++round) {
        std::thread care([&store] { store.record(BrowserId::Chrome); });
        store.clear();
        care.join();
        EXPECT_EQ(HistoryList::readFile(path_), std::optional(store.list().entries()));
    }
}

TEST_F(HistoryTest, DatesSortByTimeAcrossMonthsAndYearsOlderEntriesIncluded) {
    const auto entry = [](const char* name, int year, int month, int day, bool timed) {
        const QDateTime when(QDate(year, month, day), QTime(10, 0));
        return HistoryEntry{name, HistoryList::formatCareDate(when),
                            timed ? when.toSecsSinceEpoch() : 0};
    };
    // Entries written by this version carry their time; older files only the date text.
    const QList<HistoryEntry> entries = {
        entry("Firefox", 2026, 12, 10, true), entry("Safari", 2027, 1, 3, true),
        entry("Google Chrome", 2027, 2, 1, false), entry("Opera", 2026, 11, 15, true),
        entry("Chromium", 2026, 10, 1, false)};
    CareHistory store(path_);
    store.list().setEntries(entries);
    store.list().sort({{HistoryList::kDateKey, true}});
    QStringList names;
    for (const HistoryEntry& e : store.list().entries()) {
        names.append(e.browserName);
    }
    EXPECT_EQ(names, (QStringList{"Chromium", "Opera", "Firefox", "Safari", "Google Chrome"}));
    // Written and read back, each entry keeps its time, or has none as before.
    ASSERT_TRUE(store.save());
    EXPECT_EQ(HistoryList::readFile(path_), std::optional(store.list().entries()));
    ASSERT_TRUE(store.record(BrowserId::Opera));
    EXPECT_GT(HistoryList::readFile(path_)->last().timeCare, 0);
}

}  // namespace
}  // namespace qz
