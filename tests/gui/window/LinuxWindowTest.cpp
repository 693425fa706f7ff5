// The window in the Linux layout: one panel per installed browser in the order Firefox, Chrome,
// Chromium, Opera, every panel built from the one interface file by the browser table.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>

#include "core/browsers/Catalogue.h"
#include "core/formats/Bundle.h"
#include "core/settings/TimeScale.h"
#include "fixtures/LinuxHome.h"
#include "gui/chrome/BundleImage.h"
#include "gui/chrome/ImageView.h"
#include "gui/panels/CareModule.h"
#include "gui/tray/CustomLogo.h"
#include "gui/window/AppDelegate.h"
#include "services/SizeMonitor.h"

namespace qz {
namespace {

TEST(LinuxWindowTest, InstalledBrowsersGetTheirPanelsInTheLinuxOrder) {
    TimeScale::setFactor(0.01);
    const struct {
        QStringList removedFolders;  // data folders taken away before the window opens
        QList<BrowserId> expected;
    } rows[] = {
        {{}, {BrowserId::Firefox, BrowserId::Chrome, BrowserId::Chromium, BrowserId::Opera}},
        {{"/.mozilla", "/.var"}, {BrowserId::Chrome, BrowserId::Chromium, BrowserId::Opera}},
        {{"/snap", "/.config/opera"}, {BrowserId::Firefox, BrowserId::Chrome}},
    };
    for (const auto& row : rows) {
        test::LinuxHome home;
        for (const QString& folder :
             row.removedFolders + QStringList{"/.config/BraveSoftware",
                                              "/.var/app/com.vivaldi.Vivaldi",
                                              "/.config/microsoft-edge", "/.librewolf"}) {
            ASSERT_TRUE(QDir(home.local(folder)).removeRecursively());
        }
        const SizeMonitor sizes(home.files());
        AppDelegate delegate(home.files(), sizes);
        delegate.awakeFromNib();
        delegate.applicationDidFinishLaunching();
        AppController& vista = *delegate.vista();
        EXPECT_EQ(vista.panelController(BrowserId::Safari), nullptr);
        EXPECT_EQ(delegate.window()->contentView()->width(), 200 + 175 * (row.expected.size() - 1));
        for (int slot = 0; slot < 4; ++slot) {
            const std::optional<BrowserId> expected =
                slot < row.expected.size() ? std::optional(row.expected[slot]) : std::nullopt;
            EXPECT_EQ(vista.browserInSlot(slot), expected) << slot;
            if (!expected) {
                continue;
            }
            const BrowserInfo& info = browserInfo(*expected);
            CareModule* module = vista.module(*expected);
            ASSERT_NE(module, nullptr);
            EXPECT_EQ(module->panel()->width(), slot == 0 ? 200 : 175);
            // The panel's boxes are its catalogue's items.
            QStringList boxes;
            for (QCheckBox* box : module->checkBoxes()) {
                boxes.append(box->objectName());
            }
            EXPECT_EQ(boxes, catalogue(*expected).declarationOrder);
            auto* logo = qobject_cast<ImageView*>(
                vista.panelController(*expected)->logoController()->logo());
            ASSERT_NE(logo, nullptr);
            EXPECT_EQ(logo->imageName(), "emblem" + info.moduleClass);
            EXPECT_FALSE(bundleImage(logo->imageName()).isNull());
        }
    }
    TimeScale::setFactor(1);
}

}  // namespace
}  // namespace qz
