#include <gtest/gtest.h>

#include "core/formats/Localization.h"
#include "core/formats/PropertyList.h"
#include "core/monitor/BrowserUpdateAdvice.h"
#include "fixtures/FixtureHome.h"

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
        {"10.9.4", kSafariMavericksKey},
        {"10.8.5", kSafariOtherKey},
        {"10.10", kSafariOtherKey},
        {"", kSafariOtherKey},
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

TEST(BrowserUpdateAdvice, InstalledAgainstPublishedAndWhichBundleDecides) {
    struct Case {
        const char* name;
        BrowserId browser;
        std::vector<std::pair<QString, QString>> apps;  // bundle, version
        VersionList list;
        QString bundle;  // the one that decided; empty: nothing evaluated
        bool advice;
    };
    const auto list = [](const char* chrome) {
        return VersionList(QMap<QString, QString>{
            {"chrome", chrome}, {"firefox", "30.0"}, {"opera", "20.0"}, {kSafariOtherKey, "6.1"}});
    };
    const QString user = QStringLiteral("/Users/%@/Applications/");
    const QString anna = QStringLiteral("/Users/anna/Applications/");
    const QString sys = QStringLiteral("/Applications/");
    const QString chrome = sys + "Google Chrome.app";
    const QString firefox = sys + "Firefox.app", userFirefox = user + "Firefox.app";
    const BrowserId S = BrowserId::Safari, F = BrowserId::Firefox, C = BrowserId::Chrome,
                    O = BrowserId::Opera;
    // clang-format off
    const std::vector<Case> cases = {
        {"prefix of the published", C, {{chrome, "29.0"}}, list("29.0.1"), chrome, true},
        {"9.0.1 before 10.0", C, {{chrome, "9.0.1"}}, list("10.0"), chrome, true},
        {"same version", C, {{chrome, "30.0.1599.101"}}, list("30.0.1599.101"), chrome, false},
        {"installed newer", C, {{chrome, "10.0"}}, list("9.1"), chrome, false},
        {"list not fetched", C, {{chrome, "1.0"}}, std::nullopt, chrome, false},
        {"not installed", C, {}, list("100.0"), QString(), false},
        {"Firefox in both places, the user's copy is old", F,
         {{firefox, "30.0"}, {userFirefox, "29.0"}}, list("1"), anna + "Firefox.app", true},
        {"Firefox in both places, the user's copy is current", F,
         {{firefox, "29.0"}, {userFirefox, "30.0"}}, list("1"), anna + "Firefox.app", false},
        {"Opera only in the user's Applications", O, {{user + "Opera.app", "19.0"}}, list("1"),
         anna + "Opera.app", true},
        {"Safari outdated", S, {{sys + "Safari.app", "6.0.5"}}, list("1"), sys + "Safari.app", true},
        {"Safari bundle missing is read all the same", S, {}, list("1"), sys + "Safari.app", false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FixtureHome home;
        for (const auto& [app, version] : c.apps) {
            home.installApp(app, version);
        }
        const UpdateAdvice advice = checkBrowserUpdate(c.browser, home.files(), c.list);
        EXPECT_EQ(advice.evaluated, !c.bundle.isEmpty());
        if (advice.evaluated) {
            EXPECT_EQ(advice.bundle, c.bundle);
        }
        EXPECT_EQ(advice.advice, c.advice);
    }
}

TEST(BrowserUpdateAdvice, SheetNamesThePublishedVersion) {
    const Localization texts({{QStringLiteral("UpdateFirefox"), QStringLiteral("Now %@.")},
                              {QStringLiteral("UnknownVersion"), QStringLiteral("unknown")}});
    const UpdateSheet sheet = updateSheet(BrowserId::Firefox, QStringLiteral("31.0"), texts);
    EXPECT_EQ(sheet.messageText, QStringLiteral("UpdateF"));
    EXPECT_EQ(sheet.informativeText, QStringLiteral("Now 31.0."));
    EXPECT_EQ(updateSheet(BrowserId::Firefox, std::nullopt, texts).informativeText,
              QStringLiteral("Now unknown."));
}

}  // namespace
}  // namespace qz
