// The Linux layout on a fixture home: the layout choice, the profiles, and `status`, `care
// --dry-run` and `care --yes` agreeing with the fixture for every browser and profile.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "cli/CommandLine.h"
#include "core/browsers/BrowserProfiles.h"
#include "core/browsers/RunningApplications.h"
#include "core/history/HistoryList.h"
#include "core/settings/TimeScale.h"
#include "fixtures/FirefoxPlaces.h"
#include "fixtures/FixtureHome.h"
#include "fixtures/LinuxHome.h"
#include "support/CliRun.h"
#include "support/QuickCare.h"
#include "support/ScopedVariable.h"

namespace qz {
namespace {

using test::FixtureFile;
using test::LinuxHome;
using test::runCommand;

QJsonObject json(const QString& text) {
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

class LinuxLayoutTest : public test::QuickCareTest {
  protected:
    void SetUp() override {
        QuickCareTest::SetUp();
        QFile::remove(HistoryList::defaultFilePath());
    }
    LinuxHome home;
};

TEST_F(LinuxLayoutTest, TheLayoutIsChosenFromTheDiskUnlessForced) {
    test::FixtureHome mac;  // has /Users/anna/Library
    const QString xdg = home.root() + "/xdg-config";
    const struct {
        QString root;
        QString layoutOption;
        QString configHome;
        Layout layout;
        QString configFolder;
    } cases[] = {
        {mac.root(), {}, {}, Layout::MacOS, "/.config"},
        {home.root(), {}, {}, Layout::Linux, "/.config"},
        {home.root(), {}, xdg, Layout::Linux, "/xdg-config"},
        {home.root(), {}, "/elsewhere/config", Layout::Linux, "/.config"},
        {mac.root(), "linux", {}, Layout::Linux, "/.config"},
        {home.root(), "macos", {}, Layout::MacOS, "/.config"},
    };
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root.toStdString() + " " + c.layoutOption.toStdString());
        qputenv("XDG_CONFIG_HOME", c.configHome.toLocal8Bit());
        QStringList arguments = {"--root", c.root, "--user", "anna"};
        if (!c.layoutOption.isEmpty()) {
            arguments << "--layout" << c.layoutOption;
        }
        FileManager files;
        QString error;
        ASSERT_TRUE(CommandLine::apply(CommandLine::parse(arguments + QStringList{"status"}), files,
                                       &error))
            << error.toStdString();
        EXPECT_EQ(files.layout(), c.layout);
        EXPECT_EQ(files.root(), QDir::cleanPath(c.root));
        if (c.layout == Layout::Linux) {
            EXPECT_EQ(files.configFolder(), c.configFolder);
        }
    }
    qputenv("XDG_CONFIG_HOME", savedConfig);
    EXPECT_FALSE(CommandLine::parse({"--layout", "windows", "status"}).error.isEmpty());
}

TEST_F(LinuxLayoutTest, XdgFoldersOutsideTheOwnHomeAreFoundAndCleanedThere) {
    QTemporaryDir elsewhere;
    const QString config = elsewhere.path() + "/config";
    const QString cache = elsewhere.path() + "/cache";
    ASSERT_TRUE(QDir().mkpath(config) && QDir().mkpath(cache));
    ASSERT_TRUE(QDir().rename(home.local("/.config/google-chrome"), config + "/google-chrome"));
    ASSERT_TRUE(QDir().rename(home.local("/.cache/google-chrome"), cache + "/google-chrome"));
    // One profile's cache folder is a link: the care does not enter it.
    const QString decoy = elsewhere.path() + "/decoy";
    ASSERT_TRUE(QDir().rename(cache + "/google-chrome/Profile 1", decoy));
    ASSERT_TRUE(QFile::link(decoy, cache + "/google-chrome/Profile 1"));
    const test::ScopedVariable homeVariable("HOME", home.root());
    const test::ScopedVariable configVariable("XDG_CONFIG_HOME", config);
    const test::ScopedVariable cacheVariable("XDG_CACHE_HOME", cache);

    FileManager files;
    QString error;
    ASSERT_TRUE(CommandLine::apply(CommandLine::parse({"status"}), files, &error));
    EXPECT_EQ(files.root(), "/");
    EXPECT_EQ(files.homePath(), QFileInfo(home.root()).canonicalFilePath());
    QSet<QString> installed;
    for (const QJsonValue& browser :
         json(runCommand(files, {"status", "--json"}).out).value("browsers").toArray()) {
        if (browser.toObject().value("installed").toBool()) {
            installed.insert(browser.toObject().value("key").toString());
        }
    }
    EXPECT_TRUE(installed.contains("chrome") && installed.contains("firefox"));

    const auto care = runCommand(files, {"care", "chrome", "--items", "cacheC", "--yes"});
    EXPECT_EQ(care.code, 1) << care.out.toStdString();  // says the linked cache was left
    const auto moved = [&](QString path) {
        return path.replace(QRegularExpression("^/\\.config"), config)
            .replace(QRegularExpression("^/\\.cache"), cache);
    };
    for (const FixtureFile& file : home.recorded()) {
        if (file.browser == BrowserId::Chrome && !file.path.contains("Profile 1")) {
            EXPECT_EQ(QFileInfo::exists(moved(file.path)), file.item != "cacheC")
                << file.path.toStdString();
        }
    }
    EXPECT_TRUE(QFileInfo::exists(decoy + "/Cache/Cache_Data/data_0"));

    // Under a chosen root they cannot be reached and are not looked for.
    FileManager rooted;
    ASSERT_TRUE(
        CommandLine::apply(CommandLine::parse({"--root", home.root(), "status"}), rooted, &error));
    EXPECT_EQ(rooted.configFolder(), "/.config");
    EXPECT_FALSE(isInstalled(BrowserId::Chrome, rooted));
}

TEST_F(LinuxLayoutTest, ProfilesComeFromTheBrowsersListsAndBadOnesAreRefused) {
    const struct {
        BrowserId browser;
        QStringList names;
        QStringList refused;
    } cases[] = {
        {BrowserId::Firefox,
         {"default-release", "default", "work", "linked", "outside", "far",
          "flatpak:default-release"},
         {"linked", "outside", "far"}},
        {BrowserId::Chrome, {"Default", "..", "Profile 1"}, {".."}},
        {BrowserId::Chromium, {"snap:Default"}, {}},
        {BrowserId::Opera, {"Default"}, {}},
        {BrowserId::Brave, {"Default", "Profile 2"}, {}},
        {BrowserId::Vivaldi, {"flatpak:Default"}, {}},
        {BrowserId::Edge, {"Default"}, {}},
        {BrowserId::LibreWolf, {"default-default"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(browserInfo(c.browser).key.toStdString());
        QStringList names;
        QStringList refused;
        for (const BrowserProfile& profile : browserProfiles(c.browser, home.files())) {
            names.append(profile.name);
            if (!profile.usable()) {
                refused.append(profile.name);
                EXPECT_TRUE(profile.cacheFolder.isEmpty());
            }
        }
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(refused, c.refused);
    }
    // An absolute profile keeps its cache inside itself; a relative one under ~/.cache.
    const QList<BrowserProfile> firefox = browserProfiles(BrowserId::Firefox, home.files());
    EXPECT_EQ(firefox[0].cacheFolder, "/.cache/mozilla/firefox/abcd.default-release");
    EXPECT_EQ(firefox[2].cacheFolder, firefox[2].folder);
    EXPECT_EQ(browserProfiles(BrowserId::LibreWolf, home.files()).value(0).cacheFolder,
              "/.cache/librewolf/lw01.default-default");
}

TEST_F(LinuxLayoutTest, StatusFiguresAgreeWithTheFixture) {
    const auto run = runCommand(home.files(), {"status", "--json"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QJsonObject root = json(run.out);
    EXPECT_EQ(root.value("layout").toString(), "linux");
    const QJsonArray browsers = root.value("browsers").toArray();
    ASSERT_EQ(browsers.size(), 8);
    for (int i = 0; i < browsers.size(); ++i) {
        const BrowserId browser = layoutBrowsers(Layout::Linux)[i];
        const QJsonObject entry = browsers[i].toObject();
        SCOPED_TRACE(browserInfo(browser).key.toStdString());
        EXPECT_EQ(entry.value("key").toString(), browserInfo(browser).key);
        EXPECT_TRUE(entry.value("installed").toBool());
        // Every profile the fixture wrote files into is listed.
        QSet<QString> listed;
        for (const QJsonValue& profile : entry.value("profiles").toArray()) {
            listed.insert(profile.toObject().value("name").toString());
        }
        EXPECT_EQ(listed.size(), browserProfiles(browser, home.files()).size());
        for (const FixtureFile& file : home.recorded()) {
            EXPECT_TRUE(file.browser != browser || listed.contains(file.profile))
                << file.profile.toStdString();
        }
        for (const QJsonValue& item : entry.value("items").toArray()) {
            const QString name = item.toObject().value("item").toString();
            EXPECT_EQ(quint64(item.toObject().value("bytes").toInteger()),
                      home.expected(browser, name))
                << name.toStdString();
        }
    }
}

TEST_F(LinuxLayoutTest, CareRemovesExactlyTheItemsFilesInEveryProfileAndDryRunAgrees) {
    const struct {
        QString browser;
        QStringList items;  // empty: the complete preset
        QString profile;
        int code;            // 1 when the browser lists a refused profile: the care says so
        bool basic = false;  // the basic preset, which selects `items`
    } cases[] = {
        {"firefox", {}, {}, 1},
        {"firefox", {"historyF", "cacheF", "downloadlistF"}, "default-release", 0, true},
        {"librewolf", {"historyL", "cacheL", "downloadlistL"}, {}, 0, true},
        {"firefox", {"coockiesF", "cacheF"}, "work", 0},
        {"chrome", {}, {}, 1},
        {"chromium", {"historyM", "cacheM"}, {}, 0},
        {"opera", {}, {}, 0},
        {"brave", {}, {}, 0},
        {"brave", {"cookiesB", "lastsessionB"}, "Profile 2", 0},
        {"vivaldi", {}, {}, 0},
        {"edge", {}, {}, 0},
        {"librewolf", {}, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.browser + " " + c.items.join(',') + " " + c.profile).toStdString());
        LinuxHome fresh;
        QStringList arguments = {"care", c.browser, "--json"};
        arguments += c.basic             ? QStringList{"--preset", "basic"}
                     : c.items.isEmpty() ? QStringList{"--preset", "complete"}
                                         : QStringList{"--items", c.items.join(',')};
        if (!c.profile.isEmpty()) {
            arguments << "--profile" << c.profile;
        }
        const auto plan = runCommand(fresh.files(), arguments + QStringList{"--dry-run"});
        ASSERT_EQ(plan.code, 0) << plan.err.toStdString();
        QSet<QString> planned;
        qint64 going = 0;  // an edited database stays, so only removals count
        for (const QJsonValue& row : json(plan.out).value("would_remove").toArray()) {
            planned.insert(row.toObject().value("path").toString());
            going += row.toObject().value("bytes").toInteger();
        }
        EXPECT_EQ(json(plan.out).value("bytes").toInteger(), going);
        QSet<QString> plannedEdits;
        for (const QJsonValue& row : json(plan.out).value("would_edit").toArray()) {
            plannedEdits.insert(row.toObject().value("path").toString());
            // The pending log's visits are counted too.
            EXPECT_GE(row.toObject().value("rows").toObject().value("visits").toInteger(), 90);
        }
        QHash<QString, test::PlacesCounts> before;
        for (const FixtureFile& file : fresh.recorded()) {
            if (file.edited) {
                before.insert(file.path, test::countPlaces(fresh.local(file.path)));
            }
        }
        const auto care = runCommand(fresh.files(), arguments + QStringList{"--yes"});
        EXPECT_EQ(care.code, c.code) << care.out.toStdString();
        QSet<QString> removed;
        for (const QJsonValue& path : json(care.out).value("removed").toArray()) {
            removed.insert(path.toString());
        }
        EXPECT_EQ(removed, planned);
        QSet<QString> edited;
        for (const QJsonValue& row : json(care.out).value("edited").toArray()) {
            edited.insert(row.toObject().value("path").toString());
        }
        EXPECT_EQ(edited, plannedEdits);
        const BrowserId browser = *browserForKey(c.browser);
        for (const FixtureFile& file : fresh.recorded()) {
            const bool covered = file.browser == browser && !file.item.isEmpty() &&
                                 (c.items.isEmpty() || c.items.contains(file.item)) &&
                                 (c.profile.isEmpty() || c.profile == file.profile);
            if (file.edited) {
                // The history goes, the log's included; bookmarks and keywords stay whole.
                SCOPED_TRACE(file.path.toStdString());
                EXPECT_EQ(edited.contains(fresh.local(file.path)), covered);
                const test::PlacesCounts after = test::countPlaces(fresh.local(file.path));
                EXPECT_EQ(after.integrity, "ok");
                const test::PlacesCounts& old = before[file.path];
                EXPECT_EQ(after.visits, covered ? 0 : old.visits);
                EXPECT_EQ(after.inputs + after.metadata, covered ? 0 : old.inputs + old.metadata);
                EXPECT_EQ(after.bookmarkDigest, old.bookmarkDigest);
                EXPECT_EQ(after.keywordDigest, old.keywordDigest);
                continue;
            }
            EXPECT_NE(QFileInfo::exists(fresh.local(file.path)), covered)
                << file.path.toStdString();
        }
    }
}

TEST_F(LinuxLayoutTest, AProfileListThatCannotBeReadWhollyIsSaidAndFailsTheCare) {
    const struct {
        QString browser;
        QString list;
        QByteArray content;  // empty: a FIFO
        QString said;
    } cases[] = {
        {"firefox", "/.mozilla/firefox/profiles.ini", {}, "cannot be read: not a regular file"},
        {"chrome", "/.config/google-chrome/Local State", R"({"profile":{"info_cache":{"Def)",
         "cannot be read: not valid JSON"},
        {"firefox", "/.mozilla/firefox/profiles.ini",
         QByteArray("[Profile0]\nPath=..\0/..\0\n", 24),
         "refused: its name or path holds a control character"},
        {"chrome", "/.config/google-chrome/Local State", "{}", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.browser + " " + c.said).toStdString());
        QTemporaryDir dir;
        FileManager files;
        ASSERT_TRUE(files.setRoot(dir.path()));
        files.setLayout(Layout::Linux);
        const QString list = dir.path() + c.list;
        QDir().mkpath(QFileInfo(list).absolutePath());
        QFile(dir.path() + "/cookies.sqlite").open(QIODevice::WriteOnly);
        if (c.content.isEmpty()) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(list).constData(), 0600), 0);
        } else {
            QFile out(list);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(c.content);
        }
        const auto status = runCommand(files, {"status"});
        EXPECT_EQ(status.code, 0);
        EXPECT_EQ(status.out.contains(c.said.isEmpty() ? "cannot be read" : c.said),
                  !c.said.isEmpty())
            << status.out.toStdString();
        const QJsonArray browsers =
            json(runCommand(files, {"status", "--json"}).out).value("browsers").toArray();
        int problems = 0;
        for (const QJsonValue& browser : browsers) {
            problems += browser.toObject().value("profile_list_problems").toArray().size();
        }
        EXPECT_EQ(problems, c.said.startsWith("cannot") ? 1 : 0);
        // The preview names what the care would leave alone.
        const auto preview =
            runCommand(files, {"care", c.browser, "--preset", "complete", "--dry-run", "--json"});
        EXPECT_EQ(json(preview.out).value("would_leave_alone").toArray().isEmpty(),
                  c.said.isEmpty())
            << preview.out.toStdString();
        const auto care = runCommand(files, {"care", c.browser, "--preset", "complete", "--yes"});
        EXPECT_EQ(care.code, c.said.isEmpty() ? 0 : 1) << care.out.toStdString();
        EXPECT_EQ(care.out.contains("has been cleaned"), c.said.isEmpty());
        EXPECT_TRUE(QFileInfo::exists(dir.path() + "/cookies.sqlite"));
    }
}

