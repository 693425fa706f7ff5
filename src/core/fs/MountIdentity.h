// Which mount an open file or folder lies on. Two folders of one filesystem can still lie on
// different mounts (a bind mount), so the device number alone does not tell a mount point.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

namespace qz {

struct MountIdentity {
    dev_t device = 0;
    std::uint64_t mountId = 0;  // 0 when neither statx nor /proc tells the mount
    bool operator==(const MountIdentity&) const = default;
};

// The mount of an open descriptor: statx's mount id, else /proc/self/fdinfo's, else the
// device alone. Nothing when the descriptor cannot be examined.
std::optional<MountIdentity> mountIdentityOf(int fd);

// The mounts whose mount point lies strictly beneath an open folder, as "id path" lines from
// /proc/self/mountinfo; empty when there are none or the table cannot be read.
std::string mountsBeneath(int folderFd);

}  // namespace qz
