// The preferences' rows for cleaning on close: what a click stores, and what they show of the
// settings.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/care/AutoCleanChoice.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"
#include "fixtures/LinuxHome.h"
#include "gui/window/AutoCleanSection.h"

namespace qz {
namespace {

TEST(AutoCleanSectionTest, EachRowStoresItsBrowsersChoiceAndShowsTheStoredOne) {
    test::LinuxHome home;
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath("quenzel.conf"));
    Settings settings(defaults);
    setAutoCleanChoice(BrowserId::Brave, AutoCleanPreset::Custom, settings);
    AutoCleanSection section(home.files(), defaults);
    EXPECT_EQ(section.browsers(), installedBrowsers(home.files()));
    EXPECT_TRUE(section.checkBox(BrowserId::Brave)->isChecked());
    EXPECT_EQ(section.presetChoice(BrowserId::Brave)->currentIndex(), 2);
    EXPECT_EQ(section.checkBox(BrowserId::Safari), nullptr);  // not of this layout

    const struct {
        const char* what;
        std::optional<bool> tick;  // the box set to this
        int preset;                // the pop-up's entry chosen; -1: left
        const char* stored;        // chromium's stored preset; empty: off
    } steps[] = {
        {"ticked: the shown preset", true, -1, "basic"},
        {"another preset", std::nullopt, 1, "complete"},
        {"unticked: off", false, -1, ""},
        {"a preset while off stays off", std::nullopt, 2, ""},
        {"ticked again: that preset", true, -1, "custom"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.tick) {
            section.checkBox(BrowserId::Chromium)->setChecked(*step.tick);
        }
        if (step.preset >= 0) {
            section.presetChoice(BrowserId::Chromium)->setCurrentIndex(step.preset);
        }
        EXPECT_EQ(settings.autoCleanPreset("chromium"), QString::fromLatin1(step.stored));
        EXPECT_EQ(section.presetChoice(BrowserId::Chromium)->isEnabled(), *step.stored != 0);
    }
    EXPECT_EQ(settings.autoCleanPreset("brave"), "custom");  // other rows untouched
    // A change made elsewhere shows once the section looks again.
    setAutoCleanChoice(BrowserId::Brave, std::nullopt, settings);
    section.showStored();
    EXPECT_FALSE(section.checkBox(BrowserId::Brave)->isChecked());
    EXPECT_EQ(settings.autoCleanPreset("chromium"), "custom");
}

}  // namespace
}  // namespace qz
