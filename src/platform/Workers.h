// The program's few owned workers: one pool for measuring (and the logos' small file reads),
// and one worker per running care (at most one care per browser at a time). Results go back to
// the main thread with queued calls; nothing on the main thread joins or waits on these workers
// while the program runs.
#pragma once

#include <QThreadPool>
#include <functional>

namespace qz {

class Workers {
  public:
    // Created on first use and kept for the process.
    static QThreadPool& measuring();
    static QThreadPool& care();

    // Run a job on one of the pools. The job waits in a queue of ours under our own lock, not
    // in the pool's (Qt's locks are out of ThreadSanitizer's sight), so everything the caller
    // did before is seen to happen before the job.
    static void startMeasuring(std::function<void()> job);
    // Only when a thread of the pool is idle (or may be started), and never in a forked child;
    // whether the job was taken.
    static bool tryStartMeasuring(std::function<void()> job);
    static void startCare(std::function<void()> job);
};

}  // namespace qz
