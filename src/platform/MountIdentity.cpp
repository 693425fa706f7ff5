#include "platform/MountIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#ifndef STATX_MNT_ID
#define STATX_MNT_ID 0x00001000U
#endif

namespace qz {

namespace {
// Kernels before statx knew the mount id still list it among the descriptor's details.
std::uint64_t mountIdFromProc(int fd) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fdinfo/%d", fd);
    FILE* file = std::fopen(path, "re");
    if (!file) {
        return 0;
    }
    std::uint64_t id = 0;
    char line[256];
    while (std::fgets(line, sizeof line, file)) {
        unsigned long long value = 0;
        if (std::sscanf(line, "mnt_id: %llu", &value) == 1) {
            id = value;
            break;
        }
    }
    std::fclose(file);
    return id;
}
}  // namespace

std::optional<MountIdentity> mountIdentityOf(int fd) {
    struct statx info {};
    if (::statx(fd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &info) == 0) {
        MountIdentity identity;
        identity.device = makedev(info.stx_dev_major, info.stx_dev_minor);
        identity.mountId =
            (info.stx_mask & STATX_MNT_ID) != 0 ? info.stx_mnt_id : mountIdFromProc(fd);
        return identity;
    }
    struct stat plain {};
    if (::fstat(fd, &plain) != 0) {
        return std::nullopt;
    }
    return MountIdentity{plain.st_dev, mountIdFromProc(fd)};
}

}  // namespace qz
