// Profile lists as an attacker writes them: every way out of the browser's folder refused and
// nothing outside touched by a care, unreadable lists said, duplicates measured once, the cap.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>

#include "core/browsers/BrowserProfiles.h"
#include "core/browsers/Presets.h"
#include "core/care/CareRun.h"
#include "core/care/SizeRules.h"
#include "core/fs/FileManager.h"
#include "core/fs/FileRemoval.h"
#include "core/fs/OpenBeneath.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

const QString kFirefox = QStringLiteral("/.mozilla/firefox");
const QString kChrome = QStringLiteral("/.config/google-chrome");

// A bare Linux home: only what each case writes into it.
class Home {
  public:
    Home() {
        files.setRoot(dir.path());
        files.setLayout(Layout::Linux);
    }
    QString local(const QString& path) const { return dir.path() + path; }
    void write(const QString& path, const QByteArray& content) const {
        QDir().mkpath(QFileInfo(local(path)).absolutePath());
        QFile out(local(path));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        ASSERT_EQ(out.write(content), content.size());
    }
    void folder(const QString& path) const { QDir().mkpath(local(path)); }
    void link(const QString& path, const QString& target) const {
        QDir().mkpath(QFileInfo(local(path)).absolutePath());
        ASSERT_EQ(::symlink(QFile::encodeName(target).constData(),
                            QFile::encodeName(local(path)).constData()),
                  0);
    }

    QTemporaryDir dir;
    FileManager files;
};

CareReport completeCare(BrowserId browser, const FileManager& files) {
    CareRun run(browser, files);
    run.setSelection([&items = catalogue(browser, files)](const QString& item) {
        return presetState(items, 1, item);
    });
    return run.run();
}