TEST_F(LinuxLayoutTest, ABrowserWhoseLockALiveProcessHoldsIsNotCleaned) {
    const pid_t ended = ::fork();
    if (ended == 0) {
        ::_exit(0);
    }
    ::waitpid(ended, nullptr, 0);
    char hostName[256] = {};
    ::gethostname(hostName, sizeof hostName - 1);
    const QString live = QString::number(::getpid());
    const struct {
        QString browser;
        QString lock;
        QString target;
        int code;
    } cases[] = {
        {"firefox", "/.mozilla/firefox/abcd.default-release/lock", "127.0.0.1:+" + live, 3},
        {"firefox", "/.mozilla/firefox/work.absolute/lock", "127.0.0.1:+" + QString::number(ended),
         1},
        {"chrome", "/.config/google-chrome/SingletonLock", QString(hostName) + '-' + live, 3},
        {"chrome", "/.config/google-chrome/SingletonLock", "elsewhere-" + live, 1},
        {"brave", "/.config/BraveSoftware/Brave-Browser/SingletonLock",
         QString(hostName) + '-' + live, 3},
        {"vivaldi", "/.var/app/com.vivaldi.Vivaldi/config/vivaldi/SingletonLock",
         QString(hostName) + '-' + live, 3},
        {"edge", "/.config/microsoft-edge/SingletonLock", QString(hostName) + '-' + live, 3},
        {"edge", "/.config/microsoft-edge/SingletonLock",
         QString(hostName) + '-' + QString::number(ended), 0},
        {"librewolf", "/.librewolf/lw01.default-default/lock", "127.0.0.1:+" + live, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        LinuxHome fresh;
        fresh.makeLink(c.lock, c.target);
        const auto care = runCommand(fresh.files(), {"care", c.browser, "--yes"});
        EXPECT_EQ(care.code, c.code) << care.err.toStdString();
        const bool keptAll = std::all_of(
            fresh.recorded().begin(), fresh.recorded().end(),
            [&](const FixtureFile& file) { return QFileInfo::exists(fresh.local(file.path)); });
        EXPECT_EQ(keptAll, c.code == 3);
    }
}

}  // namespace
}  // namespace qz
