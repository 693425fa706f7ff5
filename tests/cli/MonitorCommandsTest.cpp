// `quenzel threshold` and the monitoring keys of `quenzel status --json`, on a fixture home.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <QTemporaryDir>
#include "cli/CommandLine.h"
#include "fixtures/FixtureHome.h"

#include "core/monitor/AlertThreshold.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"
#include "support/CliRun.h"

namespace qz {
namespace {

using test::CommandRun;
using test::FixtureHome;
using test::runCommand;

// A file of the given size that takes no room on disk.
void writeSparse(FixtureHome& home, const QString& platformTemplate, qint64 size) {
    home.writeFile(platformTemplate, 0);
    QFile file(home.local(platformTemplate));
    ASSERT_TRUE(file.resize(size));
}

class MonitorCommands : public testing::Test {
  protected:
    void SetUp() override { store(QVariant()); }
    static void store(const QVariant& value) {
        if (value.isValid()) {
            UserDefaults::standard().setObject(value, Settings::Key::alertThreshold);
        } else {
            UserDefaults::standard().removeObjectForKey(Settings::Key::alertThreshold);
        }
        UserDefaults::standard().synchronize();
    }
    QVariant stored() const {
        return UserDefaults::standard().objectForKey(Settings::Key::alertThreshold);
    }
    FixtureHome home_;
};

// Setting stores what the pop-up would, over a stored 123; showing the default stores nothing;
// what is no pop-up index is refused and leaves the stored value as it was.
TEST_F(MonitorCommands, Threshold) {
    struct Case {
        QStringList arguments;
        QVariant before;
        int code;
        QVariant after;  // invalid: nothing stored
        const char* shown;
    };
    const QVariant old = QVariant::fromValue<quint64>(123);
    // clang-format off
    const std::vector<Case> cases = {
        {{"threshold", "1"}, old, 0, QVariant::fromValue<quint64>(500000000), "500000000 bytes"},
        {{"threshold", "-1"}, old, CommandLine::kUsage, old, "123 bytes"},
        {{"threshold", "5"}, old, CommandLine::kUsage, old, "123 bytes"},
        {{"threshold"}, QVariant(), 0, QVariant(), "300000000 bytes"},
        {{"threshold", "two"}, QVariant(), CommandLine::kUsage, QVariant(), nullptr},
        {{"threshold", "1", "2"}, QVariant(), CommandLine::kUsage, QVariant(), nullptr},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        store(c.before);
        const CommandRun run = runCommand(home_.files(), c.arguments);
        ASSERT_EQ(run.code, c.code) << run.err.toStdString();
        EXPECT_EQ(run.err.isEmpty(), c.code == 0);
        EXPECT_EQ(stored().isValid(), c.after.isValid());
        if (c.after.isValid()) {
            EXPECT_EQ(stored().toULongLong(), c.after.toULongLong());
        }
        if (c.shown) {
            const QString shown = runCommand(home_.files(), {"threshold"}).out;
            EXPECT_TRUE(shown.startsWith(QString::fromUtf8(c.shown))) << shown.toStdString();
        }
    }
}

TEST_F(MonitorCommands, ASettingsFileThatCannotBeWrittenIsAnError) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", (blocker.fileName() + "/config").toUtf8());  // under a file
    const CommandRun run = runCommand(home_.files(), {"threshold", "2"});
    qputenv("XDG_CONFIG_HOME", previous);
    EXPECT_EQ(run.code, 1);
    EXPECT_FALSE(run.out.contains("Stored"));
    EXPECT_TRUE(run.err.contains("could not be written")) << run.err.toStdString();
}

TEST_F(MonitorCommands, APipeAsTheSettingsFileIsRefusedWithoutWaiting) {
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("quenzel"));
    const QString conf = dir.filePath("quenzel/quenzel.conf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(conf), 0600), 0);
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    const CommandRun shown = runCommand(home_.files(), {"threshold"});
    const CommandRun stored = runCommand(home_.files(), {"threshold", "2"});
    qputenv("XDG_CONFIG_HOME", previous);
    EXPECT_EQ(shown.code, 0);
    EXPECT_TRUE(shown.out.contains("not stored"));
    EXPECT_EQ(stored.code, 1);
    EXPECT_TRUE(stored.err.contains("not a regular file")) << stored.err.toStdString();
    EXPECT_FALSE(QFileInfo(conf).isFile());
}

TEST_F(MonitorCommands, StatusJsonCarriesMonitorAndLogos) {
    struct Case {
        const char* name;
        QVariant threshold;  // invalid: none stored
        qint64 safari;
        quint64 expectedThreshold;
        const char* icon;
        int safariLevel;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"equal to the default threshold", QVariant(), 300000000, 300000000, "qza.pdf", 5},
        {"one byte below", QVariant(), 299999999, 300000000, "qzb.pdf", 5},
        {"a stored 123 stays in force", QVariant::fromValue<quint64>(123), 200, 123, "qza.pdf", 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store(c.threshold);
        FixtureHome home;
        writeSparse(home, "/Users/%@/Library/Safari/History.plist", c.safari);
        // Firefox is not installed: its large cache neither alerts nor shows its entry.
        writeSparse(home, "/Users/%@/Library/Caches/Firefox/cache2", 3000000000);
        home.installApp("/Users/%@/Applications/Google Chrome.app");

        const CommandRun run = runCommand(home.files(), {"status", "--json"});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        const QJsonObject root = QJsonDocument::fromJson(run.out.toUtf8()).object();
        const QJsonObject monitor = root.value("monitor").toObject();
        EXPECT_EQ(monitor.value("threshold").toInteger(), qint64(c.expectedThreshold));
        EXPECT_EQ(monitor.value("totals").toObject().value("safari").toInteger(), c.safari);
        EXPECT_GT(monitor.value("totals").toObject().value("firefox").toInteger(), 3000000000);
        EXPECT_EQ(monitor.value("icon").toString(), QString::fromUtf8(c.icon));
        const QJsonObject menu = monitor.value("menu").toObject();
        const bool alert = QString::fromUtf8(c.icon) == QStringLiteral("qza.pdf");
        EXPECT_EQ(menu.value("safari").toBool(!alert), alert);
        EXPECT_FALSE(menu.value("firefox").toBool(true));
        EXPECT_FALSE(menu.value("chrome").toBool(true));
        EXPECT_EQ(menu.value("ok").toBool(alert), !alert);

        const QJsonObject logos = root.value("logos").toObject();
        EXPECT_EQ(logos.value("safari").toObject().value("bytes").toInteger(), c.safari);
        EXPECT_EQ(logos.value("safari").toObject().value("level").toInt(-1), c.safariLevel);
        EXPECT_EQ(logos.value("firefox").toObject().value("level").toInt(-1), 9);
        EXPECT_LT(run.out.indexOf("\"browsers\""), run.out.indexOf("\"monitor\""));
        EXPECT_LT(run.out.indexOf("\"monitor\""), run.out.indexOf("\"logos\""));
    }
}

}  // namespace
}  // namespace qz
