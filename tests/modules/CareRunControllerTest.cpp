#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <map>
#include <mutex>

#include "ModuleTestPanel.h"
#include "care/modules/CareRunController.h"
#include "care/modules/Chrome.h"
#include "care/modules/Opera.h"
#include "care/modules/Safari.h"
#include "fixtures/FixtureHome.h"
#include "history/addItem.h"
#include "platform/Localization.h"
#include "platform/Log.h"
#include "platform/RunningApplications.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

using test::FixtureHome;
using test::waitFor;

const QString kSafariHistory = "/Users/%@/Library/Safari/History.plist";
const QString kSafariCache = "/Users/%@/Library/Caches/com.apple.Safari/Cache.db";
const QString kSafariDownloads = "/Users/%@/Library/Safari/Downloads.plist";
const QString kSafariPreferences = "/Users/%@/Library/Preferences/com.apple.Safari.plist";
const QString kChromeHistory =
    "/Users/%@/Library/Application Support/Google/Chrome/Default/History";
const QString kChromeCookies =
    "/Users/%@/Library/Application Support/Google/Chrome/Default/Cookies";
const QString kOperaCache = "/Users/%@/Library/Caches/com.operasoftware.Opera/data";

QString text(const char* key) {
    return Localization::shared().text(QString::fromLatin1(key));
}

// The sheet open on the window, if any.
QMessageBox* openSheet(QWidget& window) {
    for (QMessageBox* box : window.findChildren<QMessageBox*>()) {
        if (box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

void press(QMessageBox* sheet, const char* key) {
    for (QAbstractButton* button : sheet->buttons()) {
        if (button->text() == text(key)) {
            button->click();
            return;
        }
    }
    ADD_FAILURE() << "no button " << key;
}

// What happened to a widget's own visibility, in order.
class VisibilityLog : public QObject {
  public:
    explicit VisibilityLog(QWidget* widget) { widget->installEventFilter(this); }
    QStringList events;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ShowToParent) {
            events.append("shown");
        } else if (event->type() == QEvent::HideToParent) {
            events.append("hidden");
        }
        return false;
    }
};

class CareRunControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        store.setUp(historyDir.filePath("History.plist"));
        RunningApplications::setProbe(
            [this](const QString& identifier) { return openBrowsers.contains(identifier); });
        UserNotificationCenter::defaultUserNotificationCenter().setDeliveryHook(
            [this](const UserNotification& notification) {
                std::lock_guard lock(mutex);
                notifications.append(notification);
                notifiedAfterMs.append(clock.elapsed());
            });
        previousSink = Log::setSink([this](const QString& line) {
            std::lock_guard lock(mutex);
            logLines.append(line);
        });
        window.resize(800, 300);
        window.show();
        clock.start();
    }
    void TearDown() override {
        delete panelsOwner;  // joins any care still running before the hooks go
        Log::setSink(previousSink);
        UserNotificationCenter::defaultUserNotificationCenter().setDeliveryHook({});
        RunningApplications::setProbe({});
    }

    CareModule* addModule(BrowserId browser) {
        const std::map<BrowserId, std::function<CareModule*()>> factories = {
            {BrowserId::Safari, [&] { return new Safari(panel(Safari::moduleTraits()), files()); }},
            {BrowserId::Chrome, [&] { return new Chrome(panel(Chrome::moduleTraits()), files()); }},
            {BrowserId::Opera, [&] { return new Opera(panel(Opera::moduleTraits()), files()); }},
        };
        return factories.at(browser)();
    }
    QWidget* panel(const ModuleTraits& traits) {
        QWidget* raw = test::makePanel(traits).release();
        raw->setParent(panelsOwner);
        return raw;
    }
    FileManager& files() { return home.files(); }

    // Every box off except the given ones (1 on, -1 mixed).
    static void select(CareModule* module, const QHash<QString, int>& states) {
        for (QCheckBox* box : module->checkBoxes()) {
            const int state = states.value(box->objectName());
            box->setTristate(state < 0);
            box->setCheckState(state == 1  ? Qt::Checked
                               : state < 0 ? Qt::PartiallyChecked
                                           : Qt::Unchecked);
        }
    }
    bool exists(const QString& path) { return QFileInfo::exists(home.local(path)); }
    QList<UserNotification> delivered() {
        std::lock_guard lock(mutex);
        return notifications;
    }

    test::ScopedTimeScale scale{0.02};
    FixtureHome home;
    QTemporaryDir historyDir;
    addItem store;
    QWidget window;
    QWidget* panelsOwner = new QWidget(&window);
    QStringList openBrowsers;
    std::mutex mutex;
    QList<UserNotification> notifications;
    QList<qint64> notifiedAfterMs;
    QStringList logLines;
    Log::Sink previousSink;
    QElapsedTimer clock;
};

