// The file and folder rules and the root mapping, on real folders under a temporary root.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "fixtures/FixtureHome.h"
#include "support/WithoutPrivileges.h"

namespace qz {
namespace {

using test::FixtureHome;

const QString kCache = QStringLiteral("/Users/%@/Library/Caches/Test");

TEST(FileManagerTest, FileAndFolderRulesCountLinksButNeverFollowThem) {
    FixtureHome home;
    const QString real = home.local("/Users/%@/Library/real");
    home.writeFile(QStringLiteral("/Users/%@/Library/real/file"), 1000);
    home.writeFile(kCache + QStringLiteral("/a"), 100);
    home.writeFile(kCache + QStringLiteral("/.hidden"), 7);
    home.writeFile(kCache + QStringLiteral("/sub/deeper/b"), 30);
    home.writeFile(kCache + QStringLiteral("/Package.app/Contents/c"), 5);
    home.makeFolder(kCache + QStringLiteral("/empty"));
    home.makeLink(kCache + QStringLiteral("/sub/to-folder"), real);
    home.makeLink(kCache + QStringLiteral("/file-link"), real + QStringLiteral("/file"));
    home.makeLink(QStringLiteral("/Users/%@/Library/link-item"), real);
    home.makeFolder(QStringLiteral("/Users/%@/Library/empty"));
    home.writeFile(QStringLiteral("/Users/%@/Library/folder-as-file/inside"), 400);
    FileManager& files = home.files();
    const auto path = [&](const QString& rest) { return files.userPath(rest); };
    const quint64 linkSize = static_cast<quint64>(real.size());  // the target's text
    const quint64 folderEntry =
        static_cast<quint64>(home.folderEntrySize("/Users/%@/Library/empty"));
    const quint64 cacheEntry = static_cast<quint64>(home.folderEntrySize(kCache));

    const struct {
        const char* name;
        QString path;
        quint64 fileRule;
        quint64 folderRule;
    } cases[] = {
        {"hidden, nested, empty, package and linked entries", path(kCache), cacheEntry,
         100 + 7 + 30 + 5 + linkSize + (linkSize + 5) + cacheEntry},
        {"missing path", path("/Users/%@/Library/nothing"), 0, 0},
        {"item that is a link to a folder", path("/Users/%@/Library/link-item"), linkSize,
         linkSize},
        {"empty folder adds its own entry", path("/Users/%@/Library/empty"), folderEntry,
         folderEntry},
        {"file rule on a folder", path("/Users/%@/Library/folder-as-file"), folderEntry,
         folderEntry + 400},
        {"path through a linked folder", path("/Users/%@/Library/link-item/file"), 0, 0},
        {"path that climbs out", path("/Users/%@/Library/../../../etc/passwd"), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(files.fileSize(c.path), c.fileRule);
        EXPECT_EQ(files.walkFolderSize(c.path), c.folderRule);
    }
    EXPECT_TRUE(files.fileExistsAtPath(path("/Users/%@/Library/link-item")));
    EXPECT_FALSE(files.isDirectory(path("/Users/%@/Library/link-item")));
}

TEST(FileManagerTest, UnreadableEntriesAreSkippedAndTheWalkGoesOn) {
    FixtureHome home;
    ::chmod(QFile::encodeName(home.root()).constData(), 0755);
    home.writeFile(kCache + QStringLiteral("/readable"), 10);
    home.writeFile(kCache + QStringLiteral("/locked/secret"), 5000);
    home.writeFile(kCache + QStringLiteral("/open/z"), 20);
    ::chmod(QFile::encodeName(home.local(kCache + QStringLiteral("/locked"))).constData(), 0);
    const QString cache = home.files().userPath(kCache);
    const quint64 expected = 10 + 20 + static_cast<quint64>(home.folderEntrySize(kCache));
    EXPECT_EQ(test::runWithoutPrivileges([&] { return home.files().walkFolderSize(cache); }),
              expected);
}

TEST(FileManagerTest, WideAndDeepTreesAddUpOnEveryThreadCount) {
    FixtureHome home;
    quint64 expected = 0;
    for (int f = 0; f < 3000; ++f) {  // 20 deep folders of 150 files, and 1200 flat files
        const qint64 size = f % 20 * 7 + f % 13;
        home.writeFile(QStringLiteral("/Users/%@/Library/C/d%1/e/f%2").arg(f % 20).arg(f), size);
        expected += static_cast<quint64>(size) + (f < 1200 ? 3 : 0);
        if (f < 1200) {
            home.writeFile(QStringLiteral("/Users/%@/Library/C/flat%1").arg(f), 3);
        }
    }
    expected += static_cast<quint64>(home.folderEntrySize("/Users/%@/Library/C"));
    for (int round = 0; round < 5; ++round) {
        EXPECT_EQ(home.files().walkFolderSize(home.files().userPath("/Users/%@/Library/C")),
                  expected);
    }
}

TEST(FileManagerTest, RootMappingAndUserPaths) {
    FixtureHome home(QStringLiteral("bruno"));
    FileManager& files = home.files();
    EXPECT_EQ(files.userPath("/Users/%@/Library/Safari/History.plist"),
              QStringLiteral("/Users/bruno/Library/Safari/History.plist"));
    const QString local = home.root() + QStringLiteral("/Users/bruno/Library");
    EXPECT_EQ(files.localPath(QStringLiteral("/Users/bruno/Library")), local);
    EXPECT_EQ(files.platformPath(local), QStringLiteral("/Users/bruno/Library"));
    EXPECT_TRUE(files.platformPath(QStringLiteral("/etc/passwd")).isEmpty());

    FileManager other;
    QString error;
    EXPECT_FALSE(other.setRoot(home.root() + QStringLiteral("/no-such-folder"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(other.root(), QStringLiteral("/"));
}

}  // namespace
}  // namespace qz
