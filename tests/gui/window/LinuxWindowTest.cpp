// The window in the Linux layout: one panel per installed browser in the layout's order, in rows
// of four, every panel built from the one interface file by the browser table; eight panels
// stand whole on a 1280 x 800 screen, and rows beyond the screen's room scroll.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QScreen>
#include <QScrollBar>

#include "core/browsers/Catalogue.h"
#include "core/formats/Bundle.h"
#include "core/formats/Localization.h"
#include "core/settings/Settings.h"
#include "core/settings/TimeScale.h"
#include "core/settings/UserDefaults.h"
#include "fixtures/LinuxHome.h"
#include "gui/chrome/BundleImage.h"
#include "gui/chrome/ImageView.h"
#include "gui/panels/CareModule.h"
#include "gui/tray/CustomLogo.h"
#include "gui/window/AppDelegate.h"
#include "services/SizeMonitor.h"
#include "support/WindowTest.h"

namespace qz {
namespace {

constexpr auto F = BrowserId::Firefox;
constexpr auto C = BrowserId::Chrome;
constexpr auto M = BrowserId::Chromium;
constexpr auto O = BrowserId::Opera;
constexpr auto B = BrowserId::Brave;
constexpr auto V = BrowserId::Vivaldi;
constexpr auto E = BrowserId::Edge;
constexpr auto L = BrowserId::LibreWolf;

class LinuxWindowTest : public test::WindowTest {};

TEST_F(LinuxWindowTest, InstalledBrowsersGetTheirPanelsInRowsOfFourInTheLinuxOrder) {
    const struct {
        QStringList removedFolders;  // data folders taken away before the window opens
        QList<BrowserId> expected;
    } rows[] = {
        {{}, {F, C, M, O, B, V, E, L}},
        {{"/.mozilla", "/.var"}, {C, M, O, B, E, L}},
        {{"/snap", "/.config/opera", "/.config/BraveSoftware", "/.var/app/com.vivaldi.Vivaldi",
          "/.config/microsoft-edge", "/.librewolf"},
         {F, C}},
        {{"/.config", "/.mozilla", "/.var", "/snap"}, {L}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected.size());
        test::LinuxHome home;
        for (const QString& folder : row.removedFolders) {
            ASSERT_TRUE(QDir(home.local(folder)).removeRecursively());
        }
        const SizeMonitor sizes(home.files());
        AppDelegate delegate(home.files(), sizes);
        delegate.awakeFromNib();
        delegate.applicationDidFinishLaunching();
        AppController& vista = *delegate.vista();
        EXPECT_EQ(vista.panelController(BrowserId::Safari), nullptr);
        const int n = static_cast<int>(row.expected.size());
        const int rowCount = (n + 3) / 4;
        EXPECT_EQ(delegate.window()->contentSize(),
                  QSize(200 + 175 * (std::min(n, 4) - 1), 258 * rowCount));
        ASSERT_GE(vista.slotViews().size(), 8);
        for (int slot = 0; slot < vista.slotViews().size(); ++slot) {
            const std::optional<BrowserId> expected =
                slot < n ? std::optional(row.expected[slot]) : std::nullopt;
            EXPECT_EQ(vista.browserInSlot(slot), expected) << slot;
            if (!expected) {
                continue;
            }
            const BrowserInfo& info = browserInfo(*expected);
            CareModule* module = vista.module(*expected);
            ASSERT_NE(module, nullptr);
            const int column = slot % 4;
            EXPECT_EQ(module->panel()->parentWidget(), vista.slotViews()[slot]);
            EXPECT_EQ(vista.slotViews()[slot]->geometry(),
                      QRect(column == 0 ? 0 : 200 + 175 * (column - 1), 8 + 258 * (slot / 4),
                            column == 0 ? 200 : 175, 250));
            EXPECT_EQ(module->panel()->size(), QSize(column == 0 ? 200 : 175, 250));
            // The panel's boxes are its catalogue's items.
            QStringList boxes;
            for (QCheckBox* box : module->checkBoxes()) {
                boxes.append(box->objectName());
            }
            // The panel's boxes are the Linux catalogue's items, each with its caption and help
            // line, and the basic preset it starts on ticks the Linux basic set.
            const BrowserCatalogue& items = catalogue(*expected, home.files());
            EXPECT_EQ(boxes, items.declarationOrder);
            for (QCheckBox* box : module->checkBoxes()) {
                const QString help = box->objectName() + QStringLiteral("Help");
                EXPECT_EQ(box->text().replace(QStringLiteral("&&"), QStringLiteral("&")),
                          Localization::shared().format(box->objectName()));
                EXPECT_EQ(box->toolTip(), Localization::shared().text(help) == help
                                              ? QString()
                                              : Localization::shared().text(help));
                EXPECT_EQ(box->isChecked(), items.basicSet.contains(box->objectName()));
            }
            if (info.family == FamilyId::Firefox) {
                QCheckBox* history = module->checkBox(QStringLiteral("history") + info.suffix);
                ASSERT_NE(history, nullptr);
                EXPECT_TRUE(history->isChecked());
                EXPECT_FALSE(history->toolTip().isEmpty());
            }
            auto* logo = qobject_cast<ImageView*>(
                vista.panelController(*expected)->logoController()->logo());
            ASSERT_NE(logo, nullptr);
            EXPECT_EQ(logo->imageName(), "emblem" + info.moduleClass);
            EXPECT_FALSE(bundleImage(logo->imageName()).isNull());
        }
    }
}

TEST_F(LinuxWindowTest, EightPanelsStandWholeOnA1280By800Screen) {
    test::LinuxHome home;
    grantHome(home.root());
    const SizeMonitor sizes(home.files());
    AppDelegate delegate(home.files(), sizes);
    delegate.awakeFromNib();
    delegate.applicationDidFinishLaunching();
    const QScreen* screen = delegate.window()->screen();
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(screen->geometry().size(), QSize(1280, 800));
    const QRect area = screen->availableGeometry();
    EXPECT_TRUE(area.contains(delegate.window()->frameGeometry()));
    EXPECT_FALSE(delegate.panelArea()->verticalScrollBar()->isVisible());
    QList<QRect> placed;
    for (BrowserId browser : layoutBrowsers(Layout::Linux)) {
        SCOPED_TRACE(browserInfo(browser).key.toStdString());
        CareModule* module = delegate.vista()->module(browser);
        ASSERT_NE(module, nullptr);
        QWidget* panel = module->panel();
        ASSERT_TRUE(panel->isVisible());
        // All of it on the screen and in sight: nothing scrolled away, nothing covering it.
        const QRect global(panel->mapToGlobal(QPoint(0, 0)), panel->size());
        EXPECT_TRUE(area.contains(global));
        EXPECT_EQ(panel->visibleRegion(), QRegion(panel->rect()));
        for (const QRect& other : placed) {
            EXPECT_FALSE(other.intersects(global));
        }
        placed.append(global);
    }
}

// The window grows with its rows while the screen leaves room; beyond, it keeps the room and the
// panels scroll, one row always in sight.
TEST_F(LinuxWindowTest, RowsBeyondTheScreensRoomScroll) {
    const struct {
        QSize panels;
        int room;
        QSize content;
    } cases[] = {
        {{725, 516}, 760, {725, 516}}, {{725, 516}, 516, {725, 516}}, {{725, 516}, 515, {740, 515}},
        {{725, 516}, 100, {740, 258}}, {{375, 258}, 200, {390, 258}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AppDelegate::contentSizeFor(c.panels, c.room, 15), c.content) << c.room;
    }
}

}  // namespace
}  // namespace qz
