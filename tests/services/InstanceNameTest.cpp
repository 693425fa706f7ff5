// The folder of the window's socket: only a folder of this user's alone, never one that another
// user or a link put in the way.
#include "services/InstanceName.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "support/ScopedVariable.h"
#include "support/WithoutPrivileges.h"

namespace qz {
namespace {

// What a place holds before the program looks at it.
enum class Place { Absent, Private, OpenToOthers, AnotherUsers, LinkToPrivate };

using test::ScopedVariable;

// Puts `place` at `path`; `target` is a private folder a link can point to.
void make(const QString& path, Place place, const QString& target) {
    const QByteArray local = QFile::encodeName(path);
    switch (place) {
        case Place::Absent:
            return;
        case Place::LinkToPrivate:
            ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), local.constData()), 0);
            return;
        default:
            ASSERT_EQ(::mkdir(local.constData(), 0700), 0);
    }
    if (place == Place::OpenToOthers) {
        ASSERT_EQ(::chmod(local.constData(), 0755), 0);
    } else if (place == Place::AnotherUsers) {
        ASSERT_EQ(::chown(local.constData(), test::kUnprivilegedId, test::kUnprivilegedId), 0);
    }
}

struct stat lstatOf(const QString& path) {
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

TEST(InstanceNameTest, TheSocketGoesOnlyIntoAFolderOfThisUsersAlone) {
    enum Chosen { Runtime, Temporary, Cache };
    const struct {
        const char* name;
        Place runtime;  // $XDG_RUNTIME_DIR; Absent leaves the variable unset
        Place temporary;
        Chosen chosen;
    } cases[] = {
        {"a private runtime folder", Place::Private, Place::Absent, Runtime},
        {"no runtime folder", Place::Absent, Place::Absent, Temporary},
        {"a runtime folder open to others", Place::OpenToOthers, Place::Absent, Temporary},
        {"another user's runtime folder", Place::AnotherUsers, Place::Absent, Temporary},
        {"a runtime folder that is a link", Place::LinkToPrivate, Place::Absent, Temporary},
        {"our own temporary folder from before", Place::Absent, Place::Private, Temporary},
        {"a temporary folder open to others", Place::Absent, Place::OpenToOthers, Cache},
        {"another user's temporary folder", Place::Absent, Place::AnotherUsers, Cache},
        {"a temporary folder that is a link", Place::Absent, Place::LinkToPrivate, Cache},
    };
    const bool root = ::geteuid() == 0;
    int skipped = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!root && (c.runtime == Place::AnotherUsers || c.temporary == Place::AnotherUsers)) {
            ++skipped;
            continue;
        }
        QTemporaryDir base;
        const QString runtime = base.filePath("run");
        const QString temporaryRoot = base.filePath("tmp");
        const QString temporary = temporaryRoot + QStringLiteral("/quenzel-%1").arg(::geteuid());
        const QString cache = base.filePath("cache");
        ASSERT_TRUE(QDir().mkpath(temporaryRoot) && QDir().mkpath(base.filePath("target")));
        ASSERT_EQ(::chmod(QFile::encodeName(base.filePath("target")).constData(), 0700), 0);
        make(runtime, c.runtime, base.filePath("target"));
        make(temporary, c.temporary, base.filePath("target"));
        const struct stat before = lstatOf(temporary);
        const ScopedVariable runtimeVariable(
            "XDG_RUNTIME_DIR", c.runtime == Place::Absent ? std::nullopt : std::optional(runtime));
        const ScopedVariable temporaryVariable("TMPDIR", temporaryRoot);
        const ScopedVariable cacheVariable("XDG_CACHE_HOME", cache);

        const QString expected = c.chosen == Runtime ? runtime
                                 : c.chosen == Temporary
                                     ? temporary
                                     : cache + QStringLiteral("/quenzel-instance");
        EXPECT_EQ(instanceSocketFolder(), expected);
        EXPECT_TRUE(isPrivateFolder(expected));
        EXPECT_TRUE(singleInstanceServerName().startsWith(expected + u'/'));
        if (c.temporary != Place::Absent && c.temporary != Place::Private) {
            // A refused folder is left as it was, never taken over.
            const struct stat after = lstatOf(temporary);
            EXPECT_EQ(after.st_mode, before.st_mode);
            EXPECT_EQ(after.st_uid, before.st_uid);
        }
    }
    if (skipped > 0) {
        GTEST_SKIP() << skipped << " cases need root to make another user's folder";
    }
}

}  // namespace
}  // namespace qz
