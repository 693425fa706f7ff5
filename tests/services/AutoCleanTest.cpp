// Cleaning on close against a fake Chromium: a copy of a small program under the browser's
// process name, shown in a process table of the test's own, with its lock in a fixture home.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "core/browsers/Catalogue.h"
#include "core/care/AutoCleanChoice.h"
#include "core/formats/Bookmark.h"
#include "core/formats/Localization.h"
#include "core/history/CareHistory.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"
#include "fixtures/LinuxHome.h"
#include "services/AutoClean.h"
#include "services/Executor.h"
#include "services/UserNotificationCenter.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

using test::LinuxHome;
using test::waitFor;

const QString kLock = QStringLiteral("/snap/chromium/common/chromium/SingletonLock");

QString hostName() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? QString::fromLocal8Bit(name) : QString();
}

// A fake Chromium: /bin/sleep copied as "chromium", listed in the test's process table and
// holding the browser's lock as long as it runs. Killed, at the latest, when it goes.
class FakeBrowser {
  public:
    FakeBrowser(const QString& program, const QString& procTable, LinuxHome& home)
        : procTable_(procTable), home_(home) {
        process_.start(program, {QStringLiteral("600")});
        if (!process_.waitForStarted()) {
            return;
        }
        pid_ = process_.processId();
        QFile::link(QStringLiteral("/proc/%1").arg(pid_), entry());
        home_.makeLink(kLock, hostName() + u'-' + QString::number(pid_));
    }
    ~FakeBrowser() { quit(); }
    bool running() const { return process_.state() == QProcess::Running && pid_ > 0; }

    // Gives up its lock, then ends, as the browser does.
    void quit() {
        if (pid_ <= 0) {
            return;
        }
        QFile::remove(home_.local(kLock));
        process_.kill();
        process_.waitForFinished();
        QFile::remove(entry());
        pid_ = 0;
    }

  private:
    QString entry() const { return procTable_ + u'/' + QString::number(pid_); }

    QString procTable_;
    LinuxHome& home_;
    QProcess process_;
    qint64 pid_ = 0;
};

class AutoCleanTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch_.isValid());
        home_.emplace();
        program_ = scratch_.filePath(QStringLiteral("chromium"));
        ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), program_));
        procTable_ = scratch_.filePath(QStringLiteral("proc"));
        ASSERT_TRUE(QDir().mkpath(procTable_));
        savedTable_ = qgetenv("QUENZEL_PROC");
        qputenv("QUENZEL_PROC", procTable_.toLocal8Bit());
        defaults_.emplace(scratch_.filePath(QStringLiteral("quenzel.conf")));
        history_ =
            std::make_shared<CareHistory>(scratch_.filePath(QStringLiteral("History.plist")));
        UserNotificationCenter::defaultUserNotificationCenter().setDeliveryHook(
            [this](const UserNotification& notification) { notified_.append(notification); });
    }
    void TearDown() override {
        UserNotificationCenter::defaultUserNotificationCenter().setDeliveryHook({});
        Executor::waitUntilIdle(Executor::Queue::Care);
        qputenv("QUENZEL_PROC", savedTable_);
    }

    std::unique_ptr<FakeBrowser> startBrowser() {
        return std::make_unique<FakeBrowser>(program_, procTable_, *home_);
    }
    void grant() {
        defaults_->setObject(Bookmark::create(home_->root()), Settings::Key::folderGrant);
    }
    // The fixture's files of the browser's basic preset: gone after a care, every other file
    // (its bookmarks, the other browsers') untouched.
    QStringList present(bool basicItems) const {
        const QStringList basic = catalogue(BrowserId::Chromium).basicSet;
        QStringList found;
        for (const test::FixtureFile& file : home_->recorded()) {
            const bool isBasic = file.browser == BrowserId::Chromium && basic.contains(file.item);
            if (isBasic == basicItems && QFileInfo::exists(home_->local(file.path))) {
                found.append(file.path);
            }
        }
        return found;
    }
    qsizetype fixtureCount(bool basicItems) const {
        const QStringList basic = catalogue(BrowserId::Chromium).basicSet;
        return std::count_if(
            home_->recorded().begin(), home_->recorded().end(), [&](const auto& f) {
                return (f.browser == BrowserId::Chromium && basic.contains(f.item)) == basicItems;
            });
    }

    test::ScopedTimeScale scale_{0.02};  // grace 0.2 s, checks every 20 ms
    QTemporaryDir scratch_;
    std::optional<LinuxHome> home_;
    QString program_;
    QString procTable_;
    QByteArray savedTable_;
    std::optional<UserDefaults> defaults_;
    std::shared_ptr<CareHistory> history_;
    QList<UserNotification> notified_;
};

