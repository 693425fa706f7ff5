// Running browsers found in a process table, and notifications that never need a bus.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "core/browsers/RunningApplications.h"
#include "services/DesktopSchemes.h"
#include "services/UserNotificationCenter.h"

namespace qz {
namespace {

void writeProcess(const QString& proc, int pid, const QByteArray& comm, const QString& exe) {
    const QString folder = proc + QStringLiteral("/%1").arg(pid);
    QDir().mkpath(folder);
    QFile file(folder + "/comm");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(comm + "\n");
    if (!exe.isEmpty()) {
        QFile::link(exe, folder + "/exe");
    }
}

TEST(RunningApplicationsTest, MatchesCommandNamesAndExecutables) {
    QTemporaryDir proc;
    writeProcess(proc.path(), 10, "bash", "/usr/bin/bash");
    writeProcess(proc.path(), 11, "firefox-esr", "/usr/lib/firefox-esr/firefox-esr");
    writeProcess(proc.path(), 12, "google-chrome-s", "");  // the kernel cuts names to 15
    writeProcess(proc.path(), 13, "Web Content", "/opt/opera/opera (deleted)");
    writeProcess(proc.path(), 14, "firefox-helper", "/usr/bin/firefox-helper");
    QDir().mkpath(proc.path() + "/self");
    struct Case {
        const char* bundle;
        QList<qint64> pids;
    };
    const QList<Case> cases = {{"org.mozilla.firefox", {11}},
                               {"com.google.Chrome", {12}},
                               {"com.operasoftware.Opera", {13}},
                               {"org.example.unknown", {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bundle);
        QList<qint64> found = RunningApplications::processesNamed(
            RunningApplications::executableNames(c.bundle), proc.path(), ::getuid());
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.pids);
    }
    EXPECT_TRUE(RunningApplications::processesNamed({"firefox-esr"}, proc.path(), ::getuid() + 1)
                    .isEmpty());
}

// The probe that replaces this lookup is exercised by every care and command-line test. The
// tests' own empty table hides our live "browser"; the real one shows it until it ends (asked
// by its id, as another one may run on the machine).
TEST(RunningApplicationsTest, FindsALiveProcess) {
    QTemporaryDir dir;
    const QString copy = dir.path() + "/firefox-esr";
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), copy));
    QProcess process;
    process.start(copy, {"30"});
    ASSERT_TRUE(process.waitForStarted());
    const qint64 pid = process.processId();
    const auto seen = [pid] {
        return RunningApplications::runningApplicationsWithBundleIdentifier("org.mozilla.firefox")
            .contains(pid);
    };
    const QByteArray testTable = qgetenv("QUENZEL_PROC");
    EXPECT_FALSE(RunningApplications::isRunning("org.mozilla.firefox"));
    qputenv("QUENZEL_PROC", "/proc");
    EXPECT_TRUE(seen());
    process.kill();
    process.waitForFinished();
    EXPECT_FALSE(seen());
    qputenv("QUENZEL_PROC", testTable);
}

// GIO is opened on first use: a scheme whose default program the user chose is handled, one that
// nothing opens is not.
TEST(DesktopSchemesTest, AnswersFromTheDesktopEntries) {
    const QString folder = qEnvironmentVariable("XDG_DATA_HOME") + "/applications";
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile entry(folder + "/quenzel-scheme-test.desktop");
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write(
        "[Desktop Entry]\nType=Application\nName=Scheme test\nExec=true %u\n"
        "MimeType=x-scheme-handler/quenzeltest;\n");
    entry.close();
    QFile defaults(qEnvironmentVariable("XDG_CONFIG_HOME") + "/mimeapps.list");
    ASSERT_TRUE(defaults.open(QIODevice::WriteOnly));
    defaults.write(
        "[Default Applications]\nx-scheme-handler/quenzeltest=quenzel-scheme-test.desktop\n");
    defaults.close();
    EXPECT_TRUE(desktopHandlesScheme("quenzeltest"));
    EXPECT_FALSE(desktopHandlesScheme("quenzelnothing"));
}

TEST(UserNotificationCenterTest, WithoutASessionBusTheFallbackShowsIt) {
    UserNotificationCenter& center = UserNotificationCenter::defaultUserNotificationCenter();
    const QByteArray saved = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    QTemporaryDir dir;
    qputenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + dir.path() + "/no-bus").toUtf8());
    QList<UserNotification> shown;
    center.setFallback([&](const UserNotification& n) { shown.append(n); });
    UserNotificationCenterDelegate delegate;
    center.setDelegate(&delegate);
    center.deliverNotification({"Quenzel", "Safari has been cleaned.", true});
    QCoreApplication::processEvents();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].informativeText, "Safari has been cleaned.");
    center.setFallback({});
    center.setDelegate(nullptr);
    qputenv("DBUS_SESSION_BUS_ADDRESS", saved);
}

}  // namespace
}  // namespace qz
