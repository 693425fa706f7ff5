#include <gtest/gtest.h>

#include "core/monitor/LogoLevels.h"

namespace qz {
namespace {

TEST(LogoLevels, LevelBoundaries) {
    const std::vector<std::pair<quint64, int>> cases = {
        {80000000, 0},  {80000001, 1},  {130000001, 2},   {180000001, 3}, {230000001, 4},
        {250000001, 5}, {300000000, 5}, {300000001, 6},   {350000001, 7}, {390000001, 8},
        {440000000, 8}, {440000001, 9}, {~quint64(0), 9},
    };
    for (const auto& [total, level] : cases) {
        SCOPED_TRACE(total);
        EXPECT_EQ(levelForTotal(total), level);
    }
}

// A regular row per browser and every irregular one: Firefox's 9 repeats its 8, Chrome's 9 keeps
// the 8's button, Opera's 9 moves its button down; out-of-range levels use the nearest row.
TEST(LogoLevels, FramesPerBrowserAndLevel) {
    struct Case {
        BrowserId browser;
        int level;
        QRect logo;
        QPoint button;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {BrowserId::Safari, 4, {-1, 71, 200, 135}, {122, 167}},
        {BrowserId::Firefox, 3, {0, 71, 155, 130}, {108, 165}},
        {BrowserId::Firefox, 8, {0, 71, 155, 160}, {114, 196}},
        {BrowserId::Firefox, 9, {0, 71, 155, 160}, {114, 196}},
        {BrowserId::Chrome, 8, {0, 71, 160, 160}, {115, 196}},
        {BrowserId::Chrome, 9, {0, 71, 160, 165}, {115, 196}},
        {BrowserId::Opera, 8, {0, 71, 160, 160}, {112, 196}},
        {BrowserId::Opera, 9, {0, 71, 160, 165}, {112, 194}},
        {BrowserId::Opera, 12, {0, 71, 160, 165}, {112, 194}},
        {BrowserId::Safari, -3, {-1, 71, 200, 107}, {114, 146}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.browser) << " level " << c.level);
        const LogoFrames frames = logoFrames(c.browser, c.level);
        EXPECT_EQ(frames.logo, c.logo);
        EXPECT_EQ(frames.button, QRect(c.button, QSize(28, 28)));
    }
}

}  // namespace
}  // namespace qz
