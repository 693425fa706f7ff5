// The presets of cleaning on close: their names, the selection each gives, and the texts after.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/browsers/Catalogue.h"
#include "core/care/AutoCleanChoice.h"
#include "core/formats/Localization.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"

namespace qz {
namespace {

QStringList selected(const QHash<QString, int>& states) {
    QStringList items;
    for (auto it = states.cbegin(); it != states.cend(); ++it) {
        if (it.value() == 1) {
            items.append(it.key());
        }
    }
    items.sort();
    return items;
}

TEST(AutoCleanChoiceTest, StoredNamesGiveThePresetsSelection) {
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath("quenzel.conf"));
    Settings settings(defaults);
    settings.setCustomItems("chromium", {"cookiesM", "historyS", "cacheM"});
    QStringList basic = catalogue(BrowserId::Chromium).basicSet;
    basic.sort();
    QStringList all = catalogue(BrowserId::Chromium).declarationOrder;
    all.sort();
    const struct {
        const char* stored;  // the stored value; empty: none
        std::optional<AutoCleanPreset> preset;
        QStringList items;  // sorted
    } cases[] = {
        {"", std::nullopt, {}},
        {"basic", AutoCleanPreset::Basic, basic},
        {"complete", AutoCleanPreset::Complete, all},
        // Another browser's item among the custom ones is left out.
        {"custom", AutoCleanPreset::Custom, {"cacheM", "cookiesM"}},
        {"Basic", std::nullopt, {}},
        {"everything", std::nullopt, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        settings.setAutoCleanPreset("chromium", QString::fromLatin1(c.stored));
        EXPECT_EQ(autoCleanChoice(BrowserId::Chromium, settings), c.preset);
        EXPECT_EQ(autoCleanBrowsers(Layout::Linux, settings).contains(BrowserId::Chromium),
                  c.preset.has_value());
        if (c.preset) {
            EXPECT_EQ(autoCleanPresetName(*c.preset), QString::fromLatin1(c.stored));
            EXPECT_EQ(
                selected(autoCleanSelection(BrowserId::Chromium, catalogue(BrowserId::Chromium),
                                            *c.preset, settings)),
                c.items);
        }
    }
    EXPECT_FALSE(autoCleanBrowsers(Layout::MacOS, settings).contains(BrowserId::Chromium));
}

TEST(AutoCleanChoiceTest, TheNotificationNamesTheBrowserAndWhatStayed) {
    const Localization texts = Localization::forLanguage("en");
    CareReport done;
    done.browser = BrowserId::Chromium;
    CareReport stayed = done;
    stayed.failed.append(
        CareFailure{"/home/u/.config/chromium/Default/History", "Permission denied"});
    const struct {
        UserNotification notification;
        QString title;
        QString textHas;
    } cases[] = {
        {autoCleanNotification(done, texts), "Chromium cleaned as it closed",
         "Chromium has been cleaned."},
        {autoCleanNotification(stayed, texts), "Chromium was not cleaned as it closed",
         "History: Permission denied"},
        {autoCleanRefused(BrowserId::Chromium, AutoCleanRefusal::NoGrant, texts),
         "Chromium was not cleaned as it closed", "no access to your home folder"},
        {autoCleanRefused(BrowserId::Chromium, AutoCleanRefusal::NothingSelected, texts),
         "Chromium was not cleaned as it closed", "selects no item"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        EXPECT_EQ(c.notification.title, c.title);
        EXPECT_TRUE(c.notification.informativeText.contains(c.textHas))
            << c.notification.informativeText.toStdString();
    }
}

}  // namespace
}  // namespace qz
