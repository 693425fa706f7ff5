// The About panel: version texts, credits with their trailing lines, the scrolling timer, and
// everything that hides the panel.
#include "gui/extras/AboutPanelController.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

#include "core/formats/Bundle.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

class AboutPanelTest : public ::testing::Test {
  protected:
    test::ScopedTimeScale time{0.01};
    AboutPanelController about;
    QScrollBar* bar() const { return about.textScrollView()->verticalScrollBar(); }
    bool shown() const { return about.panelToDisplay()->isVisible(); }
};

TEST_F(AboutPanelTest, ShowsVersionBuildAndCreditsFollowedByEmptyLines) {
    EXPECT_EQ(about.shortInfoField->text(), "Version " + Bundle::shortVersion());
    EXPECT_EQ(about.versionField->text(), "Build " + Bundle::version());
    EXPECT_FALSE(Bundle::version().isEmpty());
    const QTextDocument* document = about.textView->document();
    EXPECT_TRUE(document->toPlainText().startsWith("Quenzel"));
    int emptyAtEnd = 0;
    for (QTextBlock block = document->lastBlock(); block.isValid() && block.text().isEmpty();
         block = block.previous()) {
        ++emptyAtEnd;
    }
    EXPECT_EQ(emptyAtEnd, AboutPanelController::kTrailingLines);
    EXPECT_EQ(about.panelToDisplay()->windowFlags() & Qt::FramelessWindowHint,
              Qt::FramelessWindowHint);
    EXPECT_EQ(about.panelToDisplay()->palette().color(QPalette::Window),
              QColor::fromRgbF(0.92f, 0.92f, 0.92f));
}

TEST_F(AboutPanelTest, ScrollsOnePointPerTickFromWhatIsShownAndStopsAtTheEnd) {
    about.setShowsScroller(false);
    EXPECT_EQ(about.textScrollView()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    about.showPanel();
    QTimer* timer = about.scrollingTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), TimeScale::milliseconds(AboutPanelController::kScrollInterval));
    about.showPanel();  // again while shown: the same single timer
    EXPECT_EQ(about.scrollingTimer(), timer);
    ASSERT_GT(bar()->maximum(), 100);
    ASSERT_TRUE(test::waitFor([&] { return bar()->value() >= 3; }));

    timer->stop();  // single steps by hand from here
    const struct {
        int shown;
        int after;
    } steps[] = {{0, 1},
                 {40, 41},
                 {bar()->maximum() - 1, bar()->maximum()},
                 {bar()->maximum(), bar()->maximum()}};
    for (const auto& step : steps) {
        bar()->setValue(step.shown);  // e.g. the user's scroll wheel
        about.scrollOneUnit();
        EXPECT_EQ(bar()->value(), step.after) << step.shown;
    }
    about.hidePanel();
    EXPECT_EQ(about.scrollingTimer(), nullptr);
    about.showPanel();  // each showing starts from the top
    EXPECT_EQ(bar()->value(), 0);
}

TEST_F(AboutPanelTest, KeysAndLeftOrRightClicksHideThePanelAndGoNoFurther) {
    const struct {
        const char* name;
        QEvent::Type type;
        Qt::MouseButton button;
        bool hides;
        Qt::Key key = Qt::Key_Down;
    } rows[] = {
        {"key", QEvent::KeyPress, Qt::NoButton, true},
        {"Shift alone", QEvent::KeyPress, Qt::NoButton, false, Qt::Key_Shift},
        {"Ctrl alone", QEvent::KeyPress, Qt::NoButton, false, Qt::Key_Control},
        {"left click", QEvent::MouseButtonPress, Qt::LeftButton, true},
        {"right click", QEvent::MouseButtonPress, Qt::RightButton, true},
        {"middle click", QEvent::MouseButtonPress, Qt::MiddleButton, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        about.showPanel();
        QWidget* target = about.textView->viewport();
        bool handled = false;
        if (row.type == QEvent::KeyPress) {
            QKeyEvent key(QEvent::KeyPress, row.key, Qt::NoModifier);
            handled = QApplication::sendEvent(about.textView, &key);
        } else {
            QMouseEvent press(row.type, QPointF(5, 5), QPointF(5, 5), row.button, row.button,
                              Qt::NoModifier);
            handled = QApplication::sendEvent(target, &press);
        }
        EXPECT_EQ(handled && !shown(), row.hides);
        EXPECT_EQ(shown(), !row.hides);
        EXPECT_EQ(about.scrollingTimer() == nullptr, row.hides);
        EXPECT_EQ(bar()->value(), 0);  // the key did not scroll the text
    }
}

TEST_F(AboutPanelTest, LeavingTheApplicationOrAnotherWindowBecomingActiveHidesIt) {
    about.showPanel();
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(shown());
    EXPECT_EQ(about.scrollingTimer(), nullptr);

    about.showPanel();
    ASSERT_TRUE(test::waitFor([&] { return about.panelToDisplay()->isActiveWindow(); }));
    QWidget other;
    other.show();
    other.activateWindow();
    EXPECT_TRUE(test::waitFor([&] { return !shown(); }));
    EXPECT_EQ(about.scrollingTimer(), nullptr);
}

}  // namespace
}  // namespace qz
