#include "platform/Workers.h"

#include <pthread.h>

#include <QThread>
#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>

namespace qz {

namespace {

// Set in a child made by fork() (tests that drop privileges): the pools' threads stayed in the
// parent, and a lock of theirs may have been held at that moment, so the child borrows none.
std::atomic<bool> forkedChild{false};
[[maybe_unused]] const int forkWatch =
    ::pthread_atfork(nullptr, nullptr, [] { forkedChild.store(true); });

// Jobs waiting for a pool thread; each job started hands the pool one taker for one job.
class HandOverQueue {
  public:
    using Taker = void (*)();

    void start(QThreadPool& pool, Taker taker, std::function<void()> job) {
        {
            std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(job));
        }
        pool.start(taker);
    }
    // Holds the lock throughout, so the job taken back when no thread is idle is this one.
    bool tryStart(QThreadPool& pool, Taker taker, std::function<void()> job) {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
        if (pool.tryStart(taker)) {
            return true;
        }
        jobs_.pop_back();
        return false;
    }
    void runOne() {
        std::function<void()> job;
        {
            std::lock_guard lock(mutex_);
            if (jobs_.empty()) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }

  private:
    std::mutex mutex_;
    std::deque<std::function<void()>> jobs_;
};

// Kept for the process like the pools: their threads may still take a job while it exits.
HandOverQueue& measuringQueue() {
    static auto* queue = new HandOverQueue;
    return *queue;
}

HandOverQueue& careQueue() {
    static auto* queue = new HandOverQueue;
    return *queue;
}

}  // namespace

QThreadPool& Workers::measuring() {
    static QThreadPool* pool = [] {
        auto* created = new QThreadPool;
        created->setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
        created->setObjectName(QStringLiteral("measuring"));
        return created;
    }();
    return *pool;
}

QThreadPool& Workers::care() {
    static QThreadPool* pool = [] {
        auto* created = new QThreadPool;
        created->setMaxThreadCount(4);  // one per browser module
        created->setObjectName(QStringLiteral("care"));
        return created;
    }();
    return *pool;
}

// The takers capture nothing: all a job carries crosses in the queue.
void Workers::startMeasuring(std::function<void()> job) {
    measuringQueue().start(
        measuring(), [] { measuringQueue().runOne(); }, std::move(job));
}

bool Workers::tryStartMeasuring(std::function<void()> job) {
    if (forkedChild.load()) {
        return false;
    }
    return measuringQueue().tryStart(
        measuring(), [] { measuringQueue().runOne(); }, std::move(job));
}

void Workers::startCare(std::function<void()> job) {
    careQueue().start(
        care(), [] { careQueue().runOne(); }, std::move(job));
}

}  // namespace qz
