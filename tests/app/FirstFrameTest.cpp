// The window's first frame on the demo home loads no Qt Network (the network module): no fetch
// starts before it (the panels' update checks wait for it); nor SQLite, loaded with the first
// database. Qt's SVG support is not checked: the
// pictures rendered at build time cover the first level of the logos, and a slow start (a
// sanitizer build) may see a logo grow before its first frame.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace qz {
namespace {

TEST(FirstFrameTest, TheDemoWindowLoadsNeitherNetworkNorSqliteBeforeItsFirstFrame) {
    const QString binary = qEnvironmentVariable("QUENZEL_BINARY");
    if (binary.isEmpty()) {
        GTEST_SKIP() << "QUENZEL_BINARY is not set (run through ctest)";
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUENZEL_REPORT_FIRST_FRAME"), QStringLiteral("1"));
    environment.insert(QStringLiteral("QUENZEL_LANG"), QStringLiteral("en"));
    // The first start shows the first-launch welcome, which fetches its page; the second is
    // an ordinary start, the one measured.
    for (int start = 0; start < 2; ++start) {
        if (start == 1) {
            environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
        }
        QProcess window;
        window.setProcessEnvironment(environment);
        // One channel: what the loader opened before the report comes before its line.
        window.setProcessChannelMode(QProcess::MergedChannels);
        window.start(binary, {QStringLiteral("--demo")});
        ASSERT_TRUE(window.waitForFinished(60000));
        const QString out = QString::fromLocal8Bit(window.readAll());
        const qsizetype report = out.indexOf(QStringLiteral("first-frame"));
        ASSERT_GE(report, 0) << out.toStdString();
        if (start == 0) {
            continue;
        }
        // The dynamic loader names every library it opens.
        const QString loaded = out.left(report);
        ASSERT_TRUE(loaded.contains(QStringLiteral("libQt6Widgets")));
        for (const char* library : {"libQt6Network", "quenzel-network", "libsqlite3"}) {
            EXPECT_FALSE(loaded.contains(QLatin1String(library))) << library << " is loaded";
        }
    }
}

}  // namespace
}  // namespace qz
