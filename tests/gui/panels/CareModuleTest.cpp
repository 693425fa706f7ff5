#include <gtest/gtest.h>

#include <QGraphicsEffect>
#include <QKeySequence>
#include <QSignalSpy>
#include <QUrl>
#include <memory>

#include "core/care/AccessGrant.h"
#include "core/formats/Bookmark.h"
#include "core/formats/Localization.h"
#include "core/settings/Settings.h"
#include "core/settings/TimeScale.h"
#include "core/settings/UserDefaults.h"
#include "fixtures/FixtureHome.h"
#include "gui/panels/ModuleTestPanel.h"
#include "services/Workspace.h"

namespace qz {
namespace {

using test::FixtureHome;

// The fully ticked boxes, sorted.
QStringList checkedItems(const CareModule& module) {
    QStringList items;
    for (QCheckBox* box : module.checkBoxes()) {
        if (box->checkState() == Qt::Checked) {
            items.append(box->objectName());
        }
    }
    items.sort();
    return items;
}
void expectEnabled(const CareModule& module, bool enabled) {
    for (QCheckBox* box : module.checkBoxes()) {
        EXPECT_EQ(box->isEnabled(), enabled) << box->objectName().toStdString();
    }
}

class CareModuleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TimeScale::setFactor(0.01);
        UserDefaults::standard().removeObjectForKey(Settings::Key::folderGrant);
    }
    void TearDown() override {
        UserDefaults::standard().removeObjectForKey(Settings::Key::folderGrant);
        TimeScale::setFactor(1);
    }
    // A module on a fresh panel; the panel goes when the next one is built or the test ends.
    CareModule& build(BrowserId browser) {
        panels = std::make_unique<QWidget>();
        return *test::makeModule(browser, panels.get(), home.sizes(), home.files());
    }
    FixtureHome home;
    std::unique_ptr<QWidget> panels;
};

TEST_F(CareModuleTest, StartsOnTheBasicPresetWithBoxesLockedAndIndicatorHidden) {
    const struct {
        BrowserId browser;
        QStringList basic;  // sorted
    } cases[] = {
        {BrowserId::Safari, {"cacheS", "downloadlistS", "historyS"}},
        {BrowserId::Firefox, {"cacheF", "downloadlistF"}},
        {BrowserId::Chrome, {"cacheC", "historyC"}},
        {BrowserId::Opera, {"cacheO", "historyO"}},
    };
    for (const auto& c : cases) {
        CareModule& module = build(c.browser);
        SCOPED_TRACE(browserInfo(c.browser).moduleClass.toStdString());
        EXPECT_EQ(checkedItems(module), c.basic);
        expectEnabled(module, false);
        EXPECT_EQ(module.segment()->selectedSegment(), 0);
        EXPECT_TRUE(module.indicator()->isHidden());
        // Captions such as "Cookies & Site Data" show their "&" instead of a shortcut.
        for (QCheckBox* box : module.checkBoxes()) {
            const QString caption = Localization::shared().format(box->objectName());
            EXPECT_TRUE(QKeySequence::mnemonic(box->text()).isEmpty()) << caption.toStdString();
            EXPECT_EQ(box->text().replace(QStringLiteral("&&"), QStringLiteral("&")), caption);
        }
    }
}

TEST_F(CareModuleTest, PresetsSetStatesAndEnablingAndNoSelectionChangesNothing) {
    CareModule& module = build(BrowserId::Chrome);
    QStringList all = catalogue(BrowserId::Chrome).declarationOrder;
    all.sort();
    const QStringList basic{"cacheC", "historyC"};
    const struct {
        int segment;          // clicked; -1: nothing selected
        const char* ticked;   // a box ticked by hand first
        QStringList checked;  // sorted
        bool enabled;
        QStringList stored;  // the custom items kept: only what the user ticks under custom
    } steps[] = {
        {1, "", all, false, {}},
        {2, "", {}, true, {}},
        {-1, "cookiesC", {"cookiesC"}, true, {"cookiesC"}},  // nothing selected: the state stays
        {0, "", basic, false, {"cookiesC"}},
        {-1, "", basic, false, {"cookiesC"}},
        {2, "", {}, true, {"cookiesC"}},
    };
    Settings settings(UserDefaults::standard());
    settings.setCustomItems(QStringLiteral("chrome"), {});
    for (const auto& step : steps) {
        SCOPED_TRACE(step.segment);
        if (*step.ticked) {
            module.checkBox(QString::fromLatin1(step.ticked))->click();
        }
        if (step.segment >= 0) {
            module.segment()->segmentButton(step.segment)->click();
        } else {
            module.segment()->setSelectedSegment(-1);
            module.applySelectedPreset();
        }
        EXPECT_EQ(module.segment()->selectedSegment(), step.segment);
        EXPECT_EQ(checkedItems(module), step.checked);
        expectEnabled(module, step.enabled);
        EXPECT_EQ(settings.customItems(QStringLiteral("chrome")), step.stored);
    }
}

