#include "core/fs/OwnFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/fs/ReadToEnd.h"
#include "core/fs/UniqueFd.h"

namespace qz {

namespace {

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Errors after which the same read may well succeed: never a reason to give up on the file.
bool mayPass(int error) {
    return error == EMFILE || error == ENFILE || error == ENOMEM || error == ENOBUFS ||
           error == EAGAIN || error == EIO || error == EINTR;
}

// Where the program's file at a path really is.
struct Resolution {
    OwnFile::ReadStatus status = OwnFile::ReadStatus::Missing;  // Read: there is a file
    QString path;                                               // the file itself
    mode_t mode = 0600;
    QString error;
};

Resolution resolve(const QString& path) {
    Resolution result;
    const QByteArray local = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(local.constData(), &info) != 0) {
        const int error = errno;
        if (error != ENOENT) {
            result.status =
                mayPass(error) ? OwnFile::ReadStatus::Failed : OwnFile::ReadStatus::Refused;
            result.error = QStringLiteral("%1: %2").arg(path, reason(error));
        }
        result.path = path;
        return result;
    }
    result.path = path;
    if (S_ISLNK(info.st_mode)) {
        // Followed only to a regular file of this user: never a device, a pipe or a stranger's.
        char target[PATH_MAX];
        if (!::realpath(local.constData(), target) || ::lstat(target, &info) != 0 ||
            !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
            result.status = OwnFile::ReadStatus::Refused;
            result.error =
                QStringLiteral("%1 is a link to %2, which is not a regular file of this user")
                    .arg(path, QFile::symLinkTarget(path));
            return result;
        }
        result.path = QFile::decodeName(target);
    } else if (!S_ISREG(info.st_mode)) {
        result.status = OwnFile::ReadStatus::Refused;
        result.error = QStringLiteral("%1 is not a regular file").arg(path);
        return result;
    }
    result.status = OwnFile::ReadStatus::Read;
    result.mode = info.st_mode & 07777;
    return result;
}

bool fail(QString* error, const QString& text) {
    if (error) {
        *error = text;
    }
    return false;
}

}  // namespace

OwnFile::ReadResult OwnFile::read(const QString& path, qint64 maxBytes) {
    const Resolution where = resolve(path);
    if (where.status != ReadStatus::Read) {
        return {where.status, {}, where.error};
    }
    const auto failed = [&](int error) {
        return ReadResult{mayPass(error) ? ReadStatus::Failed : ReadStatus::Refused,
                          {},
                          QStringLiteral("%1: %2").arg(path, reason(error))};
    };
    // Without waiting: a pipe or device put there since the check is refused below.
    UniqueFd fd(::open(QFile::encodeName(where.path).constData(),
                       O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid()) {
        return errno == ENOENT ? ReadResult{} : failed(errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return failed(errno);
    }
    const QString tooLarge = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(maxBytes);
    if (!S_ISREG(info.st_mode)) {
        return {ReadStatus::Refused, {}, QStringLiteral("%1 is not a regular file").arg(path)};
    }
    if (info.st_size > maxBytes) {
        return {ReadStatus::Refused, {}, tooLarge};
    }
    ReadToEnd read = readToEnd(fd.get(), maxBytes);
    if (read.outcome == ReadToEnd::Outcome::Failed) {
        return failed(read.error);
    }
    if (read.outcome == ReadToEnd::Outcome::TooLarge) {
        return {ReadStatus::Refused, {}, tooLarge};  // grew while it was read
    }
    return {ReadStatus::Read, std::move(read.data), {}};
}

bool OwnFile::write(const QString& path, const QByteArray& data, QString* error) {
    const Resolution where = resolve(path);
    if (where.status == ReadStatus::Refused || where.status == ReadStatus::Failed) {
        return fail(error, where.error);
    }
    const QFileInfo target(where.path);
    const QByteArray name = QFile::encodeName(target.fileName());
    const auto failed = [&](const char* step, int code) {
        return fail(error, QStringLiteral("%1 not written (%2): %3")
                               .arg(path, QString::fromLatin1(step), reason(code)));
    };
    UniqueFd folder(::open(QFile::encodeName(target.absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) {
        return failed("folder", errno);
    }
    QByteArray temporary;
    UniqueFd out;
    for (int attempt = 0; attempt < 100 && !out.valid(); ++attempt) {
        temporary =
            '.' + name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        out.reset(::openat(folder.get(), temporary.constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!out.valid() && errno != EEXIST) {
            return failed("create", errno);
        }
    }
    if (!out.valid()) {
        return failed("create", EEXIST);
    }
    // From here on a failure takes the temporary file away and leaves the old one as it was.
    const auto abandon = [&](const char* step, int code) {
        out.reset();
        ::unlinkat(folder.get(), temporary.constData(), 0);
        return failed(step, code);
    };
    if (where.mode != 0600 && ::fchmod(out.get(), where.mode) != 0) {
        return abandon("mode", errno);
    }
    for (qsizetype written = 0; written < data.size();) {
        const ssize_t n = ::write(out.get(), data.constData() + written,
                                  static_cast<size_t>(data.size() - written));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return abandon("write", n < 0 ? errno : ENOSPC);
        }
        written += n;
    }
    if (::fsync(out.get()) != 0) {
        return abandon("sync", errno);
    }
    if (::close(out.release()) != 0) {
        const int code = errno;
        ::unlinkat(folder.get(), temporary.constData(), 0);
        return failed("close", code);
    }
    if (::renameat(folder.get(), temporary.constData(), folder.get(), name.constData()) != 0) {
        const int code = errno;
        ::unlinkat(folder.get(), temporary.constData(), 0);
        return failed("rename", code);
    }
    // The rename is only lasting once the folder is on disk too; some file systems cannot say.
    if (::fsync(folder.get()) != 0 && errno != EINVAL && errno != ENOTSUP) {
        return failed("folder sync", errno);
    }
    return true;
}

}  // namespace qz
