#include "core/fs/FolderIndex.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <tuple>
#include <vector>

#include "core/fs/FolderWalk.h"
#include "core/fs/UniqueFd.h"

namespace qz {

namespace {

// Every change that can alter what a walk counts; links are never followed, and files that are
// unlinked but still open stop reporting.
constexpr uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB |
                                IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                                IN_ONLYDIR | IN_EXCL_UNLINK;

FolderIdentity identityOf(const struct stat& info) {
    return {info.st_dev, info.st_ino, info.st_mode, info.st_uid, info.st_gid};
}

}  // namespace

struct FolderIndex::Node {
    Node* parent = nullptr;
    std::string name;  // in the parent
    int wd = -1;       // -1: not watched (a folder that cannot be read counts 0)
    FolderIdentity identity;
    std::unordered_map<std::string, quint64> files;  // every entry but folders, by its size
    std::unordered_map<std::string, std::unique_ptr<Node>> folders;
};

// An entry that events named: looked at once per drain, parents before children.
struct FolderIndex::Touch {
    int wd;
    std::string name;
    int depth = 0;
};

FolderIndex::FolderIndex(Setup setup)
    : setup_(std::move(setup)), inotify_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderIndex::~FolderIndex() {
    for (const auto& [node, fd] : openFolders_) {
        ::close(fd);
    }
    if (setup_.watchBudget) {
        setup_.watchBudget->fetch_add(watches());
    }
    if (inotify_ >= 0) {
        ::close(inotify_);  // removes every watch at once
    }
}

const FolderIdentity& FolderIndex::identity() const {
    static const FolderIdentity none;
    return top_ ? top_->identity : none;
}

bool FolderIndex::watch(Node& node, int fd) {
    std::atomic<int>* budget = setup_.watchBudget;
    if (inotify_ < 0 || (budget && budget->fetch_sub(1) <= 0)) {
        if (budget) {
            budget->fetch_add(1);
        }
        return false;
    }
    // Through our own descriptor, so the watch lands on exactly the folder that was opened
    // without following links (a path could have been swapped for a link since).
    char path[32];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    const int wd = ::inotify_add_watch(inotify_, path, kWatchMask);
    if (wd < 0 || byWatch_.count(wd)) {  // the limit, or one folder reached twice
        if (budget) {
            budget->fetch_add(1);
        }
        return false;
    }
    node.wd = wd;
    byWatch_[wd] = &node;
    return true;
}

void FolderIndex::unwatch(Node& node) {
    if (node.wd < 0) {
        return;
    }
    ::inotify_rm_watch(inotify_, node.wd);
    byWatch_.erase(node.wd);
    node.wd = -1;
    if (setup_.watchBudget) {
        setup_.watchBudget->fetch_add(1);
    }
}

FolderIndex::Result FolderIndex::build() {
    top_ = std::make_unique<Node>();
    const UniqueFd fd(setup_.openTop());
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0) {
        return Result::Rebuild;
    }
    top_->identity = identityOf(info);
    mount_ = mountIdentityOf(fd.get());
    // inotify says nothing of mounts, yet one below the folder changes what a walk counts.
    mounts_ = UniqueFd(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC));
    mountsBeneath_ = mountsBeneath(fd.get());
    if (!watch(*top_, fd.get())) {
        return Result::Unwatchable;
    }
    return fill(*top_, fd.get());
}

FolderIndex::Result FolderIndex::fill(Node& node, int fd) {
    for (FolderEntry& entry : listFolderEntries(fd)) {
        if (!entry.folder) {
            total_.add(entry.size);
            node.files[std::move(entry.name)] = entry.size;
        } else if (const Result result = addEntry(node, fd, entry.name);
                   result != Result::Current) {
            return result;
        }
    }
    return Result::Current;
}

