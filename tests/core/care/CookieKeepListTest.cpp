// The cookie keep-list: which sites it takes, which cookie hosts it keeps, and its stored form.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/care/CookieKeepList.h"
#include "core/settings/Settings.h"

namespace qz {
namespace {

TEST(CookieKeepListTest, TakesHostNamesOnly) {
    const struct {
        const char* typed;
        const char* kept;  // "" for a malformed site
    } rows[] = {
        {"example.org", "example.org"},
        {"  Example.ORG ", "example.org"},
        {".example.org", "example.org"},
        {"example.org.", "example.org"},
        {"", ""},
        {"   ", ""},
        {"exa mple.org", ""},
        {"example.org/path", ""},
        {"https://example.org", ""},
        {"example..org", ""},
        {"user@example.org", ""},
        {"localhost", "localhost"},
        {"bücher.example", "bücher.example"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CookieKeepList::normalizedSite(QString::fromUtf8(row.typed)),
                  QString::fromUtf8(row.kept))
            << row.typed;
    }
}

TEST(CookieKeepListTest, KeepsASiteAndItsSubdomainsOnly) {
    const CookieKeepList list({"example.org", "mail.test"});
    const struct {
        const char* host;
        bool kept;
    } rows[] = {
        {"example.org", true},
        {".example.org", true},
        {"www.example.org", true},
        {"a.b.example.org", true},
        {"WWW.Example.Org", true},
        {"badexample.org", false},
        {"example.org.evil", false},
        {"org", false},
        {"test", false},
        {".mail.test", true},
        {"gmail.test", false},
        {"", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(list.keepsHost(row.host), row.kept) << row.host;
    }
    EXPECT_FALSE(CookieKeepList().keepsHost("example.org"));
}

TEST(CookieKeepListTest, ChangesAndStoresASortedListWithoutRepeats) {
    QTemporaryDir folder;
    UserDefaults defaults(folder.filePath("settings.plist"));
    Settings settings(defaults);
    CookieKeepList list = CookieKeepList::fromSettings(settings);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_TRUE(list.add("Zeta.example"));
    EXPECT_TRUE(list.add("alpha.example"));
    EXPECT_FALSE(list.add("ALPHA.example."));
    EXPECT_FALSE(list.add("bad site"));
    EXPECT_FALSE(list.remove("missing.example"));
    list.store(settings);
    ASSERT_TRUE(settings.synchronize());

    UserDefaults reread(folder.filePath("settings.plist"));
    const CookieKeepList stored = CookieKeepList::fromSettings(Settings(reread));
    EXPECT_EQ(stored.sites(), QStringList({"alpha.example", "zeta.example"}));
    CookieKeepList emptied = stored;
    EXPECT_TRUE(emptied.remove(" Alpha.example"));
    EXPECT_TRUE(emptied.remove("zeta.example"));
    emptied.store(settings);
    EXPECT_FALSE(settings.defaults().hasStoredValue(Settings::Key::cookieKeepList));
}

}  // namespace
}  // namespace qz