TEST(OpenBeneathTest, DecidesOnWhatTheKernelSeesWithOrWithoutOpenat2) {
    QTemporaryDir dir;
    const QString base = dir.filePath("base");
    for (const char* folder : {"base/sub/inner", "outside/inner"}) {
        ASSERT_TRUE(QDir().mkpath(dir.filePath(folder)));
    }
    ASSERT_TRUE(QFile::link(dir.filePath("outside"), base + "/link"));
    ASSERT_TRUE(QFile::link(base + "/sub/inner", base + "/sub/inner-link"));
    QFile(base + "/file").open(QIODevice::WriteOnly);
    struct stat root {};
    struct stat proc {};
    const bool procMounted =
        ::stat("/", &root) == 0 && ::stat("/proc", &proc) == 0 && root.st_dev != proc.st_dev;
    const struct {
        QByteArray base;
        QByteArray relative;
        int error;  // 0: opens the folder `base`/`expected`
        QString expected;
    } cases[] = {
        {{}, "sub", 0, "sub"},
        {{}, "sub//inner/", 0, "sub/inner"},
        {{}, "", 0, ""},
        {{}, "..", EXDEV, {}},
        {{}, "sub/..", EXDEV, {}},
        {{}, "a/../..", EXDEV, {}},
        {{}, "./..", EXDEV, {}},
        {{}, "../", EXDEV, {}},
        {{}, QByteArray("..\0/..\0", 7), EXDEV, {}},
        {{}, QByteArray("sub\0/../..", 10), EXDEV, {}},
        {{}, "link", ELOOP, {}},
        {{}, "link/inner", ELOOP, {}},
        {{}, "sub/inner-link", ELOOP, {}},
        {{}, "file", ENOTDIR, {}},
        {{}, "none", ENOENT, {}},
        {"/", procMounted ? "proc" : "", procMounted ? EXDEV : 0, {}},
    };
    for (const bool walk : {false, true}) {
        forceBeneathWalk(walk);
        for (const auto& c : cases) {
            SCOPED_TRACE((walk ? "walk: " : "openat2: ") + c.relative.toStdString());
            const QByteArray from = c.base.isEmpty() ? QFile::encodeName(base) : c.base;
            const UniqueFd folder(::open(from.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            const BeneathOpen opened = openFolderBeneath(folder.get(), c.relative);
            EXPECT_EQ(opened.error, c.error);
            EXPECT_EQ(opened.fd.valid(), c.error == 0);
            if (c.error == 0 && c.base.isEmpty()) {
                struct stat got {};
                struct stat want {};
                ASSERT_EQ(::fstat(opened.fd.get(), &got), 0);
                ASSERT_EQ(::lstat(QFile::encodeName(base + '/' + c.expected), &want), 0);
                EXPECT_EQ(got.st_ino, want.st_ino);
            }
        }
    }
    forceBeneathWalk(false);
}

TEST(ProfileListTest, APathWhoseNameHoldsANulReachesNothing) {
    Home home;
    home.write("/victim", "keep");
    home.folder("/x");
    for (const QString& path :
         {QString::fromUtf8("/x/..\0/victim", 13), QString::fromUtf8("/victim\0ignored", 15)}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(home.files.resolve(path).valid());
        EXPECT_EQ(home.files.fileSize(path), 0u);
        EXPECT_TRUE(home.files.removeItem(path).failed());
        EXPECT_TRUE(QFileInfo::exists(home.local("/victim")));
    }
}

// The files a hostile list aims at: care items' names in every folder above the browser's.
const QStringList kCanaries = {
    "/cookies.sqlite",
    "/xulstore.json",
    "/History",
    "/Preferences",
    "/.config/History",
    "/.config/Preferences",
    "/.cache/Cache/data_0",
    "/.cache/thumbnails/x",
    "/.mozilla/cookies.sqlite",
    "/elsewhere/Cookies",
    "/elsewhere/History",
    "/elsewhere/cookies.sqlite",
    "/elsewhere/cache2/entry",
    "/.cache/mozilla/cache2/e",
    "/.config/Cookies",
};

TEST(ProfileListTest, EveryWayOutOfTheBrowserFolderIsRefusedAndACareTouchesNothingOutside) {
    const test::ScopedTimeScale scale(0.01);
    const auto ini = [](const QByteArray& path, const QByteArray& extra = "IsRelative=1\n") {
        return QByteArray("[Profile0]\nName=good\nPath=good\n\n[Profile1]\nName=evil\n") + extra +
               "Path=" + path + "\n";
    };
    const auto state = [](const QByteArray& key) {
        return QByteArray(R"({"profile":{"info_cache":{"good":{},")") + key + R"(":{}}}})";
    };
    const struct {
        const char* name;
        BrowserId browser;
        std::function<void(Home&)> setUp;
    } cases[] = {
        {"NUL", BrowserId::Firefox,
         [&](Home& h) { h.write(kFirefox + "/profiles.ini", ini(QByteArray("..\0/..\0", 7))); }},
        {"NUL deeper", BrowserId::Firefox,
         [&](Home& h) {
             h.write(kFirefox + "/profiles.ini", ini(QByteArray("..\0/..\0/..\0", 11)));
         }},
        {"C0 control", BrowserId::Firefox,
         [&](Home& h) {
             h.folder(kFirefox + "/ev\x01il");
             h.write(kFirefox + "/profiles.ini", ini("ev\x01il"));
         }},
        {"DEL", BrowserId::Firefox,
         [&](Home& h) { h.write(kFirefox + "/profiles.ini", ini("..\x7f")); }},
        {"C1 control", BrowserId::Firefox,
         [&](Home& h) { h.write(kFirefox + "/profiles.ini", ini("..\xc2\x85/..")); }},
        {"NUL in the name", BrowserId::Firefox,
         [&](Home& h) {
             h.folder(kFirefox + "/evil");
             static const char text[] =
                 "[Profile0]\nName=good\nPath=good\n\n[Profile1]\nName=e\0v\nPath=evil\n";
             h.write(kFirefox + "/profiles.ini", QByteArray(text, sizeof text - 1));
         }},
        {"..", BrowserId::Firefox,
         [&](Home& h) { h.write(kFirefox + "/profiles.ini", ini("..")); }},
        {"a/../..", BrowserId::Firefox,
         [&](Home& h) { h.write(kFirefox + "/profiles.ini", ini("good/../..")); }},
        {"./..", BrowserId::Firefox,
         [&](Home& h) { h.write(kFirefox + "/profiles.ini", ini("./..")); }},
        {"trailing slash", BrowserId::Firefox,
         [&](Home& h) { h.write(kFirefox + "/profiles.ini", ini("../../")); }},
        {"absolute outside", BrowserId::Firefox,
         [&](Home& h) {
             h.write(kFirefox + "/profiles.ini",
                     ini(QFile::encodeName(h.local("/elsewhere")), "IsRelative=0\n"));
         }},
        {"absolute through ..", BrowserId::Firefox,
         [&](Home& h) {
             h.write(
                 kFirefox + "/profiles.ini",
                 ini(QFile::encodeName(h.local(kFirefox + "/../../elsewhere")), "IsRelative=0\n"));
         }},
        {"profile folder a link", BrowserId::Firefox,
         [&](Home& h) {
             h.link(kFirefox + "/evil", h.local("/elsewhere"));
             h.write(kFirefox + "/profiles.ini", ini("evil"));
         }},
        {"a parent a link", BrowserId::Firefox,
         [&](Home& h) {
             h.link(kFirefox + "/via", h.local("/"));
             h.write(kFirefox + "/profiles.ini", ini("via/elsewhere"));
         }},
        {"Local State key ..\\u0000", BrowserId::Chrome,
         [&](Home& h) { h.write(kChrome + "/Local State", state("..\\u0000")); }},
        {"Local State key with a control", BrowserId::Chrome,
         [&](Home& h) {
             h.folder(kChrome + "/ev\til");
             h.write(kChrome + "/Local State", state("ev\\til"));
         }},
        {"Local State key ..", BrowserId::Chrome,
         [&](Home& h) { h.write(kChrome + "/Local State", state("..")); }},
        {"Local State key a/../..", BrowserId::Chrome,
         [&](Home& h) { h.write(kChrome + "/Local State", state("good/../..")); }},
        {"Local State profile a link", BrowserId::Chrome,
         [&](Home& h) {
             h.link(kChrome + "/evil", h.local("/elsewhere"));
             h.write(kChrome + "/Local State", state("evil"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Home home;
        const QString data = c.browser == BrowserId::Firefox ? kFirefox : kChrome;
        const QString good =
            data + (c.browser == BrowserId::Firefox ? "/good/cookies.sqlite" : "/good/Cookies");
        home.write(good, "mine");
        for (const QString& canary : kCanaries) {
            home.write(canary, "keep");
        }
        c.setUp(home);
        const BrowserProfileList lists = readBrowserProfiles(c.browser, home.files);
        QStringList usable;
        QStringList refused;
        for (const BrowserProfile& profile : lists.profiles) {
            (profile.usable() ? usable : refused).append(profile.refused);
        }
        EXPECT_EQ(usable.size(), 1);
        ASSERT_EQ(refused.size(), 1);
        EXPECT_FALSE(refused[0].isEmpty());
        const CareReport report = completeCare(c.browser, home.files);
        EXPECT_FALSE(report.complete());
        EXPECT_FALSE(QFileInfo::exists(home.local(good)));  // the care did run
        for (const QString& canary : kCanaries) {
            EXPECT_TRUE(QFileInfo::exists(home.local(canary))) << canary.toStdString();
        }
    }
}

TEST(ProfileListTest, ALinkOnTheDataFolderPathLeavesTheInstallAloneAndSaysSo) {
    const test::ScopedTimeScale scale(0.01);
    Home home;
    home.write("/real/firefox/profiles.ini", "[Profile0]\nName=p\nPath=p\n");
    home.write("/real/firefox/p/cookies.sqlite", "kept");
    home.link("/.mozilla", home.local("/real"));
    const BrowserProfileList lists = readBrowserProfiles(BrowserId::Firefox, home.files);
    EXPECT_TRUE(lists.profiles.isEmpty());
    ASSERT_EQ(lists.problems.size(), 1);
    EXPECT_EQ(lists.problems[0].list, kFirefox);
    EXPECT_FALSE(completeCare(BrowserId::Firefox, home.files).complete());
    EXPECT_TRUE(QFileInfo::exists(home.local("/real/firefox/p/cookies.sqlite")));
}

TEST(ProfileListTest, AListThatCannotBeReadIsSaidAndFailsTheCare) {
    const test::ScopedTimeScale scale(0.01);
    const QByteArray ini = "[Profile0]\nName=p\nPath=p\nDefault=1\n";
    const QByteArray state = R"({"profile":{"info_cache":{"Default":{},"p":{}}}})";
    const auto fifo = [](Home& h, const QString& path) {
        QDir().mkpath(QFileInfo(h.local(path)).absolutePath());
        ASSERT_EQ(::mkfifo(QFile::encodeName(h.local(path)).constData(), 0600), 0);
    };
    const auto big = [](Home& h, const QString& path, qint64 size) {
        h.write(path, {});
        ASSERT_TRUE(QFile::resize(h.local(path), size));
    };
    struct Case {
        const char* name;
        std::function<void(Home&, const QString& list, const QByteArray& good)> setUp;
        bool problem;
        bool firefox = true;  // whether the case exists for an ini file too
    };
    const Case cases[] = {
        {"a regular file", [](Home& h, const QString& l, const QByteArray& g) { h.write(l, g); },
         false},
        {"absent", [](Home&, const QString&, const QByteArray&) {}, false},
        {"a link to a regular file of ours",
         [](Home& h, const QString& l, const QByteArray& g) {
             h.write("/dotfiles/list", g);
             h.link(l, h.local("/dotfiles/list"));
         },
         false},
        {"a link to a FIFO",
         [&](Home& h, const QString& l, const QByteArray&) {
             fifo(h, "/dotfiles/fifo");
             h.link(l, h.local("/dotfiles/fifo"));
         },
         true},
        {"a link to a folder",
         [](Home& h, const QString& l, const QByteArray&) { h.link(l, h.local("/")); }, true},
        {"a link to nothing",
         [](Home& h, const QString& l, const QByteArray&) { h.link(l, h.local("/none")); }, true},
        {"a FIFO", [&](Home& h, const QString& l, const QByteArray&) { fifo(h, l); }, true},
        {"a folder", [](Home& h, const QString& l, const QByteArray&) { h.folder(l); }, true},
        {"over its cap",
         [&](Home& h, const QString& l, const QByteArray&) {
             big(h, l, l.endsWith("ini") ? (1 << 20) + 1 : (16 << 20) + 1);
         },
         true},
        {"truncated JSON",
         [](Home& h, const QString& l, const QByteArray& g) { h.write(l, g.left(g.size() - 3)); },
         true, false},
    };
    for (const BrowserId browser : {BrowserId::Firefox, BrowserId::Chrome}) {
        const bool firefox = browser == BrowserId::Firefox;
        const QString data = firefox ? kFirefox : kChrome;
        const QString list = data + (firefox ? "/profiles.ini" : "/Local State");
        for (const Case& c : cases) {
            if (firefox && !c.firefox) {
                continue;
            }
            SCOPED_TRACE(browserInfo(browser).key.toStdString() + ": " + c.name);
            Home home;
            home.write(data + "/p/" + (firefox ? "cookies.sqlite" : "Cookies"), "data");
            home.folder(data + "/Default");
            c.setUp(home, list, firefox ? ini : state);
            const BrowserProfileList lists = readBrowserProfiles(browser, home.files);
            EXPECT_EQ(lists.problems.size(), c.problem ? 1 : 0);
            const bool listsP = std::any_of(lists.profiles.begin(), lists.profiles.end(),
                                            [](const auto& p) { return p.name == "p"; });
            EXPECT_EQ(listsP, !c.problem && QByteArray(c.name) != "absent");
            EXPECT_EQ(completeCare(browser, home.files).complete(), !c.problem);
        }
    }
}

TEST(ProfileListTest, AFolderListedTwiceIsMeasuredOnce) {
    Home home;
    home.write(kFirefox + "/twice/cookies.sqlite", QByteArray(1000, 'c'));
    home.write(kFirefox + "/profiles.ini",
               "[Profile0]\nName=a\nPath=twice\n\n[Profile1]\nName=b\nPath=twice/\n\n"
               "[Profile2]\nName=c\nIsRelative=0\nDefault=1\nPath=" +
                   QFile::encodeName(home.local(kFirefox + "/twice")) + "\n");
    const QList<BrowserProfile> profiles = browserProfiles(BrowserId::Firefox, home.files);
    ASSERT_EQ(profiles.size(), 1);
    EXPECT_EQ(profiles[0].name, "c");  // the default is the entry kept
    EXPECT_TRUE(profiles[0].isDefault);
    EXPECT_EQ(measureItem(*catalogue(BrowserId::Firefox, home.files).item("coockiesF"), home.files),
              1000u);
}

TEST(ProfileListTest, ProfilesBeyondTheCapAreLeftOutAndSaidOnce) {
    Home home;
    QByteArray keys;
    for (int i = 0; i < 100000; ++i) {
        keys += "\"P" + QByteArray::number(i) + "\":{},";
    }
    for (int i = 0; i < kMaxProfilesPerList + 20; ++i) {
        home.folder(kChrome + "/P" + QString::number(i));
    }
    home.folder(kChrome + "/Default");
    home.write(kChrome + "/Local State",
               R"({"profile":{"info_cache":{)" + keys + "\"Default\":{}}}}");
    const BrowserProfileList lists = readBrowserProfiles(BrowserId::Chrome, home.files);
    EXPECT_LE(lists.profiles.size(), kMaxProfilesPerList);
    EXPECT_EQ(lists.profiles.value(0).name, "Default");
    ASSERT_EQ(lists.problems.size(), 1);
    EXPECT_FALSE(lists.problems[0].unreadable);
    EXPECT_TRUE(lists.problems[0].reason.contains(QString::number(100001 - kMaxProfilesPerList)))
        << lists.problems[0].reason.toStdString();
}

}  // namespace
}  // namespace qz
