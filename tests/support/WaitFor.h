// Runs the event loop until a condition holds or a bound passes, for tests of asynchronous work.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

#include "core/settings/TimeScale.h"

namespace qz::test {

// True when the condition came true within the bound (milliseconds, not scaled).
inline bool waitFor(const std::function<bool()>& condition, int boundMs = 15000) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > boundMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Sets the time scale for one test and restores it afterwards.
class ScopedTimeScale {
  public:
    explicit ScopedTimeScale(double factor) : previous_(TimeScale::factor()) {
        TimeScale::setFactor(factor);
    }
    ~ScopedTimeScale() { TimeScale::setFactor(previous_); }

  private:
    double previous_;
};

}  // namespace qz::test
