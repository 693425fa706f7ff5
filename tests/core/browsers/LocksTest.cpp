// Browser locks and the process table: a lock counts only while a live process of this host
// holds it, and a zombie never counts as running.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/browsers/RunningApplications.h"

namespace qz {
namespace {

// A process id that no longer exists: a child that ended and was collected.
qint64 endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

QString host() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return QString::fromLocal8Bit(name);
}

TEST(LocksTest, ALockCountsOnlyForALiveProcessOfThisHost) {
    const QString live = QString::number(::getpid());
    const QString ended = QString::number(endedProcess());
    const struct {
        QString target;
        bool held;
    } cases[] = {
        {"127.0.0.1:+" + live, true},     // Firefox
        {"127.0.1.1:" + live, true},      // Firefox's older form
        {"127.0.0.1:+" + ended, false},   // left behind by a crash
        {"203.0.113.9:+" + live, false},  // another machine's address
        {host() + '-' + live, true},      // the Chromium family
        {host() + '-' + ended, false},
        {"another-host-" + live, false},
        {"", false},
        {"garbage", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunningApplications::lockIsHeld(c.target), c.held) << c.target.toStdString();
    }
}

TEST(LocksTest, ZombiesAreNotRunning) {
    QTemporaryDir proc;
    for (const auto& [pid, state] : {std::pair{20, 'S'}, std::pair{21, 'Z'}}) {
        const QString folder = proc.path() + '/' + QString::number(pid);
        QDir().mkpath(folder);
        QFile comm(folder + "/comm");
        ASSERT_TRUE(comm.open(QIODevice::WriteOnly));
        comm.write("firefox\n");
        QFile stat(folder + "/stat");
        ASSERT_TRUE(stat.open(QIODevice::WriteOnly));
        stat.write(QStringLiteral("%1 (fire) fox) %2 1 1 1").arg(pid).arg(state).toUtf8());
    }
    EXPECT_EQ(RunningApplications::processesNamed({"firefox"}, proc.path(), ::getuid()),
              QList<qint64>{20});
    EXPECT_TRUE(RunningApplications::processIsLive(20, proc.path()));
    EXPECT_FALSE(RunningApplications::processIsLive(21, proc.path()));
    EXPECT_FALSE(RunningApplications::processIsLive(22, proc.path()));
}

}  // namespace
}  // namespace qz