TEST_F(CareRunControllerTest, RefusalsComeFirstAndCancelLeavesEverything) {
    home.writeFile(kSafariHistory, 10);
    home.writeFile(kChromeHistory, 10);
    const struct Case {
        const char* name;
        BrowserId browser;
        bool open;
        QHash<QString, int> boxes;
        const char* title;
        const char* informative;
        QMessageBox::Icon icon;
        QStringList buttons;
        const char* logLine;
    } cases[] = {
        {"open and nothing selected: the open browser wins",
         BrowserId::Safari,
         true,
         {},
         "Attention",
         "OpenSafari",
         QMessageBox::Critical,
         {"Done"},
         "Safari aperto"},
        {"nothing selected",
         BrowserId::Chrome,
         false,
         {},
         "Attention!",
         "NoItemsChrome",
         QMessageBox::Critical,
         {"Done"},
         "nessun elemento selezionato chrome"},
        {"a mixed box counts as selected",
         BrowserId::Chrome,
         false,
         {{"historyC", -1}},
         "StartCare",
         "NoteStartCare",
         QMessageBox::Warning,
         {"OK", "Cancel"},
         "Pronto per eseguire la cura chrome"},
        {"cancelled",
         BrowserId::Safari,
         false,
         {{"historyS", 1}},
         "StartCare",
         "NoteStartCare",
         QMessageBox::Warning,
         {"OK", "Cancel"},
         "Pronto per eseguire la cura safari"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openBrowsers =
            c.open ? QStringList{browserInfo(c.browser).bundleIdentifier} : QStringList{};
        CareModule* module = addModule(c.browser);
        select(module, c.boxes);
        logLines.clear();
        module->careButton()->click();
        QMessageBox* sheet = openSheet(window);
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
        EXPECT_EQ(sheet->text(), text(c.title));
        EXPECT_EQ(sheet->informativeText(), text(c.informative));
        EXPECT_EQ(sheet->icon(), c.icon);
        QStringList buttons;
        for (QAbstractButton* button : sheet->buttons()) {
            buttons.append(button->text());
        }
        QStringList expected;
        for (const QString& key : c.buttons) {
            expected.append(Localization::shared().text(key));
        }
        std::sort(buttons.begin(), buttons.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(buttons, expected);
        EXPECT_EQ(logLines, QStringList{c.logLine});

        press(sheet, c.buttons.size() == 1 ? "Done" : "Cancel");
        QCoreApplication::processEvents();
        EXPECT_EQ(openSheet(window), nullptr);
        EXPECT_FALSE(module->careRun()->isRunning());
        EXPECT_TRUE(module->careButton()->isEnabled());
    }
    test::waitFor([] { return false; }, 100);  // room for a wrongly started care to show
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
    CareModule* module = addModule(BrowserId::Safari);
    select(module, {{"historyS", 1}, {"cacheS", 1}, {"downloadlistS", -1}, {"preferencesS", 1}});
    VisibilityLog indicator(module->indicator());
    bool finished = false;
    QObject::connect(module->careRun(), &CareRunController::careFinished, [&] { finished = true; });

    module->careButton()->click();
    clock.restart();
    press(openSheet(window), "OK");
    // Taken at once on the main thread; the indicator waits for the opening pause.
    EXPECT_TRUE(module->presetButton()->isHidden());
    EXPECT_FALSE(module->careButton()->isEnabled());
    EXPECT_TRUE(module->indicator()->isHidden());
    // Unticked while the run waits: the walk reads the box when it reaches the item.
    module->checkBox("cacheS")->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(waitFor([&] { return finished; }));
    ASSERT_TRUE(waitFor([&] { return delivered().size() == 1; }));

    EXPECT_EQ(indicator.events, (QStringList{"shown", "hidden"}));
    EXPECT_FALSE(exists(kSafariHistory));
    EXPECT_FALSE(exists(kSafariPreferences));
    EXPECT_TRUE(exists(kSafariCache));
    EXPECT_TRUE(exists(kSafariDownloads));  // mixed: counted as selected, never removed
    const QList<HistoryEntry> entries = store.shoppingListArray();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries.last().browserName, "Safari");
    EXPECT_EQ(store.viewState(), addItem::ViewState::HistoryPresent);
    EXPECT_EQ(delivered()[0].title, text("QZ"));
    EXPECT_EQ(delivered()[0].informativeText, text("SafariCompleted"));
    // One second before the walk and two before the preference files, scaled.
    EXPECT_GE(notifiedAfterMs[0], 3000 * 0.02);
    EXPECT_FALSE(module->presetButton()->isHidden());
    EXPECT_TRUE(module->careButton()->isEnabled());
    EXPECT_TRUE(module->indicator()->isHidden());
    EXPECT_EQ(UserNotificationCenter::defaultUserNotificationCenter().delegate(),
              module->careRun());
}

TEST_F(CareRunControllerTest, TwoModulesCareAtOnceAndWhatStaysIsReported) {
    // Safari's folder is a link: its history is out of reach and must be reported.
    QTemporaryDir outside;
    QDir().mkpath(outside.filePath("safari"));
    QFile elsewhere(outside.filePath("safari/History.plist"));
    ASSERT_TRUE(elsewhere.open(QIODevice::WriteOnly));
    elsewhere.close();
    home.makeLink("/Users/%@/Library/Safari", outside.filePath("safari"));
    home.writeFile(kChromeHistory, 10);
    home.writeFile(kChromeCookies, 10);
    home.writeFile(kOperaCache, 10);

    CareModule* safari = addModule(BrowserId::Safari);
    CareModule* chrome = addModule(BrowserId::Chrome);
    CareModule* opera = addModule(BrowserId::Opera);
    select(safari, {{"historyS", 1}});
    select(chrome, {{"historyC", 1}});
    select(opera, {{"cacheO", 1}});
    int finished = 0;
    for (CareModule* module : {safari, chrome, opera}) {
        QObject::connect(module->careRun(), &CareRunController::careFinished, [&] { ++finished; });
        module->careButton()->click();
        press(openSheet(window), "OK");
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(waitFor([&] { return finished == 3 && delivered().size() == 3; }));

    EXPECT_TRUE(QFileInfo::exists(outside.filePath("safari/History.plist")));
    EXPECT_FALSE(exists(kChromeHistory));
    EXPECT_TRUE(exists(kChromeCookies));
    EXPECT_FALSE(exists("/Users/%@/Library/Caches/com.operasoftware.Opera"));
    QStringList names;
    for (const HistoryEntry& entry : store.shoppingListArray()) {
        names.append(entry.browserName);
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{"Google Chrome", "Opera", "Safari"}));
    std::map<QString, QString> texts;
    for (const UserNotification& notification : delivered()) {
        texts[notification.informativeText] = notification.title;
    }
    EXPECT_EQ(texts[text("SafariIncomplete")], text("CareIncompleteTitle"));
    EXPECT_EQ(texts[text("ChromeCompleted")], text("QZ"));
    EXPECT_EQ(texts[text("OperaCompleted")], text("QZ"));
    const QString failed = home.files().userPath(kSafariHistory);
    EXPECT_TRUE(std::any_of(logLines.begin(), logLines.end(),
                            [&](const QString& line) { return line.contains(failed); }));
}

TEST_F(CareRunControllerTest, ClosingThePanelDuringACareWaitsForItsWorker) {
    home.writeFile(kChromeHistory, 10);
    CareModule* chrome = addModule(BrowserId::Chrome);
    select(chrome, {{"historyC", 1}});
    chrome->careButton()->click();
    press(openSheet(window), "OK");
    ASSERT_TRUE(chrome->careRun()->isRunning());
    delete panelsOwner;  // takes the module and its controller while the worker pauses
    panelsOwner = nullptr;
    // The care was finished, not abandoned, and nothing of it reaches a deleted widget.
    EXPECT_FALSE(exists(kChromeHistory));
    EXPECT_EQ(store.shoppingListArray().size(), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(UserNotificationCenter::defaultUserNotificationCenter().delegate(), nullptr);
}

}  // namespace
}  // namespace qz
