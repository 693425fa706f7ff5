#include <gtest/gtest.h>

#include <QProcess>
#include <QSignalSpy>

#include "app/SingleInstance.h"
#include "fixtures/FixtureHome.h"
#include "platform/InstanceName.h"

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

}  // namespace
}  // namespace qz
