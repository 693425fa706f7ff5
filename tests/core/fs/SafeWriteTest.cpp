// Our own files written safely: never through a link to anything but a regular file of this
// user, never waiting on a pipe, and on a full disk the old file stays whole.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <functional>

#include "core/fs/OwnFile.h"
#include "core/settings/UserDefaults.h"
#include "support/SmallDisk.h"
#include "support/WithoutPrivileges.h"

namespace qz {
namespace {

const QString kNoSpace = QString::fromLocal8Bit(std::strerror(ENOSPC));

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// The file type at the path itself (a link stays a link).
mode_t kindAt(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

// Temporary files the writer left beside `name`.
QStringList leftovers(const QString& folder, const QString& name) {
    return QDir(folder).entryList({"." + name + ".*"}, QDir::AllEntries | QDir::Hidden);
}

// What sits at the file's path before the write, and what must be true after it.
struct Setting {
    const char* name;
    std::function<void(const QString& path, const QString& elsewhere)> make;
    bool written;  // the write goes through (for a link: into its target)
    mode_t kindAfter;
    bool needsRoot = false;
};

const QList<Setting>& settings() {
    static const QList<Setting> rows = {
        {"nothing yet", [](const QString&, const QString&) {}, true, S_IFREG},
        {"a regular file", [](const QString& p, const QString&) { put(p, "old"); }, true, S_IFREG},
        {"a link to a regular file of ours",
         [](const QString& p, const QString& elsewhere) {
             put(elsewhere + "/real", "old");
             QFile::link(elsewhere + "/real", p);
         },
         true, S_IFLNK},
        {"a link to /dev/null",
         [](const QString& p, const QString&) { QFile::link("/dev/null", p); }, false, S_IFLNK},
        {"a link to nothing",
         [](const QString& p, const QString& elsewhere) { QFile::link(elsewhere + "/none", p); },
         false, S_IFLNK},
        {"a link to a folder",
         [](const QString& p, const QString& elsewhere) { QFile::link(elsewhere, p); }, false,
         S_IFLNK},
        {"a FIFO", [](const QString& p, const QString&) { ::mkfifo(QFile::encodeName(p), 0600); },
         false, S_IFIFO},
        {"a folder", [](const QString& p, const QString&) { QDir().mkpath(p); }, false, S_IFDIR},
        {"a link to another user's file",
         [](const QString& p, const QString& elsewhere) {
             put(elsewhere + "/theirs", "old");
             (void)!::chown(QFile::encodeName(elsewhere + "/theirs"), test::kUnprivilegedId,
                            test::kUnprivilegedId);
             QFile::link(elsewhere + "/theirs", p);
         },
         false, S_IFLNK, true},
    };
    return rows;
}

TEST(OwnFileTest, WritesThroughALinkOnlyToARegularFileOfOursAndNeverWaits) {
    for (const Setting& row : settings()) {
        SCOPED_TRACE(row.name);
        if (row.needsRoot && ::geteuid() != 0) {
            continue;  // the file cannot be given to another user
        }
        QTemporaryDir folder;
        QTemporaryDir elsewhere;
        const QString path = folder.filePath("file");
        row.make(path, elsewhere.path());
        QString error;
        EXPECT_EQ(OwnFile::write(path, "new", &error), row.written) << error.toStdString();
        EXPECT_EQ(kindAt(path), row.kindAfter);
        EXPECT_EQ(kindAt("/dev/null"), S_IFCHR);
        const OwnFile::ReadResult read = OwnFile::read(path, 1024);
        if (row.written) {
            EXPECT_EQ(read.status, OwnFile::ReadStatus::Read);
            EXPECT_EQ(read.data, "new");
        } else {
            EXPECT_FALSE(error.isEmpty());
            EXPECT_EQ(read.status, OwnFile::ReadStatus::Refused) << read.error.toStdString();
        }
        EXPECT_EQ(leftovers(folder.path(), "file"), QStringList());
        EXPECT_EQ(leftovers(elsewhere.path(), "real"), QStringList());
    }
}

TEST(OwnFileTest, KeepsTheModeOfTheFileItReplacesAndMakesNewOnesPrivate) {
    QTemporaryDir folder;
    const QString path = folder.filePath("file");
    const auto mode = [&path] {
        struct stat info {};
        return ::stat(QFile::encodeName(path), &info) == 0 ? info.st_mode & 07777 : 0u;
    };
    ASSERT_TRUE(OwnFile::write(path, "one"));
    EXPECT_EQ(mode(), 0600u);
    ::chmod(QFile::encodeName(path), 0640);
    ASSERT_TRUE(OwnFile::write(path, "two"));
    EXPECT_EQ(mode(), 0640u);
    EXPECT_EQ(OwnFile::read(path, 2).status, OwnFile::ReadStatus::Refused);  // over the cap
}

TEST(OwnFileTest, OnAFullDiskTheOldFileStaysWhole) {
    test::SmallDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why().toStdString();
    }
    const QString path = disk.path() + "/file";
    ASSERT_TRUE(OwnFile::write(path, "the old contents"));
    ASSERT_TRUE(disk.fill());
    QString error;
    EXPECT_FALSE(OwnFile::write(path, QByteArray(8192, 'x'), &error));
    EXPECT_TRUE(error.contains(kNoSpace)) << error.toStdString();
    EXPECT_EQ(contents(path), "the old contents");
    EXPECT_EQ(leftovers(disk.path(), "file"), QStringList());
    disk.free();
    EXPECT_TRUE(OwnFile::write(path, QByteArray(8192, 'x'), &error)) << error.toStdString();
}

TEST(UserDefaultsTest, ASettingsFileOfAnyKindNeverHangsNorReplacesALinksTarget) {
    for (const Setting& row : settings()) {
        SCOPED_TRACE(row.name);
        if (row.needsRoot && ::geteuid() != 0) {
            continue;
        }
        QTemporaryDir folder;
        QTemporaryDir elsewhere;
        const QString path = folder.filePath("quenzel.conf");
        row.make(path, elsewhere.path());
        UserDefaults defaults(path);
        defaults.registerDefaults({{"SetPesoAlert", 300}});
        EXPECT_EQ(defaults.unsignedLongLongForKey("SetPesoAlert"), 300u);  // stored or not
        defaults.setObject(2, "SetPesoAlert");
        EXPECT_EQ(defaults.synchronize(), row.written) << defaults.lastError().toStdString();
        EXPECT_EQ(defaults.lastError().isEmpty(), row.written);
        EXPECT_EQ(defaults.unsignedLongLongForKey("SetPesoAlert"), 2u);  // kept in memory
        EXPECT_EQ(kindAt(path), row.kindAfter);
        EXPECT_EQ(kindAt("/dev/null"), S_IFCHR);
        if (row.written) {
            EXPECT_EQ(UserDefaults(path).unsignedLongLongForKey("SetPesoAlert"), 2u);
        }
    }
}

TEST(UserDefaultsTest, TheFileKeepsTheTextQSettingsWrites) {
    QTemporaryDir folder;
    const QVariantMap values{
        {"welcome", false},
        {"ExportDirectory", QByteArray("\x01\n\"", 3)},
        {"SetPesoAlert", QVariant::fromValue<quint64>(18000000000000000000ull)},
        {"Group/name", QStringLiteral("a, b; \"c\" é")}};
    UserDefaults defaults(folder.filePath("ours.conf"));
    {
        QSettings direct(folder.filePath("direct.conf"), QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it) {
            defaults.setObject(it.value(), it.key());
            direct.setValue(it.key(), it.value());
        }
    }
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(contents(folder.filePath("ours.conf")), contents(folder.filePath("direct.conf")));
    // The same values stored again (as some are at each start) write nothing; a new one does.
    const auto fileId = [&] {
        struct stat info {};
        ::stat(QFile::encodeName(folder.filePath("ours.conf")).constData(), &info);
        return info.st_ino;
    };
    const auto written = fileId();
    for (auto it = values.begin(); it != values.end(); ++it) {
        defaults.setObject(it.value(), it.key());
    }
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(fileId(), written);
    const struct {
        QString key;
        QVariant value;
        QStringList read;  // as the file gives it back
    } changes[] = {{"welcome", true, {"true"}},
                   {"list", QStringList{"a", "b"}, {"a", "b"}},
                   {"list", QStringList{"a", "b", "c"}, {"a", "b", "c"}}};
    for (const auto& change : changes) {
        SCOPED_TRACE(change.key.toStdString());
        const auto before = fileId();
        defaults.setObject(change.value, change.key);
        ASSERT_TRUE(defaults.synchronize());
        EXPECT_NE(fileId(), before);
        EXPECT_EQ(
            UserDefaults(folder.filePath("ours.conf")).objectForKey(change.key).toStringList(),
            change.read);
    }
    defaults.removeObjectForKey("Group");
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_FALSE(UserDefaults(folder.filePath("ours.conf")).hasStoredValue("Group/name"));
}

TEST(UserDefaultsTest, OnAFullDiskTheSettingsFileStaysWholeAndTheFailureIsSaid) {
    test::SmallDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why().toStdString();
    }
    const QString path = disk.path() + "/quenzel.conf";
    UserDefaults defaults(path);
    defaults.setObject(1, "SetPesoAlert");
    ASSERT_TRUE(defaults.synchronize());
    const QByteArray before = contents(path);
    ASSERT_TRUE(disk.fill());
    defaults.setObject(QByteArray(8192, 'x'), "ExportDirectory");
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_TRUE(defaults.lastError().contains(kNoSpace)) << defaults.lastError().toStdString();
    EXPECT_EQ(contents(path), before);
    disk.free();
    EXPECT_TRUE(defaults.synchronize());  // the change was kept for the next try
    EXPECT_EQ(UserDefaults(path).dataForKey("ExportDirectory"), QByteArray(8192, 'x'));
}

}  // namespace
}  // namespace qz
