#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"
#include "gui/chrome/Frames.h"
#include "gui/chrome/GradientView.h"
#include "gui/chrome/TitleBarContainer.h"
#include "gui/chrome/TitleBarView.h"
#include "gui/chrome/TitleBarWindow.h"
#include "support/Contrast.h"

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

TEST(TitleBarWindowTest, PlacesTheButtonsByTheirProperties) {
    const struct {
        bool centerLights;
        qreal lightsTop;
        bool centerFullScreen;
        qreal fullScreenTop, fullScreenRight;
        int lightsY, fullScreenY, fullScreenX;
    } cases[] = {
        // Defaults: lights centred in the 40-high bar, full screen 3 below the top.
        {true, 3.0, false, 3.0, 7.0, 14, 3, 200 - 7 - 14},
        {false, 5.0, true, 3.0, 20.0, 5, 13, 200 - 20 - 14},
        {false, 0.0, false, 9.0, 0.0, 0, 9, 200 - 14},
    };
    for (const auto& c : cases) {
        TitleBarWindow window;
        window.setTitleBarHeight(40);
        window.setContentSize({200, 100});
        window.setTrafficLightButtonsLeftMargin(13);
        window.setTrafficLightSeparation(6);
        window.setCenterTrafficLightButtons(c.centerLights);
        window.setTrafficLightButtonsTopMargin(c.lightsTop);
        window.setCenterFullScreenButton(c.centerFullScreen);
        window.setFullScreenButtonTopMargin(c.fullScreenTop);
        window.setFullScreenButtonRightMargin(c.fullScreenRight);
        for (int i = TitleBarWindow::CloseButton; i <= TitleBarWindow::ZoomButton; ++i) {
            const auto* light = window.standardWindowButton(TitleBarWindow::WindowButton(i));
            EXPECT_EQ(light->pos(), QPoint(13 + i * (light->width() + 6), c.lightsY));
        }
        const auto* fullScreen = window.standardWindowButton(TitleBarWindow::FullScreenButton);
        EXPECT_EQ(fullScreen->pos(), QPoint(c.fullScreenX, c.fullScreenY));
    }
}

