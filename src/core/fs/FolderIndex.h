// One watched folder's index: what a walk counted beneath it, folder by folder, kept current by
// applying its inotify events, each by looking at just the entry it names.
#pragma once

#include <sys/types.h>

#include <QtGlobal>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "core/fs/ByteSum.h"
#include "core/fs/MountIdentity.h"
#include "core/fs/UniqueFd.h"

namespace qz {

// The identity of a folder: a different value at the same path is another folder.
struct FolderIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    mode_t mode = 0;  // permissions decide what a walk can read
    uid_t owner = 0;
    gid_t group = 0;
    bool operator==(const FolderIdentity&) const = default;
};

class FolderIndex {
  public:
    // What the index needs from its owner: how to open the watched folder (never through a
    // link; -1 when it cannot) and how many watches are still free.
    struct Setup {
        std::function<int()> openTop;
        std::atomic<int>* watchBudget = nullptr;
    };
    enum class Result { Current, Rebuild, Unwatchable };

    explicit FolderIndex(Setup setup);
    ~FolderIndex();
    FolderIndex(const FolderIndex&) = delete;
    FolderIndex& operator=(const FolderIndex&) = delete;

    // Walks the folder and watches every subfolder: Unwatchable when a watch cannot be added
    // (the watch limit), Rebuild when the folder cannot be opened.
    Result build();
    // Applies the pending events: Rebuild when the index can no longer be trusted (queue
    // overflow, a folder whose identity changed, the folder itself gone, a mount come or gone).
    Result drain();
    // The sum of what the folder holds (its own entry excluded).
    quint64 total() const { return total_.value(); }
    const FolderIdentity& identity() const;
    int watches() const { return static_cast<int>(byWatch_.size()); }

  private:
    struct Node;
    struct Touch;

    bool watch(Node& node, int fd);
    void unwatch(Node& node);
    Result addEntry(Node& parent, int parentFd, const std::string& name);
    Result fill(Node& node, int fd);
    void removeEntry(Node& parent, const std::string& name);
    void forget(Node& node);
    ByteTotal sumOf(const Node& node) const;
    int openNode(Node& node);
    Result reconcile(const Touch& touch);

    Setup setup_;
    int inotify_ = -1;
    UniqueFd mounts_;  // the mount table, which the kernel flags when a mount comes or goes
    std::string mountsBeneath_;  // the mounts beneath the folder when it was walked
    std::unique_ptr<Node> top_;
    std::optional<MountIdentity> mount_;  // the watched folder's: no other mount is entered
    std::unordered_map<int, Node*> byWatch_;
    std::unordered_map<const Node*, int> openFolders_;  // descriptors kept during one drain
    ByteTotal total_;
};

}  // namespace qz
