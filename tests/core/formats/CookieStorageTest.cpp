// The cookies file: read, emptied one cookie at a time, written back whole; damaged files stay.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <functional>

#include "core/formats/CookieStorage.h"
#include "core/settings/Log.h"
#include "fixtures/FixtureHome.h"

namespace qz {
namespace {

struct TestCookie {
    QByteArray domain, name, path, value;
};

template <typename T>
void little(QByteArray& out, T value) {
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}
void big(QByteArray& out, quint32 value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

// One page of cookie records laid out by hand: each a 56-byte header, then the four texts.
QByteArray page(const QList<TestCookie>& cookies) {
    QByteArray out = QByteArray::fromHex("00000100"), body;
    little<quint32>(out, cookies.size());
    for (const TestCookie& c : cookies) {
        little<quint32>(out, 12 + 4 * cookies.size() + body.size());
        QByteArray texts, header;
        for (const QByteArray& text : {c.domain, c.name, c.path, c.value}) {
            little<quint32>(header, 56 + texts.size());
            texts.append(text).append('\0');
        }
        little<quint32>(body, 56 + texts.size());
        little<quint32>(body, 0);
        little<quint32>(body, 5);  // secure, HTTP only
        little<quint32>(body, 0);
        body.append(header).append(QByteArray(8, '\0'));
        little(body, 800000000.0);  // expiry and creation dates
        little(body, 800000000.0);
        body.append(texts);
    }
    return out.append(QByteArray(4, '\0')).append(body);
}

// Pages as a browser writes them, with a policy trailer after the end mark.
QByteArray cookiesFile(const QList<QList<TestCookie>>& pages) {
    QByteArray out = "cook", body;
    big(out, pages.size());
    for (const auto& cookies : pages) {
        const QByteArray bytes = page(cookies);
        big(out, bytes.size());
        body.append(bytes);
    }
    out.append(body);
    big(out, 0);
    return out.append(QByteArray::fromHex("071720050000004b")).append("bplist-trailer");
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

const QString kStore = QStringLiteral("/Users/%@/Library/Cookies/Cookies.binarycookies");

TEST(CookieStorageTest, EmptiedOneByOneAndRewrittenAsAFileThatReadsBack) {
    test::FixtureHome home;
    home.writeFile(
        kStore, cookiesFile({{{"a.example", "sid", "/", "1"}, {".b.example", "pref", "/x", "dark"}},
                             {{"c.example", "t", "/", "zz"}}}));
    CookieStorage store(home.files());
    QList<HTTPCookie> cookies = store.cookies();
    ASSERT_EQ(cookies.size(), 3);
    EXPECT_EQ(cookies[1].domain + cookies[1].path + cookies[1].value, ".b.example/xdark");
    EXPECT_EQ(cookies[2].name, "t");  // on the second page
    EXPECT_EQ(cookies[0].flags, 5u);
    EXPECT_EQ(cookies[0].expiresDate.date().year(), 2026);

    store.deleteCookie(cookies[1]);
    ASSERT_TRUE(store.synchronize());
    const auto reread = CookieStorage::parse(contentOf(home.local(kStore)));
    ASSERT_TRUE(reread);
    ASSERT_EQ(reread->cookies.size(), 2);
    EXPECT_EQ(reread->cookies[0].name + reread->cookies[1].domain, "sidc.example");
    EXPECT_TRUE(reread->trailer.endsWith("bplist-trailer"));
    // Emptying the whole store: see the care run's cookie test.
}

TEST(CookieStorageTest, MissingIsEmptyAndDamagedStaysUntouched) {
    struct Case {
        const char* name;
        std::optional<QByteArray> content;  // nothing: no file
        bool damaged;
    };
    const QByteArray good = cookiesFile({{{"a.example", "sid", "/", "1"}}});
    QByteArray badOffset = good;
    badOffset[8 + 4 + 8] = char(0xF0);  // first cookie offset points past the page
    const QList<Case> cases = {
        {"no file", std::nullopt, false},
        {"wrong magic", QByteArray("kooc") + good.mid(4), true},
        {"cut short", good.left(good.size() / 2), true},
        {"offset past the page", badOffset, true},
        {"empty file", QByteArray(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FixtureHome home;
        if (c.content) {
            home.writeFile(kStore, *c.content);
        }
        QStringList lines;
        Log::Sink previous = Log::setSink([&](const QString& line) { lines.append(line); });
        CookieStorage store(home.files());
        EXPECT_TRUE(store.cookies().isEmpty());
        EXPECT_EQ(store.damaged(), c.damaged);
        EXPECT_EQ(store.synchronize(), !c.damaged);
        Log::setSink(previous);
        EXPECT_EQ(lines.size(), c.damaged ? 1 : 0);
        EXPECT_EQ(QFileInfo::exists(home.local(kStore)), c.content.has_value());
        if (c.content) {
            EXPECT_EQ(contentOf(home.local(kStore)), *c.content);
        }
    }
}

// Found by fuzzing: a date far outside any calendar overflowed the conversion to milliseconds.
TEST(CookieStorageTest, DatesBeyondAnyCalendarReadAsNoDate) {
    for (double seconds : {1.6e32, -1e300, std::nan(""), 800000000.0}) {
        QByteArray file = cookiesFile({{{"a.example", "sid", "/", "1"}}});
        constexpr qsizetype kExpiry = 12 + 16 + 40;  // file and page headers, then the record's
        qToLittleEndian(seconds, file.data() + kExpiry);
        const auto parsed = CookieStorage::parse(file);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->cookies.value(0).expiresDate.isValid(), seconds == 800000000.0);
    }
}

TEST(CookieStorageTest, SpecialFilesAndLinksAreLeftAloneAndReported) {
    struct Case {
        const char* name;
        std::function<void(test::FixtureHome&, const QString& outside)> build;
    };
    const QList<Case> cases = {
        {"a pipe as the store",
         [](auto& home, auto&) {
             home.makeFolder("/Users/%@/Library/Cookies");
             ASSERT_EQ(::mkfifo(QFile::encodeName(home.local(kStore)).constData(), 0600), 0);
         }},
        {"the store is a link", [](auto& home, auto& outside) { home.makeLink(kStore, outside); }},
        {"the Cookies folder is a link",
         [](auto& home, auto& outside) {
             home.makeLink("/Users/%@/Library/Cookies", QFileInfo(outside).absolutePath());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::FixtureHome home;
        QTemporaryDir outsideDir;
        const QString outside = outsideDir.filePath("Cookies.binarycookies");
        const QByteArray good = cookiesFile({{{"a.example", "sid", "/", "1"}}});
        QFile file(outside);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(good);
        file.close();
        c.build(home, outside);
        CookieStorage store(home.files());
        EXPECT_TRUE(store.cookies().isEmpty());
        EXPECT_TRUE(store.damaged());
        QString error;
        EXPECT_FALSE(store.synchronize(&error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(contentOf(outside), good);
    }
}

}  // namespace
}  // namespace qz
