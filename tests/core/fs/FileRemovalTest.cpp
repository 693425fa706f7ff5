// Removing items never follows a link, never leaves the item's path and reports what stayed.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>

#include "core/fs/FileRemoval.h"
#include "fixtures/FixtureHome.h"
#include "services/SizeMonitor.h"
#include "support/WithoutPrivileges.h"

namespace qz {
namespace {

using Outcome = RemovalResult::Outcome;

bool onDisk(const QString& path) {
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

TEST(FileRemovalTest, RemovesItemsButNeverWhatLinksPointAt) {
    struct Case {
        const char* name;
        std::function<void(test::FixtureHome&, const QString& outside)> build;
        QString item;
        Outcome outcome;
        quint64 files = 0;  // counted as removed
        quint64 bytes = 0;  // of files; a link's own size (its target's path) counted apart
        quint64 links = 0;
    };
    const QString cache = QStringLiteral("/Users/%@/Library/Caches/Firefox");
    const QList<Case> cases = {
        {"a file", [&](auto& home, auto&) { home.writeFile(cache + "/a", 10); }, cache + "/a",
         Outcome::Removed, 1, 10},
        {"a missing file is not a failure", [](auto&, auto&) {}, cache + "/none", Outcome::Missing},
        {"a nested folder",
         [&](auto& home, auto&) {
             home.writeFile(cache + "/d1/d2/d3/f", 5);
             home.writeFile(cache + "/d1/.hidden", 5);
             home.makeFolder(cache + "/d1/empty");
         },
         cache, Outcome::Removed, 2, 10},
        {"a link inside a folder",
         [&](auto& home, const QString& outside) {
             home.writeFile(cache + "/kept", 7);
             home.makeLink(cache + "/escape", outside);
         },
         cache, Outcome::Removed, 2, 7, 1},
        {"the item is a link with a trailing slash",
         [&](auto& home, const QString& outside) { home.makeLink(cache, outside); }, cache + "/",
         Outcome::Removed, 1, 0, 1},
        {"a folder on the way is a link to what exists",
         [](auto& home, const QString& outside) {
             home.makeLink("/Users/%@/Library/Caches", outside);
         },
         "/Users/%@/Library/Caches/inner", Outcome::Failed},
        {"a folder on the way is a link to nothing there",
         [](auto& home, const QString& outside) {
             home.makeLink("/Users/%@/Library/Caches", outside);
         },
         "/Users/%@/Library/Caches/none", Outcome::Missing},
        {"a dot-dot component", [](auto&, auto&) {}, "/Users/%@/../%@/Library", Outcome::Failed},
        {"a name that is not valid text is reported, not taken for missing",
         [&](auto& home, auto&) {
             home.makeFolder(cache);
             const QByteArray name = QFile::encodeName(home.local(cache)) + "/\xff.default";
             ASSERT_EQ(::mkdir(name.constData(), 0700), 0);
         },
         cache + "/" + QFile::decodeName("\xff.default"), Outcome::Failed},
    };
    // A link inside a folder and an item that is itself a link: see the care run's link test.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FixtureHome home;
        QTemporaryDir outsideDir;
        const QString outside = outsideDir.path() + "/kept";
        QDir().mkpath(outside + "/inner");
        ASSERT_TRUE(QFile(outside + "/inner/precious").open(QIODevice::WriteOnly));
        c.build(home, outside);
        const QString item = home.files().userPath(c.item);
        RemovalCounter counter;
        const RemovalResult result = home.files().removeItem(item, &counter);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_TRUE(QFileInfo::exists(outside + "/inner/precious"));
        EXPECT_EQ(counter.files.load(), c.files);
        EXPECT_EQ(counter.bytes.load(), c.bytes + c.links * QFile::encodeName(outside).size());
        if (c.outcome == Outcome::Removed) {
            EXPECT_FALSE(onDisk(home.local(c.item)));
            EXPECT_TRUE(result.failures.isEmpty());
        }
        if (c.outcome == Outcome::Failed) {
            ASSERT_EQ(result.failures.size(), 1);
            EXPECT_FALSE(result.failures[0].reason.isEmpty());
        }
        // Nothing next to the item is touched.
        EXPECT_TRUE(QFileInfo(home.local("/Users/%@/Library")).isDir());
    }
}

TEST(FileRemovalTest, WhatCannotBeRemovedIsNamedAndTheRestStillGoes) {
    test::FixtureHome home;
    const QString cache = QStringLiteral("/Users/%@/Library/Caches/com.operasoftware.Opera");
    home.writeFile(cache + "/locked/kept", 3);
    home.writeFile(cache + "/free/gone", 3);
    home.writeFile(cache + "/top", 3);
    // Under root the removal runs as an ordinary user who owns the cache but may not write
    // into "locked".
    ::chmod(QFile::encodeName(home.root()).constData(), 0755);
    QDirIterator it(home.local(cache), QDir::AllEntries | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    for (QString path = home.local(cache); !path.isEmpty(); path = it.hasNext() ? it.next() : "") {
        ::chown(QFile::encodeName(path).constData(), test::kUnprivilegedId, test::kUnprivilegedId);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(home.local(cache + "/locked")).constData(), 0500), 0);
    const QString expectedFailure = home.files().userPath(cache + "/locked/kept");
    const quint64 checks = test::runWithoutPrivileges([&]() -> quint64 {
        const RemovalResult result = home.files().removeItem(home.files().userPath(cache));
        return (result.outcome == Outcome::Failed ? 1 : 0) | (result.failures.size() == 1 ? 2 : 0) |
               (result.failures.value(0).path == expectedFailure ? 4 : 0);
    });
    ::chmod(QFile::encodeName(home.local(cache + "/locked")).constData(), 0700);
    EXPECT_EQ(checks, 7u) << "1: failed outcome, 2: one failure, 4: the locked file named";
    EXPECT_FALSE(onDisk(home.local(cache + "/free")));
    EXPECT_FALSE(onDisk(home.local(cache + "/top")));
    EXPECT_TRUE(onDisk(home.local(cache + "/locked/kept")));
}

// What the racing remover takes away, and when: after the folder `listedAt` (beneath the item)
// has been listed and before anything in it goes.
struct Race {
    std::string listedAt;
    QString gone;  // local path
};
Race race;

void removeRacing(const std::string& relative) {
    if (relative == race.listedAt && !race.gone.isEmpty()) {
        QFileInfo(race.gone).isDir() ? QDir(race.gone).removeRecursively()
                                     : QFile::remove(race.gone);
        race.gone.clear();
    }
}

// Two cares of one browser at once: what the other one removed first is gone, not a failure.
TEST(FileRemovalTest, WhatVanishesWhileItIsRemovedCountsAsRemoved) {
    const QString cache = QStringLiteral("/Users/%@/Library/Caches/Firefox");
    const struct {
        const char* name;
        std::string listedAt;
        QString gone;  // beneath the item
    } cases[] = {
        {"the item itself", "", ""},
        {"a subfolder not yet entered", "", "/a"},
        {"a subfolder being emptied", "a/", "/a"},
        {"a nested subfolder being emptied", "a/b/", "/a/b"},
        {"a file in a folder being emptied", "a/b/", "/a/b/f"},
    };
    setRemovalListingHook(removeRacing);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::FixtureHome home;
        home.writeFile(cache + "/a/b/f", 5);
        home.writeFile(cache + "/a/g", 5);
        home.writeFile(cache + "/top", 5);
        race = {c.listedAt, home.local(cache + c.gone)};
        const RemovalResult result = home.files().removeItem(home.files().userPath(cache));
        EXPECT_TRUE(race.gone.isEmpty()) << "the race did not happen";
        EXPECT_EQ(result.outcome, Outcome::Removed);
        EXPECT_TRUE(result.failures.isEmpty()) << result.failures.value(0).reason.toStdString();
        EXPECT_FALSE(onDisk(home.local(cache)));
    }
    setRemovalListingHook(nullptr);
}

TEST(FileRemovalTest, WideFoldersEmptyCompletely) {
    test::FixtureHome home;
    const QString cache = QStringLiteral("/Users/%@/Library/Caches/Google/Chrome/Default/Cache");
    home.makeFolder(cache + "/sub");
    // More entries than one directory read returns, with names of every length.
    for (int i = 0; i < 12000; ++i) {
        const QString name = QStringLiteral("/%1%2").arg(QString(i % 40 + 1, u'n')).arg(i);
        ASSERT_TRUE(
            QFile(home.local(cache + (i % 3 ? "" : "/sub") + name)).open(QIODevice::WriteOnly));
    }
    const RemovalResult result = home.files().removeItem(home.files().userPath(cache));
    EXPECT_EQ(result.outcome, Outcome::Removed);
    EXPECT_FALSE(onDisk(home.local(cache)));
    EXPECT_TRUE(QFileInfo(home.local("/Users/%@/Library/Caches/Google/Chrome/Default")).isDir());
}

// Keeps a mount for the length of a test and takes it away on every path out.
class ScopedMount {
  public:
    ScopedMount(const QString& source, const QString& target, bool bind) : target_(target) {
        mounted_ = ::mount(bind ? QFile::encodeName(source).constData() : "none",
                           QFile::encodeName(target).constData(), bind ? nullptr : "tmpfs",
                           bind ? MS_BIND : 0, nullptr) == 0;
    }
    ~ScopedMount() {
        if (mounted_) {
            ::umount2(QFile::encodeName(target_).constData(), MNT_DETACH);
        }
    }
    bool mounted() const { return mounted_; }

