#include "gui/tray/CustomLogo.h"

#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>

#include "core/formats/Localization.h"
#include "core/formats/PropertyList.h"
#include "gui/tray/MonitorUiTestSupport.h"
#include "support/LocalHttpServer.h"

namespace qz {
namespace {

using test::ScaledTime;
using test::waitFor;

// A panel as the interface files lay it out: 250 points high, the logo and its update button.
std::unique_ptr<QWidget> makePanel(BrowserId browser, bool updateVisible = false) {
    auto panel = std::make_unique<QWidget>();
    panel->resize(browser == BrowserId::Safari ? 200 : 175, 250);
    (new QLabel(panel.get()))->setGeometry(0, 72, 160, 100);
    auto* update = new QToolButton(panel.get());
    update->setGeometry(100, 76, 28, 28);
    update->setVisible(updateVisible);
    return panel;
}

// The panel's logo and button, handed over as the panel controller hands them.
PanelControls controlsOf(QWidget* panel) {
    PanelControls controls;
    controls.panel = panel;
    controls.logo = panel->findChild<QLabel*>();
    controls.update = panel->findChild<QToolButton*>();
    return controls;
}

std::unique_ptr<CustomLogo> makeController(BrowserId browser, QWidget* panel,
                                           test::FixtureHome& home, const QUrl& list = QUrl()) {
    std::unique_ptr<CustomLogo> controller(
        newLogoController(browser, controlsOf(panel), home.sizes(), home.files()));
    controller->setParent(nullptr);  // owned here, so it goes before the fixture's files
    controller->setVersionListUrl(list);
    return controller;
}

void measureOnce(CustomLogo& controller) {
    QSignalSpy spy(&controller, &CustomLogo::levelApplied);
    controller.checkLogoSize();
    ASSERT_TRUE(spy.wait(5000));
}

class CustomLogoTest : public ScaledTime {};

TEST_F(CustomLogoTest, TheMeasuredTotalSetsTheFramesOfItsLevelOnTheWidgets) {
    struct Case {
        const char* name;
        BrowserId browser;
        QString file;
        qint64 size;
        int level;
        QRect logo;  // Qt geometry in the 250-point panel
        QRect button;
    };
    const QString opera =
        QStringLiteral("/Users/%@/Library/Application Support/com.operasoftware.Opera/History");
    const QString oldOpera = QStringLiteral("/Users/%@/Library/Opera/global_history.dat");
    // clang-format off
    const Case cases[] = {
        {"Safari with nothing", BrowserId::Safari, QString(), 0, 0, {-1, 72, 200, 107},
         {114, 76, 28, 28}},
        {"Opera exactly 440000000 is level 8", BrowserId::Opera, opera, 440000000, 8,
         {0, 19, 160, 160}, {112, 26, 28, 28}},
        {"Opera level 9 drops the button", BrowserId::Opera, opera, 440000001, 9,
         {0, 14, 160, 165}, {112, 28, 28, 28}},
        {"the older Opera's files do not count", BrowserId::Opera, oldOpera, 500000000, 0,
         {0, 79, 160, 100}, {97, 76, 28, 28}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FixtureHome home;
        if (!c.file.isEmpty()) {
            test::sparseFile(home, c.file, c.size);
        }
        auto panel = makePanel(c.browser);
        auto controller = makeController(c.browser, panel.get(), home);
        measureOnce(*controller);
        EXPECT_EQ(controller->level(), c.level);
        QWidget* logo = controller->logo();
        EXPECT_TRUE(waitFor([&] {
            return logo->geometry() == c.logo && controller->update()->geometry() == c.button;
        })) << "logo "
            << logo->geometry().y() << " button " << controller->update()->y();
    }
}

TEST_F(CustomLogoTest, FramesAreAnimatedAndTheButtonMovesWhenTheLogoIsGone) {
    TimeScale::setFactor(1.0);  // a real-length animation, to see it under way
    test::FixtureHome home;
    auto panel = makePanel(BrowserId::Firefox);
    auto controller = makeController(BrowserId::Firefox, panel.get(), home);
    controller->applyLevel(9);
    QWidget* logo = controller->logo();
    EXPECT_NE(logo->geometry(), QRect(0, 19, 155, 160));
    EXPECT_TRUE(logo->findChild<QPropertyAnimation*>());
    ASSERT_TRUE(waitFor([&] { return logo->geometry() == QRect(0, 19, 155, 160); }));

    TimeScale::setFactor(0.01);
    delete logo;
    EXPECT_EQ(controller->logo(), nullptr);
    measureOnce(*controller);  // an empty home: level 0
    EXPECT_TRUE(
        waitFor([&] { return controller->update()->geometry() == QRect(100, 76, 28, 28); }));
}

TEST_F(CustomLogoTest, TheLogoGrowsOnItsOwnTimerAsDataIsAdded) {
    test::FixtureHome home;
    auto panel = makePanel(BrowserId::Chrome);
    CustomLogo* controller =
        newLogoController(BrowserId::Chrome, controlsOf(panel.get()), home.sizes(), home.files());
    controller->setVersionListUrl(QUrl());
    controller->awakeFromNib();
    EXPECT_EQ(controller->level(), -1);  // no measurement at start-up itself
    ASSERT_TRUE(waitFor([&] { return controller->level() == 0; }));
    test::sparseFile(home,
                     QStringLiteral("/Users/%@/Library/Caches/Google/Chrome/Default/Media Cache/m"),
                     200000000);
    ASSERT_TRUE(waitFor([&] { return controller->level() == 3; }));
    EXPECT_TRUE(waitFor([&] { return controller->logo()->height() == 127; }));
    panel.reset();  // the controller goes with its panel, before the fixture
}

// The fetches run at the real time scale: their time-out is scaled too.
TEST_F(CustomLogoTest, TheUpdateButtonShowsWhenTheListNamesANewerVersion) {
    TimeScale::setFactor(1.0);
    test::LocalHttpServer server;
    struct Case {
        const char* name;
        BrowserId browser;
        QList<std::pair<QString, QString>> apps;  // bundle, version
        QString listPath;
        bool initiallyVisible;
        bool visible;
    };
    const QString chrome = QStringLiteral("/Applications/Google Chrome.app");
    // clang-format off
    const Case cases[] = {
        {"installed is a prefix of the published", BrowserId::Chrome, {{chrome, "29.0"}},
         "/list.plist", false, true},
        {"not installed keeps its visibility", BrowserId::Opera, {}, "/list.plist", true, true},
        {"an unreachable list gives no advice", BrowserId::Chrome, {{chrome, "1.0"}},
         "/missing.plist", true, false},
    };
    // clang-format on
    server.serve(QStringLiteral("/list.plist"),
                 {200, PropertyList::toXml(QVariantMap{
                           {"chrome", "29.0.1"}, {"firefox", "31.0"}, {"opera", "99.0"}})});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FixtureHome home;
        for (const auto& [app, version] : c.apps) {
            home.installApp(app, version);
        }
        auto panel = makePanel(c.browser, c.initiallyVisible);
        auto controller = makeController(c.browser, panel.get(), home, server.url(c.listPath));
        QSignalSpy spy(controller.get(), &CustomLogo::updateChecked);
        controller->checkUpdate();
        ASSERT_TRUE(spy.wait(5000));
        EXPECT_EQ(controller->update()->isVisibleTo(panel.get()), c.visible);
    }
}

TEST_F(CustomLogoTest, TheUpdateButtonOpensASheetOnTheWindowEvenWithoutTheList) {
    TimeScale::setFactor(1.0);
    test::LocalHttpServer server;
    server.serve(QStringLiteral("/list.plist"),
                 {200, PropertyList::toXml(QVariantMap{{"opera", "99.0"}})});
    const Localization& texts = Localization::shared();
    for (const char* path : {"/list.plist", "/missing.plist"}) {
        SCOPED_TRACE(path);
        test::FixtureHome home;
        QWidget window;
        auto panel = makePanel(BrowserId::Opera, true);
        panel->setParent(&window);
        auto controller =
            makeController(BrowserId::Opera, panel.get(), home, server.url(QLatin1String(path)));
        QSignalSpy spy(controller.get(), &CustomLogo::sheetShown);
        controller->update()->click();
        controller->update()->click();  // a second press while the first is on its way
        ASSERT_TRUE(spy.wait(5000));
        QMessageBox* sheet = controller->sheet();
        ASSERT_TRUE(sheet);
        EXPECT_EQ(sheet->parentWidget(), &window);
        EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
        const bool listed = QLatin1String(path) == QLatin1String("/list.plist");
        const UpdateSheet expected = updateSheet(
            BrowserId::Opera, listed ? std::optional<QString>("99.0") : std::nullopt, texts);
        EXPECT_EQ(sheet->informativeText(), expected.informativeText);
        QTest::qWait(20);
        EXPECT_EQ(spy.size(), 1);
        sheet->buttons().first()->click();
        EXPECT_TRUE(waitFor([&] { return controller->sheet() == nullptr; }));
    }
}

}  // namespace
}  // namespace qz