TEST_F(AutoCleanTest, CleansOnlyAfterTheLastProcessEndedAndTheGracePeriodPassed) {
    ASSERT_GT(fixtureCount(true), 0);
    const Localization& texts = Localization::shared();
    const QString name = browserInfo(BrowserId::Chromium).displayName;
    struct Case {
        const char* what;
        std::optional<AutoCleanPreset> chromium;  // nothing: off
        bool granted;
        bool restartWithinGrace;
        bool cleaned;
        QString notified;  // the notification's title; empty: none
    };
    const Case cases[] = {
        {"on: cleaned once it closes", AutoCleanPreset::Basic, true, false, true,
         texts.format("AutoCleanTitle", {name})},
        {"a restart within the grace period cancels",
         AutoCleanPreset::Basic,
         true,
         true,
         false,
         {}},
        {"off: left alone", std::nullopt, true, false, false, {}},
        {"no folder grant: refused and told", AutoCleanPreset::Basic, false, false, false,
         texts.format("AutoCleanFailedTitle", {name})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        home_.emplace();  // each case on untouched files
        notified_.clear();
        history_ =
            std::make_shared<CareHistory>(scratch_.filePath(QString("%1.plist").arg(c.what)));
        defaults_.emplace(scratch_.filePath(QString("%1.conf").arg(c.what)));
        Settings settings(*defaults_);
        setAutoCleanChoice(BrowserId::Chromium, c.chromium, settings);
        // Another browser on, so a watcher runs in every case.
        setAutoCleanChoice(BrowserId::Brave, AutoCleanPreset::Complete, settings);
        if (c.granted) {
            grant();
        }

        std::unique_ptr<FakeBrowser> browser = startBrowser();
        ASSERT_TRUE(browser->running());
        AutoClean autoClean(home_->files(), *defaults_, history_);
        int finished = 0;
        int refused = 0;
        QObject::connect(&autoClean, &AutoClean::careFinished, [&] { ++finished; });
        QObject::connect(&autoClean, &AutoClean::careRefused, [&] { ++refused; });
        const bool watched = c.chromium.has_value();
        EXPECT_EQ(autoClean.watchedBrowsers().contains(BrowserId::Chromium), watched);
        if (watched) {
            EXPECT_EQ(autoClean.phase(BrowserId::Chromium), AutoClean::Phase::Open);
        }
        // While it runs, a few grace periods pass and nothing goes.
        EXPECT_FALSE(waitFor([&] { return finished + refused > 0; }, 300));
        EXPECT_EQ(present(true).size(), fixtureCount(true));

        browser->quit();
        if (c.restartWithinGrace) {
            ASSERT_TRUE(waitFor(
                [&] { return autoClean.phase(BrowserId::Chromium) == AutoClean::Phase::Closing; }));
            browser = startBrowser();
            ASSERT_TRUE(waitFor(
                [&] { return autoClean.phase(BrowserId::Chromium) == AutoClean::Phase::Open; }));
        }
        const bool expected = c.cleaned || !c.notified.isEmpty();
        const bool ended = waitFor([&] { return finished + refused > 0; }, expected ? 15000 : 500);
        EXPECT_EQ(ended, expected);
        EXPECT_EQ(finished, c.cleaned ? 1 : 0);
        EXPECT_EQ(present(true).isEmpty(), c.cleaned) << present(true).join(", ").toStdString();
        EXPECT_EQ(present(false).size(), fixtureCount(false));
        const auto entries =
            HistoryList::readFile(history_->filePath()).value_or(QList<HistoryEntry>{});
        ASSERT_EQ(entries.size(), c.cleaned ? 1 : 0);
        if (c.cleaned) {
            EXPECT_EQ(entries[0].browserName, name);
            EXPECT_TRUE(entries[0].automatic);
        }
        ASSERT_EQ(notified_.size(), c.notified.isEmpty() ? 0 : 1);
        if (!c.notified.isEmpty()) {
            EXPECT_EQ(notified_[0].title, c.notified);
        }
        // One closing, one care: nothing more follows while it stays closed.
        EXPECT_FALSE(waitFor([&] { return finished + refused > 1; }, 300));
        browser.reset();
        Executor::waitUntilIdle(Executor::Queue::Care);
    }
}

}  // namespace
}  // namespace qz
