#include "core/fs/ListFile.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "core/fs/FileManager.h"
#include "core/fs/ReadToEnd.h"

namespace qz {

namespace {

ListFileRead problem(const QString& reason) {
    return {std::nullopt, reason};
}

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

ListFileRead readListFile(const FileManager& files, const QString& platformPath, qint64 maxBytes) {
    const ResolvedPath resolved = files.resolve(platformPath);
    if (!resolved.valid()) {
        const QString reason = files.unreachableReason(platformPath);
        return reason.isEmpty() ? ListFileRead{} : problem(reason);
    }
    const int parent = resolved.parent.get();
    const char* leaf = resolved.leaf.c_str();
    struct stat own {};
    if (::fstatat(parent, leaf, &own, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? ListFileRead{} : problem(errorText(errno));
    }
    struct stat target = own;
    const bool link = S_ISLNK(own.st_mode);
    if (link) {
        if (::fstatat(parent, leaf, &target, 0) != 0) {
            return problem(QStringLiteral("a symbolic link to something unreadable: %1")
                               .arg(errorText(errno)));
        }
        if (!S_ISREG(target.st_mode) || target.st_uid != ::geteuid()) {
            return problem(
                QStringLiteral("a symbolic link to something that is not a regular "
                               "file of yours"));
        }
    } else if (!S_ISREG(own.st_mode)) {
        return problem(S_ISDIR(own.st_mode) ? QStringLiteral("a folder, not a file")
                                            : QStringLiteral("not a regular file"));
    }
    if (target.st_size > maxBytes) {
        return problem(QStringLiteral("larger than %1 bytes").arg(maxBytes));
    }
    const UniqueFd fd(::openat(
        parent, leaf, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (link ? 0 : O_NOFOLLOW)));
    struct stat opened {};
    if (!fd.valid() || ::fstat(fd.get(), &opened) != 0) {
        return problem(errorText(errno));
    }
    // Something else took the name between the look and the open.
    if (opened.st_dev != target.st_dev || opened.st_ino != target.st_ino) {
        return problem(QStringLiteral("changed while being opened"));
    }
    ReadToEnd read = readToEnd(fd.get(), maxBytes);
    if (read.outcome == ReadToEnd::Outcome::Failed) {
        return problem(errorText(read.error));
    }
    if (read.outcome == ReadToEnd::Outcome::TooLarge) {
        return problem(QStringLiteral("larger than %1 bytes").arg(maxBytes));
    }
    return {std::move(read.data), {}};
}

}  // namespace qz
