// A window test: short waits, no first-launch welcome window (it has tests of its own; here it
// would be one more window), and no folder grant left behind for the next test.
#pragma once

#include <gtest/gtest.h>

#include "core/formats/Bookmark.h"
#include "core/settings/Settings.h"
#include "core/settings/TimeScale.h"
#include "core/settings/UserDefaults.h"

namespace qz::test {

class WindowTest : public testing::Test {
  protected:
    // The home folder granted as the user grants it, or no grant at all.
    static void grantHome(const QString& home, bool granted = true) {
        if (granted) {
            UserDefaults::standard().setObject(Bookmark::create(home), Settings::Key::folderGrant);
        } else {
            UserDefaults::standard().removeObjectForKey(Settings::Key::folderGrant);
        }
    }
    void SetUp() override {
        TimeScale::setFactor(0.01);
        UserDefaults::standard().setBool(false, QStringLiteral("welcome"));
    }
    void TearDown() override {
        UserDefaults::standard().removeObjectForKey(Settings::Key::folderGrant);
        TimeScale::setFactor(1);
    }
};

}  // namespace qz::test
