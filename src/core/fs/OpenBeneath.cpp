#include "core/fs/OpenBeneath.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QList>
#include <atomic>
#include <optional>

#include "core/fs/MountIdentity.h"

namespace qz {

namespace {

std::atomic<bool> walkForced{false};
std::atomic<bool> kernelLacksOpenat2{false};

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

BeneathOpen failed(int error) {
    BeneathOpen result;
    result.error = error;
    return result;
}

// The path's components, or nothing when one of them could lead out of the folder.
std::optional<QList<QByteArray>> componentsOf(const QByteArray& relative) {
    if (relative.contains('\0')) {
        return std::nullopt;
    }
    QList<QByteArray> parts;
    for (const QByteArray& part : relative.split('/')) {
        if (part == "." || part == "..") {
            return std::nullopt;
        }
        if (!part.isEmpty()) {
            parts.append(part);
        }
    }
    return parts;
}

BeneathOpen walk(int folderFd, const QList<QByteArray>& parts) {
    const std::optional<MountIdentity> mount = mountIdentityOf(folderFd);
    if (!mount) {
        return failed(errno ? errno : EIO);
    }
    BeneathOpen result;
    result.fd.reset(::openat(folderFd, ".", kFolderFlags));
    for (const QByteArray& part : parts) {
        if (!result.fd.valid()) {
            break;
        }
        struct stat info {};
        if (::fstatat(result.fd.get(), part.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return failed(errno);
        }
        if (S_ISLNK(info.st_mode)) {
            return failed(ELOOP);
        }
        if (!S_ISDIR(info.st_mode)) {
            return failed(ENOTDIR);
        }
        // Swapped for a link since the look: O_NOFOLLOW with O_DIRECTORY fails the open.
        result.fd.reset(::openat(result.fd.get(), part.constData(), kFolderFlags));
        if (result.fd.valid() && mountIdentityOf(result.fd.get()) != mount) {
            return failed(EXDEV);
        }
    }
    if (!result.fd.valid()) {
        return failed(errno);
    }
    return result;
}

}  // namespace

BeneathOpen openFolderBeneath(int folderFd, const QByteArray& relative) {
    const std::optional<QList<QByteArray>> parts = componentsOf(relative);
    if (!parts) {
        return failed(EXDEV);
    }
    if (walkForced.load() || kernelLacksOpenat2.load()) {
        return walk(folderFd, *parts);
    }
    const QByteArray path = parts->isEmpty() ? QByteArray(".") : parts->join('/');
    open_how how{};
    how.flags = kFolderFlags;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_XDEV | RESOLVE_NO_MAGICLINKS;
    const long fd = ::syscall(SYS_openat2, folderFd, path.constData(), &how, sizeof how);
    if (fd >= 0) {
        BeneathOpen result;
        result.fd.reset(static_cast<int>(fd));
        return result;
    }
    const int error = errno;
    // No openat2 (before 5.6), or a sandbox whose filter forbids it: walk instead.
    if (error == ENOSYS || error == EPERM || error == EINVAL || error == E2BIG) {
        kernelLacksOpenat2.store(true);
        return walk(folderFd, *parts);
    }
    // openat2 says ENOTDIR for a link at the end as for a file: the walk tells them apart.
    return error == ENOTDIR ? walk(folderFd, *parts) : failed(error);
}

void forceBeneathWalk(bool force) {
    walkForced.store(force);
}

}  // namespace qz
