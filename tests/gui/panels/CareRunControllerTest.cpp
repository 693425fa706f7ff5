#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <mutex>

#include "core/browsers/RunningApplications.h"
#include "core/care/SizeText.h"
#include "core/formats/Localization.h"
#include "core/settings/Log.h"
#include "fixtures/FixtureHome.h"
#include "gui/panels/CareRunController.h"
#include "gui/panels/ModuleTestPanel.h"
#include "gui/window/addItem.h"
#include "services/Executor.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

using test::waitFor;

const QString kSafariHistory = "/Users/%@/Library/Safari/History.plist";
const QString kSafariCache = "/Users/%@/Library/Caches/com.apple.Safari/Cache.db";
const QString kSafariDownloads = "/Users/%@/Library/Safari/Downloads.plist";
const QString kSafariPreferences = "/Users/%@/Library/Preferences/com.apple.Safari.plist";
const QString kChromeHistory =
    "/Users/%@/Library/Application Support/Google/Chrome/Default/History";

QString text(const QString& key) {
    return Localization::shared().text(key);
}

QString freed(const QString& size, const QString& files) {
    return Localization::shared().format("CareFreed", {size, files});
}

// Clicks the button of the sheet open on the window; false when there is no such sheet.
bool press(QWidget& window, const QString& key) {
    for (QMessageBox* sheet : window.findChildren<QMessageBox*>()) {
        for (QAbstractButton* button :
             sheet->isVisible() ? sheet->buttons() : QList<QAbstractButton*>{}) {
            if (button->text() == text(key)) {
                button->click();
                return true;
            }
        }
    }
    return false;
}

class CareRunControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        store.setUp(historyDir.filePath("History.plist"));
        RunningApplications::setProbe([this](const QString& id) { return open.contains(id); });
        UserNotificationCenter::defaultUserNotificationCenter().setDeliveryHook(
            [this](const UserNotification& notification) {
                std::lock_guard lock(mutex);
                notifications.append(notification);
            });
        previousSink = Log::setSink([this](const QString& line) {
            std::lock_guard lock(mutex);
            logLines.append(line);
        });
        window.show();
    }
    void TearDown() override {
        delete panels;  // waits for any care still running before the hooks go
        Log::setSink(previousSink);
        UserNotificationCenter::defaultUserNotificationCenter().setDeliveryHook({});
        RunningApplications::setProbe({});
    }

    // A module on a panel of the window, with only the given boxes set (1 on, -1 mixed).
    CareModule* addModule(BrowserId browser, const QHash<QString, int>& boxes) {
        CareModule* module = test::makeModule(browser, panels, home.sizes(), home.files());
        for (QCheckBox* box : module->checkBoxes()) {
            const int state = boxes.value(box->objectName());
            box->setTristate(state < 0);
            box->setCheckState(state > 0   ? Qt::Checked
                               : state < 0 ? Qt::PartiallyChecked
                                           : Qt::Unchecked);
        }
        return module;
    }
    bool exists(const QString& path) { return QFileInfo::exists(home.local(path)); }
    QList<UserNotification> delivered() {
        std::lock_guard lock(mutex);
        return notifications;
    }

    test::ScopedTimeScale scale{0.02};
    test::FixtureHome home;
    QTemporaryDir historyDir;
    addItem store;
    QWidget window;
    QWidget* panels = new QWidget(&window);
    QStringList open;  // bundle identifiers of running browsers
    std::mutex mutex;
    QList<UserNotification> notifications;
    QStringList logLines;
    Log::Sink previousSink;
};

