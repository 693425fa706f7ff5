#include "platform/RemoteVersionList.h"

#include <gtest/gtest.h>

#include "platform/PropertyList.h"
#include "support/LocalHttpServer.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

TEST(RemoteVersionList, ReadsOnlyDictionariesOfTexts) {
    const QVariantMap versions{{QStringLiteral("appUpdate"), QStringLiteral("2.1")},
                               {QStringLiteral("firefox"), QStringLiteral("128.0")}};
    const PublishedVersions expected{{QStringLiteral("appUpdate"), QStringLiteral("2.1")},
                                     {QStringLiteral("firefox"), QStringLiteral("128.0")}};
    const struct {
        const char* name;
        QByteArray body;
        std::optional<PublishedVersions> list;
    } cases[] = {
        {"xml dictionary", PropertyList::toXml(versions), expected},
        {"binary dictionary", PropertyList::toBinary(versions), expected},
        {"empty dictionary", PropertyList::toXml(QVariantMap()), PublishedVersions()},
        {"array root", PropertyList::toXml(QVariantList{QStringLiteral("2.1")}), std::nullopt},
        {"text root", PropertyList::toXml(QStringLiteral("2.1")), std::nullopt},
        {"number among texts",
         PropertyList::toXml(QVariantMap{{QStringLiteral("appUpdate"), QStringLiteral("2.1")},
                                         {QStringLiteral("chrome"), qint64(120)}}),
         std::nullopt},
        {"malformed xml", QByteArray("<?xml version=\"1.0\"?><plist><dict><key>appUpdate</key>"),
         std::nullopt},
        {"html page", QByteArray("<html><body>Not here</body></html>"), std::nullopt},
        {"empty body", QByteArray(), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RemoteVersionList::parse(c.body), c.list);
    }
}

TEST(RemoteVersionList, LivesAtTheRootOfTheConfiguredSite) {
    const QByteArray previous = qgetenv("QUENZEL_WEBSITE");
    qputenv("QUENZEL_WEBSITE", "http://127.0.0.1:8099/");
    EXPECT_EQ(RemoteVersionList::url(),
              QUrl(QStringLiteral("http://127.0.0.1:8099/Quenzel2_Browser.plist")));
    if (previous.isNull()) {
        qunsetenv("QUENZEL_WEBSITE");
    } else {
        qputenv("QUENZEL_WEBSITE", previous);
    }
}

TEST(RemoteVersionList, FetchesAndParsesOffTheServer) {
    test::LocalHttpServer server;
    server.serve(QStringLiteral("/Quenzel2_Browser.plist"),
                 {200, PropertyList::toBinary(QVariantMap{{"appUpdate", "3.0"}}), true, false});
    std::optional<std::optional<PublishedVersions>> answer;
    QObject context;
    RemoteVersionList::fetch(server.url(QStringLiteral("/Quenzel2_Browser.plist")), &context,
                             [&](const std::optional<PublishedVersions>& list) { answer = list; });
    ASSERT_TRUE(test::waitFor([&] { return answer.has_value(); }));
    ASSERT_TRUE(answer->has_value());
    EXPECT_EQ((*answer)->value(QStringLiteral("appUpdate")), QStringLiteral("3.0"));
    // A missing list is no list.
    EXPECT_FALSE(RemoteVersionList::fetchBlocking(server.url(QStringLiteral("/other.plist"))));
}

}  // namespace
}  // namespace qz
