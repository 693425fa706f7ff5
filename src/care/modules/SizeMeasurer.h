// Runs one measurement at a time on the measuring pool and reports the figure on the thread that
// owns it, so the main thread never waits for a walk.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <functional>

namespace qz {

class SizeMeasurer : public QObject {
    Q_OBJECT
  public:
    using Measure = std::function<quint64()>;

    explicit SizeMeasurer(QObject* parent = nullptr);
    ~SizeMeasurer() override;

    // Starts the measurement on a worker; false (and nothing started) while one is running.
    // The function must not touch widgets: take what it needs by value.
    bool start(Measure measure);
    bool isRunning() const { return running_; }

  signals:
    // The figure of the measurement that just ended.
    void measured(quint64 total);

  private:
    QFutureWatcher<quint64> watcher_;
    bool running_ = false;
};

}  // namespace qz
