// The preferences' "Keep cookies for" section, driven as a user does: typing and adding a site,
// a malformed one refused, removing the selected, and keeping a site found in the cookie store.
#include <gtest/gtest.h>

#include <QTest>

#include "core/formats/CookieStorage.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"
#include "fixtures/CookieStores.h"
#include "fixtures/FixtureHome.h"
#include "gui/window/KeepCookiesSection.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

QStringList texts(const QListWidget* list) {
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) {
        shown.append(list->item(i)->text());
    }
    return shown;
}

TEST(KeepCookiesSectionTest, AddsRemovesAndKeepsFoundSites) {
    Settings settings = Settings::standard();
    settings.setCookieKeepList({"kept.example"});
    test::FixtureHome home;
    home.writeFile(CookieStorage::kStorePath,
                   test::binaryCookiesFile({".shop.example", "www.shop.example", "shop.example",
                                            ".news.example", "news.example"}));
    KeepCookiesSection section(home.files(), UserDefaults::standard());
    section.show();
    ASSERT_TRUE(test::waitFor([&] { return section.foundList()->isEnabled(); }));
    EXPECT_EQ(texts(section.foundList()),
              QStringList({"shop.example (cookies: 3)", "news.example (cookies: 2)"}));
    EXPECT_EQ(texts(section.keptList()), QStringList{"kept.example"});

    const auto stored = [] { return Settings::standard().cookieKeepList(); };
    const struct {
        const char* typed;  // typed and added with Return; null: a list action instead
        int removeRow;      // -1: none
        int keepFoundRow;   // -1: none
        QStringList kept;
        bool message;
    } steps[] = {
        {"Bank.Example", -1, -1, {"bank.example", "kept.example"}, false},
        {"https://bad.example", -1, -1, {"bank.example", "kept.example"}, true},
        {"two words", -1, -1, {"bank.example", "kept.example"}, true},
        {nullptr, -1, 1, {"bank.example", "kept.example", "news.example"}, false},
        {nullptr, 0, -1, {"kept.example", "news.example"}, false},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.typed ? step.typed : "list");
        if (step.typed) {
            section.siteField()->setText(QString::fromUtf8(step.typed));
            QTest::keyClick(section.siteField(), Qt::Key_Return);
        }
        if (step.removeRow >= 0) {
            section.keptList()->setCurrentRow(step.removeRow);
            ASSERT_TRUE(section.removeButton()->isEnabled());
            section.removeButton()->click();
        }
        if (step.keepFoundRow >= 0) {
            section.foundList()->setCurrentRow(step.keepFoundRow);
            section.keepFoundButton()->click();
        }
        EXPECT_EQ(texts(section.keptList()), step.kept);
        EXPECT_EQ(stored(), step.kept);
        EXPECT_EQ(section.message()->isHidden(), !step.message);
        // A refused site stays in the field to be corrected; an added one leaves it empty.
        if (step.typed) {
            EXPECT_EQ(section.siteField()->text().isEmpty(), !step.message);
        }
    }
    settings.setCookieKeepList({});
    settings.synchronize();
}

}  // namespace
}  // namespace qz
