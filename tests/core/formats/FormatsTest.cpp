// Property lists, the text tables and their formats, bookmarks, settings and version order.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "core/formats/Bookmark.h"
#include "core/formats/Localization.h"
#include "core/formats/PropertyList.h"
#include "core/monitor/VersionOrder.h"
#include "core/settings/UserDefaults.h"

namespace qz {
namespace {

TEST(PropertyListTest, RoundTripsAtomicWritesAndJunk) {
    const QVariantMap entry{{"text", QStringLiteral("Größe \"quoted\" <tag>")},
                            {"big", QVariant::fromValue<quint64>(18446744073709551615ull)},
                            {"count", QVariant::fromValue<qint64>(300000000)},
                            {"flag", true},
                            {"ratio", 0.25},
                            {"data", QByteArray("\x00\x01\xff", 3)},
                            {"list", QVariantList{QStringLiteral("a"), 2}}};
    const QVariant value = QVariantList{entry, QVariantMap{}};
    for (const QByteArray& bytes : {PropertyList::toXml(value), PropertyList::toBinary(value)}) {
        EXPECT_EQ(PropertyList::read(bytes), std::optional<QVariant>(value));
    }
    for (const QByteArray& junk : {QByteArray(), QByteArray("<plist><dict><key>a</key>"),
                                   QByteArray("bplist00garbage"), QByteArray("hello")}) {
        EXPECT_FALSE(PropertyList::read(junk).has_value()) << junk.constData();
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("History.plist"));
    ASSERT_TRUE(PropertyList::writeXmlAtomically(QVariantList{1, 2, 3}, path));
    ASSERT_TRUE(PropertyList::writeXmlAtomically(QVariantList{4}, path));
    EXPECT_EQ(PropertyList::readFile(path)->toList(), (QVariantList{4}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    EXPECT_FALSE(PropertyList::writeXmlAtomically(QVariantList{}, dir.filePath("no/such/dir/x")));
}

TEST(LocalizationTest, StringsFilesParseWithCommentsEscapesAndUtf16) {
    const auto table = Localization::parseStrings(
        "/* group */\n\"OK\" = \"Va bene\";\n// line comment\n\"quote\" = \"a \\\"b\\\"\\n\";\n"
        "key_plain = \"x\";\n");
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(table->value("OK"), QStringLiteral("Va bene"));
    EXPECT_EQ(table->value("quote"), QStringLiteral("a \"b\"\n"));
    EXPECT_EQ(table->value("key_plain"), QStringLiteral("x"));

    QByteArray utf16("\xFF\xFE", 2);
    const QString text = QStringLiteral("\"k\" = \"è\";");
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    EXPECT_EQ(Localization::parseStrings(utf16)->value("k"), QStringLiteral("è"));
    EXPECT_FALSE(Localization::parseStrings("\"a\" = \"b\"").has_value());
    EXPECT_FALSE(Localization::parseStrings("\"a\" \"b\";").has_value());
}

// The size formats themselves are checked through the size texts' boundaries.
TEST(LocalizationTest, FormatsMissingKeysAndTheBundleTables) {
    const struct {
        QString format;
        QVariantList arguments;
        QString expected;
    } cases[] = {
        {"%%d stays", {}, "%d stays"},
        {"%d%%", {qint64(-5)}, "-5%"},
        {"missing %@", {}, "missing "},
        {"unknown %k kept", {}, "unknown %k kept"},
        {"trailing %", {}, "trailing %"},
        {"%06.2f|%-3d|%+x", {2.5, qint64(7), quint64(255)}, "002.50|7  |ff"},
        // Widths and precisions beyond two digits are not formats: kept as written.
        {"%.100f GB", {2.5}, "%.100f GB"},
        {"%2147483648d", {qint64(1)}, "%2147483648d"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Localization::applyFormat(c.format, c.arguments), c.expected)
            << c.format.toStdString();
    }
    const Localization texts({{"greeting", "Hi %@, %lli files, %1.1f MB, 100%%"}});
    EXPECT_EQ(texts.format("greeting", {QStringLiteral("Ada"), qint64(3), 2.25}),
              QStringLiteral("Hi Ada, 3 files, 2.2 MB, 100%"));
    EXPECT_EQ(texts.text("not in the table"), QStringLiteral("not in the table"));

    const Localization english = Localization::forLanguage("en");
    for (const char* key : {"%lli Bytes", "%1.1f KB", "%1.1f MB", "%1.1f GB", "%@"}) {
        EXPECT_EQ(english.text(key), QString::fromUtf8(key));
    }
    EXPECT_NE(Localization::forLanguage("it").text("Cancel"), QStringLiteral("Cancel"));
}

TEST(BookmarkTest, ResolvesWhileTheFolderExists) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Library"));
    QDir().mkpath(folder);
    const QByteArray bookmark = Bookmark::create(folder);
    auto resolved = Bookmark::resolve(bookmark);
    ASSERT_TRUE(resolved.has_value());
    EXPECT_EQ(resolved->path, folder);
    EXPECT_FALSE(resolved->stale);

    // Another folder at the same place (the first kept alive elsewhere): resolves, but stale.
    ASSERT_TRUE(QDir().rename(folder, dir.filePath(QStringLiteral("moved"))));
    EXPECT_FALSE(Bookmark::resolve(bookmark).has_value());
    QDir().mkpath(folder);
    resolved = Bookmark::resolve(bookmark);
    ASSERT_TRUE(resolved.has_value());
    EXPECT_TRUE(resolved->stale);
    QDir(folder).removeRecursively();
    EXPECT_FALSE(Bookmark::resolve(bookmark).has_value());

    QString error;
    EXPECT_TRUE(Bookmark::create(dir.filePath("missing"), &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(Bookmark::resolve("not a bookmark").has_value());
}

TEST(UserDefaultsTest, RegisteredValuesAreFallbacksAndStoredOnesPersist) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("quenzel.conf"));
    {
        UserDefaults defaults(path);
        defaults.registerDefaults({{"welcome", true}});
        EXPECT_TRUE(defaults.boolForKey("welcome"));
        EXPECT_FALSE(defaults.hasStoredValue("welcome"));
        defaults.setBool(false, "welcome");
        defaults.setObject(QByteArray("\x01\x02", 2), "ExportDirectory");
        defaults.setObject(QVariant::fromValue<quint64>(18000000000000000000ull), "SetPesoAlert");
        EXPECT_TRUE(defaults.synchronize());
    }
    UserDefaults reopened(path);
    EXPECT_FALSE(reopened.boolForKey("welcome"));
    EXPECT_EQ(reopened.dataForKey("ExportDirectory"), QByteArray("\x01\x02", 2));
    EXPECT_EQ(reopened.unsignedLongLongForKey("SetPesoAlert"), 18000000000000000000ull);
}

TEST(VersionOrderTest, DigitsCompareAsNumbers) {
    const struct {
        const char* a;
        const char* b;
        int order;
    } cases[] = {
        {"1.9", "1.10", -1},  {"2.0", "2.0.1", -1},
        {"2.0", "2.0", 0},    {"7.0b2", "7.0b10", -1},
        {"1.0a", "1.0b", -1}, {"", "1", -1},
        {"0001.2", "1.2", 0}, {"123456789012345678901", "2", 1},
    };
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const auto& c : cases) {
        EXPECT_EQ(sign(compareVersions(c.a, c.b)), c.order) << c.a << " vs " << c.b;
        EXPECT_EQ(sign(compareVersions(c.b, c.a)), -c.order) << c.b << " vs " << c.a;
    }
    EXPECT_TRUE(isNewerVersion("1.10", "1.9") && !isNewerVersion("2.0", "2.0"));
}

// Only a well-formed version newer than ours asks for an update; nonsense never does.
TEST(FormatsTest, OnlyAWellFormedNewerVersionAsksForAnUpdate) {
    const struct {
        QString text;
        bool wellFormed;
        bool newerThan20;
    } cases[] = {
        {"2.1", true, true},         {"10.0", true, true},
        {"2.0.1", true, true},       {"3.0b2", true, true},
        {"115.12.0esr", true, true}, {"2.0", true, false},
        {"1.9", true, false},        {"beta", false, false},
        {"", false, false},          {"1.x", false, false},
        {"v", false, false},         {"v3.0", false, false},
        {"3.", false, false},        {".3", false, false},
        {"3..0", false, false},      {"3.0-rc", false, false},
        {"3.0 ", false, false},      {"9\x01", false, false},
        {"３.0", false, false},      {QString(65, u'9'), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(isWellFormedVersion(c.text), c.wellFormed);
        EXPECT_EQ(isNewerVersion(c.text, "2.0"), c.newerThan20);
        // Nor does an installed version that cannot be read.
        EXPECT_EQ(isNewerVersion("999.0", c.text), c.wellFormed);
    }
}

}  // namespace
}  // namespace qz
