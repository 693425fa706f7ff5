#include "gui/tray/ImageFactory.h"

#include "core/formats/Localization.h"
#include "core/settings/Settings.h"
#include "gui/tray/MonitorUiTestSupport.h"

namespace qz {
namespace {

using test::ScaledTime;
using test::waitFor;

const Localization kTexts({{QStringLiteral("QZ"), QStringLiteral("Quenzel")},
                           {QStringLiteral("CareS"), QStringLiteral("Safari is over")},
                           {QStringLiteral("CareC"), QStringLiteral("Chrome is over")},
                           {QStringLiteral("pesoalert4"), QStringLiteral("2 GB")}});

class ImageFactoryTest : public ScaledTime {};

TEST_F(ImageFactoryTest, ThePopupsChoiceIsStoredAndSelectedAgainAtTheNextStart) {
    defaults().setObject(QVariant::fromValue<quint64>(123), Settings::Key::alertThreshold);
    {
        ImageFactory factory(defaults(), kTexts);
        QComboBox popup;
        factory.awakeFromNib();
        factory.setPesoalert(&popup);
        // A stored value the pop-up lacks shows the first entry yet stays in force.
        EXPECT_EQ(popup.count(), 5);
        EXPECT_EQ(popup.currentIndex(), 0);
        EXPECT_EQ(factory.threshold(), 123u);
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

TEST_F(ImageFactoryTest, NotifiesOncePerLaunchAndWaitsForTheFirstTotals) {
    QList<UserNotification> delivered;
    UserNotificationCenter& center = UserNotificationCenter::defaultUserNotificationCenter();
    center.setDeliveryHook([&](const UserNotification& n) { delivered.append(n); });
    center.setDelegate(nullptr);
    defaults().setObject(QVariant::fromValue<quint64>(1000), Settings::Key::alertThreshold);
    {
        ImageFactory factory(defaults(), kTexts);
        factory.awakeFromNib();
        // The timer fires before any totals: nothing is judged yet.
        QTest::qWait(TimeScale::milliseconds(ImageFactory::kNotificationDelay) * 4);
        EXPECT_TRUE(delivered.isEmpty());
        EXPECT_FALSE(factory.notificationsChecked());
        // At the threshold counts, below it and browsers not installed do not.
        factory.setMeasured({{5000, 9000, 1000, 999}}, {true, false, true, true});
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
