// Opens a folder beneath an open folder as the kernel sees the name: no "." or "..", no
// symbolic link at any level, no mount crossed. Containment is decided by the system calls,
// never by comparing texts.
#pragma once

#include <QByteArray>

#include "core/fs/UniqueFd.h"

namespace qz {

struct BeneathOpen {
    UniqueFd fd;    // O_RDONLY | O_DIRECTORY
    int error = 0;  // errno when fd is not valid: ELOOP a link on the way, EXDEV a way out or
                    // another mount, ENOTDIR something else than a folder, ENOENT nothing there
};

// Opens the folder `relative` (components separated by '/', empty ones skipped; empty means
// `folderFd` itself) beneath `folderFd`. A component holding a NUL byte, "." or ".." is
// refused with EXDEV before anything is opened. Uses openat2 with RESOLVE_BENEATH |
// RESOLVE_NO_SYMLINKS | RESOLVE_NO_XDEV where the kernel has it, else a walk of O_NOFOLLOW
// opens that compares each folder's mount with the first one's.
BeneathOpen openFolderBeneath(int folderFd, const QByteArray& relative);

// Test hook: always take the component walk, as on a kernel without openat2.
void forceBeneathWalk(bool force);

}  // namespace qz
