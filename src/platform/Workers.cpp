#include "platform/Workers.h"

#include <QThread>
#include <algorithm>
#include <deque>
#include <mutex>

namespace qz {

namespace {

// Jobs waiting for a pool thread; each start hands the pool one taker for one job.
class HandOverQueue {
  public:
    void push(std::function<void()> job) {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
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

HandOverQueue& measuringQueue() {
    static HandOverQueue queue;
    return queue;
}

HandOverQueue& careQueue() {
    static HandOverQueue queue;
    return queue;
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
    measuringQueue().push(std::move(job));
    measuring().start([] { measuringQueue().runOne(); });
}

void Workers::startCare(std::function<void()> job) {
    careQueue().push(std::move(job));
    care().start([] { careQueue().runOne(); });
}

}  // namespace qz
