// Cookies kept for chosen sites: a care deletes every other cookie and leaves the kept sites'
// and their subdomains' (not a look-alike such as badexample.org), and its plan counts both.
#include <gtest/gtest.h>

#include <QSet>

#include "core/browsers/RunningApplications.h"
#include "core/care/CareRun.h"
#include "core/formats/CookieStorage.h"
#include "core/settings/TimeScale.h"
#include "fixtures/CookieStores.h"
#include "fixtures/FixtureHome.h"

namespace qz {
namespace {

const QStringList kHosts = {".example.org",         "www.example.org", "example.org",
                            "sub.deep.example.org", "badexample.org",  ".other.net"};

class CookieKeepingTest : public testing::Test {
  protected:
    void SetUp() override {
        TimeScale::setFactor(0.01);
        RunningApplications::setProbe([](const QString&) { return false; });
    }
    void TearDown() override {
        TimeScale::setFactor(1.0);
        RunningApplications::setProbe({});
    }
};

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

}  // namespace
}  // namespace qz
