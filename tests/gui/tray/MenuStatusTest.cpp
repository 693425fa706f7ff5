#include "gui/tray/MenuStatus.h"

#include <QApplication>
#include <QSignalSpy>

#include "core/formats/Bundle.h"
#include "core/formats/Localization.h"
#include "core/settings/Settings.h"
#include "gui/chrome/BundleImage.h"
#include "gui/tray/ImageFactory.h"
#include "gui/tray/MonitorUiTestSupport.h"

namespace qz {
namespace {

using test::ScaledTime;

const QString kHistory = QStringLiteral("/Users/%@/Library/Safari/History.plist");
const QString kChromeCache = QStringLiteral("/Users/%@/Library/Caches/Google/Chrome/Default/Cache");

class MenuStatusTest : public ScaledTime {
  protected:
    void SetUp() override {
        ScaledTime::SetUp();
        defaults().setObject(QVariant::fromValue<quint64>(1000), Settings::Key::alertThreshold);
    }

    // Waits until a measurement that started after this call has reached the status item: the
    // second one applied from now on (the first may have been under way already).
    // Starts the status item and its factory, and waits for the first figures to reach it.
    static void start(MenuStatus& status, ImageFactory& factory) {
        QSignalSpy first(&status, &MenuStatus::updated);
        status.awakeFromNib();
        factory.awakeFromNib();
        ASSERT_TRUE(first.wait(5000));
    }

    static void tick(MenuStatus& status) {
        const int before = status.updates();
        status.updatesize();
        ASSERT_TRUE(test::waitFor([&] { return status.updates() >= before + 2; }));
    }

