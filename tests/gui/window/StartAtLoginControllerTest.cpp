// The login-item controller against a fake list of login items, and the preferences check box
// against the real autostart folder.
#include "gui/window/StartAtLoginController.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "core/settings/Log.h"
#include "fixtures/FixtureHome.h"
#include "gui/window/AppDelegate.h"

namespace qz {
namespace {

const QString kId = QStringLiteral("com.dizerov.quenzel.helper");

class FakeLoginItems : public LoginItems {
  public:
    std::optional<QList<QVariantMap>> jobs;
    bool succeeds = true;
    QList<bool> calls;  // the values registration was asked for

    std::optional<QList<QVariantMap>> copyAllJobDictionaries() const override { return jobs; }
    bool setEnabled(const QString& identifier, const QString&, bool enabled) override {
        EXPECT_EQ(identifier, kId);
        calls.append(enabled);
        return succeeds;
    }
};

QVariantMap job(const QString& label, bool onDemand) {
    return {{"Label", label}, {"OnDemand", onDemand}};
}

// Captures log lines for the life of the object.
struct LogLines {
    QStringList lines;
    Log::Sink previous = Log::setSink([this](const QString& line) { lines.append(line); });
    ~LogLines() { Log::setSink(previous); }
};

TEST(StartAtLoginControllerTest, TheBoxRegistersOnlyWhenThePlatformDisagrees) {
    using Jobs = std::optional<QList<QVariantMap>>;
    const struct {
        const char* name;
        Jobs jobs;
        bool box;
        bool succeeds;
        QList<bool> calls;
        bool enabledAfter;
    } rows[] = {
        {"already registered", QList{job(kId, true)}, true, true, {}, true},
        {"absent and off", QList{job("other", true)}, false, true, {}, false},
        {"no list at all", std::nullopt, true, true, {true}, true},
        {"on-demand false counts as absent", QList{job(kId, false)}, true, true, {true}, true},
        {"the first matching job decides",
         QList{job(kId, false), job(kId, true)},
         false,
         true,
         {},
         false},
        // A successful unregistration still reads YES until the next read.
        {"unregistered", QList{job(kId, true)}, false, true, {false}, true},
        {"refused", Jobs(QList<QVariantMap>{}), true, false, {true}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeLoginItems items;
        items.jobs = row.jobs;
        items.succeeds = row.succeeds;
        LogLines log;
        StartAtLoginController login(items);
        login.setBundle(LoginItemBundle{kId, QUrl::fromLocalFile("/opt/q/quenzel-helper")});
        const bool current = login.startAtLogin();
        if (row.box != current) {
            login.setStartAtLogin(row.box);
        }
        EXPECT_EQ(items.calls, row.calls);
        EXPECT_EQ(login.enabled(), row.enabledAfter);
        EXPECT_EQ(log.lines.contains("SMLoginItemSetEnabled failed!"), !row.succeeds);
    }
}

TEST(StartAtLoginControllerTest, ChangesAreAnnouncedNestedAndTheBundleIsLogged) {
    FakeLoginItems items;
    items.jobs = QList{job(kId, true)};
    LogLines log;
    StartAtLoginController login(items);
    QStringList heard;
    QObject::connect(&login, &StartAtLoginController::willChangeValueForKey,
                     [&](const QString& key) { heard << "will " + key; });
    QObject::connect(&login, &StartAtLoginController::didChangeValueForKey,
                     [&](const QString& key) { heard << "did " + key; });
    login.initWithBundle(LoginItemBundle{kId, QUrl::fromLocalFile("/opt/q/quenzel-helper")});
    EXPECT_EQ(log.lines, QStringList{"Launcher '" + kId + "' is configured to start at login"});
    EXPECT_EQ(heard, (QStringList{"will enabled", "did enabled"}));
    heard.clear();
    login.startAtLogin();  // unchanged: nothing announced
    EXPECT_TRUE(heard.isEmpty());
    login.setEnabled(false);
    EXPECT_EQ(heard, (QStringList{"will startAtLogin", "will enabled", "did enabled",
                                  "did startAtLogin"}));

    // Without a bundle: NO, nothing written, nothing announced.
    heard.clear();
    log.lines.clear();
    login.initWithBundle(std::nullopt);
    login.setStartAtLogin(true);
    EXPECT_FALSE(login.startAtLogin());
    EXPECT_EQ(items.calls, QList<bool>{false});
    EXPECT_EQ(log.lines, QStringList{"Launcher '' is not configured to start at login"});
}

TEST(StartAtLoginControllerTest, ThePreferencesBoxCreatesAndRemovesTheAutostartEntry) {
    QTemporaryDir dir;
    const QString helper = dir.filePath("quenzel-helper");
    const QString entry = LoginItems::autostartFolder() + "/" + kId + ".desktop";
    for (const bool helperThere : {false, true}) {
        SCOPED_TRACE(helperThere);
        if (helperThere) {
            QFile file(helper);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("QUENZEL_HELPER", helper.toLocal8Bit());
        test::FixtureHome home;
        AppDelegate delegate(home.files(), home.sizes());
        delegate.awakeFromNib();
        EXPECT_EQ(delegate.loginCheck()->isEnabled(), helperThere);
        EXPECT_FALSE(delegate.loginCheck()->isChecked());
        delegate.loginCheck()->setEnabled(true);
        delegate.loginCheck()->click();
        EXPECT_EQ(QFile::exists(entry), helperThere);
        if (helperThere) {
            QFile written(entry);
            ASSERT_TRUE(written.open(QIODevice::ReadOnly));
            EXPECT_TRUE(written.readAll().contains(LoginItems::execLine(helper).toUtf8()));
            AppDelegate again(home.files(), home.sizes());  // a later start finds the box on
            EXPECT_TRUE(again.loginCheck()->isChecked());
        }
        delegate.loginCheck()->click();
        EXPECT_FALSE(QFile::exists(entry));
    }
    qunsetenv("QUENZEL_HELPER");
}

}  // namespace
}  // namespace qz
