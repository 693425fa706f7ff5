// The one way work leaves the main thread: a measuring queue (walks, small file reads) and a
// care queue (one job per running care). A job's result comes back to its receiver as a queued
// call on the main thread, dropped when the receiver is gone by then; nothing on the main
// thread joins or waits on a job while the program runs.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <type_traits>
#include <utility>

namespace qz {

class Executor {
  public:
    enum class Queue { Measuring, Care };

    // Runs `job` on the queue's workers, then `onDone(result)` on the main thread while
    // `receiver` (an object of the main thread) still exists. The job must own what it uses:
    // it may outlive the receiver.
    template <typename Job, typename OnDone>
    static void submit(Queue queue, Job job, QObject* receiver, OnDone onDone) {
        using Result = std::invoke_result_t<Job&>;
        QPointer<QObject> guard(receiver);
        run(queue, [job = std::move(job), guard, onDone = std::move(onDone)]() mutable {
            if constexpr (std::is_void_v<Result>) {
                job();
                deliver([guard, onDone = std::move(onDone)]() mutable {
                    if (guard) {
                        onDone();
                    }
                });
            } else {
                deliver([guard, onDone = std::move(onDone), result = job()]() mutable {
                    if (guard) {
                        onDone(std::move(result));
                    }
                });
            }
        });
    }

    // Lets a running job hand news back before it ends: `call(receiver)` on the main thread
    // while the receiver exists. Make the guard on the main thread, when submitting.
    template <typename Receiver, typename Call>
    static void post(QPointer<Receiver> guard, Call call) {
        deliver([guard, call = std::move(call)]() mutable {
            if (guard) {
                call(*guard);
            }
        });
    }

    // Runs a job that hands nothing back (or hands its news back through post).
    static void run(Queue queue, std::function<void()> job);
    // Runs a measuring job only when a worker is idle (or may be started), and never in a
    // forked child; whether the job was taken. Walks borrow idle workers this way.
    static bool tryRunMeasuring(std::function<void()> job);
    // While held, measuring jobs wait without starting a thread, and walks borrow none; they
    // start when released. The window holds them until its first frame is on the screen.
    static void holdMeasuring(bool hold);
    // Lends the measuring queue's idle threads to large folder walks (once, at start).
    static void lendToWalks();
    // At exit only, after the event loop ended, and in tests: waits until the queue is idle,
    // so a running care finishes before the program and no walk outlives what it reads.
    static bool waitUntilIdle(Queue queue, int timeoutMs = -1);

  private:
    // Queues a call on the main thread (through an object that lives as long as the process).
    static void deliver(std::function<void()> call);
};

}  // namespace qz
