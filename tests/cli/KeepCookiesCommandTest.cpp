// `quenzel keep-cookies`: listing, adding and removing sites, and refusing malformed ones without
// changing the list.
#include <gtest/gtest.h>

#include "cli/CommandLine.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"
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

}  // namespace
}  // namespace qz
