#include "services/Executor.h"

#include <pthread.h>

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <utility>

#include "core/fs/FolderWalk.h"

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
            if (held_) {
                ++waiting_;
                return;
            }
        }
        pool.start(taker);
    }
    // While held, jobs wait here and no thread starts; the release starts one taker per job.
    void hold(QThreadPool& pool, Taker taker, bool hold) {
        int waiting = 0;
        {
            std::lock_guard lock(mutex_);
            held_ = hold;
            if (!hold) {
                waiting = std::exchange(waiting_, 0);
            }
        }
        for (int i = 0; i < waiting; ++i) {
            pool.start(taker);
        }
    }
    // Holds the lock throughout, so the job taken back when no thread is idle is this one.
    bool tryStart(QThreadPool& pool, Taker taker, std::function<void()> job) {
        std::lock_guard lock(mutex_);
        if (held_) {
            return false;
        }
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
    bool held_ = false;
    int waiting_ = 0;  // jobs queued while held, each owed a taker
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

QThreadPool& measuringPool() {
    static QThreadPool* pool = [] {
        auto* created = new QThreadPool;
        created->setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
        created->setObjectName(QStringLiteral("measuring"));
        return created;
    }();
    return *pool;
}

QThreadPool& carePool() {
    static QThreadPool* pool = [] {
        auto* created = new QThreadPool;
        created->setMaxThreadCount(4);  // one per browser panel
        created->setObjectName(QStringLiteral("care"));
        return created;
    }();
    return *pool;
}

// What a pool thread runs: the next job of its queue (the takers capture nothing).
void takeMeasuringJob() {
    measuringQueue().runOne();
}

void takeCareJob() {
    careQueue().runOne();
}

// Receives the results on the main thread; made there on first use and kept for the process,
// so a worker finishing during shutdown still posts to a live object.
QObject* mainThreadDispatcher() {
    static QObject* dispatcher = [] {
        auto* created = new QObject;
        if (QCoreApplication* app = QCoreApplication::instance()) {
            created->moveToThread(app->thread());
        }
        return created;
    }();
    return dispatcher;
}

}  // namespace

void Executor::run(Queue queue, std::function<void()> job) {
    if (queue == Queue::Care) {
        careQueue().start(carePool(), takeCareJob, std::move(job));
    } else {
        measuringQueue().start(measuringPool(), takeMeasuringJob, std::move(job));
    }
}

void Executor::holdMeasuring(bool hold) {
    measuringQueue().hold(measuringPool(), takeMeasuringJob, hold);
}

void Executor::lendToWalks() {
    setWalkHelpers([](std::function<void()> job) { return tryRunMeasuring(std::move(job)); });
}

bool Executor::tryRunMeasuring(std::function<void()> job) {
    if (forkedChild.load()) {
        return false;
    }
    return measuringQueue().tryStart(measuringPool(), takeMeasuringJob, std::move(job));
}

bool Executor::waitUntilIdle(Queue queue, int timeoutMs) {
    return (queue == Queue::Care ? carePool() : measuringPool()).waitForDone(timeoutMs);
}

void Executor::deliver(std::function<void()> call) {
    QMetaObject::invokeMethod(mainThreadDispatcher(), std::move(call), Qt::QueuedConnection);
}

}  // namespace qz
