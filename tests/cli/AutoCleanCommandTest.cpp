// `quenzel autoclean`, what `status --json` says of it, and automatic cares in `history --json`.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/history/CareHistory.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"
#include "fixtures/LinuxHome.h"
#include "support/CliRun.h"

namespace qz {
namespace {

using test::runCommand;

// Each case starts from nothing stored, runs its commands in turn (each with its exit code),
// then reads back the listing line of chromium and what status --json says.
TEST(AutoCleanCommandTest, TurnsOnAndOffAndRefusesWhatItDoesNotKnow) {
    test::LinuxHome home;
    struct Step {
        QStringList arguments;
        int code;
    };
    struct Case {
        const char* what;
        QList<Step> steps;
        QString line;              // chromium's line in the listing
        const char* presetInJson;  // null when off
        QStringList customItems;
    };
    const Case cases[] = {
        {"on with the basic preset by default",
         {{{"autoclean", "chromium", "on"}, 0}},
         "chromium    on   basic",
         "basic",
         {}},
        {"complete, then off",
         {{{"autoclean", "chromium", "on", "--preset", "complete"}, 0},
          {{"autoclean", "chromium", "off"}, 0}},
         "chromium    off",
         nullptr,
         {}},
        {"custom with its items",
         {{{"autoclean", "chromium", "on", "--preset=custom", "--items", "historyM,cacheM"}, 0}},
         "chromium    on   custom",
         "custom",
         {"historyM", "cacheM"}},
        {"an unknown browser",
         {{{"autoclean", "netscape", "on"}, 2}},
         "chromium    off",
         nullptr,
         {}},
        {"a browser of the other layout",
         {{{"autoclean", "safari", "on"}, 2}},
         "chromium    off",
         nullptr,
         {}},
        {"an unknown preset leaves the setting as it was",
         {{{"autoclean", "chromium", "on"}, 0},
          {{"autoclean", "chromium", "on", "--preset", "everything"}, 2}},
         "chromium    on   basic",
         "basic",
         {}},
        {"an item the browser lacks",
         {{{"autoclean", "chromium", "on", "--preset", "custom", "--items", "historyS"}, 2}},
         "chromium    off",
         nullptr,
         {}},
        {"items without the custom preset",
         {{{"autoclean", "chromium", "on", "--items", "historyM"}, 2}},
         "chromium    off",
         nullptr,
         {}},
        {"neither on nor off",
         {{{"autoclean", "chromium", "maybe"}, 2}},
         "chromium    off",
         nullptr,
         {}},
        {"off takes no preset",
         {{{"autoclean", "chromium", "off", "--preset", "basic"}, 2}},
         "chromium    off",
         nullptr,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UserDefaults& defaults = UserDefaults::standard();
        defaults.removeObjectForKey(Settings::Key::autoClean("chromium"));
        defaults.removeObjectForKey(Settings::Key::customItems("chromium"));
        ASSERT_TRUE(defaults.synchronize()) << defaults.lastError().toStdString();
        for (const Step& step : c.steps) {
            const test::CommandRun run = runCommand(home.files(), step.arguments);
            EXPECT_EQ(run.code, step.code) << run.err.toStdString();
            EXPECT_EQ(run.err.isEmpty(), step.code == 0);
        }
        const QStringList lines = runCommand(home.files(), {"autoclean"}).out.split(u'\n');
        EXPECT_TRUE(lines.contains(c.line)) << lines.join(" | ").toStdString();
        EXPECT_TRUE(lines.contains("brave       off"));

        const QJsonObject root =
            QJsonDocument::fromJson(runCommand(home.files(), {"status", "--json"}).out.toUtf8())
                .object();
        for (const QJsonValue browser : root.value("browsers").toArray()) {
            if (browser.toObject().value("key") == "chromium") {
                const QJsonObject onClose = browser.toObject().value("auto_clean").toObject();
                EXPECT_EQ(onClose.value("on").toBool(), c.presetInJson != nullptr);
                EXPECT_EQ(onClose.value("preset"), c.presetInJson ? QJsonValue(c.presetInJson)
                                                                  : QJsonValue(QJsonValue::Null));
            }
        }
        defaults.synchronize();
        EXPECT_EQ(Settings(defaults).customItems("chromium"), c.customItems);
    }
}

// An automatic care is marked in the JSON history; an ordinary one carries no such key.
TEST(AutoCleanCommandTest, HistoryMarksTheAutomaticCares) {
    test::LinuxHome home;
    QFile::remove(HistoryList::defaultFilePath());
    CareHistory history;
    ASSERT_TRUE(history.record(BrowserId::Chrome));
    ASSERT_TRUE(history.record(BrowserId::Chromium, nullptr, nullptr, /*automatic=*/true));
    const QJsonArray entries =
        QJsonDocument::fromJson(runCommand(home.files(), {"history", "--json"}).out.toUtf8())
            .array();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_FALSE(entries[0].toObject().contains(HistoryList::kAutomaticKey));
    EXPECT_EQ(entries[1].toObject().value(HistoryList::kAutomaticKey), QJsonValue(true));
    EXPECT_EQ(entries[1].toObject().value(HistoryList::kNameKey), "Chromium");
    QFile::remove(HistoryList::defaultFilePath());
}

}  // namespace
}  // namespace qz
