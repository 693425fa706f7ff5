// The shell around the main window: the task-bar option and enabled state, the one preferences
// window, the rating prompt's buttons, the title-bar menu and the welcome window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLocale>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <memory>

#include "core/formats/Localization.h"
#include "core/settings/Log.h"
#include "core/settings/UserDefaults.h"
#include "fixtures/FixtureHome.h"
#include "gui/chrome/TaskbarPresence.h"
#include "gui/tray/ImageFactory.h"
#include "gui/window/AppDelegate.h"
#include "gui/window/AutoCleanSection.h"
#include "gui/window/PreferencesWindowController.h"
#include "gui/window/WelcomeWindowController.h"
#include "services/AccessLinks.h"
#include "services/Workspace.h"
#include "support/Contrast.h"
#include "support/LocalHttpServer.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

const QString kQuenzel = QStringLiteral("quenzel");
const QString kWelcome = QStringLiteral("welcome");
const std::pair<const char*, const char*> kAddresses[] = {
    {"QUENZEL_SOCIALPAGE", "http://127.0.0.1:9/social"},
    {"QUENZEL_BLOG", "http://127.0.0.1:9/blog"},
    {"QUENZEL_RATINGPAGE", "http://127.0.0.1:9/rate"},
    {"QUENZEL_CONTACTMAIL", "mailto:quenzel@localhost"}};

class ShellWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("QUENZEL_WEBSITE", server.site().toUtf8());
        // The package knows none of these addresses; the tests give them.
        for (const auto& [name, address] : kAddresses) {
            qputenv(name, address);
        }
        defaults().removeObjectForKey(kQuenzel);
        defaults().setBool(false, kWelcome);  // the welcome window only where a test wants it
        previousOpener = Workspace::setOpener([this](const QUrl& url) {
            opened.append(url);
            return true;
        });
        home.installApp(QStringLiteral("/Applications/Safari.app"));
    }
    void TearDown() override {
        Workspace::setOpener(previousOpener);
        qputenv("QUENZEL_WEBSITE", "http://127.0.0.1:9");
        for (const auto& address : kAddresses) {
            qunsetenv(address.first);
        }
        QLocale::setDefault(QLocale::c());
    }
    static UserDefaults& defaults() { return UserDefaults::standard(); }
    std::unique_ptr<AppDelegate> launch(bool background = false) {
        auto delegate = std::make_unique<AppDelegate>(home.files(), home.sizes());
        delegate->setStartsInBackground(background);
        delegate->awakeFromNib();
        delegate->applicationDidFinishLaunching();
        return delegate;
    }
    static WelcomeWindowController* welcomeOf(const AppDelegate& delegate) {
        return static_cast<WelcomeWindowController*>(delegate.welcome());
    }

    test::LocalHttpServer server;
    test::FixtureHome home;
    QList<QUrl> opened;
    Workspace::Opener previousOpener;
};

TEST_F(ShellWindowsTest, TheTaskBarOptionTakesEffectAtTheNextLaunchAndSharesItsKey) {
    const struct {
        std::optional<bool> stored;
        bool inTaskBar;
    } rows[] = {{std::nullopt, true}, {true, true}, {false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored ? int(*row.stored) : -1);
        defaults().removeObjectForKey(kQuenzel);
        if (row.stored) {
            defaults().setBool(*row.stored, kQuenzel);
        }
        const auto delegate = launch();
        EXPECT_EQ(delegate->dockIconCheckbox()->isChecked(), row.inTaskBar);
        // Where the choice cannot take effect (no X11 display) the box says so.
        EXPECT_EQ(delegate->dockIconCheckbox()->toolTip().contains("Wayland"),
                  !taskbarPresenceApplies());
        EXPECT_EQ(!skipsTaskbar(delegate->window()), row.inTaskBar);
        EXPECT_TRUE(delegate->avvisoIcon()->isHidden());

        delegate->dockIconCheckbox()->setChecked(!row.inTaskBar);
        delegate->toggleDockIcon();
        EXPECT_EQ(defaults().boolForKey(kQuenzel), !row.inTaskBar);
        EXPECT_EQ(delegate->avvisoIcon()->isHidden(), !row.inTaskBar);
        EXPECT_FALSE(skipsTaskbar(delegate->window()));  // off waits; on comes at once

        // The enabled state writes the same key, leaving the box alone.
        const bool box = delegate->dockIconCheckbox()->isChecked();
        const bool enabled = delegate->shadyEnabled();
        delegate->toggleEnabledStatus();
        EXPECT_EQ(delegate->shadyEnabled(), !enabled);
        EXPECT_EQ(defaults().boolForKey(kQuenzel), !enabled);
        EXPECT_EQ(delegate->dockIconCheckbox()->isChecked(), box);
    }
}

