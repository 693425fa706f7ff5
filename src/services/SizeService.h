// Folder totals that stay current. The first request for a folder walks it once and keeps an
// index that inotify events keep up to date; every later request only applies the pending
// events, so the modules, the logos and the status item share one walk and cost next to nothing
// while the disk is quiet. Answers equal a fresh walk at the moment of the request.
#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <atomic>
#include <chrono>
#include <climits>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "core/fs/FileManager.h"

namespace qz {

class SizeService : public FolderSizes {
  public:
    using Clock = std::function<std::chrono::milliseconds()>;
    // Folders nobody asked for in this long (through the time scale) are dropped with their
    // watches.
    static constexpr double kIdleSeconds = 60.0;

    // Answers the folder rule for `files` (attached to it) while it lives; paths resolve through
    // its root and user. The file manager must outlive the service.
    explicit SizeService(FileManager& files);
    ~SizeService() override;
    SizeService(const SizeService&) = delete;
    SizeService& operator=(const SizeService&) = delete;

    // The folder rule for a platform path. Safe from any thread; requests for one folder are
    // answered one after the other from the same index.
    quint64 folderSize(const QString& platformPath) override;

    // Test hooks: how many full walks a folder has cost, the watches in use, the folders kept,
    // a smaller watch budget than the system's, and the clock that decides idleness.
    int walks(const QString& platformPath) const;
    int watches() const;
    int folders() const;
    void setWatchBudget(int watches) { budget_.store(watches); }
    void setClock(Clock clock) { clock_ = std::move(clock); }

  private:
    struct Folder;

    std::shared_ptr<Folder> folderFor(const QString& key);
    quint64 answer(Folder& folder, const QString& platformPath);
    void fallBack(Folder& folder, const QString& platformPath, const char* why);

    FileManager& files_;
    FolderSizes* previous_;
    Clock clock_;
    std::atomic<int> budget_{INT_MAX};
    mutable std::mutex mutex_;
    QHash<QString, std::shared_ptr<Folder>> folders_;
    QHash<QString, int> walks_;
    QSet<QString> logged_;
};

}  // namespace qz
