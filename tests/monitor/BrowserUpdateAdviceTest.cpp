#include <gtest/gtest.h>

#include "fixtures/FixtureHome.h"
#include "monitor/BrowserUpdateAdvice.h"
#include "platform/Localization.h"
#include "platform/PropertyList.h"

namespace qz {
namespace {

void writeSystemVersion(test::FixtureHome& home, const QVariant& productVersion) {
    home.makeFolder(QStringLiteral("/System/Library/CoreServices"));
    PropertyList::writeXmlAtomically(
        QVariantMap{{QStringLiteral("ProductVersion"), productVersion}},
        home.local(kSystemVersionFile));
}

TEST(BrowserUpdateAdvice, SafariKeyFromTheSystemVersion) {
    const std::vector<std::pair<QString, QString>> cases = {
        {"10.9.4", kSafariMavericksKey}, {"10.9", kSafariMavericksKey},
        {"10.9.5", kSafariMavericksKey}, {"10.8.5", kSafariOtherKey},
        {"10.7", kSafariOtherKey},       {"10.10", kSafariOtherKey},
        {"10.11", kSafariOtherKey},      {"11.0", kSafariOtherKey},
        {"", kSafariOtherKey},           {"ten", kSafariOtherKey},
    };
    for (const auto& [version, key] : cases) {
        SCOPED_TRACE(version.toStdString());
        EXPECT_EQ(safariKeyForSystemVersion(version), key);
        test::FixtureHome home;
        writeSystemVersion(home, version);
        EXPECT_EQ(safariKey(home.files()), key);
    }
    test::FixtureHome noFile;
    EXPECT_EQ(safariKey(noFile.files()), kSafariOtherKey);
    test::FixtureHome notText;
    writeSystemVersion(notText, 10.9);
    EXPECT_EQ(safariKey(notText.files()), kSafariOtherKey);
}

TEST(BrowserUpdateAdvice, InstalledAgainstPublished) {
    struct Case {
        const char* name;
        const char* installed;  // nullptr: no Chrome bundle
        VersionList list;
        bool evaluated;
        bool advice;
    };
    const auto list = [](const char* chrome) {
        return VersionList(QMap<QString, QString>{{QStringLiteral("chrome"), chrome},
                                                  {QStringLiteral("firefox"), "999"}});
    };
    const std::vector<Case> cases = {
        {"two-digit against three-digit major", "99.0", list("100.0"), true, true},
        {"prefix of the published", "29.0", list("29.0.1"), true, true},
        {"older minor", "29.0.1", list("30.0"), true, true},
        {"9.0.1 before 10.0", "9.0.1", list("10.0"), true, true},
        {"same version", "30.0.1599.101", list("30.0.1599.101"), true, false},
        {"installed newer", "10.0", list("9.1"), true, false},
        {"list not fetched", "1.0", std::nullopt, true, false},
        {"key missing from the list", "1.0",
         VersionList(QMap<QString, QString>{{QStringLiteral("firefox"), "99"}}), true, false},
        {"not installed", nullptr, list("100.0"), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FixtureHome home;
        if (c.installed) {
            home.installApp(QStringLiteral("/Applications/Google Chrome.app"), c.installed);
        }
        const UpdateAdvice advice = checkBrowserUpdate(BrowserId::Chrome, home.files(), c.list);
        EXPECT_EQ(advice.evaluated, c.evaluated);
        EXPECT_EQ(advice.advice, c.advice);
        EXPECT_EQ(advice.key, QStringLiteral("chrome"));
    }
}

TEST(BrowserUpdateAdvice, WhichBundleDecides) {
    struct Case {
        const char* name;
        BrowserId browser;
        std::vector<std::pair<QString, QString>> apps;  // bundle, version
        QString bundle;                                 // the one that decided
        bool advice;
    };
    const VersionList list(QMap<QString, QString>{{QStringLiteral("firefox"), "30.0"},
                                                  {QStringLiteral("opera"), "20.0"},
                                                  {kSafariOtherKey, "6.1"}});
    const std::vector<Case> cases = {
        {"Firefox in both places, the user's copy is old",
         BrowserId::Firefox,
         {{"/Applications/Firefox.app", "30.0"}, {"/Users/%@/Applications/Firefox.app", "29.0"}},
         "/Users/anna/Applications/Firefox.app",
         true},
        {"Firefox in both places, the user's copy is current",
         BrowserId::Firefox,
         {{"/Applications/Firefox.app", "29.0"}, {"/Users/%@/Applications/Firefox.app", "30.0"}},
         "/Users/anna/Applications/Firefox.app",
         false},
        {"Opera only in the user's Applications",
         BrowserId::Opera,
         {{"/Users/%@/Applications/Opera.app", "19.0"}},
         "/Users/anna/Applications/Opera.app",
         true},
        {"Safari outdated",
         BrowserId::Safari,
         {{"/Applications/Safari.app", "6.0.5"}},
         "/Applications/Safari.app",
         true},
        {"Safari bundle missing is read all the same",
         BrowserId::Safari,
         {},
         "/Applications/Safari.app",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FixtureHome home;
        for (const auto& [app, version] : c.apps) {
            home.installApp(app, version);
        }
        const UpdateAdvice advice = checkBrowserUpdate(c.browser, home.files(), list);
        EXPECT_TRUE(advice.evaluated);
        EXPECT_EQ(advice.bundle, c.bundle);
        EXPECT_EQ(advice.advice, c.advice);
    }
}

TEST(BrowserUpdateAdvice, SheetNamesThePublishedVersion) {
    const Localization texts({{QStringLiteral("UpdateFirefox"), QStringLiteral("Now %@.")},
                              {QStringLiteral("UnknownVersion"), QStringLiteral("unknown")}});
    const UpdateSheet sheet = updateSheet(BrowserId::Firefox, QStringLiteral("31.0"), texts);
    EXPECT_EQ(sheet.button, QStringLiteral("Done"));
    EXPECT_EQ(sheet.messageText, QStringLiteral("UpdateF"));
    EXPECT_EQ(sheet.informativeText, QStringLiteral("Now 31.0."));
    EXPECT_EQ(updateSheet(BrowserId::Firefox, std::nullopt, texts).informativeText,
              QStringLiteral("Now unknown."));
}

}  // namespace
}  // namespace qz
