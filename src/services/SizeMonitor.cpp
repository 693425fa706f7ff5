#include "services/SizeMonitor.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QDir>
#include <QHash>
#include <QSet>
#include <atomic>
#include <climits>
#include <mutex>
#include <optional>

#include "core/fs/ByteSum.h"
#include "core/fs/FolderIndex.h"
#include "core/fs/FolderWalk.h"
#include "core/settings/Log.h"
#include "core/settings/TimeScale.h"
#include "services/Executor.h"

namespace qz {

using std::chrono::milliseconds;

// The files a monitor measures and the folders somebody asks for, shared by the monitor, its
// subscriptions and every job in flight: the last of them to go takes it along.
class SizeMonitor::Index : public FolderSizes {
  public:
    explicit Index(const FileManager& files)
        : files_(files), clock_([] {
              return std::chrono::duration_cast<milliseconds>(
                  std::chrono::steady_clock::now().time_since_epoch());
          }) {}

    const FileManager& files() const { return files_; }

    quint64 folderSize(const QString& platformPath) override {
        const QString key = QDir::cleanPath(platformPath);
        const std::shared_ptr<Folder> folder = folderFor(key);
        std::lock_guard lock(folder->mutex);
        return answer(*folder, key);
    }

    int walks(const QString& platformPath) const {
        std::lock_guard lock(mutex_);
        return walks_.value(QDir::cleanPath(platformPath));
    }

    int watches() const {
        QList<std::shared_ptr<Folder>> folders;
        {
            std::lock_guard lock(mutex_);  // a folder's lock is never taken while holding this one
            folders = folders_.values();
        }
        int sum = 0;
        for (const std::shared_ptr<Folder>& folder : folders) {
            std::lock_guard folderLock(folder->mutex);
            sum += folder->index ? folder->index->watches() : 0;
        }
        return sum;
    }

    int folders() const {
        std::lock_guard lock(mutex_);
        return static_cast<int>(folders_.size());
    }

    void setWatchBudget(int watches) { budget_.store(watches); }
    void setClock(Clock clock) {
        std::lock_guard lock(mutex_);
        clock_ = std::move(clock);
    }

  private:
    // One folder somebody asks for: its index, or the note that it cannot be watched for now.
    struct Folder {
        std::mutex mutex;
        milliseconds lastAsked{0};
        std::unique_ptr<FolderIndex> index;
        std::optional<milliseconds> unwatchableUntil;  // walked afresh on each request until then
    };

    milliseconds now() const {
        std::lock_guard lock(mutex_);
        return clock_();
    }

    std::shared_ptr<Folder> folderFor(const QString& key) {
        std::lock_guard lock(mutex_);
        const milliseconds now = clock_();
        const milliseconds idle(TimeScale::milliseconds(kIdleSeconds));
        for (auto it = folders_.begin(); it != folders_.end();) {
            // A folder still being answered is in use, however long ago it was asked for.
            if (it.key() != key && now - it.value()->lastAsked > idle &&
                it.value().use_count() == 1) {
                it = folders_.erase(it);
            } else {
                ++it;
            }
        }
        std::shared_ptr<Folder>& folder = folders_[key];
        if (!folder) {
            folder = std::make_shared<Folder>();
        }
        folder->lastAsked = now;
        return folder;
    }