// The title-bar menu lists the window's commands, then each link whose address is known; an
// entry sends its own address.
TEST_F(ShellWindowsTest, TheTitleBarMenuHasALinkForEachKnownAddressOnly) {
    const QStringList commands{"menuAbout", "menuPreferences", "menuShare", "menuWelcome"};
    const struct {
        bool addresses;  // blog and rating page known
        QStringList links;
    } rows[] = {{true, {"menuWebsite", "menuSupport", "menuBlog", "menuReview"}},
                {false, {"menuWebsite", "menuSupport"}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.addresses);
        if (!row.addresses) {
            qunsetenv("QUENZEL_BLOG");
            qunsetenv("QUENZEL_RATINGPAGE");
        }
        const auto delegate = launch();
        QStringList entries;
        QList<QAction*> links;
        for (QAction* action : delegate->window()->titleBarView()->actions()) {
            if (!action->isSeparator()) {
                entries << action->objectName();
                if (!commands.contains(action->objectName())) {
                    links << action;
                }
            }
        }
        EXPECT_EQ(entries, commands + row.links);
        const QList<QUrl> expected{
            endpointUrl(Endpoint::WebSite), endpointUrl(Endpoint::SupportPage),
            QUrl("http://127.0.0.1:9/blog"), QUrl("http://127.0.0.1:9/rate")};
        for (int i = 0; i < links.size(); ++i) {
            opened.clear();
            links[i]->trigger();
            EXPECT_EQ(opened, QList<QUrl>{expected[i]}) << i;
        }
    }
}

TEST_F(ShellWindowsTest, OnePreferencesWindowFromTrayAndTitleBarAndEscapeClosesIt) {
    const auto delegate = launch();
    ImageFactory factory(defaults(), Localization::shared());
    delegate->vista()->setImageFactory(&factory);
    QWidget* bar = delegate->window()->titleBarView();
    EXPECT_EQ(bar->contextMenuPolicy(), Qt::ActionsContextMenu);

    bar->actions().at(1)->trigger();
    PreferencesWindowController* window = delegate->vista()->preferencesWindow();
    ASSERT_NE(window, nullptr);
    delegate->vista()->preferences();
    EXPECT_EQ(delegate->vista()->preferencesWindow(), window);
    // The delegate's two boxes, and a row per installed browser for cleaning on close.
    const auto* onClose = window->findChild<AutoCleanSection*>();
    ASSERT_NE(onClose, nullptr);
    EXPECT_EQ(window->findChildren<QCheckBox*>().size(), 2 + onClose->browsers().size());
    EXPECT_TRUE(window->isAncestorOf(delegate->loginCheck()));
    EXPECT_TRUE(window->isAncestorOf(delegate->avvisoIcon()));
    EXPECT_EQ(factory.pesoalert(), window->pesoalert());
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    window->twitterButton()->click();
    EXPECT_EQ(opened, QList<QUrl>{endpointUrl(Endpoint::SocialPage)});
}

