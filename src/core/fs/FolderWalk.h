// Sums the sizes of everything beneath an open folder, on several threads for large trees.
#pragma once

#include <QtGlobal>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/fs/MountIdentity.h"

namespace qz {

// Takes ownership of dirFd (an open folder). Files, links and other entries count their own
// size; folders count 0; entries that cannot be read are skipped. Links are never followed,
// and folders where another mount begins (bind mounts included) are left out.
quint64 sumEntrySizesBeneath(int dirFd);

// Where a large walk borrows helper threads: runs the job on an idle thread and answers true,
// or answers false at once. Without one, every walk runs on its caller's thread alone.
using WalkHelpers = std::function<bool(std::function<void()> job)>;
void setWalkHelpers(WalkHelpers helpers);

// One entry of a folder as the walk counts it.
struct FolderEntry {
    std::string name;
    bool folder = false;  // a subfolder: counts 0 itself, what it holds counts
    quint64 size = 0;     // any other entry (file, link, ...): its own size
};

// The entries of one open folder by the same rules as the walk, for callers that keep their own
// index (entries that cannot be read are left out). Does not take ownership of dirFd.
std::vector<FolderEntry> listFolderEntries(int dirFd);
// Opens a subfolder without following a link; -1 when it cannot.
int openSubfolder(int dirFd, const char* name);
// Opens a subfolder the way the walk enters one: never through a link, and only when it lies on
// `mount` (a folder where another mount begins, a bind mount too, is not entered); -1 otherwise.
int openSubfolderOnMount(int dirFd, const char* name, const std::optional<MountIdentity>& mount);

}  // namespace qz
