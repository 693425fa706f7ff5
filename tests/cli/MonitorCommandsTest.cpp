// `quenzel threshold` and the monitoring keys of `quenzel status --json`, on a fixture home.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/cli/CommandLine.h"
#include "fixtures/FixtureHome.h"
#include "monitor/AlertThreshold.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"
#include "support/CliRun.h"
#include "support/LocalHttpServer.h"

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
    void SetUp() override {
        UserDefaults::standard().removeObjectForKey(AlertThreshold::kKey);
        UserDefaults::standard().synchronize();
    }
    QVariant stored() const { return UserDefaults::standard().objectForKey(AlertThreshold::kKey); }
    FixtureHome home_;
};

TEST_F(MonitorCommands, ThresholdStoresWhatThePopUpWould) {
    const std::vector<std::pair<QString, quint64>> cases = {
        {"0", 300000000},  {"1", 500000000}, {"3", 1000000000},
        {"4", 2000000000}, {"5", 300000000}, {"-1", 300000000},
    };
    for (const auto& [index, bytes] : cases) {
        SCOPED_TRACE(index.toStdString());
        UserDefaults::standard().setObject(QVariant::fromValue<quint64>(123), AlertThreshold::kKey);
        const CommandRun run = runCommand(home_.files(), {"threshold", index});
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_EQ(stored().toULongLong(), bytes);
        EXPECT_TRUE(runCommand(home_.files(), {"threshold"})
                        .out.startsWith(QString::number(bytes) + QStringLiteral(" bytes")));
    }
}

TEST_F(MonitorCommands, ThresholdShowsTheDefaultWithoutStoringIt) {
    const CommandRun run = runCommand(home_.files(), {"threshold"});
    ASSERT_EQ(run.code, 0);
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("300000000 bytes"))) << run.out.toStdString();
    EXPECT_FALSE(stored().isValid());
}

TEST_F(MonitorCommands, ThresholdRejectsWhatIsNoIndex) {
    for (const QStringList& arguments :
         {QStringList{"threshold", "two"}, QStringList{"threshold", "1", "2"}}) {
        const CommandRun run = runCommand(home_.files(), arguments);
        EXPECT_EQ(run.code, CommandLine::kUsage);
        EXPECT_FALSE(run.err.isEmpty());
        EXPECT_FALSE(stored().isValid());
    }
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
    const std::vector<Case> cases = {
        {"equal to the default threshold", QVariant(), 300000000, 300000000, "qza.pdf", 5},
        {"one byte below", QVariant(), 299999999, 300000000, "qzb.pdf", 5},
        {"a stored 123 stays in force", QVariant::fromValue<quint64>(123), 200, 123, "qza.pdf", 0},
        {"above the top level", QVariant::fromValue<quint64>(2000000000), 440000001, 2000000000,
         "qzb.pdf", 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.threshold.isValid()) {
            UserDefaults::standard().setObject(c.threshold, AlertThreshold::kKey);
        }
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
        EXPECT_EQ(logos.value("opera").toObject().value("level").toInt(-1), 0);
        EXPECT_LT(run.out.indexOf("\"browsers\""), run.out.indexOf("\"monitor\""));
        EXPECT_LT(run.out.indexOf("\"monitor\""), run.out.indexOf("\"logos\""));
    }
}

TEST_F(MonitorCommands, CheckUpdatesAdvisesBrowsers) {
    test::LocalHttpServer server;
    const QVariantMap published = {{"appUpdate", "0.1"},
                                   {"safariMavericks", "7.0.6"},
                                   {"safariMountainLion-Lion", "6.1.6"},
                                   {"firefox", "100.0"},
                                   {"chrome", "36.0"}};
    server.serve("/Quenzel2_Browser.plist", {200, PropertyList::toXml(published), true, false});
    const QByteArray previous = qgetenv("QUENZEL_WEBSITE");
    qputenv("QUENZEL_WEBSITE", server.site().toUtf8());

    FixtureHome home;
    home.makeFolder("/System/Library/CoreServices");
    PropertyList::writeXmlAtomically(
        QVariantMap{{"ProductVersion", "10.9.4"}},
        home.local("/System/Library/CoreServices/SystemVersion.plist"));
    home.installApp("/Applications/Safari.app", "7.0.6");
    home.installApp("/Applications/Firefox.app", "100.0");
    home.installApp("/Users/%@/Applications/Firefox.app", "99.0");
    home.installApp("/Applications/Opera.app", "22.0");
    const CommandRun run = runCommand(home.files(), {"check-updates", "--json"});
    if (previous.isNull()) {
        qunsetenv("QUENZEL_WEBSITE");
    } else {
        qputenv("QUENZEL_WEBSITE", previous);
    }
    ASSERT_EQ(run.code, 0) << run.err.toStdString();

    struct Expected {
        const char* browser;
        QJsonValue installed;
        QJsonValue published;
        const char* key;
        bool advice;
    };
    const std::vector<Expected> expected = {
        {"safari", "7.0.6", "7.0.6", "safariMavericks", false},
        {"firefox", "99.0", "100.0", "firefox", true},  // the user's own copy decides
        {"chrome", QJsonValue::Null, "36.0", "chrome", false},
        {"opera", "22.0", QJsonValue::Null, "opera", false},
    };
    const QJsonObject browsers =
        QJsonDocument::fromJson(run.out.toUtf8()).object().value("browsers").toObject();
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.browser);
        const QJsonObject browser = browsers.value(e.browser).toObject();
        EXPECT_EQ(browser.value("installed"), e.installed) << run.out.toStdString();
        EXPECT_EQ(browser.value("published"), e.published);
        EXPECT_EQ(browser.value("key").toString(), QString::fromUtf8(e.key));
        EXPECT_EQ(browser.value("advice"), QJsonValue(e.advice));
    }
}

}  // namespace
}  // namespace qz
