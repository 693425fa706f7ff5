#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <cstdlib>
#include <memory>
#include <optional>

#include "core/settings/TimeScale.h"
#include "core/settings/UserDefaults.h"
#include "fixtures/FixtureHome.h"
#include "gui/panels/CareModule.h"
#include "gui/window/AppDelegate.h"
#include "gui/window/VisibleWindows.h"

namespace qz {
namespace {

using test::FixtureHome;
using Slots = std::array<std::optional<BrowserId>, 4>;

constexpr auto S = BrowserId::Safari;
constexpr auto F = BrowserId::Firefox;
constexpr auto C = BrowserId::Chrome;
constexpr auto O = BrowserId::Opera;

class AppDelegateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TimeScale::setFactor(0.01);
        // The welcome window has tests of its own; here it would be one more window.
        UserDefaults::standard().setBool(false, QStringLiteral("welcome"));
    }
    void TearDown() override { TimeScale::setFactor(1); }

    static void install(FixtureHome& home, const QList<BrowserId>& browsers) {
        for (BrowserId browser : browsers) {
            home.installApp(browserInfo(browser).applicationPaths.first());
        }
    }
    // A window on the home, built and launched (or only built).
    static std::unique_ptr<AppDelegate> open(FixtureHome& home, bool launched = true) {
        auto delegate = std::make_unique<AppDelegate>(home.files(), home.sizes());
        delegate->awakeFromNib();
        if (launched) {
            delegate->applicationDidFinishLaunching();
        }
        return delegate;
    }
    FixtureHome home;
};

TEST_F(AppDelegateTest, PlacesOnePanelPerInstalledBrowserOnlyWhenSafariIsThere) {
    const struct {
        QList<BrowserId> installed;
        Slots expected;
    } rows[] = {
        {{S, F, C, O}, {S, F, C, O}},
        {{S, F, C}, {S, F, C, std::nullopt}},
        {{S, F, O}, {S, F, O, std::nullopt}},
        {{S, C, O}, {S, C, O, std::nullopt}},
        {{S, F}, {S, F, std::nullopt, std::nullopt}},
        {{S, C}, {S, C, std::nullopt, std::nullopt}},
        {{S, O}, {S, O, std::nullopt, std::nullopt}},
        {{S}, {S, std::nullopt, std::nullopt, std::nullopt}},
        {{F, C, O}, {}},
    };
    for (const auto& row : rows) {
        FixtureHome fresh;
        install(fresh, row.installed);
        const auto delegate = open(fresh, false);
        AppController& vista = *delegate->vista();
        for (int slot = 0; slot < 4; ++slot) {
            SCOPED_TRACE(::testing::Message()
                         << row.installed.size() << " installed, slot " << slot);
            EXPECT_EQ(vista.browserInSlot(slot), row.expected[slot]);
            const QList<QWidget*> panels = vista.slotViews()[slot]->findChildren<QWidget*>(
                QString(), Qt::FindDirectChildrenOnly);
            ASSERT_EQ(panels.size(), row.expected[slot] ? 1 : 0);
            if (row.expected[slot]) {
                EXPECT_EQ(panels.first()->geometry(), QRect(0, 0, slot == 0 ? 200 : 175, 250));
                EXPECT_EQ(vista.module(*row.expected[slot])->panel(), panels.first());
            }
        }
        for (BrowserId browser : kAllBrowsers) {
            const bool placed = std::find(row.expected.begin(), row.expected.end(),
                                          std::optional<BrowserId>(browser)) != row.expected.end();
            EXPECT_EQ(vista.module(browser) != nullptr, placed);
        }
    }
}