FolderIndex::Result FolderIndex::addEntry(Node& parent, int parentFd, const std::string& name) {
    struct stat info {};
    if (::fstatat(parentFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return Result::Current;  // gone, or cannot be read: counts nothing
    }
    if (!S_ISDIR(info.st_mode)) {
        total_.add(static_cast<quint64>(info.st_size));
        parent.files[name] = static_cast<quint64>(info.st_size);
        return Result::Current;
    }
    auto child = std::make_unique<Node>();
    Node& node = *child;
    node.parent = &parent;
    node.name = name;
    node.identity = identityOf(info);
    parent.folders[name] = std::move(child);
    // Like the walk, a folder where another mount begins counts 0 and is not entered.
    const UniqueFd fd(openSubfolderOnMount(parentFd, name.c_str(), mount_));
    if (!fd.valid()) {
        return Result::Current;  // unreadable: the parent's watch reports a change of access
    }
    if (::fstat(fd.get(), &info) == 0) {
        node.identity = identityOf(info);  // the folder actually opened
    }
    if (!watch(node, fd.get())) {
        return Result::Unwatchable;
    }
    return fill(node, fd.get());
}

ByteTotal FolderIndex::sumOf(const Node& node) const {
    ByteTotal sum;
    for (const auto& [name, size] : node.files) {
        sum.add(size);
    }
    for (const auto& [name, child] : node.folders) {
        sum.add(sumOf(*child));
    }
    return sum;
}

void FolderIndex::forget(Node& node) {
    for (auto& [name, child] : node.folders) {
        forget(*child);
    }
    if (const auto open = openFolders_.find(&node); open != openFolders_.end()) {
        ::close(open->second);
        openFolders_.erase(open);
    }
    unwatch(node);
}

void FolderIndex::removeEntry(Node& parent, const std::string& name) {
    if (const auto file = parent.files.find(name); file != parent.files.end()) {
        total_.subtract(file->second);
        parent.files.erase(file);
    }
    if (const auto folder = parent.folders.find(name); folder != parent.folders.end()) {
        total_.subtract(sumOf(*folder->second));
        forget(*folder->second);
        parent.folders.erase(folder);
    }
}

int FolderIndex::openNode(Node& node) {
    if (const auto open = openFolders_.find(&node); open != openFolders_.end()) {
        return open->second;
    }
    int fd = -1;
    if (&node == top_.get()) {
        fd = setup_.openTop();
    } else if (node.parent) {
        const int parentFd = openNode(*node.parent);
        fd = parentFd < 0 ? -1 : openSubfolderOnMount(parentFd, node.name.c_str(), mount_);
    }
    struct stat info {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || info.st_dev != node.identity.device ||
                    info.st_ino != node.identity.inode)) {
        ::close(fd);
        fd = -1;  // another folder stands where this one was
    }
    if (fd >= 0) {
        openFolders_[&node] = fd;
    }
    return fd;
}

