#include <gtest/gtest.h>

#include "gui/chrome/PopupPlacement.h"

namespace qz {
namespace {

TEST(PopupPlacementTest, StaysOnTheScreenNearEveryEdge) {
    const QSize popup(220, 300);
    const QRect lowScreen(0, 0, 1280, 500);
    constexpr auto L = PopupAlignment::Left;
    constexpr auto C = PopupAlignment::Center;
    const struct {
        const char* where;
        QRect anchor;
        PopupAlignment alignment;
        QPoint expected;
        QRect screen = QRect(0, 0, 1280, 800);
    } cases[] = {
        {"room below", {500, 100, 20, 20}, L, {500, 120}},
        {"centred below", {500, 100, 20, 20}, C, {400, 120}},
        {"bottom edge: flips above", {500, 700, 20, 20}, L, {500, 400}},
        {"top edge: below even when tight", {500, 0, 20, 20}, L, {500, 20}},
        {"right edge: moves left", {1270, 100, 20, 20}, L, {1060, 120}},
        {"left edge: moves right", {-30, 100, 20, 20}, C, {0, 120}},
        {"bottom-right corner", {1275, 790, 20, 20}, C, {1060, 490}},
        // A low screen where neither side has room: the roomier side, moved onto the screen.
        {"roomier below: moves up", {500, 200, 20, 20}, L, {500, 200}, lowScreen},
        {"roomier above: moves down", {500, 280, 20, 20}, L, {500, 0}, lowScreen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        const QPoint at = popupPosition(c.anchor, popup, c.screen, c.alignment);
        EXPECT_EQ(at, c.expected);
        EXPECT_TRUE(c.screen.contains(QRect(at, popup)));
    }
    // Preferring the top edge (the title bar's history): above while it fits, else below.
    constexpr auto A = PopupSide::Above;
    const struct {
        const char* where;
        QRect anchor;
        QPoint expected;
        QRect screen = QRect(0, 0, 1280, 800);
    } above[] = {
        {"room above", {500, 400, 20, 20}, {400, 100}},
        {"exactly the room", {500, 300, 20, 20}, {400, 0}},
        {"top edge: flips below", {500, 100, 20, 20}, {400, 120}},
        {"roomier above: moves down", {500, 280, 20, 20}, {400, 0}, lowScreen},
        {"roomier below: moves up", {500, 200, 20, 20}, {400, 200}, lowScreen},
    };
    for (const auto& c : above) {
        SCOPED_TRACE(c.where);
        const QPoint at = popupPosition(c.anchor, popup, c.screen, C, A);
        EXPECT_EQ(at, c.expected);
        EXPECT_TRUE(c.screen.contains(QRect(at, popup)));
    }
    // A screen with an offset (a second monitor or a panel on top) and a pop-up taller than it.
    const QRect lower(0, 40, 800, 200);
    EXPECT_EQ(popupPosition({100, 100, 20, 20}, popup, lower, L), QPoint(100, 40));
}

}  // namespace
}  // namespace qz