// The pop-up's heading is written as it opens, so each names its own browser then.
TEST_F(AppDelegateTest, EachPanelsPopUpOpensHeadedByItsBrowsersName) {
    install(home, {S, F, C, O});
    const auto delegate = open(home);
    for (BrowserId browser : {S, F, C, O}) {
        SCOPED_TRACE(browserInfo(browser).displayName.toStdString());
        CareModule* module = delegate->vista()->module(browser);
        ASSERT_NE(module, nullptr);
        auto* info = module->panel()->findChild<QAbstractButton*>(QStringLiteral("info"));
        ASSERT_NE(info, nullptr);
        info->click();
        QWidget* popover = module->popover();
        ASSERT_TRUE(popover && popover->isVisible());
        const auto* heading = popover->findChild<QLabel*>(QStringLiteral("popoverText"));
        ASSERT_NE(heading, nullptr);
        EXPECT_TRUE(heading->text().startsWith(
            QStringLiteral("<b>%1</b><br>").arg(browserInfo(browser).displayName.toHtmlEscaped())))
            << heading->text().toStdString();
        popover->hide();
    }
}

TEST_F(AppDelegateTest, PerUserFirefoxCountsAndSafariIsOnlyLookedForSystemWide) {
    home.installApp(QStringLiteral("/Applications/Safari.app"));
    home.installApp(QStringLiteral("/Users/%@/Applications/Firefox.app"));
    home.installApp(QStringLiteral("/Users/%@/Applications/Safari.app"));
    EXPECT_EQ(open(home, false)->vista()->browserInSlot(1), F);

    FixtureHome userSafariOnly;
    userSafariOnly.installApp(QStringLiteral("/Users/%@/Applications/Safari.app"));
    EXPECT_EQ(open(userSafariOnly, false)->vista()->browserInSlot(0), std::nullopt);
}

TEST_F(AppDelegateTest, SizesTheWindowAndRecentresTheAccessControlsPerBrowserCount) {
    const struct {
        QList<BrowserId> installed;
        QSize content;
        QRect chooseHD;
        QRect textUpdate;
        QRect helpSandbox;
    } rows[] = {
        {{S}, {200, 258}, {50, 155, 100, 42}, {12, 148, 176, 60}, {88, 202, 25, 25}},
        {{S, O}, {375, 258}, {138, 157, 100, 32}, {18, 159, 340, 40}, {176, 199, 25, 25}},
        {{S, F, C}, {550, 258}, {225, 170, 100, 32}, {105, 159, 340, 40}, {263, 207, 25, 25}},
        {{S, F, C, O}, {725, 258}, {313, 170, 100, 32}, {193, 159, 340, 40}, {351, 207, 25, 25}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.installed.size());
        FixtureHome fresh;
        install(fresh, row.installed);
        const auto delegate = open(fresh);
        EXPECT_EQ(delegate->window()->contentSize(), row.content);
        EXPECT_EQ(delegate->window()->size(), row.content + QSize(0, 40));
        EXPECT_EQ(delegate->chooseHD()->geometry(), row.chooseHD);
        EXPECT_EQ(delegate->textUpdate()->geometry(), row.textUpdate);
        EXPECT_EQ(delegate->helpSandbox()->geometry(), row.helpSandbox);
        const QFont font = delegate->textUpdate()->font();
        const bool narrow = row.installed.size() == 1;
        EXPECT_EQ(font.family() == QStringLiteral("LucidaGrande") && font.pointSize() == 11,
                  narrow);

        // A longer translation widens the button about the same centre instead of clipping.
        delegate->chooseHD()->setText(QStringLiteral("Consenti accesso alla cartella home"));
        delegate->layoutForBrowserCount(static_cast<int>(row.installed.size()));
        const QRect wide = delegate->chooseHD()->geometry();
        EXPECT_GE(wide.width(), delegate->chooseHD()->sizeHint().width());
        EXPECT_LE(std::abs(wide.center().x() - row.chooseHD.center().x()), 1);
        EXPECT_EQ(wide.top(), row.chooseHD.top());
    }
}