TEST_F(CareRunControllerTest, RefusalsComeFirstAndCancelLeavesEverything) {
    home.writeFile(kSafariHistory, 10);
    home.writeFile(kChromeHistory, 10);
    const struct {
        BrowserId browser;
        bool open;
        const char* item;  // the one box set
        int state;
        const char* informative;
        QMessageBox::Icon icon;
        const char* answer;
    } cases[] = {
        // Open and nothing selected: the open browser is named.
        {BrowserId::Safari, true, "", 0, "OpenSafari", QMessageBox::Critical, "Done"},
        {BrowserId::Chrome, false, "", 0, "NoItemsChrome", QMessageBox::Critical, "Done"},
        // A mixed box counts as a selection.
        {BrowserId::Chrome, false, "historyC", -1, "NoteStartCare", QMessageBox::Warning, "Cancel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.informative);
        open = c.open ? QStringList{browserInfo(c.browser).bundleIdentifier} : QStringList{};
        CareModule* module = addModule(c.browser, {{c.item, c.state}});
        logLines.clear();
        module->careButton()->click();
        QMessageBox* sheet = module->careRun()->sheet();
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->parentWidget(), &window);
        EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
        // The confirmation also names the browser it cleans.
        EXPECT_TRUE(sheet->informativeText().startsWith(text(c.informative)));
        const QString which = Localization::shared().format(
            "CareWhat", {browserInfo(c.browser).displayName, module->resultField()->text()});
        EXPECT_EQ(sheet->informativeText().contains(which), c.icon == QMessageBox::Warning);
        EXPECT_EQ(sheet->icon(), c.icon);
        EXPECT_EQ(sheet->buttons().size(), QByteArray(c.answer) == "Done" ? 1 : 2);
        EXPECT_EQ(logLines.size(), 1);
        ASSERT_TRUE(press(window, c.answer));
        EXPECT_FALSE(module->careRun()->isRunning());
    }
    ASSERT_EQ(logLines, QStringList{"Pronto per eseguire la cura chrome"});
    waitFor([] { return false; }, 100);  // room for a care started by mistake to show
    EXPECT_TRUE(exists(kSafariHistory));
    EXPECT_TRUE(exists(kChromeHistory));
    EXPECT_EQ(store.shoppingListArray().size(), 0);
    EXPECT_TRUE(delivered().isEmpty());
}

TEST_F(CareRunControllerTest, ConfirmedCareRemovesWhatTheBoxesSayWhenTheWalkGetsThere) {
    for (const QString& path :
         {kSafariHistory, kSafariCache, kSafariDownloads, kSafariPreferences}) {
        home.writeFile(path, 10);
    }
    store.setShoppingListArray({{"Opera", "earlier"}});
    CareModule* module =
        addModule(BrowserId::Safari,
                  {{"historyS", 1}, {"cacheS", 1}, {"downloadlistS", -1}, {"preferencesS", 1}});
    bool finished = false;
    QObject::connect(module->careRun(), &CareRunController::careFinished, [&] { finished = true; });

    module->careButton()->click();
    ASSERT_TRUE(press(window, "OK"));
    EXPECT_TRUE(module->presetButton()->isHidden());
    EXPECT_FALSE(module->careButton()->isEnabled());
    // Unticked while the run waits: the walk reads the box when it reaches the item.
    module->checkBox("cacheS")->setCheckState(Qt::Unchecked);
    EXPECT_TRUE(waitFor([&] { return !module->indicator()->isHidden(); }));  // while it runs
    ASSERT_TRUE(waitFor([&] { return finished && delivered().size() == 1; }));

    EXPECT_FALSE(exists(kSafariHistory));
    EXPECT_FALSE(exists(kSafariPreferences));
    EXPECT_TRUE(exists(kSafariCache));
    EXPECT_TRUE(exists(kSafariDownloads));  // mixed: never removed
    ASSERT_EQ(store.shoppingListArray().size(), 2);
    EXPECT_EQ(store.shoppingListArray().last().browserName, "Safari");
    EXPECT_EQ(delivered()[0].title, text("QZ"));
    // History and one preference file went, 10 bytes each.
    EXPECT_EQ(delivered()[0].informativeText,
              text("SafariCompleted") + "\n" + freed("20 Bytes", "2"));
    EXPECT_EQ(module->careRun()->progressText(),
              Localization::shared().format("CareFreedLine", {"20 Bytes"}));
    EXPECT_EQ(module->indicator()->toolTip(), freed("20 Bytes", "2"));
    EXPECT_TRUE(module->indicator()->isHidden());
    EXPECT_FALSE(module->presetButton()->isHidden());
    EXPECT_TRUE(module->careButton()->isEnabled());
}

