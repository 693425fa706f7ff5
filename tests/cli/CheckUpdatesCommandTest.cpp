// `quenzel check-updates`: the JSON answer against a local list, the browsers' advice, and
// offline.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "cli/CommandLine.h"
#include "core/formats/Bundle.h"
#include "core/formats/PropertyList.h"
#include "fixtures/FixtureHome.h"
#include "fixtures/LinuxHome.h"
#include "support/CliRun.h"
#include "support/LocalHttpServer.h"
#include "support/OfflineSite.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

using test::LocalHttpServer;

// Points the web site at a test address for one scope.
struct ScopedWebSite {
    explicit ScopedWebSite(const QString& site) { qputenv("QUENZEL_WEBSITE", site.toUtf8()); }
    ~ScopedWebSite() { qputenv("QUENZEL_WEBSITE", test::kOfflineWebSite); }
};

test::CommandRun checkUpdates(const QStringList& arguments) {
    test::FixtureHome home;
    return test::runCommand(home.files(), arguments);
}

LocalHttpServer::Answer listOf(const QVariantMap& versions) {
    return {200, PropertyList::toXml(versions)};
}

// Offline is an answer, not an error.
TEST(CheckUpdatesCommand, ReportsThePublishedVersion) {
    const QString installed = Bundle::shortVersion();
    ASSERT_FALSE(installed.isEmpty());
    quint16 closedPort = 0;
    {
        LocalHttpServer gone;
        closedPort = quint16(gone.url().port());
    }
    const QString offline = QStringLiteral("http://127.0.0.1:%1").arg(closedPort);
    LocalHttpServer server;
    const struct {
        const char* path;  // nullptr: offline
        LocalHttpServer::Answer answer;
        QJsonValue published;
        bool required;
    } cases[] = {
        {"/newer", listOf({{"appUpdate", installed + ".1"}}), installed + ".1", true},
        {"/no-key", listOf({{"opera", "100"}}), QJsonValue::Null, false},
        {"/not-there", {404, ""}, QJsonValue::Null, false},
        {nullptr, {}, QJsonValue::Null, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path ? c.path : "offline");
        const QString path = QLatin1String(c.path);
        server.serve(path + QStringLiteral("/Quenzel2_Browser.plist"), c.answer);
        const ScopedWebSite site(c.path ? server.site() + path : offline);
        const test::CommandRun run = checkUpdates({"check-updates", "--json"});
        EXPECT_EQ(run.code, 0);
        const QJsonObject app =
            QJsonDocument::fromJson(run.out.toUtf8()).object().value("app").toObject();
        EXPECT_EQ(app.value("installed").toString(), installed) << run.out.toStdString();
        EXPECT_EQ(app.value("published"), c.published);
        EXPECT_EQ(app.value("update_required"), QJsonValue(c.required));
    }
    EXPECT_EQ(server.totalRequests(), 3) << "one fetch per run";

    const ScopedWebSite site(offline);
    const test::CommandRun text = checkUpdates({"check-updates"});
    EXPECT_EQ(text.code, 0);
    EXPECT_TRUE(text.out.contains("no published version")) << text.out.toStdString();
    EXPECT_EQ(checkUpdates({"check-updates", "--xml"}).code, CommandLine::kUsage);
}

