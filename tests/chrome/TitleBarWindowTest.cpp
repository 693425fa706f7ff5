#include <gtest/gtest.h>

#include <QImage>

#include "chrome/TitleBarWindow.h"
#include "platform/Frames.h"

namespace qz {
namespace {

TEST(FramesTest, TurnsBottomLeftFramesIntoTopLeftGeometry) {
    const struct {
        QRectF frame;
        qreal superviewHeight;
        QRect expected;
    } cases[] = {
        {{10, 0, 20, 30}, 100, {10, 70, 20, 30}},
        {{137.5, 69, 100, 32}, 258, {138, 157, 100, 32}},
        {{335, 5.5, 28, 29}, 40, {335, 6, 28, 29}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(toQtRect(c.frame, c.superviewHeight), c.expected);
    }
}

TEST(TitleBarWindowTest, ContentSizeLeavesRoomForTheBarAndButtonsFollowTheMargin) {
    TitleBarWindow window;
    window.setTitleBarHeight(40);
    window.setContentSize({375, 258});
    EXPECT_EQ(window.size(), QSize(375, 298));
    EXPECT_EQ(window.contentView()->geometry(), QRect(0, 40, 375, 258));

    window.setTrafficLightButtonsLeftMargin(13);
    QAbstractButton* close = window.standardWindowButton(TitleBarWindow::CloseButton);
    EXPECT_EQ(close->x(), 13);
    EXPECT_EQ(close->y() * 2 + close->height(), 40);  // centred in the bar

    // A taller bar keeps the content's size.
    window.setTitleBarHeight(50);
    EXPECT_EQ(window.size(), QSize(375, 308));
}

TEST(TitleBarWindowTest, DrawsTheBarInItsColoursWithAnOptionalBaseline) {
    const QColor grey = QColor::fromRgbF(0.8392f, 0.8431f, 0.847f);
    for (const bool baseline : {false, true}) {
        SCOPED_TRACE(baseline);
        TitleBarWindow window;
        window.setTitleBarHeight(40);
        window.setContentSize({200, 100});
        for (auto set :
             {&TitleBarWindow::setTitleBarStartColor, &TitleBarWindow::setTitleBarEndColor,
              &TitleBarWindow::setInactiveTitleBarStartColor,
              &TitleBarWindow::setInactiveTitleBarEndColor}) {
            (window.*set)(grey);
        }
        window.setShowsBaselineSeparator(baseline);
        window.setBackgroundColor(Qt::white);
        const QImage bar = window.titleBarView()->grab().toImage();
        EXPECT_NEAR(bar.pixelColor(bar.width() / 2, bar.height() / 2).redF(), grey.redF(), 0.03);
        // The dark separator line, or the bar's own colour.
        EXPECT_NEAR(bar.pixelColor(bar.width() / 2, bar.height() - 1).redF(),
                    baseline ? 0.5 : grey.redF(), baseline ? 0.2 : 0.03);
        // The top corners are rounded off: the window's background shows in the very corner.
        EXPECT_GT(bar.pixelColor(0, 0).redF(), 0.95);
    }
}

}  // namespace
}  // namespace qz
