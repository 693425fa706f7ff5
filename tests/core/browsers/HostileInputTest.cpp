// Hostile property lists and special files: every one reads as unreadable, never as a crash,
// a hang or an exhausted memory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "core/formats/PropertyList.h"

namespace qz {
namespace {

// A binary list from raw objects with two-byte references; object 0 is the root.
QByteArray binaryList(const QList<QByteArray>& objects) {
    QByteArray out = "bplist00";
    QList<quint32> offsets;
    for (const QByteArray& object : objects) {
        offsets.append(static_cast<quint32>(out.size()));
        out += object;
    }
    const quint64 table = static_cast<quint64>(out.size());
    for (quint32 offset : offsets) {
        char bytes[4];
        qToBigEndian(offset, bytes);
        out.append(bytes, 4);
    }
    out += QByteArray(6, '\0');
    out += char(4);  // offset size
    out += char(2);  // reference size
    for (quint64 value : {quint64(objects.size()), quint64(0), table}) {
        char bytes[8];
        qToBigEndian(value, bytes);
        out.append(bytes, 8);
    }
    return out;
}

QByteArray header(int type, int count) {
    if (count < 15) {
        return QByteArray(1, char(type << 4 | count));
    }
    QByteArray bytes(1, char(type << 4 | 0xf));
    bytes += char(0x11);
    bytes += char(count >> 8);
    bytes += char(count & 0xff);
    return bytes;
}

QByteArray array(const QList<int>& references) {
    QByteArray bytes = header(0xa, static_cast<int>(references.size()));
    for (int reference : references) {
        bytes += char(reference >> 8);
        bytes += char(reference & 0xff);
    }
    return bytes;
}

QByteArray deepXml(int depth) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">" +
           QByteArray("<array>").repeated(depth) + QByteArray("</array>").repeated(depth) +
           "</plist>";
}

QByteArray xmlString(const QByteArray& inner) {
    return "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>appUpdate</key><string>" +
           inner + "</string></dict></plist>";
}

TEST(HostileInputTest, PropertyListsBeyondTheLimitsReadAsUnreadable) {
    QList<QByteArray> deep;
    for (int i = 0; i < 48000; ++i) {
        deep.append(array({i + 1}));
    }
    deep.append(array({}));
    // Five levels of 64 references to the level below: about 16 million nodes once expanded.
    QList<QByteArray> reused;
    for (int level = 0; level < 4; ++level) {
        reused.append(array(QList<int>(64, level + 1)));
    }
    reused.append(header(0x5, 1) + "x");
    QList<QByteArray> nestedAtLimit;
    for (int i = 0; i < 64; ++i) {
        nestedAtLimit.append(array({i + 1}));
    }
    nestedAtLimit.append(header(0x5, 2) + "ok");
    struct Case {
        const char* name;
        QByteArray bytes;
        bool readable;
    };
    const QList<Case> cases = {
        {"binary ASCII string with NUL", binaryList({header(0x5, 3) + QByteArray("a\0b", 3)}),
         false},
        {"binary UTF-16 string with NUL",
         binaryList({header(0x6, 2) + QByteArray("\x00\xe9\x00\x00", 4)}), false},
        {"binary dictionary key with NUL",
         binaryList({header(0xd, 1) + QByteArray("\x00\x01\x00\x02", 4),
                     header(0x5, 2) + QByteArray("k\0", 2), header(0x5, 1) + "v"}),
         false},
        {"XML string with a raw NUL",
         xmlString(QByteArray("1.0\0"
                              "2",
                              5)),
         false},
        {"XML string with a NUL reference", xmlString("1.0&#x0000;2"), false},
        {"XML nested 48,000 deep", deepXml(48000), false},
        {"binary nested 48,000 deep", binaryList(deep), false},
        {"binary objects reused into 16 million nodes", binaryList(reused), false},
        {"binary array that holds itself", binaryList({array({0})}), false},
        {"binary reference past the objects", binaryList({array({7})}), false},
        {"binary nested to the limit", binaryList(nestedAtLimit), true},
        {"XML nested to the limit", deepXml(64), true},
        {"an ordinary string", xmlString("2.1"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(PropertyList::read(c.bytes).has_value(), c.readable);
        EXPECT_LT(timer.elapsed(), 5000);
    }
}

TEST(HostileInputTest, OnlyRegularFilesAreReadAsPropertyLists) {
    QTemporaryDir dir;
    const QString good = dir.filePath("Info.plist");
    ASSERT_TRUE(PropertyList::writeXmlAtomically(QVariantMap{{"k", "v"}}, good));
    const QString fifo = dir.filePath("fifo.plist");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(good, dir.filePath("link.plist")));
    QFile big(dir.filePath("big.plist"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(PropertyListLimits{}.maxBytes + 1));
    big.close();
    struct Case {
        QString path;
        bool readable;
    };
    for (const Case& c : {Case{good, true}, Case{fifo, false}, Case{"/dev/zero", false},
                          Case{dir.filePath("link.plist"), false}, Case{big.fileName(), false},
                          Case{dir.path(), false}, Case{dir.filePath("none"), false}}) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(PropertyList::readFile(c.path).has_value(), c.readable);
    }
}

}  // namespace
}  // namespace qz
