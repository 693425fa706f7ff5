// A browser's care module, logo and status item all measure its cache; subscribed to one size
// monitor they share one walk and still see every change.
#include <QSignalSpy>

#include "core/formats/Localization.h"
#include "gui/panels/ModuleTestPanel.h"
#include "gui/tray/CustomLogo.h"
#include "gui/tray/ImageFactory.h"
#include "gui/tray/MenuStatus.h"
#include "gui/tray/MonitorUiTestSupport.h"

namespace qz {
namespace {

const QString kCache = QStringLiteral("/Users/%@/Library/Caches/Google/Chrome/Default/Cache");

class SharedWalkTest : public test::ScaledTime {};

TEST_F(SharedWalkTest, TheModuleTheLogoAndTheStatusItemShareOneWalkAndSeeChanges) {
    test::FixtureHome home;
    home.writeFile(kCache + QStringLiteral("/data_1"), 5000);
    home.writeFile(kCache + QStringLiteral("/index/data_2"), 700);
    const SizeMonitor sizes(home.files());
    const int freshWalks = FileManager::freshWalks();
    QWidget window;
    CareModule* module = test::makeModule(BrowserId::Chrome, &window, sizes, home.files());
    module->segment()->setSelectedSegment(1);  // every item, the cache among them
    module->applySelectedPreset();
    PanelControls logoPanel;
    logoPanel.panel = new QWidget(&window);
    CustomLogo logo(BrowserId::Chrome, logoPanel, sizes, home.files());
    ImageFactory factory(defaults(), Localization::shared());
    MenuStatus status(home.files(), sizes, factory);
    QSignalSpy moduleFigures(module, &CareModule::measured);
    QSignalSpy levels(&logo, &CustomLogo::levelApplied);

    // All three at once, then until each has delivered twice since the last file change.
    const auto measureAll = [&] {
        moduleFigures.clear();
        levels.clear();
        const int updates = status.updates();
        ASSERT_TRUE(test::waitFor([&] {
            module->measure();
            logo.checkLogoSize();
            status.updatesize();
            return moduleFigures.size() >= 2 && levels.size() >= 2 &&
                   status.updates() >= updates + 2;
        }));
    };
    measureAll();
    const quint64 moduleBefore = moduleFigures.last().at(0).toULongLong();
    const quint64 statusBefore = factory.totals()[BrowserId::Chrome];
    EXPECT_GE(statusBefore, 5700u);

    home.writeFile(kCache + QStringLiteral("/index/data_3"), 1234);
    measureAll();
    EXPECT_EQ(moduleFigures.last().at(0).toULongLong(), moduleBefore + 1234);
    EXPECT_EQ(factory.totals()[BrowserId::Chrome], statusBefore + 1234);
    EXPECT_EQ(sizes.walks(home.files().userPath(kCache)), 1);
    EXPECT_EQ(FileManager::freshWalks(), freshWalks) << "nobody walked on their own";
}

}  // namespace
}  // namespace qz
