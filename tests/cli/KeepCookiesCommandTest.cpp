// `quenzel keep-cookies`: listing, adding and removing sites, and refusing malformed ones without
// changing the list.
#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "cli/CommandLine.h"
#include "core/browsers/RunningApplications.h"
#include "core/settings/Settings.h"
#include "core/settings/TimeScale.h"
#include "core/settings/UserDefaults.h"
#include "fixtures/CookieStores.h"
#include "fixtures/FixtureHome.h"
#include "support/CliRun.h"

namespace qz {
namespace {

using test::CommandRun;
using test::runCommand;

// Each step runs on the list the steps before it left.
TEST(KeepCookiesCommandTest, ListsAddsRemovesAndRefusesMalformedSites) {
    Settings settings = Settings::standard();
    settings.setCookieKeepList({});
    settings.synchronize();
    test::FixtureHome home;
    const struct {
        QStringList arguments;
        int code;
        QStringList stored;  // the list afterwards
        QString said;        // a line of the output, or of the error for code 2
    } steps[] = {
        {{"keep-cookies"}, 0, {}, {}},
        {{"keep-cookies", "add", " Example.ORG ", ".news.example"},
         0,
         {"example.org", "news.example"},
         "keeping the cookies of example.org"},
        {{"keep-cookies", "add", "example.org"},
         0,
         {"example.org", "news.example"},
         "already kept: example.org"},
        {{"keep-cookies", "add", "good.example", "https://bad.example"},
         CommandLine::kUsage,
         {"example.org", "news.example"},
         "\"https://bad.example\" is not a site"},
        {{"keep-cookies", "add", ""}, CommandLine::kUsage, {"example.org", "news.example"}, "\"\""},
        {{"keep-cookies", "add", "two words.example"},
         CommandLine::kUsage,
         {"example.org", "news.example"},
         "not a site"},
        {{"keep-cookies", "add", "example.org/login"},
         CommandLine::kUsage,
         {"example.org", "news.example"},
         "not a site"},
        {{"keep-cookies", "add"}, CommandLine::kUsage, {"example.org", "news.example"}, "SITE"},
        {{"keep-cookies", "forget", "example.org"},
         CommandLine::kUsage,
         {"example.org", "news.example"},
         "add or remove"},
        {{"keep-cookies"}, 0, {"example.org", "news.example"}, "example.org\nnews.example\n"},
        {{"keep-cookies", "remove", "EXAMPLE.org", "other.example"},
         0,
         {"news.example"},
         "not in the list: other.example"},
        {{"keep-cookies", "remove", "news.example"}, 0, {}, "no longer keeping"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.arguments.join(u'|').toStdString());
        const CommandRun run = runCommand(home.files(), step.arguments);
        EXPECT_EQ(run.code, step.code) << run.err.toStdString();
        EXPECT_EQ(run.err.isEmpty(), step.code == 0) << run.err.toStdString();
        EXPECT_TRUE((step.code == 0 ? run.out : run.err).contains(step.said))
            << run.out.toStdString() << run.err.toStdString();
        EXPECT_EQ(Settings::standard().cookieKeepList(), step.stored);
    }
    // An emptied list leaves no key behind.
    EXPECT_FALSE(UserDefaults::standard().hasStoredValue(Settings::Key::cookieKeepList));
}

// The list reaches a care: the preview counts what goes and what stays, the care edits the
// database, and emptying the list brings back the removal of the file.
TEST(KeepCookiesCommandTest, ACareKeepsTheListedSitesCookies) {
    TimeScale::setFactor(0.01);
    RunningApplications::setProbe([](const QString&) { return false; });
    QTemporaryDir dir;
    FileManager files;
    ASSERT_TRUE(files.setRoot(dir.path()));
    files.setLayout(Layout::Linux);
    const QString cookies = dir.path() + "/.config/google-chrome/Default/Network/Cookies";
    ASSERT_EQ(test::writeCookieDatabase(cookies, false,
                                        {".example.org", "www.example.org", "badexample.org"}),
              "");
    const QStringList care = {"care", "chrome", "--items", "cookiesC"};
    const struct {
        QStringList arguments;
        QString said;
        QStringList left;  // empty: the database is gone
    } steps[] = {
        {{"keep-cookies", "add", "example.org"}, "keeping", {".example.org", "www.example.org"}},
        {care + QStringList{"--dry-run"},
         "would delete 1 cookies from " + cookies + " (2 kept)",
         {".example.org", "www.example.org", "badexample.org"}},
        {care + QStringList{"--yes", "--json"},
         "\"cookies\":1",
         {".example.org", "www.example.org"}},
        {{"keep-cookies", "remove", "example.org"},
         "no longer",
         {".example.org", "www.example.org"}},
        {care + QStringList{"--yes"}, "has been cleaned", {}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.arguments.join(u' ').toStdString());
        const CommandRun run = runCommand(files, step.arguments);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_TRUE(QString(run.out).remove(u' ').contains(QString(step.said).remove(u' ')))
            << run.out.toStdString();
        if (step.arguments.first() == "care") {
            EXPECT_EQ(test::cookieHostsIn(cookies, false),
                      step.left.isEmpty() ? QStringList{"<unreadable>"} : step.left);
        }
    }
    TimeScale::setFactor(1.0);
    RunningApplications::setProbe({});
}

}  // namespace
}  // namespace qz
