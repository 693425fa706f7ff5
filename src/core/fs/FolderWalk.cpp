#include "core/fs/FolderWalk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/fs/ByteSum.h"
#include "core/fs/MountIdentity.h"
#include "core/fs/UniqueFd.h"

namespace qz {

namespace {

std::mutex& helpersMutex() {
    static std::mutex mutex;
    return mutex;
}
WalkHelpers& installedHelpers() {
    static WalkHelpers helpers;
    return helpers;
}
bool borrowHelper(std::function<void()> job) {
    WalkHelpers helpers;
    {
        std::lock_guard lock(helpersMutex());
        helpers = installedHelpers();
    }
    return helpers && helpers(std::move(job));
}

using DirRef = std::shared_ptr<const UniqueFd>;

// Either "open and list the folder `name` inside `dir`" or "measure `names` inside `dir`".
struct Task {
    DirRef dir;
    std::string name;
    std::vector<std::string> names;
};

constexpr size_t kBatchSize = 256;

// Shared with the helpers it borrows, so that a helper which starts late finds it still there.
class Walk : public std::enable_shared_from_this<Walk> {
  public:
    explicit Walk(int dirFd) {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        maxHelpers_ = cores > 1 ? cores - 1 : 0;
        top_ = std::make_shared<const UniqueFd>(dirFd);
        mount_ = mountIdentityOf(dirFd);
    }

    quint64 run() {
        busy_ = 1;  // the top folder's listing counts as work in progress
        saturatingAdd(total_, listFolder(top_));
        {
            std::lock_guard lock(mutex_);
            if (--busy_ == 0 && stack_.empty()) {
                wake_.notify_all();
            }
        }
        work();
        // Helpers at work add their sums on leaving; one that has not started yet never will.
        std::unique_lock lock(mutex_);
        finished_ = true;
        wake_.wait(lock, [this] { return working_ == 0; });
        return total_.load();
    }

  private:
    // Helpers are borrowed (from the measuring queue), and only when one of its threads is idle.
    // The walk never waits for a helper to start: walks on that pool cannot starve each other,
    // and a helper that never runs (a pool copied into a forked child) costs nothing.
    void push(Task task) {
        std::lock_guard lock(mutex_);
        stack_.push_back(std::move(task));
        if (stack_.size() > 1 && helpers_ < maxHelpers_ &&
            borrowHelper([self = shared_from_this()] { self->help(); })) {
            ++helpers_;
        }
        wake_.notify_one();
    }

    void help() {
        {
            std::lock_guard lock(mutex_);
            if (finished_) {
                return;
            }
            ++working_;
        }
        work();
        std::lock_guard lock(mutex_);
        --working_;
        wake_.notify_all();
    }

    void work() {
        quint64 sum = 0;
        for (;;) {
            Task task;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return !stack_.empty() || busy_ == 0; });
                if (stack_.empty()) {
                    break;
                }
                task = std::move(stack_.back());
                stack_.pop_back();
                ++busy_;
            }
            if (task.names.empty()) {
                const int fd = openSubfolderOnMount(task.dir->get(), task.name.c_str(), mount_);
                if (fd >= 0) {
                    sum = saturatingAdd(sum, listFolder(std::make_shared<const UniqueFd>(fd)));
                }
            } else {
                sum = saturatingAdd(sum, measure(task.dir, task.names));
            }
            std::lock_guard lock(mutex_);
            if (--busy_ == 0 && stack_.empty()) {
                wake_.notify_all();
            }
        }
        saturatingAdd(total_, sum);
    }

    // Lists one folder: subfolders and full batches of names become tasks; the last batch is
    // measured here. Returns the size measured by this call.
    quint64 listFolder(const DirRef& dir) {
        const int listFd = ::dup(dir->get());
        if (listFd < 0) {
            return 0;
        }
        DIR* stream = ::fdopendir(listFd);
        if (!stream) {
            ::close(listFd);
            return 0;
        }
        std::vector<std::string> batch;
        while (const dirent* entry = ::readdir(stream)) {
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
                continue;
            }
            if (entry->d_type == DT_DIR) {
                push(Task{dir, name, {}});
                continue;
            }
            batch.emplace_back(name);
            if (batch.size() == kBatchSize) {
                push(Task{dir, {}, std::move(batch)});
                batch.clear();
            }
        }
        ::closedir(stream);
        return measure(dir, batch);
    }

    quint64 measure(const DirRef& dir, const std::vector<std::string>& names) {
        quint64 sum = 0;
        struct stat info {};
        for (const std::string& name : names) {
            if (::fstatat(dir->get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
                continue;
            }
            if (S_ISDIR(info.st_mode)) {
                push(Task{dir, name, {}});  // the folder reported no type while listing
            } else {
                sum = saturatingAdd(sum, static_cast<quint64>(info.st_size));
            }
        }
        return sum;
    }

    DirRef top_;
    std::optional<MountIdentity> mount_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Task> stack_;
    unsigned helpers_ = 0;  // borrowed, whether they came or not
    unsigned maxHelpers_ = 0;
    int working_ = 0;  // helpers inside work()
    bool finished_ = false;
    int busy_ = 0;
    std::atomic<quint64> total_{0};
};

}  // namespace

quint64 sumEntrySizesBeneath(int dirFd) {
    return std::make_shared<Walk>(dirFd)->run();
}

}  // namespace qz

namespace qz {

std::vector<FolderEntry> listFolderEntries(int dirFd) {
    std::vector<FolderEntry> entries;
    const int listFd = ::dup(dirFd);
    DIR* stream = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!stream) {
        if (listFd >= 0) {
            ::close(listFd);
        }
        return entries;
    }
    ::rewinddir(stream);
    struct stat info {};
    while (const dirent* entry = ::readdir(stream)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            continue;
        }
        if (entry->d_type == DT_DIR) {
            entries.push_back({name, true, 0});
        } else if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
            const bool folder = S_ISDIR(info.st_mode);
            entries.push_back({name, folder, folder ? 0 : static_cast<quint64>(info.st_size)});
        }
    }
    ::closedir(stream);
    return entries;
}

int openSubfolder(int dirFd, const char* name) {
    return ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

int openSubfolderOnMount(int dirFd, const char* name, const std::optional<MountIdentity>& mount) {
    const int fd = openSubfolder(dirFd, name);
    if (fd >= 0 && !(mount && mountIdentityOf(fd) == mount)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void setWalkHelpers(WalkHelpers helpers) {
    std::lock_guard lock(helpersMutex());
    installedHelpers() = std::move(helpers);
}

}  // namespace qz