TEST_F(CareRunControllerTest, ModulesCareAtOnceAndWhatStaysIsReported) {
    // Safari's folder is a link: its history is out of reach and must be reported.
    QTemporaryDir outside;
    QDir().mkpath(outside.filePath("safari"));
    QFile(outside.filePath("safari/History.plist")).open(QIODevice::WriteOnly);
    home.makeLink("/Users/%@/Library/Safari", outside.filePath("safari"));
    home.writeFile(kChromeHistory, 10);
    int finished = 0;
    for (const auto& [browser, item] :
         {std::pair{BrowserId::Safari, "historyS"}, {BrowserId::Chrome, "historyC"}}) {
        CareModule* module = addModule(browser, {{item, 1}});
        QObject::connect(module->careRun(), &CareRunController::careFinished, [&] { ++finished; });
        module->careButton()->click();
        ASSERT_TRUE(press(window, "OK"));
    }
    ASSERT_TRUE(waitFor([&] { return finished == 2 && delivered().size() == 2; }));

    EXPECT_TRUE(QFileInfo::exists(outside.filePath("safari/History.plist")));
    EXPECT_FALSE(exists(kChromeHistory));
    QStringList names;
    for (const HistoryEntry& entry : store.shoppingListArray()) {
        names.append(entry.browserName);
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{"Google Chrome", "Safari"}));
    QStringList texts;
    for (const UserNotification& notification : delivered()) {
        texts.append(notification.title + " / " + notification.informativeText);
    }
    texts.sort();
    QStringList expected{
        text("CareIncompleteTitle") + " / " + text("SafariIncomplete") + "\n" +
            freed("0 Bytes", "0"),
        text("QZ") + " / " + text("ChromeCompleted") + "\n" + freed("10 Bytes", "1")};
    expected.sort();
    EXPECT_EQ(texts, expected);
    const QString failed = home.files().userPath(kSafariHistory);
    EXPECT_TRUE(std::any_of(logLines.begin(), logLines.end(),
                            [&](const QString& line) { return line.contains(failed); }));
}

TEST_F(CareRunControllerTest, ClosingThePanelDuringACareNeitherWaitsForItNorStopsIt) {
    home.writeFile(kChromeHistory, 10);
    CareModule* chrome = addModule(BrowserId::Chrome, {{"historyC", 1}});
    chrome->careButton()->click();
    ASSERT_TRUE(press(window, "OK"));
    ASSERT_TRUE(chrome->careRun()->isRunning());
    delete panels;  // takes the module and its controller; the care worker goes on alone
    panels = nullptr;
    ASSERT_TRUE(Executor::waitUntilIdle(Executor::Queue::Care, 5000));
    EXPECT_FALSE(exists(kChromeHistory));
    EXPECT_EQ(store.shoppingListArray().size(), 1);
    QCoreApplication::processEvents();  // its queued news finds no controller and is dropped
    EXPECT_EQ(UserNotificationCenter::defaultUserNotificationCenter().delegate(), nullptr);
}

