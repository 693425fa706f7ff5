#include "core/fs/MountIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

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

// The table writes a space, tab, newline or backslash in a path as a backslash and three octal
// digits.
std::string unescapeMountPath(const std::string& field) {
    const auto octal = [&](size_t at) { return field[at] >= '0' && field[at] <= '7'; };
    std::string path;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) &&
            octal(i + 3)) {
            path += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            path += field[i];
        }
    }
    return path;
}
}  // namespace

std::string mountsBeneath(int folderFd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", folderFd);
    std::vector<char> target(4096);
    const ssize_t length = ::readlink(link, target.data(), target.size());
    if (length <= 0 || static_cast<size_t>(length) == target.size()) {
        return {};
    }
    std::string prefix(target.data(), static_cast<size_t>(length));
    if (prefix.back() != '/') {
        prefix += '/';
    }
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    std::string beneath;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        if (fields >> id >> parent >> device >> root >> point) {
            point = unescapeMountPath(point);
            if (point.size() > prefix.size() && point.compare(0, prefix.size(), prefix) == 0) {
                beneath += id + ' ' + point + '\n';
            }
        }
    }
    return beneath;
}

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
