#include "services/RemoteVersionList.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/formats/Bundle.h"
#include "core/formats/PropertyList.h"

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

// Without a configured site the links open the pages installed beside the program, and the
// version list, which only a web site publishes, is not asked for.
TEST(RemoteVersionList, IsAskedOnlyOfAWebSite) {
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    QDir(prefix.path()).mkpath(QStringLiteral("bin"));
    const QString installed = prefix.path() + QStringLiteral("/share/quenzel/site");
    EXPECT_NE(Bundle::siteFolder(prefix.path() + QStringLiteral("/bin")), installed);
    QDir().mkpath(installed);
    QFile page(installed + QStringLiteral("/support.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    EXPECT_EQ(Bundle::siteFolder(prefix.path() + QStringLiteral("/bin")), installed);

    const struct {
        QByteArray site;
        QString list;
    } cases[] = {
        {"http://127.0.0.1:8/quenzel/",
         QStringLiteral("http://127.0.0.1:8/quenzel/Quenzel2_Browser.plist")},
        {"https://127.0.0.1", QStringLiteral("https://127.0.0.1/Quenzel2_Browser.plist")},
        {"file:///usr/share/quenzel/site", QString()},
        {"", QString()},  // the pages built beside the tests
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.site.constData());
        qputenv("QUENZEL_WEBSITE", c.site);
        EXPECT_EQ(RemoteVersionList::url().toString(), c.list);
    }
    const QUrl bundled(Bundle::webSite() + QStringLiteral("/support.html"));
    qunsetenv("QUENZEL_WEBSITE");
    ASSERT_TRUE(bundled.isLocalFile()) << bundled.toString().toStdString();
    EXPECT_TRUE(QFile::exists(bundled.toLocalFile()));
}

}  // namespace
}  // namespace qz
