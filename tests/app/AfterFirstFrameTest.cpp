// What waits for the window's first frame runs once it is painted, or without a frame when the
// window stays hidden or is never painted.
#include "app/AfterFirstFrame.h"

#include <gtest/gtest.h>

#include <QWidget>

#include "support/WaitFor.h"

namespace qz {
namespace {

TEST(AfterFirstFrameTest, RunsOnceAfterThePaintOrWithoutOne) {
    const struct {
        const char* name;
        bool shown;   // the window is to be shown
        bool paints;  // and it is shown (and painted)
        double timeScale;
    } cases[] = {
        {"painted", true, true, 10.0},  // the latest start, after 20 s, is not what runs it
        {"hidden", false, false, 10.0},
        {"never painted", true, false, 0.05},  // the latest start comes after 0.1 s
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ScopedTimeScale scale(c.timeScale);
        QWidget window;
        window.resize(200, 100);
        int runs = 0;
        bool paintedFirst = false;
        new AfterFirstFrame(&window, c.shown, [&] {
            ++runs;
            paintedFirst = window.isVisible();
        });
        if (c.paints) {
            window.show();
        }
        EXPECT_EQ(runs, 0);
        ASSERT_TRUE(test::waitFor([&] { return runs > 0; }, 5000));
        test::waitFor([] { return false; }, 200);  // past the latest start as well
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(paintedFirst, c.paints);
    }
}

}  // namespace
}  // namespace qz
