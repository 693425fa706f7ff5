// What a care would take, as the confirmation and the dry run list it: items with their sizes in
// care order, the profiles gone through, and counts written in the table's groups.
#include <gtest/gtest.h>

#include "core/browsers/Catalogue.h"
#include "core/care/CarePreview.h"
#include "core/care/SizeText.h"
#include "core/formats/Localization.h"
#include "fixtures/LinuxHome.h"

namespace qz {
namespace {

TEST(CarePreviewTest, ItemsProfilesAndSizesOfTheSelection) {
    test::LinuxHome home;
    struct Case {
        BrowserId browser;
        QString profile;  // empty: every profile
        QStringList profiles;
    };
    const QList<Case> cases = {
        {BrowserId::Chrome, {}, {"Default", "Profile 1"}},
        {BrowserId::Brave, {}, {"Default", "Profile 2"}},
        {BrowserId::Brave, "Profile 2", {"Profile 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(browserInfo(c.browser).key.toStdString() + " " + c.profile.toStdString());
        // Every box on but the history: what is not selected is not listed.
        const auto selection = [](const QString& item) { return int(!item.startsWith("history")); };
        const CarePreview preview = previewCare(c.browser, selection, home.files(), c.profile);
        QStringList profiles = preview.profiles;
        profiles.sort();
        EXPECT_EQ(profiles, c.profiles);
        QList<QPair<QString, quint64>> expected;
        quint64 total = 0;
        for (const QString& item : catalogue(c.browser, home.files()).careOrder) {
            const bool there =
                selection(item) &&
                std::any_of(home.recorded().begin(), home.recorded().end(),
                            [&](const test::FixtureFile& file) {
                                return file.browser == c.browser && file.item == item &&
                                       (c.profile.isEmpty() || file.profile == c.profile);
                            });
            if (there) {
                expected.append({item, home.expected(c.browser, item, c.profile)});
                total += expected.last().second;
            }
        }
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(preview.itemSizes(), expected);
        EXPECT_EQ(preview.total(), total);
    }
}

TEST(CarePreviewTest, CountsInTheTablesGroups) {
    const Localization keysOnly;
    const Localization italian = Localization::forLanguage("it");
    struct Case {
        quint64 count;
        const char* english;
        const char* italian;
    } cases[] = {
        {0, "0", "0"},
        {999, "999", "999"},
        {1204, "1,204", "1.204"},
        {192000, "192,000", "192.000"},
        {18446744073709551615ull, "18,446,744,073,709,551,615", "18.446.744.073.709.551.615"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(convertCountToString(c.count, keysOnly), c.english);
        EXPECT_EQ(convertCountToString(c.count, italian), c.italian);
    }
}

}  // namespace
}  // namespace qz