    test::FixtureHome home;
};

TEST_F(MenuStatusTest, TheStatusItemIsReplacedOnlyWhenTheIconChanges) {
    ImageFactory factory(defaults(), Localization::shared());
    MenuStatus status(home.files(), home.sizes(), factory);
    start(status, factory);
    QPointer<QSystemTrayIcon> calm = status.statusItem();
    ASSERT_TRUE(calm);
    EXPECT_EQ(status.statusItemImage(), kIconCalm);
    EXPECT_EQ(calm->contextMenu(), status.statusMenu());

    tick(status);  // same totals, same icon: the very same item stays
    EXPECT_EQ(status.statusItem(), calm.data());

    home.writeFile(kHistory, 1000);
    tick(status);  // at the threshold: a new item with the alert icon
    EXPECT_EQ(factory.totals()[BrowserId::Safari], 1000u);
    QPointer<QSystemTrayIcon> alert = status.statusItem();
    EXPECT_TRUE(calm.isNull());
    ASSERT_TRUE(alert);
    EXPECT_EQ(status.statusItemImage(), kIconAlert);
    EXPECT_TRUE(factory.menuEntry(BrowserId::Safari)->isVisible());
    EXPECT_FALSE(factory.ok()->isVisible());
    EXPECT_EQ(factory.menuEntry(BrowserId::Safari)->text(), Localization::shared().text("CareS"));

    // While its menu is open the item shows the alternate image, then its own again.
    emit status.statusMenu()->aboutToShow();
    EXPECT_EQ(alert->icon().cacheKey(), bundleImage(kIconSelected).cacheKey());
    emit status.statusMenu()->aboutToHide();
    EXPECT_EQ(alert->icon().cacheKey(), bundleImage(kIconAlert).cacheKey());

    QFile::remove(home.local(kHistory));
    tick(status);  // the file is gone on the next tick: back to calm, another new item
    EXPECT_TRUE(alert.isNull());
    EXPECT_EQ(status.statusItemImage(), kIconCalm);
    EXPECT_EQ(factory.totals()[BrowserId::Safari], 0u);
}

TEST_F(MenuStatusTest, BrowsersAreMeasuredInstalledOrNotButOnlyInstalledOnesAlert) {
    ImageFactory factory(defaults(), Localization::shared());
    MenuStatus status(home.files(), home.sizes(), factory);
    home.writeFile(kChromeCache + QStringLiteral("/data_1"), 5000);
    QSignalSpy spy(&status, &MenuStatus::updated);
    status.awakeFromNib();
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_GE(factory.totals()[BrowserId::Chrome], 5000u);
    EXPECT_EQ(status.statusItemImage(), kIconCalm);
    EXPECT_FALSE(factory.menuEntry(BrowserId::Chrome)->isVisible());

    home.installApp(QStringLiteral("/Users/%@/Applications/Google Chrome.app"));
    tick(status);
    EXPECT_EQ(status.statusItemImage(), kIconAlert);
    EXPECT_TRUE(factory.menuEntry(BrowserId::Chrome)->isVisible());
}

TEST_F(MenuStatusTest, TheItemAppearsOnceATrayTurnsUpAfterTheStart) {
    ImageFactory factory(defaults(), Localization::shared());
    MenuStatus status(home.files(), home.sizes(), factory);
    bool trayRunning = false;
    status.setTrayProbe([&trayRunning] { return trayRunning; });
    start(status, factory);
    QPointer<QSystemTrayIcon> item = status.statusItem();
    ASSERT_TRUE(item);
    EXPECT_FALSE(item->isVisible());
    tick(status);
    EXPECT_FALSE(item->isVisible());

    trayRunning = true;  // the panel with the tray comes up later
    tick(status);
    EXPECT_EQ(status.statusItem(), item.data());
    EXPECT_TRUE(item->isVisible());
}

TEST_F(MenuStatusTest, AboutAndPreferencesEntriesAskTheWindowSide) {
    ImageFactory factory(defaults(), Localization::shared());
    MenuStatus status(home.files(), home.sizes(), factory);
    const struct {
        const char* key;
        void (MenuStatus::*signal)();
    } rows[] = {{"menuAbout", &MenuStatus::aboutRequested},
                {"menuPreferences", &MenuStatus::preferencesRequested}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        QSignalSpy asked(&status, row.signal);
        QAction* entry = nullptr;
        for (QAction* action : status.statusMenu()->actions()) {
            if (action->text() == Localization::shared().text(QLatin1String(row.key))) {
                entry = action;
            }
        }
        ASSERT_NE(entry, nullptr);
        entry->trigger();
        EXPECT_EQ(asked.count(), 1);
    }
}

TEST_F(MenuStatusTest, APlainClickOnTheTrayIconOpensTheWindow) {
    ImageFactory factory(defaults(), Localization::shared());
    MenuStatus status(home.files(), home.sizes(), factory);
    start(status, factory);
    ASSERT_NE(status.statusItem(), nullptr);
    const struct {
        QSystemTrayIcon::ActivationReason why;
        int opened;
    } cases[] = {{QSystemTrayIcon::Trigger, 1},
                 {QSystemTrayIcon::Context, 0},
                 {QSystemTrayIcon::MiddleClick, 0}};
    for (const auto& c : cases) {
        QSignalSpy opened(&status, &MenuStatus::openRequested);
        emit status.statusItem()->activated(c.why);
        EXPECT_EQ(opened.count(), c.opened) << c.why;
    }
}

// The glyph stays visible on the panel: the light form on a dark palette, the dark one on a
// light palette, and the item follows a palette that changes while it is shown.
TEST_F(MenuStatusTest, TheIconTakesTheFormThatShowsOnThePanelsPalette) {
    const struct {
        QColor window;
        QString icon;
        QString form;
    } cases[] = {
        {QColor(0xef, 0xef, 0xef), kIconCalm, kIconCalm},
        {QColor(0xef, 0xef, 0xef), kIconAlert, kIconAlert},
        {QColor(0x35, 0x35, 0x35), kIconCalm, "qzbDark"},
        {QColor(0x35, 0x35, 0x35), kIconAlert, "qzaDark"},
        {QColor(0x80, 0x80, 0x80), kIconCalm, kIconCalm},
        {QColor(0x7f, 0x7f, 0x7f), kIconCalm, "qzbDark"},
        {QColor(0x35, 0x35, 0x35), kIconSelected, kIconSelected},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window.name().toStdString() + " " + c.icon.toStdString());
        QPalette panel;
        panel.setColor(QPalette::Window, c.window);
        EXPECT_EQ(MenuStatus::iconForm(c.icon, panel), c.form);
        EXPECT_FALSE(bundleImage(c.form).isNull());
    }

    ImageFactory factory(defaults(), Localization::shared());
    MenuStatus status(home.files(), home.sizes(), factory);
    start(status, factory);
    ASSERT_NE(status.statusItem(), nullptr);
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x2a, 0x2a, 0x2e));
    QApplication::setPalette(dark);
    const qint64 shownOnDark = status.statusItem()->icon().cacheKey();
    QApplication::setPalette(light);
    EXPECT_EQ(shownOnDark, bundleImage("qzbDark").cacheKey());
    EXPECT_EQ(status.statusItem()->icon().cacheKey(), bundleImage(kIconCalm).cacheKey());
}

}  // namespace
}  // namespace qz