TEST_F(ShellWindowsTest, RatingButtonsOpenTheirAddressThenCloseThePrompt) {
    const auto delegate = launch();
    const struct {
        QPushButton* button;
        Endpoint endpoint;
        const char* scheme;
    } rows[] = {{delegate->votaButton(), Endpoint::RatingPage, "http"},
                {delegate->emailvotaButton(), Endpoint::ContactMail, "mailto"}};
    for (const auto& row : rows) {
        opened.clear();
        delegate->splash()->show();
        EXPECT_TRUE(row.button->isVisible());
        row.button->click();
        ASSERT_EQ(opened.size(), 1);
        EXPECT_EQ(opened.first(), endpointUrl(row.endpoint));
        EXPECT_EQ(opened.first().scheme(), QLatin1String(row.scheme));
        EXPECT_FALSE(delegate->splash()->isVisible());
    }

    // Without their addresses (as the package ships) the prompt and the welcome window leave
    // those buttons out.
    for (const auto& address : kAddresses) {
        qunsetenv(address.first);
    }
    const auto bare = launch();
    bare->splash()->show();
    EXPECT_FALSE(bare->votaButton()->isVisible());
    EXPECT_FALSE(bare->emailvotaButton()->isVisible());
    bare->welcomeVideo();
    ASSERT_NE(welcomeOf(*bare), nullptr);
    EXPECT_FALSE(welcomeOf(*bare)->twitterButton()->isVisible());
    bare->vista()->preferences();
    ASSERT_NE(bare->vista()->preferencesWindow(), nullptr);
    EXPECT_FALSE(bare->vista()->preferencesWindow()->twitterButton()->isVisible());
    bare->vista()->preferencesWindow()->close();
    bare->splash()->close();
}

TEST_F(ShellWindowsTest, WelcomeShowsTheSitePageOnceOrTheBundledPageOffline) {
    const struct {
        bool siteAnswers;
        const char* locale;
        bool background;
        bool loggedElse;
    } rows[] = {
        {true, "en_GB", false, true},
        {false, "it_IT", false, false},
        {true, "en_US", true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.locale);
        server.serve("/welcome.html",
                     row.siteAnswers
                         ? test::LocalHttpServer::Answer{200, "<p>Hello from the site</p>"}
                         : test::LocalHttpServer::Answer{404, "gone"});
        QLocale::setDefault(QLocale(QLatin1String(row.locale)));
        defaults().removeObjectForKey(kWelcome);
        QStringList log;
        const Log::Sink previous = Log::setSink([&](const QString& line) { log << line; });
        const auto delegate = launch(row.background);
        Log::setSink(previous);
        EXPECT_EQ(log.contains("else"), row.loggedElse);
        if (row.background) {  // nothing shown yet, so the welcome is still to come
            EXPECT_EQ(delegate->welcome(), nullptr);
            EXPECT_TRUE(defaults().boolForKey(kWelcome));
            EXPECT_FALSE(delegate->window()->isVisible());
            continue;
        }
        WelcomeWindowController* welcome = welcomeOf(*delegate);
        ASSERT_NE(welcome, nullptr);
        EXPECT_TRUE(welcome->isVisible());
        EXPECT_FALSE(defaults().boolForKey(kWelcome));
        QSignalSpy loaded(welcome, &WelcomeWindowController::pageLoaded);
        ASSERT_TRUE(loaded.wait(5000));
        EXPECT_EQ(loaded.first().first().toBool(), row.siteAnswers);
        const QString shown = welcome->webView()->toPlainText();
        EXPECT_EQ(shown.contains("Hello from the site"), row.siteAnswers);
        EXPECT_EQ(shown.contains("Welcome to Quenzel"), !row.siteAnswers);

        // Closing loads the page again for the next showing, which reuses the window.
        const int requests = server.requests("/welcome.html");
        welcome->closeButton()->click();
        EXPECT_FALSE(welcome->isVisible());
        ASSERT_TRUE(loaded.wait(5000));
        EXPECT_EQ(server.requests("/welcome.html"), requests + 1);
        delegate->welcomeVideo();
        EXPECT_EQ(welcomeOf(*delegate), welcome);
        EXPECT_TRUE(welcome->isVisible());

        const auto later = launch();  // a later launch shows no welcome
        EXPECT_EQ(later->welcome(), nullptr);
    }

    // Without a site the pages installed with the program stand in, read from the disk.
    QTemporaryDir installed;
    QFile page(installed.filePath("welcome.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(R"(<p style="color:#1f2d33">Installed page</p><p>Plain <a href="x">link</a></p>)");
    page.close();
    qputenv("QUENZEL_WEBSITE", QUrl::fromLocalFile(installed.path()).toString().toUtf8());
    // Under a dark theme too, every piece of its text reads on the page's ground.
    const QPalette original = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(0x35, 0x35, 0x35), QColor(0x2b, 0x2b, 0x2b)));
    WelcomeWindowController welcome;
    EXPECT_TRUE(welcome.webView()->toPlainText().contains("Installed page"));
    const QPalette& colors = welcome.webView()->palette();
    int pieces = 0;
    for (QTextBlock block = welcome.webView()->document()->begin(); block.isValid();
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it, ++pieces) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QColor ink = format.isAnchor() ? colors.color(QPalette::Link)
                               : format.foreground().style() != Qt::NoBrush
                                   ? format.foreground().color()
                                   : colors.color(QPalette::Text);
            EXPECT_GE(test::contrast(ink, colors.color(QPalette::Base)), 4.5)
                << it.fragment().text().toStdString();
        }
    }
    EXPECT_EQ(pieces, 3);
    QApplication::setPalette(original);
    // Its links lead to the pages beside it, and to no other file.
    QList<QUrl> opened;
    const Workspace::Opener previous = Workspace::setOpener([&](const QUrl& url) {
        opened.append(url);
        return true;
    });
    for (const char* link : {"support.html#sandbox", "../elsewhere.html", "file:///etc/passwd"}) {
        emit welcome.webView()->anchorClicked(QUrl(QLatin1String(link)));
    }
    Workspace::setOpener(previous);
    QUrl support = QUrl::fromLocalFile(installed.filePath("support.html"));
    support.setFragment("sandbox");
    EXPECT_EQ(opened, QList<QUrl>{support});
}

