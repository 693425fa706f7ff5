#include "core/formats/CookieStorage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QRandomGenerator>
#include <QTimeZone>
#include <QtEndian>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "core/fs/FileManager.h"
#include "core/settings/Log.h"

namespace qz {

namespace {

const QByteArray kMagic = QByteArrayLiteral("cook");
const QByteArray kPageHeader = QByteArray::fromHex("00000100");
const QByteArray kFileFooter = QByteArray::fromHex("071720050000004b");
constexpr quint32 kCookieHeaderSize = 56;
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

// Reference date of the stored times: 2001-01-01 00:00:00 UTC.
const QDateTime& referenceDate() {
    static const QDateTime date(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return date;
}

quint32 readLittle(const QByteArray& data, qsizetype at) {
    return qFromLittleEndian<quint32>(data.constData() + at);
}
quint32 readBig(const QByteArray& data, qsizetype at) {
    return qFromBigEndian<quint32>(data.constData() + at);
}
void appendLittle(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}
void appendBig(QByteArray& out, quint32 value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

QDateTime readDate(const QByteArray& record, qsizetype at) {
    const double seconds = qFromLittleEndian<double>(record.constData() + at);
    // A date beyond any calendar (or not a number) is no date, not an overflow.
    constexpr double kLimit = 1e14;  // about three million years, in seconds
    if (!(std::fabs(seconds) < kLimit)) {
        return {};
    }
    return referenceDate().addMSecs(static_cast<qint64>(seconds * 1000.0));
}

// A NUL-terminated text inside a record, starting at `offset`; nothing when it runs out.
std::optional<QString> readText(const QByteArray& record, quint32 offset) {
    if (offset < kCookieHeaderSize || offset >= static_cast<quint32>(record.size())) {
        return std::nullopt;
    }
    const qsizetype end = record.indexOf('\0', offset);
    if (end < 0) {
        return std::nullopt;
    }
    return QString::fromUtf8(record.constData() + offset, end - offset);
}

std::optional<HTTPCookie> parseCookie(const QByteArray& record) {
    HTTPCookie cookie;
    cookie.record = record;
    cookie.flags = readLittle(record, 8);
    const auto domain = readText(record, readLittle(record, 16));
    const auto name = readText(record, readLittle(record, 20));
    const auto path = readText(record, readLittle(record, 24));
    const auto value = readText(record, readLittle(record, 28));
    if (!domain || !name || !path || !value) {
        return std::nullopt;
    }
    cookie.domain = *domain;
    cookie.name = *name;
    cookie.path = *path;
    cookie.value = *value;
    cookie.expiresDate = readDate(record, 40);
    cookie.creationDate = readDate(record, 48);
    return cookie;
}

bool parsePage(const QByteArray& page, QList<HTTPCookie>& cookies) {
    if (page.size() < 12 || !page.startsWith(kPageHeader)) {
        return false;
    }
    const quint32 count = readLittle(page, 4);
    if (count > static_cast<quint32>((page.size() - 12) / 4)) {
        return false;
    }
    for (quint32 i = 0; i < count; ++i) {
        const quint32 offset = readLittle(page, 8 + 4 * i);
        if (offset < 12 + 4 * count || offset > static_cast<quint32>(page.size()) - 4) {
            return false;
        }
        const quint32 size = readLittle(page, offset);
        if (size < kCookieHeaderSize || size > static_cast<quint32>(page.size()) - offset) {
            return false;
        }
        const auto cookie = parseCookie(page.mid(offset, size));
        if (!cookie) {
            return false;
        }
        cookies.append(*cookie);
    }
    return true;
}

quint32 pageChecksum(const QByteArray& page) {
    quint32 sum = 0;
    for (qsizetype i = 0; i < page.size(); i += 4) {
        sum += static_cast<quint8>(page[i]);
    }
    return sum;
}

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

std::optional<CookieFile> CookieStorage::parse(const QByteArray& data) {
    if (data.size() < 8 || !data.startsWith(kMagic)) {
        return std::nullopt;
    }
    const quint32 pageCount = readBig(data, 4);
    if (pageCount > static_cast<quint32>((data.size() - 8) / 4)) {
        return std::nullopt;
    }
    qsizetype at = 8 + 4 * static_cast<qsizetype>(pageCount);
    CookieFile file;
    for (quint32 i = 0; i < pageCount; ++i) {
        const quint32 size = readBig(data, 8 + 4 * i);
        if (size > static_cast<quint64>(data.size() - at)) {
            return std::nullopt;
        }
        if (!parsePage(data.mid(at, size), file.cookies)) {
            return std::nullopt;
        }
        at += size;
    }
    if (data.size() - at >= 4) {
        file.trailer = data.mid(at + 4);  // the checksum is made anew on writing
    }
    return file;
}

QByteArray CookieStorage::serialize(const CookieFile& file) {
    QByteArray page = kPageHeader;
    const quint32 count = static_cast<quint32>(file.cookies.size());
    appendLittle(page, count);
    quint32 offset = 12 + 4 * count;
    for (const HTTPCookie& cookie : file.cookies) {
        appendLittle(page, offset);
        offset += static_cast<quint32>(cookie.record.size());
    }
    page.append(QByteArray(4, '\0'));
    for (const HTTPCookie& cookie : file.cookies) {
        page.append(cookie.record);
    }
    QByteArray out = kMagic;
    const bool hasPage = count > 0;
    appendBig(out, hasPage ? 1 : 0);
    if (hasPage) {
        appendBig(out, static_cast<quint32>(page.size()));
        out.append(page);
    }
    appendBig(out, hasPage ? pageChecksum(page) : 0);
    out.append(file.trailer.isEmpty() ? kFileFooter : file.trailer);
    return out;
}

CookieStorage::CookieStorage(const FileManager& files) : files_(files) {}

QString CookieStorage::storePath() const {
    return files_.userPath(kStorePath);
}

void CookieStorage::load() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    const auto markDamaged = [this](const QString& reason) {
        damaged_ = true;
        damage_ = reason;
        Log::write(QStringLiteral("Cookie store %1: %2").arg(storePath(), reason));
    };
    const ResolvedPath resolved = files_.resolve(storePath());
    if (!resolved.valid()) {
        // No folder on the way is no store; a link on the way is not ours to follow.
        if (const QString reason = files_.unreachableReason(storePath()); !reason.isEmpty()) {
            markDamaged(reason + QStringLiteral("; left as it is"));
        }
        return;
    }
    // Never through a link, never waiting on a pipe or a device.
    UniqueFd fd(::openat(resolved.parent.get(), resolved.leaf.c_str(),
                         O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid()) {
        if (errno != ENOENT) {
            markDamaged(QStringLiteral("cannot be read: %1").arg(errorText(errno)));
        }
        return;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxFileSize) {
        markDamaged(QStringLiteral("not a cookies file; left as it is"));
        return;
    }
    QByteArray data;
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd.get(), buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            markDamaged(QStringLiteral("cannot be read: %1").arg(errorText(errno)));
            return;
        }
        data.append(buffer, n);
        if (data.size() > kMaxFileSize) {
            markDamaged(QStringLiteral("not a cookies file; left as it is"));
            return;
        }
    }
    if (auto parsed = parse(data)) {
        contents_ = std::move(*parsed);
    } else {
        markDamaged(QStringLiteral("damaged; left as it is"));
    }
}

QList<HTTPCookie> CookieStorage::cookies() {
    load();
    return contents_.cookies;
}

void CookieStorage::deleteCookie(const HTTPCookie& cookie) {
    load();
    for (qsizetype i = 0; i < contents_.cookies.size(); ++i) {
        if (contents_.cookies[i].sameCookie(cookie)) {
            contents_.cookies.removeAt(i);
            changed_ = true;
            return;
        }
    }
}

bool CookieStorage::synchronize(QString* error) {
    load();
    const auto fail = [&](const QString& reason) {
        if (error) {
            *error = reason;
        }
        return false;
    };
    if (damaged_) {
        return fail(damage_);
    }
    if (!changed_) {
        return true;
    }
    const ResolvedPath resolved = files_.resolve(storePath());
    if (!resolved.valid()) {
        return fail(QStringLiteral("the Cookies folder cannot be opened"));
    }
    // Written next to the store, then renamed over it: readers see the old or the new file.
    const std::string temporary =
        "." + resolved.leaf + "." + std::to_string(QRandomGenerator::global()->generate());
    const int parent = resolved.parent.get();
    UniqueFd out(::openat(parent, temporary.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out.valid()) {
        return fail(errorText(errno));
    }
    const QByteArray data = serialize(contents_);
    qsizetype written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(out.get(), data.constData() + written, data.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int saved = errno;
            ::unlinkat(parent, temporary.c_str(), 0);
            return fail(errorText(saved));
        }
        written += n;
    }
    if (::fsync(out.get()) != 0 ||
        ::renameat(parent, temporary.c_str(), parent, resolved.leaf.c_str()) != 0) {
        const int saved = errno;
        ::unlinkat(parent, temporary.c_str(), 0);
        return fail(errorText(saved));
    }
    changed_ = false;
    return true;
}

}  // namespace qz
