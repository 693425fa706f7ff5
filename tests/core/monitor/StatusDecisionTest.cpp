#include <gtest/gtest.h>

#include "core/monitor/StatusDecision.h"
#include "fixtures/FixtureHome.h"

namespace qz {
namespace {

constexpr quint64 kLimit = 1000;

BrowserTotals totalsOf(quint64 s, quint64 f, quint64 c, quint64 o) {
    return BrowserTotals{{s, f, c, o}};
}

TEST(StatusDecision, IconMenuEntriesAndOk) {
    struct Case {
        const char* name;
        BrowserTotals totals;
        BrowserFlags considered;
        const QString& icon;
        BrowserFlags entries;
        bool ok;
    };
    const BrowserFlags all{true, true, true, true};
    const BrowserFlags safariOnly{true, false, false, false};
    // clang-format off
    const std::vector<Case> cases = {
        {"all just below", totalsOf(999, 999, 999, 999), all, kIconCalm, {}, true},
        {"equal to the threshold counts", totalsOf(0, 0, kLimit, 0), all, kIconAlert,
         {false, false, true, false}, false},
        {"safari counts without being installed", totalsOf(kLimit, 0, 0, 0), safariOnly,
         kIconAlert, {true, false, false, false}, false},
        {"browsers not installed are ignored however large",
         totalsOf(0, ~quint64(0), 5 * kLimit, kLimit), safariOnly, kIconCalm, {}, true},
        {"several at once", totalsOf(kLimit + 1, 0, 2 * kLimit, kLimit), all, kIconAlert,
         {true, false, true, true}, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StatusState state = decideStatus(c.totals, c.considered, kLimit);
        EXPECT_EQ(state.icon, c.icon);
        EXPECT_EQ(state.entryVisible, c.entries);
        EXPECT_EQ(state.okVisible, c.ok);
    }
}

TEST(StatusDecision, ConsideredBrowsersFollowTheApplicationBundles) {
    struct Case {
        const char* name;
        QStringList apps;
        BrowserFlags considered;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"none installed: Safari still counts", {}, {true, false, false, false}},
        {"system-wide Chrome", {"/Applications/Google Chrome.app"}, {true, false, true, false}},
        {"Firefox per user", {"/Users/%@/Applications/Firefox.app"}, {true, true, false, false}},
        {"Opera per user", {"/Users/%@/Applications/Opera.app"}, {true, false, false, true}},
        {"another user's application does not count", {"/Users/someone/Applications/Firefox.app"},
         {true, false, false, false}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FixtureHome home;
        for (const QString& app : c.apps) {
            home.installApp(app);
        }
        EXPECT_EQ(consideredBrowsers(home.files()), c.considered);
    }
}

}  // namespace
}  // namespace qz