TEST_F(AppDelegateTest, StylesTheWindowAndItsTitleBar) {
    install(home, {S, F});
    const auto delegate = open(home);
    TitleBarWindow& window = *delegate->window();
    EXPECT_EQ(window.titleBarStartColor(), QColor::fromRgbF(0.8392f, 0.8431f, 0.847f));
    EXPECT_EQ(window.titleBarEndColor(), window.titleBarStartColor());
    EXPECT_FALSE(window.showsBaselineSeparator());
    EXPECT_EQ(window.standardWindowButton(TitleBarWindow::CloseButton)->x(), 13);
    EXPECT_TRUE(window.standardWindowButton(TitleBarWindow::ZoomButton)->isHidden());
    EXPECT_TRUE(window.standardWindowButton(TitleBarWindow::MiniaturizeButton)->isHidden());
    // Title picture centred, history button 35 points from the right edge.
    EXPECT_EQ(delegate->titleImage()->geometry(), QRect(136, 8, 103, 20));
    EXPECT_EQ(delegate->historyButton()->geometry(), QRect(340, 6, 28, 29));
    EXPECT_EQ(delegate->titleImage()->parentWidget(), window.titleBarView());
}

TEST_F(AppDelegateTest, RatingPromptAtTheFirstReopenWithoutVisibleWindowsOnly) {
    UserDefaults& defaults = UserDefaults::standard();
    defaults.removeObjectForKey(QStringLiteral("leaveReview"));
    install(home, {S});
    const auto opened = open(home);
    AppDelegate& delegate = *opened;
    const struct {
        bool visibleWindows;
        bool promptShown;
        const char* ratingPage = "http://127.0.0.1:9/rate";
    } reopens[] = {{false, false, ""},  // nowhere to rate: no prompt, the question waits
                   {true, false},
                   {false, true},
                   {false, false},
                   {true, false}};
    for (const auto& reopen : reopens) {
        SCOPED_TRACE(reopen.visibleWindows);
        qputenv("QUENZEL_RATINGPAGE", reopen.ratingPage);
        delegate.window()->hide();
        delegate.splash()->hide();
        EXPECT_TRUE(delegate.applicationShouldHandleReopen(reopen.visibleWindows));
        EXPECT_EQ(delegate.splash()->isVisible(), reopen.promptShown);
        EXPECT_EQ(delegate.window()->isVisible(), !reopen.visibleWindows);
    }
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("leaveReview")));
    qunsetenv("QUENZEL_RATINGPAGE");
    delegate.window()->show();
    delegate.splash()->show();
    delegate.window()->close();  // Ctrl+W, Esc or the close button
    EXPECT_FALSE(delegate.splash()->isVisible());
}

TEST_F(AppDelegateTest, ASecondStartBringsTheWindowForwardWhateverElseIsShown) {
    UserDefaults::standard().setBool(false, QStringLiteral("leaveReview"));
    install(home, {S});
    const auto opened = open(home);
    TitleBarWindow* window = opened->window();
    // What the tray icon puts on the screen: a top-level widget the window manager never sees.
    QWidget trayHelper(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    QWidget popup(nullptr, Qt::Popup);
    QWidget other;
    const struct {
        const char* state;
        void (QWidget::*apply)();
        QWidget* alsoShown;
        bool countsAsVisible;
    } rows[] = {
        {"hidden, tray icon shown", &QWidget::hide, &trayHelper, false},
        {"hidden, pop-up open", &QWidget::hide, &popup, false},
        {"minimised", &QWidget::showMinimized, nullptr, false},
        {"hidden, another window open", &QWidget::hide, &other, true},
        {"shown", &QWidget::show, nullptr, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.state);
        (window->*row.apply)();
        if (row.alsoShown) {
            row.alsoShown->show();
        }
        EXPECT_EQ(hasVisibleWindows(), row.countsAsVisible);
        opened->reopen();
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->isMinimized());
        if (row.alsoShown) {
            row.alsoShown->hide();
        }
    }
}

TEST_F(AppDelegateTest, ApplicationSupportFolderIsCreatedUnderTheDataFolder) {
    AppDelegate delegate(home.files(), home.sizes());
    const QString folder = delegate.quenzelApplicationSupportFolder();
    EXPECT_TRUE(folder.endsWith(QStringLiteral("/DIZEROV")));
    EXPECT_TRUE(folder.startsWith(qEnvironmentVariable("XDG_DATA_HOME")));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

}  // namespace
}  // namespace qz