TEST_F(ShellWindowsTest, TheTitleBarLaysOutTheSameWhateverTheFirstStart) {
    const struct {
        const char* name;
        bool background;
        void (AppDelegate::*show)();
    } cases[] = {{"shown at once", false, nullptr},
                 {"from the tray after a start in the tray", true, &AppDelegate::open},
                 {"by a later start after a start in the tray", true, &AppDelegate::reopen}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto delegate = launch(c.background);
        if (c.show) {
            (delegate.get()->*c.show)();
        }
        QWidget* bar = delegate->window()->titleBarView();
        ASSERT_TRUE(bar->isVisible());
        EXPECT_EQ(delegate->historyButton()->geometry().right(), bar->width() - 35 + 27);
        EXPECT_NEAR(delegate->titleImage()->geometry().center().x(), bar->width() / 2, 1);
    }
}

// The history opens above its button, anchored at the button's top edge, and below it only
// where the screen leaves no room above.
TEST_F(ShellWindowsTest, TheHistoryOpensAboveItsButtonUnlessTheScreenEndsThere) {
    const auto delegate = launch();
    QWidget* window = delegate->window();
    const QRect screen = window->screen()->availableGeometry();
    const struct {
        const char* name;
        int windowTop;
        bool above;
    } cases[] = {{"room above", screen.bottom() - window->height(), true},
                 {"at the screen's top", screen.top(), false}};
    // Once shown and hidden first: the offscreen platform places a window's first showing as
    // if it had a frame.
    delegate->historyPressed();
    ASSERT_NE(delegate->popover(), nullptr);
    delegate->popover()->hide();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window->move(window->x(), c.windowTop);
        QCoreApplication::processEvents();  // the move reaches the window system
        QWidget* button = delegate->historyButton();
        delegate->historyPressed();
        QWidget* history = delegate->popover();
        ASSERT_NE(history, nullptr);
        ASSERT_TRUE(history->isVisible());
        const QRect at(button->mapToGlobal(QPoint(0, 0)), button->size());
        if (c.above) {
            EXPECT_EQ(history->geometry().bottom() + 1, at.top());
        } else {
            EXPECT_EQ(history->geometry().top(), at.bottom() + 1);
        }
        history->hide();
    }
}

TEST_F(ShellWindowsTest, CtrlWAndEscapeCloseTheWindow) {
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)}) {
        SCOPED_TRACE(keys.toString().toStdString());
        const auto delegate = launch();
        QWidget* window = delegate->window();
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keySequence(window, keys);
        EXPECT_FALSE(window->isVisible());
    }
}

}  // namespace
}  // namespace qz
