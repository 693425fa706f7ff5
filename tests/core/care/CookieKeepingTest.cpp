// Cookies kept for chosen sites: a care deletes every other cookie and leaves the kept sites'
// and their subdomains' (not a look-alike such as badexample.org), and its plan counts both.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include "core/browsers/RunningApplications.h"
#include "core/care/CareRun.h"
#include "core/care/CookieSites.h"
#include "core/formats/CookieStorage.h"
#include "core/settings/TimeScale.h"
#include "fixtures/CookieStores.h"
#include "fixtures/FixtureHome.h"
#include "support/QuickCare.h"

namespace qz {
namespace {

const QStringList kHosts = {".example.org",         "www.example.org", "example.org",
                            "sub.deep.example.org", "badexample.org",  ".other.net"};

class CookieKeepingTest : public test::QuickCareTest {};

TEST_F(CookieKeepingTest, TheSharedStoreKeepsTheKeptSitesCookies) {
    const struct {
        QStringList keep;
        QStringList left;
    } cases[] = {
        {{}, {}},
        {{"example.org"},
         {".example.org", "www.example.org", "example.org", "sub.deep.example.org"}},
        {{"other.net", "absent.example"}, {".other.net"}},
        {{"deep.example.org"}, {"sub.deep.example.org"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keep.join(u',').toStdString());
        test::FixtureHome home;
        home.writeFile(CookieStorage::kStorePath, test::binaryCookiesFile(kHosts));
        const CookieKeepList keep(c.keep);
        const SelectionProvider cookies = [](const QString& item) {
            return int(item == "coockiesS");
        };
        const QList<PlannedRemoval> plan =
            planCare(BrowserId::Safari, cookies, home.files(), {}, keep);
        const auto store = std::find_if(plan.begin(), plan.end(), [](const PlannedRemoval& p) {
            return p.path.kind == PathKind::CookieStore;
        });
        ASSERT_NE(store, plan.end());
        EXPECT_EQ(store->cookies, kHosts.size() - c.left.size());
        EXPECT_EQ(store->kept, c.left.size());

        CareRun run(BrowserId::Safari, home.files());
        run.setSelection(cookies);
        run.setCookieKeepList(keep);
        const CareReport report = run.run();
        EXPECT_EQ(report.cookiesDeleted, kHosts.size() - c.left.size());
        QStringList left;
        for (const HTTPCookie& cookie : CookieStorage(home.files()).cookies()) {
            left.append(cookie.domain);
        }
        EXPECT_EQ(left, c.left);
    }
}

// Firefox's moz_cookies and Chrome's cookies table, in Cookies and Network/Cookies: with a
// keep-list the rows of other sites go and the file stays; without one the file goes; a database of
// another layout, or one reached through a link, is refused and left as it was.
TEST_F(CookieKeepingTest, CookieDatabasesLoseOnlyTheOtherSitesRows) {
    const QString firefox = "/.mozilla/firefox/p.default/cookies.sqlite";
    const QString chrome = "/.config/google-chrome/Default/Network/Cookies";
    const QString older = "/.config/google-chrome/Default/Cookies";
    const QStringList exampleOrg = kHosts.mid(0, 4);
    enum class Setup { Plain, OtherLayout, Link };
    const struct {
        BrowserId browser;
        QStringList databases;
        QStringList keep;
        Setup setup;
        QStringList left;  // in each database; empty: the files are gone
        bool refused;
    } cases[] = {
        {BrowserId::Firefox, {firefox}, {"example.org"}, Setup::Plain, exampleOrg, false},
        {BrowserId::Firefox, {firefox}, {}, Setup::Plain, {}, false},
        {BrowserId::Chrome,
         {chrome, older},
         {"example.org", "other.net"},
         Setup::Plain,
         exampleOrg + QStringList{".other.net"},
         false},
        {BrowserId::Chrome, {chrome}, {}, Setup::Plain, {}, false},
        {BrowserId::Chrome, {chrome}, {"example.org"}, Setup::OtherLayout, kHosts, true},
        {BrowserId::Chrome, {chrome}, {"example.org"}, Setup::Link, kHosts, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.databases.join(u' ').toStdString() + " keep " +
                     c.keep.join(u',').toStdString());
        QTemporaryDir dir;
        FileManager files;
        ASSERT_TRUE(files.setRoot(dir.path()));
        files.setLayout(Layout::Linux);
        const bool firefoxFamily = c.browser == BrowserId::Firefox;
        QDir().mkpath(dir.path() + "/.mozilla/firefox");
        QFile ini(dir.path() + "/.mozilla/firefox/profiles.ini");
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Profile0]\nName=default\nIsRelative=1\nPath=p.default\nDefault=1\n");
        ini.close();
        QDir().mkpath(dir.path() + "/.config/google-chrome/Default");
        QString linkTarget;  // the database a link names, outside the profile
        for (const QString& database : c.databases) {
            const bool layout = c.setup == Setup::OtherLayout ? !firefoxFamily : firefoxFamily;
            if (c.setup == Setup::Link) {
                linkTarget = dir.path() + "/outside/Cookies";
                ASSERT_EQ("", test::writeCookieDatabase(linkTarget, layout, kHosts));
                QDir().mkpath(QFileInfo(dir.path() + database).absolutePath());
                ASSERT_TRUE(QFile::link(linkTarget, dir.path() + database));
            } else {
                ASSERT_EQ("", test::writeCookieDatabase(dir.path() + database, layout, kHosts));
            }
        }
        const CookieKeepList keep(c.keep);
        const QString item = firefoxFamily ? "coockiesF" : "cookiesC";
        const SelectionProvider cookies = [&item](const QString& name) {
            return int(name == item);
        };
        // The plan counts each database's cookies; the companions are not listed beside it.
        int planned = 0;
        for (const PlannedRemoval& entry : planCare(c.browser, cookies, files, {}, keep)) {
            if (!entry.exists) {
                continue;
            }
            ++planned;
            EXPECT_EQ(entry.cookieRows, !c.keep.isEmpty());
            EXPECT_EQ(entry.refused.isEmpty(), !c.refused) << entry.refused.toStdString();
            if (entry.cookieRows && !c.refused) {
                EXPECT_EQ(entry.cookies, kHosts.size() - c.left.size());
                EXPECT_EQ(entry.kept, c.left.size());
            }
        }
        EXPECT_EQ(planned, c.databases.size());

        CareRun run(c.browser, files);
        run.setSelection(cookies);
        run.setCookieKeepList(keep);
        const CareReport report = run.run();
        EXPECT_EQ(report.complete(), !c.refused);
        const bool rows = !c.keep.isEmpty() && !c.refused;
        EXPECT_EQ(report.edited.size(), rows ? c.databases.size() : 0);
        EXPECT_EQ(report.cookiesDeleted,
                  rows ? c.databases.size() * (kHosts.size() - c.left.size()) : 0);
        for (const QString& database : c.databases) {
            const QString local = linkTarget.isEmpty() ? dir.path() + database : linkTarget;
            const bool layout = c.setup == Setup::OtherLayout ? !firefoxFamily : firefoxFamily;
            EXPECT_EQ(QFileInfo::exists(local), !c.left.isEmpty());
            if (!c.left.isEmpty()) {
                EXPECT_EQ(test::cookieHostsIn(local, layout), c.left);
            }
        }
    }
}

// The sites offered for keeping: every profile's databases of every installed browser, grouped
// by site without a leading dot or "www.".
TEST_F(CookieKeepingTest, SitesAreCountedOverEveryBrowsersDatabases) {
    QTemporaryDir dir;
    FileManager files;
    ASSERT_TRUE(files.setRoot(dir.path()));
    files.setLayout(Layout::Linux);
    QDir().mkpath(dir.path() + "/.mozilla/firefox");
    QFile ini(dir.path() + "/.mozilla/firefox/profiles.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Profile0]\nName=default\nIsRelative=1\nPath=p.default\n");
    ini.close();
    const QString chrome = dir.path() + "/.config/google-chrome/Default/";
    ASSERT_EQ(
        "", test::writeCookieDatabase(dir.path() + "/.mozilla/firefox/p.default/cookies.sqlite",
                                      true, {".example.org", "www.example.org", "badexample.org"}));
    ASSERT_EQ("", test::writeCookieDatabase(chrome + "Network/Cookies", false,
                                            {".example.org", "EXAMPLE.org", ".other.net"}));
    ASSERT_EQ("", test::writeCookieDatabase(chrome + "Cookies", false, {"www.other.net"}));
    QStringList found;
    for (const CookieSite& site : cookieSites(files)) {
        found.append(site.site + u' ' + QString::number(site.cookies));
    }
    EXPECT_EQ(found, QStringList({"example.org 4", "other.net 2", "badexample.org 1"}));
}

}  // namespace
}  // namespace qz
