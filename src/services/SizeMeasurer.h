// Runs one measurement at a time on the measuring queue and reports the figure on the main
// thread, so the main thread never waits for a walk.
#pragma once

#include <QObject>
#include <functional>
#include <future>

namespace qz {

class SizeMeasurer : public QObject {
    Q_OBJECT
  public:
    using Measure = std::function<quint64()>;

    explicit SizeMeasurer(QObject* parent = nullptr);
    // Waits for a walk in flight: it reads through the file manager and size service its owner
    // was given, which may go with the owner. Its figure is then dropped.
    ~SizeMeasurer() override;

    // Starts the measurement on a worker; false (and nothing started) while one is running.
    // The function must not touch widgets: take what it needs by value.
    bool start(Measure measure);
    bool isRunning() const { return running_; }

  signals:
    // The figure of the measurement that just ended.
    void measured(quint64 total);

  private:
    bool running_ = false;
    std::future<void> inFlight_;
};

}  // namespace qz