  private:
    QString target_;
    bool mounted_ = false;
};

TEST(FileRemovalTest, AMountBelowTheItemIsLeftWholeAndNotMeasured) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "mounting needs root (CI runs as root)";
    }
    struct Case {
        const char* name;
        bool bind;  // a bind mount of a folder on the same disk, else a tmpfs
    };
    for (const Case& c : {Case{"bind mount of the same disk", true}, Case{"tmpfs", false}}) {
        SCOPED_TRACE(c.name);
        QTemporaryDir victimDir;
        test::FixtureHome home;
        const QString cache = QStringLiteral("/Users/%@/Library/Caches/Firefox");
        home.writeFile(cache + "/own", 100);
        home.makeFolder(cache + "/deep/mount");
        const QString victim = victimDir.path() + "/victim";
        QDir().mkpath(victim + "/inner");
        for (const QString& name : {victim + "/a", victim + "/inner/b"}) {
            QFile file(name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(5000, 'v'));
        }
        // Declared last, so it is taken away before either temporary folder is emptied.
        const ScopedMount mount(victim, home.local(cache + "/deep/mount"), c.bind);
        ASSERT_TRUE(mount.mounted()) << std::strerror(errno);
        if (!c.bind) {
            home.writeFile(cache + "/deep/mount/onTmpfs", 7000);
        }
        const quint64 measured = home.files().walkFolderSize(home.files().userPath(cache));
        EXPECT_LT(measured, 5000u) << "the mounted folder's files were counted";
        {
            SizeMonitor index(home.files());  // answers from its inotify index
            EXPECT_EQ(index.folderSize(home.files().userPath(cache)), measured);
        }

        const RemovalResult result = home.files().removeItem(home.files().userPath(cache));
        EXPECT_EQ(result.outcome, Outcome::Failed);
        ASSERT_EQ(result.failures.size(), 1);
        EXPECT_EQ(result.failures[0].path, home.files().userPath(cache + "/deep/mount"));
        EXPECT_TRUE(result.failures[0].reason.contains("mounted"));
        EXPECT_FALSE(onDisk(home.local(cache + "/own")));
        EXPECT_TRUE(QFileInfo::exists(victim + "/a"));
        EXPECT_TRUE(QFileInfo::exists(victim + "/inner/b"));
        if (!c.bind) {
            EXPECT_TRUE(onDisk(home.local(cache + "/deep/mount/onTmpfs")));
        }
    }
}

