#include "platform/RemoteVersionList.h"

#include <gtest/gtest.h>

#include "platform/PropertyList.h"

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
        {"number among texts",
         PropertyList::toXml(QVariantMap{{QStringLiteral("appUpdate"), QStringLiteral("2.1")},
                                         {QStringLiteral("chrome"), qint64(120)}}),
         std::nullopt},
        {"malformed xml", QByteArray("<?xml version=\"1.0\"?><plist><dict><key>appUpdate</key>"),
         std::nullopt},
        {"empty body", QByteArray(), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RemoteVersionList::parse(c.body), c.list);
    }
}

}  // namespace
}  // namespace qz
