#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>

#include "fixtures/FixtureHome.h"
#include "services/InstanceName.h"
#include "services/SingleInstance.h"
#include "support/CliRun.h"
#include "support/WaitFor.h"
#include "support/WithoutPrivileges.h"

namespace qz {
namespace {

// Points the program's file manager at a home for one test, as --root does.
class SharedRoot {
  public:
    explicit SharedRoot(const QString& root) : previous_(FileManager::shared().root()) {
        FileManager::shared().setRoot(root);
    }
    ~SharedRoot() { FileManager::shared().setRoot(previous_); }

  private:
    QString previous_;
};

TEST(SingleInstanceTest, TheWindowsSocketSendsLaterStartsBackAndTurnsTheCommandLineAway) {
    const QString binary = qEnvironmentVariable("QUENZEL_BINARY");
    if (binary.isEmpty()) {
        GTEST_SKIP() << "QUENZEL_BINARY is not set (run through ctest)";
    }
    test::FixtureHome home;
    const SharedRoot root(home.root());
    // The window listens on this name; the command line and later starts look for it.
    SingleInstance window(singleInstanceServerName());
    ASSERT_TRUE(window.listen());
    QSignalSpy reopened(&window, &SingleInstance::reopenRequested);

    const QStringList onHome{"--root", home.root(), "--user", home.user()};
    const struct {
        QStringList command;
        int exitCode;
        int reopens;
    } starts[] = {
        {{}, 0, 1},  // a second window hands a reopen over and ends
        {{"care", "safari", "--yes"}, 6, 0},
        {{"history", "--clear", "--yes"}, 6, 0},
    };
    for (const auto& start : starts) {
        SCOPED_TRACE(start.command.join(' ').toStdString());
        reopened.clear();
        QProcess second;
        second.start(binary, onHome + start.command);
        ASSERT_TRUE(second.waitForStarted(5000));
        // The event loop must run for the window to answer.
        if (start.reopens > 0) {
            ASSERT_TRUE(reopened.wait(10000)) << second.readAllStandardError().toStdString();
        }
        ASSERT_TRUE(second.waitForFinished(10000));
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), start.exitCode) << second.readAllStandardError().toStdString();
        EXPECT_EQ(reopened.size(), start.reopens);
    }
}

// In a child process: a local socket at `path` that listens as (or, unless `listens`, connects
// as) the unprivileged user and sends a reopen. Returns the child once its socket is set up, or
// -1 when that failed; the child waits until it is ended (end()).
pid_t otherUsersSocket(const QString& path, bool listens) {
    const QByteArray local = QFile::encodeName(path);
    int ready[2];
    if (::pipe(ready) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, local.constData(), sizeof address.sun_path - 1);
        const auto* generic = reinterpret_cast<const sockaddr*>(&address);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        // The squatter binds where only we may write, then listens as the other user: the
        // credentials a listening socket shows are those of its listen().
        bool ok = fd >= 0 && (!listens || ::bind(fd, generic, sizeof address) == 0) &&
                  ::setgid(test::kUnprivilegedId) == 0 && ::setuid(test::kUnprivilegedId) == 0 &&
                  (listens ? ::listen(fd, 8) == 0
                           : ::connect(fd, generic, sizeof address) == 0 &&
                                 ::write(fd, "reopen\n", 7) == 7);
        (void)!::write(ready[1], &ok, 1);
        for (;;) {
            ::pause();
        }
    }
    ::close(ready[1]);
    bool ok = false;
    const bool told = ::read(ready[0], &ok, 1) == 1;
    ::close(ready[0]);
    if (!told || !ok) {
        ::waitpid(child, nullptr, 0);
        return -1;
    }
    return child;
}

void end(pid_t child) {
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

TEST(SingleInstanceTest, AnotherUsersSocketNeitherBlocksNorReachesTheWindow) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to hold a socket as another user";
    }
    test::FixtureHome home;
    const SharedRoot root(home.root());
    const QString name = singleInstanceServerName();
    ASSERT_FALSE(name.isEmpty());
    const pid_t squatter = otherUsersSocket(name, true);
    ASSERT_GT(squatter, 0);
    QLocalSocket probe;
    probe.connectToServer(name);
    ASSERT_TRUE(probe.waitForConnected(1000)) << "the other user's socket does not answer";
    probe.abort();

    // Another user's server is nobody's window: no refusal, no hand-over.
    EXPECT_FALSE(windowInstanceRunning());
    SingleInstance later(name);
    EXPECT_FALSE(later.isRunning(500));
    EXPECT_FALSE(later.handOver(500));
    EXPECT_NE(test::runCommand(home.files(), {"history", "--clear", "--yes"}).code, 6);
    // The window takes its place over.
    SingleInstance window(name);
    EXPECT_TRUE(window.listen());
    EXPECT_TRUE(later.isRunning(500));
    end(squatter);

    // And another user who reaches the window's socket cannot bring it forward.
    QTemporaryDir open;
    ASSERT_EQ(::chmod(QFile::encodeName(open.path()).constData(), 0755), 0);
    const QString reachable = open.filePath("socket");
    SingleInstance exposed(reachable);
    ASSERT_TRUE(exposed.listen());
    ASSERT_EQ(::chmod(QFile::encodeName(reachable).constData(), 0777), 0);
    QSignalSpy reopened(&exposed, &SingleInstance::reopenRequested);
    const pid_t visitor = otherUsersSocket(reachable, false);
    ASSERT_GT(visitor, 0);
    // Our own start, after the other user's, is heard.
    QLocalSocket own;
    own.connectToServer(reachable);
    ASSERT_TRUE(own.waitForConnected(1000));
    own.write("reopen\n");
    EXPECT_TRUE(test::waitFor([&] { return own.state() == QLocalSocket::UnconnectedState; }));
    EXPECT_EQ(reopened.size(), 1);
    end(visitor);
}

}  // namespace
}  // namespace qz
