// A repeating timer whose work runs on the measuring queue and whose result is applied on the
// owner's thread, so the periodic measurements never stall the window.
#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <future>

namespace qz {

class BackgroundTicker : public QObject {
    Q_OBJECT
  public:
    // Runs on the worker; returns what to do with its result on the owner's thread.
    using Work = std::function<std::function<void()>()>;

    // The interval goes through the time scale. A tick that comes while the previous work is
    // still running is skipped rather than queued, so a slow walk never piles up.
    BackgroundTicker(double intervalSeconds, Work work, QObject* parent = nullptr);
    // Waits for work in flight (an index answer, as a rule) so that it never outlives the
    // owner it reads through; its result is then dropped.
    ~BackgroundTicker() override;

    // Starts the timer; with runAtOnce the first work starts now as well.
    void start(bool runAtOnce);
    // Starts one run now unless one is in flight; returns whether it started.
    bool tick();
    bool busy() const { return busy_.load(); }
    int skippedTicks() const { return skipped_; }

  signals:
    // After each result has been applied on the owner's thread.
    void delivered();

  private:
    Work work_;
    QTimer timer_;
    std::future<void> inFlight_;
    std::atomic<bool> busy_{false};
    int skipped_ = 0;
};

}  // namespace qz
