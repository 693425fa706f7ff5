// Folder totals that stay current, and the periodic measurements that read them. The window
// makes one monitor and hands it to the panels, the logos and the status item; each subscribes
// with its own interval and job. The first request for a folder walks it once and keeps an index
// that inotify events keep up to date; every later request, whoever makes it, only applies the
// pending events, so a folder is walked once however many consumers watch it. Answers equal a
// fresh walk at the moment of the request.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

#include "core/fs/FileManager.h"

namespace qz {

class SizeMonitor : public FolderSizes {
  public:
    using Clock = std::function<std::chrono::milliseconds()>;
    // Folders nobody asked for in this long (through the time scale) are dropped with their
    // watches.
    static constexpr double kIdleSeconds = 60.0;

    // Measures below the root, user and layout of `files` as they are now (it keeps a copy).
    explicit SizeMonitor(const FileManager& files);
    // Never waits: a job still running holds the index and the files it reads.
    ~SizeMonitor() override;
    SizeMonitor(const SizeMonitor&) = delete;
    SizeMonitor& operator=(const SizeMonitor&) = delete;

    // The folder rule for a platform path, from the index. Safe from any thread; requests for
    // one folder are answered one after the other. The window asks only from its jobs.
    quint64 folderSize(const QString& platformPath) override;

    // Test hooks: how many full walks a folder has cost, the watches in use, the folders kept,
    // a smaller watch budget than the system's, and the clock that decides idleness.
    int walks(const QString& platformPath) const;
    int watches() const;
    int folders() const;
    void setWatchBudget(int watches);
    void setClock(Clock clock);

  private:
    friend class SizeSubscription;
    class Index;

    std::shared_ptr<Index> index_;
};

// One consumer's periodic measurement through a monitor: a timer whose ticks run a job on the
// measuring queue with the monitor's files and folder sizes, the job's answer applied on the
// main thread while this subscription lives. A tick that finds the previous job still running
// is skipped rather than queued, so a slow walk never piles up.
class SizeSubscription : public QObject {
    Q_OBJECT
  public:
    // Runs on a worker and returns what to do with its figures on the main thread. It must own
    // what it reads besides the files and sizes it is given: it may outlive its consumer.
    using Job = std::function<std::function<void()>(const FileManager& files, FolderSizes& sizes)>;
    // Called on the main thread for each run: the job for this moment, or none to skip it.
    using Prepare = std::function<Job()>;

    // The interval goes through the time scale when the timer starts.
    SizeSubscription(const SizeMonitor& monitor, double intervalSeconds, Prepare prepare,
                     QObject* parent = nullptr);

    // Starts the timer; with runAtOnce the first job starts now as well.
    void start(bool runAtOnce);
    // Starts one job now unless one is running; whether it started.
    bool tick();
    bool busy() const { return busy_; }
    int skippedTicks() const { return skipped_; }

  signals:
    // After each job's answer has been applied on the main thread.
    void delivered();

  private:
    std::shared_ptr<SizeMonitor::Index> index_;
    double interval_;
    Prepare prepare_;
    QTimer timer_;
    bool busy_ = false;
    int skipped_ = 0;
};

}  // namespace qz
