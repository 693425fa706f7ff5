#include <gtest/gtest.h>

#include <QProcess>
#include <QSignalSpy>

#include "app/SingleInstance.h"
#include "fixtures/FixtureHome.h"

namespace qz {
namespace {

TEST(SingleInstanceTest, ASecondStartHandsAReopenToTheFirstAndEnds) {
    test::FixtureHome home;
    const QString name = SingleInstance::serverName(home.root(), home.user());
    EXPECT_NE(name, SingleInstance::serverName(home.root(), QStringLiteral("bruno")));

    SingleInstance first(name);
    EXPECT_FALSE(first.handOver(200));  // nobody runs yet
    ASSERT_TRUE(first.listen());
    QSignalSpy reopened(&first, &SingleInstance::reopenRequested);

    const QString binary = qEnvironmentVariable("QUENZEL_BINARY");
    if (binary.isEmpty()) {
        GTEST_SKIP() << "QUENZEL_BINARY is not set (run through ctest)";
    }
    QProcess second;
    second.start(binary,
                 {QStringLiteral("--root"), home.root(), QStringLiteral("--user"), home.user()});
    ASSERT_TRUE(second.waitForStarted(5000));
    // The event loop must run for the first instance to answer.
    ASSERT_TRUE(reopened.wait(10000)) << second.readAllStandardError().toStdString();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(reopened.size(), 1);
}

}  // namespace
}  // namespace qz
