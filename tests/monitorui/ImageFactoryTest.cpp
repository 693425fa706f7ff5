#include "monitor/ui/ImageFactory.h"

#include <QMenu>

#include "MonitorUiTestSupport.h"
#include "platform/Localization.h"

namespace qz {
namespace {

using test::ScaledTime;
using test::waitFor;

const Localization kTexts({{QStringLiteral("QZ"), QStringLiteral("Quenzel")},
                           {QStringLiteral("CareS"), QStringLiteral("Safari is over")},
                           {QStringLiteral("CareC"), QStringLiteral("Chrome is over")},
                           {QStringLiteral("pesoalert4"), QStringLiteral("2 GB")}});

// The status menu's five driven entries, as the tray's menu holds them.
struct Menu {
    QMenu menu;
    explicit Menu(ImageFactory& factory) {
        for (size_t i = 0; i < 4; ++i) {
            factory.menuEntries[i] = menu.addAction(QString());
        }
        factory.ok = menu.addAction(QStringLiteral("ok"));
    }
};

class ImageFactoryTest : public ScaledTime {};

TEST_F(ImageFactoryTest, RestoresTheThresholdAndSelectsThePopupByExactMatch) {
    struct Case {
        const char* name;
        QVariant stored;  // invalid: nothing stored
        int index;
        quint64 inForce;
    };
    const Case cases[] = {
        {"first start stores the default", QVariant(), 0, 300000000},
        {"2 GB", QVariant::fromValue<quint64>(2000000000), 4, 2000000000},
        {"750 MB", QVariant::fromValue<quint64>(750000000), 2, 750000000},
        {"a value the pop-up lacks stays in force", QVariant::fromValue<quint64>(123), 0, 123},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        defaults().removeObjectForKey(AlertThreshold::kKey);
        if (c.stored.isValid()) {
            defaults().setObject(c.stored, AlertThreshold::kKey);
        }
        ImageFactory factory(defaults(), kTexts);
        QComboBox popup;
        factory.setPesoalert(&popup);
        factory.awakeFromNib();
        EXPECT_EQ(popup.count(), 5);
        EXPECT_EQ(popup.currentIndex(), c.index);
        EXPECT_EQ(factory.threshold(), c.inForce);
        EXPECT_EQ(defaults().unsignedLongLongForKey(AlertThreshold::kKey), c.inForce);
    }
}

TEST_F(ImageFactoryTest, ThePopupsChoiceIsStoredAndSelectedAgainAtTheNextStart) {
    defaults().setObject(QVariant::fromValue<quint64>(123), AlertThreshold::kKey);
    {
        ImageFactory factory(defaults(), kTexts);
        QComboBox popup;
        factory.awakeFromNib();
        factory.setPesoalert(&popup);
        EXPECT_EQ(popup.itemText(4), QStringLiteral("2 GB"));
        popup.setCurrentIndex(4);  // selecting in code is not the user's choice
        EXPECT_EQ(factory.threshold(), 123u);
        emit popup.activated(4);
        EXPECT_EQ(factory.threshold(), 2000000000u);
    }
    ImageFactory reopened(defaults(), kTexts);
    QComboBox popup;
    reopened.setPesoalert(&popup);
    reopened.awakeFromNib();
    EXPECT_EQ(popup.currentIndex(), 4);
}

TEST_F(ImageFactoryTest, IconAndMenuEntriesFollowTheTotalsOfTheConsideredBrowsers) {
    defaults().setObject(QVariant::fromValue<quint64>(1000), AlertThreshold::kKey);
    ImageFactory factory(defaults(), kTexts);
    Menu menu(factory);
    factory.awakeFromNib();
    EXPECT_EQ(factory.menuEntries[0]->text(), QStringLiteral("Safari is over"));
    EXPECT_EQ(factory.menuEntries[0]->font().pointSize(), 14);
    struct Case {
        const char* name;
        BrowserTotals totals;
        BrowserFlags considered;
        QString icon;
        std::array<bool, 5> visible;  // four browsers, then ok
    };
    const Case cases[] = {
        {"nothing measured yet", {}, {true, false, false, false}, kIconCalm, {0, 0, 0, 0, 1}},
        {"Chrome exactly at the threshold",
         {{0, 0, 1000, 0}},
         {true, true, true, true},
         kIconAlert,
         {0, 0, 1, 0, 0}},
        {"Opera over it but not installed",
         {{999, 0, 0, 5000}},
         {true, true, true, false},
         kIconCalm,
         {0, 0, 0, 0, 1}},
        {"Safari and Firefox",
         {{1000, 7000, 0, 0}},
         {true, true, false, false},
         kIconAlert,
         {1, 1, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        factory.setMeasured(c.totals, c.considered);
        EXPECT_EQ(factory.imageNormal(), c.icon);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(factory.menuEntries[i]->isVisible(), c.visible[i]) << i;
        }
        EXPECT_EQ(factory.ok->isVisible(), c.visible[4]);
    }
}

TEST_F(ImageFactoryTest, NotifiesOncePerLaunchAndWaitsForTheFirstTotals) {
    QList<UserNotification> delivered;
    UserNotificationCenter& center = UserNotificationCenter::defaultUserNotificationCenter();
    center.setDeliveryHook([&](const UserNotification& n) { delivered.append(n); });
    center.setDelegate(nullptr);
    defaults().setObject(QVariant::fromValue<quint64>(1000), AlertThreshold::kKey);
    {
        ImageFactory factory(defaults(), kTexts);
        factory.awakeFromNib();
        // The timer fires before any totals: nothing is judged yet.
        QTest::qWait(TimeScale::milliseconds(ImageFactory::kNotificationDelay) * 4);
        EXPECT_TRUE(delivered.isEmpty());
        EXPECT_FALSE(factory.notificationsChecked());
        factory.setMeasured({{5000, 0, 1000, 0}}, {true, false, true, false});
        ASSERT_EQ(delivered.size(), 2);
        EXPECT_EQ(delivered[0].title, QStringLiteral("Quenzel"));
        EXPECT_EQ(delivered[0].informativeText, QStringLiteral("Safari is over"));
        EXPECT_EQ(delivered[1].informativeText, QStringLiteral("Chrome is over"));
        EXPECT_EQ(center.delegate(), &factory);
        // Later ticks, even with other browsers over the threshold, notify nothing more.
        factory.setMeasured({{5000, 0, 1000, 9000}}, {true, false, true, true});
        factory.checkNotifiche();
        EXPECT_EQ(delivered.size(), 2);
    }
    EXPECT_EQ(center.delegate(), nullptr);
    center.setDeliveryHook({});
}

}  // namespace
}  // namespace qz