// The time-out bounds the whole exchange and the program's end: a server that sends header
// lines for ever keeps the command no longer than that.
TEST(CheckUpdatesCommand, EndlessHeaderLinesEndAtTheTimeOut) {
    const QString binary = qEnvironmentVariable("QUENZEL_BINARY");
    if (binary.isEmpty()) {
        GTEST_SKIP() << "QUENZEL_BINARY is set by ctest";
    }
    LocalHttpServer server;
    server.serve(QStringLiteral("/endless/Quenzel2_Browser.plist"), {200, "", true, false, true});
    QProcess command;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUENZEL_WEBSITE", server.site() + QStringLiteral("/endless"));
    environment.insert("QUENZEL_TIME_SCALE", "0.05");  // the 10 s time-out becomes 0.5 s
    command.setProcessEnvironment(environment);
    QElapsedTimer elapsed;
    elapsed.start();
    command.start(binary, {"check-updates"});
    // The server answers from this thread's event loop, so wait by running it.
    ASSERT_TRUE(test::waitFor([&] { return command.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(command.exitCode(), 0);
    EXPECT_TRUE(command.readAllStandardOutput().contains("no published version"));
    EXPECT_LT(elapsed.elapsed(), 2500);
    EXPECT_EQ(server.requests(QStringLiteral("/endless/Quenzel2_Browser.plist")), 1);
}

TEST(CheckUpdatesCommand, AdvisesBrowsers) {
    LocalHttpServer server;
    server.serve("/Quenzel2_Browser.plist", listOf({{"appUpdate", "0.1"},
                                                    {"safariMavericks", "7.0.6"},
                                                    {"safariMountainLion-Lion", "6.1.6"},
                                                    {"firefox", "100.0"},
                                                    {"chrome", "36.0"}}));
    const ScopedWebSite site(server.site());
    test::FixtureHome home;
    home.makeFolder("/System/Library/CoreServices");
    PropertyList::writeXmlAtomically(
        QVariantMap{{"ProductVersion", "10.9.4"}},
        home.local("/System/Library/CoreServices/SystemVersion.plist"));
    home.installApp("/Applications/Safari.app", "7.0.6");
    home.installApp("/Applications/Firefox.app", "100.0");
    home.installApp("/Users/%@/Applications/Firefox.app", "99.0");
    const test::CommandRun run = test::runCommand(home.files(), {"check-updates", "--json"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();

    const struct {
        const char* browser;
        QJsonValue installed;
        QJsonValue published;
        const char* key;
        bool advice;
    } expected[] = {
        {"safari", "7.0.6", "7.0.6", "safariMavericks", false},
        {"firefox", "99.0", "100.0", "firefox", true},  // the user's own copy decides
        {"chrome", QJsonValue::Null, "36.0", "chrome", false},
    };
    const QJsonObject browsers =
        QJsonDocument::fromJson(run.out.toUtf8()).object().value("browsers").toObject();
    for (const auto& e : expected) {
        SCOPED_TRACE(e.browser);
        const QJsonObject browser = browsers.value(e.browser).toObject();
        EXPECT_EQ(browser.value("installed"), e.installed) << run.out.toStdString();
        EXPECT_EQ(browser.value("published"), e.published);
        EXPECT_EQ(browser.value("key").toString(), QString::fromUtf8(e.key));
        EXPECT_EQ(browser.value("advice"), QJsonValue(e.advice));
    }
}

// On Linux a browser's version is the one it last wrote into its data, and the list names it by
// its key.
TEST(CheckUpdatesCommand, AdvisesEveryLinuxBrowserUnderItsKey) {
    const struct {
        const char* browser;
        const char* file;  // where the browser writes its version
        QByteArray text;
    } cases[] = {
        {"firefox", "/.mozilla/firefox/abcd.default-release/compatibility.ini",
         "[Compatibility]\nLastVersion=200.0_20240101000000/20240101000000\n"},
        {"chrome", "/.config/google-chrome/Last Version", "200.0"},
        {"chromium", "/snap/chromium/common/chromium/Last Version", "200.0\n"},
        {"opera", "/.config/opera/Last Version", "200.0"},
        {"brave", "/.config/BraveSoftware/Brave-Browser/Last Version", "200.0"},
        {"vivaldi", "/.var/app/com.vivaldi.Vivaldi/config/vivaldi/Last Version", "200.0"},
        {"edge", "/.config/microsoft-edge/Last Version", "200.0"},
        {"librewolf", "/.librewolf/lw01.default-default/compatibility.ini",
         "[Compatibility]\nLastVersion=200.0_20240101000000/20240101000000\n"},
    };
    test::LinuxHome home;
    QVariantMap published{{"appUpdate", "0.1"}};
    for (const auto& c : cases) {
        published.insert(c.browser, "200.1");
        QFile file(home.local(c.file));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << c.file;
        file.write(c.text);
    }
    LocalHttpServer server;
    server.serve("/Quenzel2_Browser.plist", listOf(published));
    const ScopedWebSite site(server.site());
    const test::CommandRun run = test::runCommand(home.files(), {"check-updates", "--json"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QJsonObject browsers =
        QJsonDocument::fromJson(run.out.toUtf8()).object().value("browsers").toObject();
    EXPECT_EQ(browsers.size(), qsizetype(std::size(cases)));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.browser);
        const QJsonObject browser = browsers.value(c.browser).toObject();
        EXPECT_EQ(browser.value("installed"), "200.0") << run.out.toStdString();
        EXPECT_EQ(browser.value("published"), "200.1");
        EXPECT_EQ(browser.value("key").toString(), QString::fromUtf8(c.browser));
        EXPECT_EQ(browser.value("advice"), QJsonValue(true));
    }
}

}  // namespace
}  // namespace qz