TEST_F(CareRunControllerTest, TheConfirmationListsWhatGoesAndTheLineFollowsTheCare) {
    // Many small files: the line may move a few times a second, never once per file.
    const QString previews = "/Users/%@/Library/Caches/com.apple.Safari/Webpage Previews/";
    constexpr int kPreviews = 3000;
    for (int i = 0; i < kPreviews; ++i) {
        home.writeFile(previews + QString::number(i % 30) + "/p" + QString::number(i), 1);
    }
    home.writeFile(kSafariHistory, 10);
    home.writeFile(kSafariCache, 2000);
    CareModule* module = addModule(BrowserId::Safari, {{"historyS", 1}, {"cacheS", 1}});
    CareRunController* careRun = module->careRun();
    bool previewed = false;
    QObject::connect(careRun, &CareRunController::previewShown, [&] { previewed = true; });

    module->careButton()->click();
    ASSERT_NE(careRun->sheet(), nullptr);
    ASSERT_TRUE(waitFor([&] { return previewed; }));
    const Localization& texts = Localization::shared();
    const auto line = [&](const char* item, const QString& size) {
        return texts.format("CareItemLine", {texts.format(item), size});
    };
    // The items with their sizes (the previews' folder counts its folders' own entries too).
    const QString list = careRun->sheet()->informativeText();
    const quint64 history = home.files().walkFolderSize(home.files().userPath(previews)) + 10;
    EXPECT_TRUE(list.contains(line("cacheS", "2.0 KB"))) << list.toStdString();
    EXPECT_TRUE(list.contains(line("historyS", convertSizeToString(history, texts))))
        << list.toStdString();
    EXPECT_FALSE(list.contains(texts.format("downloadlistS")));
    // Every path as the command line's dry run names it.
    const QStringList paths = careRun->sheet()->detailedText().split(u'\n');
    EXPECT_EQ(paths.size(), 3);
    EXPECT_TRUE(
        paths.contains(QString("would remove %1  (2.0 KB)")
                           .arg(home.files().localPath(home.files().userPath(kSafariCache)))));

    // Its button shows them and leaves the sheet open.
    ASSERT_TRUE(press(window, "ShowWhatGoes"));
    ASSERT_NE(careRun->sheet(), nullptr);
    EXPECT_TRUE(careRun->sheet()->isVisible());
    EXPECT_TRUE(press(window, "HideWhatGoes"));

    QList<std::pair<quint64, quint64>> shown;
    QObject::connect(careRun, &CareRunController::progressShown, [&](quint64 files, quint64 bytes) {
        shown.append({files, bytes});
    });
    bool finished = false;
    CareReport report;
    QObject::connect(careRun, &CareRunController::careFinished, [&](const CareReport& r) {
        report = r;
        finished = true;
    });
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(press(window, "OK"));
    ASSERT_TRUE(waitFor([&] { return finished; }));
    const qint64 elapsed = clock.elapsed();

    EXPECT_EQ(report.filesRemoved, kPreviews + 2u);
    EXPECT_EQ(report.bytesFreed, kPreviews + 2010u);
    const int tick = TimeScale::milliseconds(0.1);
    EXPECT_LE(shown.size(), elapsed / std::max(tick, 1) + 2) << elapsed;
    EXPECT_LT(shown.size(), kPreviews / 10);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        EXPECT_LE(shown[i].first, report.filesRemoved);
        EXPECT_LE(shown[i].second, report.bytesFreed);
        if (i > 0) {
            EXPECT_NE(shown[i - 1], shown[i]);  // only news is shown
            EXPECT_LE(shown[i - 1].first, shown[i].first);
        }
    }
    EXPECT_EQ(careRun->progressText(),
              texts.format("CareFreedLine", {convertSizeToString(report.bytesFreed, texts)}));
    EXPECT_EQ(module->indicator()->toolTip(),
              freed(convertSizeToString(report.bytesFreed, texts),
                    convertCountToString(report.filesRemoved, texts)));
    // The history's entry says what went and how much.
    ASSERT_EQ(store.shoppingListArray().size(), 1);
    EXPECT_EQ(store.shoppingListArray()[0].items, (QStringList{"historyS", "cacheS"}));
    EXPECT_EQ(store.shoppingListArray()[0].bytesFreed, std::optional(report.bytesFreed));
}

}  // namespace
}  // namespace qz
