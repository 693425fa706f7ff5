// The cookies file: read, emptied one cookie at a time, written back whole; damaged files stay.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include "fixtures/FixtureHome.h"
#include "platform/CookieStorage.h"
#include "platform/Log.h"

namespace qz {
namespace {

struct TestCookie {
    QByteArray domain, name, path, value;
};

void little(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}
void big(QByteArray& out, quint32 value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

// One cookie record laid out by hand: 56-byte header, then the four texts.
QByteArray record(const TestCookie& c) {
    QByteArray texts;
    QList<quint32> offsets;
    for (const QByteArray& text : {c.domain, c.name, c.path, c.value}) {
        offsets.append(56 + texts.size());
        texts.append(text).append('\0');
    }
    QByteArray out;
    little(out, 56 + texts.size());
    little(out, 0);
    little(out, 5);  // secure, HTTP only
    little(out, 0);
    for (quint32 offset : offsets) {
        little(out, offset);
    }
    out.append(QByteArray(8, '\0'));
    const double expires = 800000000.0;
    char date[8];
    qToLittleEndian(expires, date);
    out.append(date, 8).append(date, 8);
    return out.append(texts);
}

QByteArray page(const QList<TestCookie>& cookies) {
    QByteArray out = QByteArray::fromHex("00000100");
    little(out, cookies.size());
    quint32 offset = 12 + 4 * cookies.size();
    QByteArray body;
    for (const TestCookie& c : cookies) {
        little(out, offset + body.size());
        body.append(record(c));
    }
    out.append(QByteArray(4, '\0'));
    return out.append(body);
}

// Two pages, as a browser writes them, with a policy trailer after the end mark.
QByteArray cookiesFile(const QList<QList<TestCookie>>& pages) {
    QByteArray out = "cook";
    big(out, pages.size());
    QByteArray body;
    for (const auto& cookies : pages) {
        const QByteArray bytes = page(cookies);
        big(out, bytes.size());
        body.append(bytes);
    }
    out.append(body);
    big(out, 0);
    return out.append(QByteArray::fromHex("071720050000004b")).append("bplist-trailer");
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
    EXPECT_EQ(cookies[1].domain, ".b.example");
    EXPECT_EQ(cookies[1].path, "/x");
    EXPECT_EQ(cookies[1].value, "dark");
    EXPECT_EQ(cookies[2].name, "t");
    EXPECT_EQ(cookies[0].flags, 5u);
    EXPECT_EQ(cookies[0].expiresDate.date().year(), 2026);

    store.deleteCookie(cookies[1]);
    ASSERT_TRUE(store.synchronize());
    QFile file(home.local(kStore));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto reread = CookieStorage::parse(file.readAll());
    ASSERT_TRUE(reread);
    ASSERT_EQ(reread->cookies.size(), 2);
    EXPECT_EQ(reread->cookies[0].name, "sid");
    EXPECT_EQ(reread->cookies[1].domain, "c.example");
    EXPECT_TRUE(reread->trailer.endsWith("bplist-trailer"));

    CookieStorage again(home.files());
    for (const HTTPCookie& cookie : again.cookies()) {
        again.deleteCookie(cookie);
    }
    ASSERT_TRUE(again.synchronize());
    EXPECT_TRUE(CookieStorage(home.files()).cookies().isEmpty());
    EXPECT_TRUE(QFileInfo(home.local(kStore)).isFile());
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
        if (c.content) {
            QFile file(home.local(kStore));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), *c.content);
        } else {
            EXPECT_FALSE(QFileInfo::exists(home.local(kStore)));
        }
    }
}

}  // namespace
}  // namespace qz
