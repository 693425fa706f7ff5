// `quenzel status`: the JSON shape on a fixture home, and the errors of the real binary.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "cli/CommandLine.h"
#include "fixtures/FixtureHome.h"
#include "support/CliRun.h"

namespace qz {
namespace {

using test::CommandRun;
using test::FixtureHome;
using test::runCommand;

TEST(StatusCommandTest, JsonListsEveryBrowserAndItemInOrder) {
    FixtureHome home;
    home.installApp("/Applications/Safari.app");
    home.writeFile("/Users/%@/Library/Safari/History.plist", 1500000);
    home.writeFile("/Users/%@/Library/Safari/TopSites.plist", 700);
    home.writeFile("/Users/%@/Library/Application Support/com.operasoftware.Opera/Cookies", 12);

    const CommandRun run = runCommand(home.files(), {"status", "--json"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_EQ(root.value("user").toString(), QStringLiteral("anna"));
    EXPECT_FALSE(root.value("access_granted").toBool(true));
    const QJsonArray browsers = root.value("browsers").toArray();
    ASSERT_EQ(browsers.size(), 4);
    const QStringList names = {"Safari", "Firefox", "Google Chrome", "Opera"};
    const QList<int> itemCounts = {10, 6, 7, 7};
    for (int i = 0; i < 4; ++i) {
        const QJsonObject browser = browsers[i].toObject();
        EXPECT_EQ(browser.value("browser").toString(), names[i]);
        EXPECT_EQ(browser.value("installed").toBool(), i == 0);
        EXPECT_EQ(browser.value("items").toArray().size(), itemCounts[i]);
    }
    const QJsonObject safari = browsers[0].toObject();
    EXPECT_EQ(safari.value("items").toArray()[0].toObject().value("item").toString(), "historyS");
    EXPECT_EQ(safari.value("items").toArray()[0].toObject().value("bytes").toInteger(), 1500000);
    EXPECT_EQ(safari.value("basic").toObject().value("bytes").toInteger(), 1500000);
    EXPECT_EQ(safari.value("basic").toObject().value("text").toString(), "1.5 MB");
    EXPECT_EQ(safari.value("complete").toObject().value("bytes").toInteger(), 1500700);
    EXPECT_EQ(browsers[3].toObject().value("complete").toObject().value("text").toString(),
              "12 Bytes");
    // Keys keep the documented order.
    EXPECT_LT(run.out.indexOf("\"user\""), run.out.indexOf("\"access_granted\""));
    EXPECT_LT(run.out.indexOf("\"access_granted\""), run.out.indexOf("\"browsers\""));
}

TEST(StatusCommandTest, BadArgumentsAndUnusableRootsExitWithTwo) {
    const QString binary = qEnvironmentVariable("QUENZEL_BINARY");
    if (binary.isEmpty()) {
        GTEST_SKIP() << "QUENZEL_BINARY is set by ctest";
    }
    FixtureHome home;
    struct Case {
        QStringList arguments;
        int code;
    } cases[] = {
        {{"--root", home.root() + "/missing", "status"}, 2},
        {{"--root"}, 2},
        {{"--bogus", "status"}, 2},
        {{"--root", home.root(), "status", "--xml"}, 2},
        {{"--root", home.root(), "frobnicate"}, 2},
        {{"--user", "../etc", "--root", home.root(), "status"}, 2},
        {{"--background", "--root", home.root(), "status"}, 2},
        {{"--help"}, 0},
        {{"--version"}, 0},
        // Qt's own options are Qt's business, not unknown ones.
        {{"-stylesheet", "none.qss", "--platform", "offscreen", "--root", home.root(), "status"},
         0},
    };
    for (const Case& c : cases) {
        QProcess process;
        process.start(binary, c.arguments);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), c.code) << c.arguments.join(' ').toStdString();
        if (c.code == 2) {
            const QStringList lines =
                QString::fromUtf8(process.readAllStandardError()).trimmed().split('\n');
            EXPECT_EQ(lines.size(), 1) << lines.join('|').toStdString();
            EXPECT_TRUE(lines.value(0).startsWith("quenzel: "));
        }
    }
}

}  // namespace
}  // namespace qz