FolderIndex::Result FolderIndex::reconcile(const Touch& touch) {
    const auto watched = byWatch_.find(touch.wd);
    if (watched == byWatch_.end()) {
        return Result::Current;  // its folder went with an earlier entry
    }
    Node& node = *watched->second;
    const int fd = openNode(node);
    if (fd < 0) {
        return Result::Rebuild;
    }
    struct stat info {};
    if (::fstatat(fd, touch.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        removeEntry(node, touch.name);
        return Result::Current;
    }
    if (S_ISDIR(info.st_mode)) {
        const auto folder = node.folders.find(touch.name);
        if (folder != node.folders.end() && folder->second->identity == identityOf(info)) {
            return Result::Current;  // its own watch reports what changes inside
        }
        removeEntry(node, touch.name);
        return addEntry(node, fd, touch.name);
    }
    const auto file = node.files.find(touch.name);
    if (file == node.files.end()) {
        removeEntry(node, touch.name);
        return addEntry(node, fd, touch.name);
    }
    total_.subtract(file->second);
    total_.add(static_cast<quint64>(info.st_size));
    file->second = static_cast<quint64>(info.st_size);
    return Result::Current;
}

FolderIndex::Result FolderIndex::drain() {
    if (inotify_ < 0 || !top_) {
        return Result::Rebuild;
    }
    pollfd mounts{mounts_.get(), POLLPRI, 0};
    if (mounts_.valid() && ::poll(&mounts, 1, 0) > 0 && (mounts.revents & (POLLPRI | POLLERR))) {
        // Some mount came or went; only one beneath the folder matters here.
        const UniqueFd top(setup_.openTop());
        if (!top.valid() || mountsBeneath(top.get()) != mountsBeneath_) {
            return Result::Rebuild;
        }
    }
    std::vector<Touch> touches;
    std::unordered_map<uint32_t, std::unique_ptr<Node>> moved;  // folders in flight, by cookie
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t length = ::read(inotify_, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR) {
            continue;
        }
        if (length <= 0) {
            if (length < 0 && errno != EAGAIN) {
                return Result::Rebuild;
            }
            break;
        }
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & (IN_Q_OVERFLOW | IN_UNMOUNT)) {
                return Result::Rebuild;
            }
            const auto watched = byWatch_.find(event->wd);
            if (watched == byWatch_.end()) {
                continue;
            }
            Node* node = watched->second;
            if (event->mask & IN_IGNORED) {
                byWatch_.erase(watched);
                node->wd = -1;
                if (setup_.watchBudget) {
                    setup_.watchBudget->fetch_add(1);
                }
                continue;
            }
            if (event->len == 0 || event->name[0] == '\0') {
                if (node == top_.get() && (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF))) {
                    return Result::Rebuild;
                }
                continue;  // a subfolder's own changes come through its parent's entry
            }
            const std::string name(event->name);
            const bool folder = event->mask & IN_ISDIR;
            if (folder && (event->mask & IN_MOVED_FROM)) {
                // A rename inside the tree keeps the folder's index and watches; the other half
                // of the pair names its new place.
                if (const auto child = node->folders.find(name); child != node->folders.end()) {
                    total_.subtract(sumOf(*child->second));
                    child->second->parent = nullptr;
                    moved[event->cookie] = std::move(child->second);
                    node->folders.erase(child);
                }
            } else if (folder && (event->mask & IN_MOVED_TO)) {
                if (const auto pair = moved.find(event->cookie); pair != moved.end()) {
                    removeEntry(*node, name);
                    Node& arrived = *pair->second;
                    arrived.parent = node;
                    arrived.name = name;
                    total_.add(sumOf(arrived));
                    node->folders[name] = std::move(pair->second);
                    moved.erase(pair);
                }
            }
            touches.push_back({event->wd, name});
        }
    }
    for (auto& [cookie, gone] : moved) {
        forget(*gone);  // moved out of the tree
    }
    moved.clear();

    for (Touch& touch : touches) {
        const auto watched = byWatch_.find(touch.wd);
        touch.depth = -1;
        for (const Node* at = watched == byWatch_.end() ? nullptr : watched->second; at;
             at = at->parent) {
            ++touch.depth;
        }
    }
    std::sort(touches.begin(), touches.end(), [](const Touch& a, const Touch& b) {
        return std::tie(a.depth, a.wd, a.name) < std::tie(b.depth, b.wd, b.name);
    });
    touches.erase(std::unique(touches.begin(), touches.end(),
                              [](const Touch& a, const Touch& b) {
                                  return a.wd == b.wd && a.name == b.name;
                              }),
                  touches.end());
    Result result = Result::Current;
    for (const Touch& touch : touches) {
        if (touch.depth >= 0 && (result = reconcile(touch)) != Result::Current) {
            break;
        }
    }
    for (const auto& [node, fd] : openFolders_) {
        ::close(fd);
    }
    openFolders_.clear();
    return result;
}

}  // namespace qz