TEST(FileRemovalTest, TheSizeIndexFollowsAMountComingAndGoing) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "mounting needs root (CI runs as root)";
    }
    test::FixtureHome home;
    const QString cache = QStringLiteral("/Users/%@/Library/Caches/Firefox");
    home.writeFile(cache + "/own", 100);
    home.writeFile(cache + "/deep/mount/hidden", 3000);  // covered while the mount is there
    const QString path = home.files().userPath(cache);
    SizeMonitor index(home.files());
    const auto answersAsAWalk = [&](const char* moment) {
        SCOPED_TRACE(moment);
        const quint64 walked = home.files().walkFolderSize(path);
        EXPECT_EQ(index.folderSize(path), walked);
        return walked;
    };
    const quint64 unmounted = answersAsAWalk("before the mount");
    {
        const QTemporaryDir elsewhere;
        const ScopedMount unrelated(QString(), elsewhere.path(), false);
        ASSERT_TRUE(unrelated.mounted()) << std::strerror(errno);
        answersAsAWalk("a mount elsewhere");
        EXPECT_EQ(index.walks(path), 1) << "a mount outside the folder cost a walk";
    }
    std::optional<ScopedMount> mount;
    mount.emplace(QString(), home.local(cache + "/deep/mount"), false);
    ASSERT_TRUE(mount->mounted()) << std::strerror(errno);
    home.writeFile(cache + "/deep/mount/onTmpfs", 7000);
    EXPECT_EQ(answersAsAWalk("while mounted"), unmounted - 3000);
    mount.reset();
    EXPECT_EQ(answersAsAWalk("after the unmount"), unmounted);
}

}  // namespace
}  // namespace qz