TEST(TitleBarWindowTest, ADoubleClickMinimisesOnItsReleaseOnlyWhenTheSettingSaysSo) {
    const QString key = Settings::Key::miniaturizeOnDoubleClick;
    const struct {
        std::optional<bool> setting;
        bool minimises;
    } cases[] = {{std::nullopt, false}, {false, false}, {true, true}};
    for (const auto& c : cases) {
        UserDefaults& defaults = UserDefaults::standard();
        c.setting ? defaults.setBool(*c.setting, key) : defaults.removeObjectForKey(key);
        TitleBarWindow window;
        window.setContentSize({200, 100});
        window.show();
        QWidget* bar = window.titleBarView();
        const QPoint middle(100, 10);
        QTest::mouseClick(bar, Qt::LeftButton, {}, middle);
        QTest::mousePress(bar, Qt::LeftButton, {}, middle);
        QMouseEvent second(QEvent::MouseButtonDblClick, middle, bar->mapToGlobal(middle),
                           Qt::LeftButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(bar, &second);
        EXPECT_FALSE(window.isMinimized());  // not yet: the release decides
        QTest::mouseRelease(bar, Qt::LeftButton, {}, middle);
        EXPECT_EQ(window.isMinimized(), c.minimises);
    }
    UserDefaults::standard().removeObjectForKey(key);
}

TEST(TitleBarWindowTest, SheetsOpenJustBelowTheBar) {
    TitleBarWindow window;
    window.setTitleBarHeight(40);
    window.setContentSize({500, 300});
    window.move(50, 60);
    window.show();
    QMessageBox sheet(QMessageBox::Warning, QStringLiteral("Title"),
                      QStringLiteral("A longer message that makes the sheet grow as it shows."),
                      QMessageBox::Ok, &window);
    sheet.setWindowModality(Qt::WindowModal);
    sheet.open();
    const QRect frame = sheet.frameGeometry();  // its top, decoration included
    EXPECT_EQ(frame.top(), window.mapToGlobal(QPoint(0, 40)).y());
    EXPECT_NEAR(frame.center().x(), window.geometry().center().x(), 1);
}

TEST(TitleBarWindowTest, FullScreenFillsBlackAndHidesTheBarOnlyWhenAsked) {
    for (const bool hide : {false, true}) {
        SCOPED_TRACE(hide);
        TitleBarWindow window;
        window.setTitleBarHeight(40);
        window.setContentSize({200, 100});
        window.setBackgroundColor(Qt::white);
        window.setHideTitleBarInFullScreen(hide);
        window.show();
        window.toggleFullScreen();
        ASSERT_TRUE(window.isFullScreen());
        EXPECT_EQ(window.titleBarHeight(), hide ? 0.0 : 40.0);
        EXPECT_EQ(window.titleBarContainer()->isVisible(), !hide);
        EXPECT_EQ(window.contentView()->geometry().top(), hide ? 0 : 40);
        EXPECT_EQ(window.contentView()->height(), window.height() - (hide ? 0 : 40));
        if (!hide) {
            // Black shows in the rounded-off corner instead of the window's background.
            EXPECT_LT(window.titleBarView()->grab().toImage().pixelColor(0, 0).redF(), 0.05);
        }
        window.toggleFullScreen();
        EXPECT_FALSE(window.isFullScreen());
        EXPECT_EQ(window.titleBarHeight(), 40.0);
        EXPECT_TRUE(window.titleBarContainer()->isVisible());
        EXPECT_EQ(window.size(), QSize(200, 140));
        EXPECT_GT(window.titleBarView()->grab().toImage().pixelColor(0, 0).redF(), 0.95);
    }
}

TEST(TitleBarWindowTest, DrawsTheTitleOnlyWhenAsked) {
    QImage bars[2];
    for (const bool shows : {false, true}) {
        TitleBarWindow window;
        window.setTitleBarHeight(30);
        window.setContentSize({300, 50});
        window.setWindowTitle(QStringLiteral("WWWWWW"));
        window.setShowsTitle(shows);
        bars[shows] = window.titleBarView()->grab().toImage();
    }
    const QRect middle(120, 8, 60, 14);
    EXPECT_EQ(bars[0].copy(middle.translated(-100, 0)), bars[0].copy(middle));  // an empty bar
    EXPECT_NE(bars[0].copy(middle), bars[1].copy(middle));
}

using test::contrast;

TEST(TitleBarWindowTest, TextOnTheFixedBackgroundReadsInLightAndDarkThemes) {
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(0x24, 0x24, 0x24));
    dark.setColor(QPalette::WindowText, Qt::white);
    const struct {
        const char* name;
        QPalette theme;
        QColor background;
    } cases[] = {
        {"light theme, light window", original, QColor(214, 215, 216)},
        {"dark theme, light window", dark, QColor(214, 215, 216)},
        {"light theme, dark window", original, QColor(40, 40, 40)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QApplication::setPalette(c.theme);
        TitleBarWindow window;
        window.setBackgroundColor(c.background);
        QLabel label(QStringLiteral("Firefox"), window.contentView());
        // Every pair of text and ground the fixed palette paints: labels and boxes, buttons,
        // fields, selections and tips.
        const struct {
            QPalette::ColorRole text, ground;
        } pairs[] = {{QPalette::WindowText, QPalette::Window},
                     {QPalette::ButtonText, QPalette::Button},
                     {QPalette::ButtonText, QPalette::Window},  // a flat tool button
                     {QPalette::Text, QPalette::Base},
                     {QPalette::PlaceholderText, QPalette::Base},
                     {QPalette::HighlightedText, QPalette::Highlight},
                     {QPalette::ToolTipText, QPalette::ToolTipBase}};
        for (const auto& pair : pairs) {
            for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
                const QPalette& colors = label.palette();
                EXPECT_GE(
                    contrast(colors.color(group, pair.text), colors.color(group, pair.ground)), 4.5)
                    << pair.text << " on " << pair.ground << " in group " << group;
            }
        }
        EXPECT_EQ(label.palette().color(QPalette::Window), c.background);
    }
    QApplication::setPalette(original);
}

// The close button is a Tab stop and rings itself when the keyboard brings the focus, not when
// the window hands its first focus out.
TEST(TitleBarWindowTest, TheCloseButtonTakesTabAndShowsARingOnlyForTheKeyboard) {
    const struct {
        Qt::FocusReason why;
        bool ringed;
    } cases[] = {{Qt::TabFocusReason, true},
                 {Qt::BacktabFocusReason, true},
                 {Qt::ActiveWindowFocusReason, false},
                 {Qt::MouseFocusReason, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TitleBarWindow window;
        window.setContentSize({200, 100});
        window.show();
        QApplication::setActiveWindow(&window);  // focus events reach an active window only
        QAbstractButton* close = window.standardWindowButton(TitleBarWindow::CloseButton);
        EXPECT_TRUE(close->focusPolicy() & Qt::TabFocus);
        close->clearFocus();  // the window's opening may have handed it the focus already
        close->setFocus(c.why);
        ASSERT_EQ(window.focusWidget(), close);
        const QImage image = close->grab().toImage();
        int blue = 0;  // pixels of the focus ring's deep blue
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                blue += pixel.blue() > 150 && pixel.red() < 90 && pixel.green() < 120;
            }
        }
        EXPECT_EQ(blue > 0, c.ringed) << blue;
    }
}

TEST(GradientViewTest, RunsFromTheLightTopToTheDarkBottom) {
    GradientView view;
    view.resize(40, 200);
    const QImage image = view.grab().toImage();
    const struct {
        int y;
        QColor expected;
    } rows[] = {{0, GradientView::kTopColor}, {199, GradientView::kBottomColor}};
    for (const auto& row : rows) {
        const QColor sampled = image.pixelColor(20, row.y);
        EXPECT_NEAR(sampled.redF(), row.expected.redF(), 0.01);
        EXPECT_NEAR(sampled.greenF(), row.expected.greenF(), 0.01);
        EXPECT_NEAR(sampled.blueF(), row.expected.blueF(), 0.01);
    }
}

}  // namespace
}  // namespace qz