TEST_F(CareModuleTest, LabelShowsTheSizeOfFullyCheckedItemsOnly) {
    home.writeFile(QStringLiteral("/Users/%@/Library/Safari/History.plist"), 600);
    home.writeFile(QStringLiteral("/Users/%@/Library/Safari/Downloads.plist"), 451);
    home.writeFile(QStringLiteral("/Users/%@/Library/Safari/TopSites.plist"), 5000);
    home.writeFile(QStringLiteral("/Users/%@/Library/Safari/LastSession.plist"), 7000);
    CareModule& module = build(BrowserId::Safari);
    const Localization keysAsFormats;
    module.setTexts(keysAsFormats);
    QSignalSpy measured(&module, &CareModule::measured);
    // Safari's red glow comes with its first figure, not before (nothing to blur then).
    EXPECT_EQ(module.resultField()->graphicsEffect(), nullptr);
    ASSERT_TRUE(measured.wait(5000));
    EXPECT_EQ(measured.first().first().toULongLong(), 1051u);
    EXPECT_EQ(module.resultField()->text(), QStringLiteral("1.1 KB"));
    EXPECT_NE(module.resultField()->graphicsEffect(), nullptr);

    // Custom: top sites on, last session mixed; only the fully ticked box counts.
    module.segment()->setSelectedSegment(2);
    module.applySelectedPreset();
    module.checkBox(QStringLiteral("topsitesS"))->setCheckState(Qt::Checked);
    module.checkBox(QStringLiteral("lastsessionS"))->setCheckState(Qt::PartiallyChecked);
    measured.clear();
    do {
        ASSERT_TRUE(measured.wait(5000));
    } while (measured.last().first().toULongLong() != 5000u);
    EXPECT_EQ(module.resultField()->text(), QStringLiteral("5.0 KB"));
}

TEST_F(CareModuleTest, ThePopUpShowsEachItemsSizeBesideItsBox) {
    const QString opera = "/Users/%@/Library/Application Support/com.operasoftware.Opera/";
    home.writeFile(opera + "History", 10);
    home.writeFile(opera + "Visited Links", 5);
    home.writeFile(opera + "Cookies", 1500);
    panels = std::make_unique<QWidget>();
    PanelControls controls = test::makePanel(BrowserId::Opera, panels.get());
    controls.popover = new QWidget(controls.panel);
    auto* info = new QToolButton(controls.panel);
    controls.info = info;
    CareModule* module = createCareModule(BrowserId::Opera, controls, home.sizes(), home.files());
    QSignalSpy measured(module, &CareModule::itemsMeasured);
    info->click();
    ASSERT_TRUE(measured.wait(5000));
    const Localization& texts = Localization::shared();
    const struct {
        const char* item;
        const char* size;
    } cases[] = {{"historyO", "15 Bytes"}, {"cookiesO", "1.5 KB"}, {"sessionO", "0 Bytes"}};
    for (const auto& c : cases) {
        EXPECT_EQ(module->checkBox(c.item)->text().replace("&&", "&"),
                  texts.format("ItemWithSize", {texts.format(c.item), c.size}));
    }
}

TEST_F(CareModuleTest, MixedBoxReturnsToPlainOnOffWhenClicked) {
    CareModule& module = build(BrowserId::Opera);
    module.segment()->setSelectedSegment(2);
    module.applySelectedPreset();
    QCheckBox* box = module.checkBox(QStringLiteral("sessionO"));
    box->setCheckState(Qt::PartiallyChecked);
    const Qt::CheckState expected[] = {Qt::Checked, Qt::Unchecked, Qt::Checked, Qt::Unchecked};
    for (Qt::CheckState state : expected) {
        box->click();
        EXPECT_EQ(box->checkState(), state);
    }
}

TEST_F(CareModuleTest, FirefoxMeasuresOnlyWhileTheGrantResolves) {
    home.writeFile(QStringLiteral("/Users/%@/Library/Caches/Firefox/cache2/entry"), 2000);
    home.writeFile(
        QStringLiteral("/Users/%@/Library/Application Support/Firefox/Profiles/a1.default/"
                       "downloads.sqlite"),
        3000);
    const quint64 folderEntry = static_cast<quint64>(
        home.folderEntrySize(QStringLiteral("/Users/%@/Library/Caches/Firefox")));
    for (const bool granted : {false, true}) {
        SCOPED_TRACE(granted);
        if (granted) {
            const QByteArray grant =
                Bookmark::create(home.local(QStringLiteral("/Users/%@/Library")));
            ASSERT_FALSE(grant.isEmpty());
            UserDefaults::standard().setObject(grant, Settings::Key::folderGrant);
        }
        CareModule& module = build(BrowserId::Firefox);
        const Localization keysAsFormats;
        module.setTexts(keysAsFormats);
        QSignalSpy measured(&module, &CareModule::measured);
        // Several 3.5 s ticks at the test's time scale.
        const bool got = measured.wait(granted ? 5000 : 200);
        EXPECT_EQ(got, granted);
        if (granted) {
            // Sub-folder entries add nothing; the cache folder's own entry does.
            EXPECT_EQ(measured.first().first().toULongLong(), 2000 + 3000 + folderEntry);
            EXPECT_NE(module.resultField()->text(), QStringLiteral("--"));
        } else {
            EXPECT_EQ(module.resultField()->text(), QStringLiteral("--"));
        }
    }
}

TEST_F(CareModuleTest, SupportOpensTheBrowsersSectionOfTheHelpPage) {
    QList<QUrl> opened;
    const Workspace::Opener previous = Workspace::setOpener([&](const QUrl& url) {
        opened.append(url);
        return true;
    });
    for (const auto& [browser, fragment] :
         {std::pair{BrowserId::Safari, "safari"}, {BrowserId::Opera, "opera"}}) {
        build(browser).openSupportPage();
        ASSERT_FALSE(opened.isEmpty());
        EXPECT_TRUE(opened.last().path().endsWith(QStringLiteral("/dictionary.html")));
        EXPECT_EQ(opened.last().fragment(), QLatin1String(fragment));
    }
    Workspace::setOpener(previous);
}

}  // namespace
}  // namespace qz