    quint64 answer(Folder& folder, const QString& platformPath) {
        const ResolvedPath resolved = files_.resolve(platformPath);
        struct stat info {};
        if (!resolved.valid() || ::fstatat(resolved.parent.get(), resolved.leaf.c_str(), &info,
                                           AT_SYMLINK_NOFOLLOW) != 0) {
            folder.index.reset();
            return 0;
        }
        const auto own = static_cast<quint64>(info.st_size);
        if (!S_ISDIR(info.st_mode)) {
            folder.index.reset();  // a file or a link counts its own size
            return own;
        }
        const auto count = [&] {
            std::lock_guard lock(mutex_);
            ++walks_[platformPath];
        };
        if (folder.unwatchableUntil && now() < *folder.unwatchableUntil) {
            count();
            return files_.walkFolderSize(platformPath);
        }
        const FolderIdentity identity{info.st_dev, info.st_ino, info.st_mode, info.st_uid,
                                      info.st_gid};
        if (folder.index) {
            if (!(folder.index->identity() == identity)) {
                fallBack(folder, platformPath, "another folder, or other permissions, at its path");
            } else if (folder.index->drain() == FolderIndex::Result::Current) {
                return saturatingAdd(own, folder.index->total());
            } else {
                fallBack(folder, platformPath, "its changes could not be followed");
            }
        }
        const FileManager& files = files_;
        folder.index = std::make_unique<FolderIndex>(FolderIndex::Setup{
            [&files, platformPath] {
                const ResolvedPath top = files.resolve(platformPath);
                return top.valid() ? openSubfolder(top.parent.get(), top.leaf.c_str()) : -1;
            },
            &budget_});
        count();
        switch (folder.index->build()) {
            case FolderIndex::Result::Current:
                folder.unwatchableUntil.reset();
                return saturatingAdd(own, folder.index->total());
            case FolderIndex::Result::Rebuild:
                folder.index.reset();  // cannot be opened: the folder counts its own entry only
                return own;
            case FolderIndex::Result::Unwatchable:
                break;
        }
        folder.index.reset();
        folder.unwatchableUntil = now() + milliseconds(TimeScale::milliseconds(kIdleSeconds));
        fallBack(folder, platformPath, "it cannot be watched (inotify watch limit)");
        count();
        return files_.walkFolderSize(platformPath);
    }

    void fallBack(Folder& folder, const QString& platformPath, const char* why) {
        folder.index.reset();
        std::lock_guard lock(mutex_);
        if (!logged_.contains(platformPath)) {
            logged_.insert(platformPath);
            Log::write(QStringLiteral("Folder %1 is walked afresh: %2")
                           .arg(platformPath, QLatin1String(why)));
        }
    }

    const FileManager files_;
    Clock clock_;
    std::atomic<int> budget_{INT_MAX};
    mutable std::mutex mutex_;
    QHash<QString, std::shared_ptr<Folder>> folders_;
    QHash<QString, int> walks_;
    QSet<QString> logged_;
};

SizeMonitor::SizeMonitor(const FileManager& files) : index_(std::make_shared<Index>(files)) {}

SizeMonitor::~SizeMonitor() = default;

quint64 SizeMonitor::folderSize(const QString& platformPath) {
    return index_->folderSize(platformPath);
}

int SizeMonitor::walks(const QString& platformPath) const {
    return index_->walks(platformPath);
}

int SizeMonitor::watches() const {
    return index_->watches();
}

int SizeMonitor::folders() const {
    return index_->folders();
}

void SizeMonitor::setWatchBudget(int watches) {
    index_->setWatchBudget(watches);
}

void SizeMonitor::setClock(Clock clock) {
    index_->setClock(std::move(clock));
}

SizeSubscription::SizeSubscription(const SizeMonitor& monitor, double intervalSeconds,
                                   Prepare prepare, QObject* parent)
    : QObject(parent),
      index_(monitor.index_),
      interval_(intervalSeconds),
      prepare_(std::move(prepare)) {
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
}

void SizeSubscription::start(bool runAtOnce) {
    timer_.start(TimeScale::milliseconds(interval_));
    if (runAtOnce) {
        tick();
    }
}

bool SizeSubscription::tick() {
    if (busy_) {
        ++skipped_;
        return false;
    }
    Job job = prepare_();
    if (!job) {
        return false;
    }
    busy_ = true;
    // The job shares the index with the monitor: whichever goes first, it reads live data.
    Executor::submit(
        Executor::Queue::Measuring,
        [index = index_, job = std::move(job)] { return job(index->files(), *index); }, this,
        [this](const std::function<void()>& apply) {
            busy_ = false;
            if (apply) {
                apply();
            }
            emit delivered();
        });
    return true;
}

}  // namespace qz
