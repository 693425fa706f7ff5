#include "services/BackgroundTicker.h"

#include "core/settings/TimeScale.h"
#include "services/Executor.h"

namespace qz {

BackgroundTicker::BackgroundTicker(double intervalSeconds, Work work, QObject* parent)
    : QObject(parent), work_(std::move(work)) {
    timer_.setInterval(TimeScale::milliseconds(intervalSeconds));
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
}

BackgroundTicker::~BackgroundTicker() {
    timer_.stop();
    if (inFlight_.valid()) {
        inFlight_.wait();
    }
    // Results already posted to this object are discarded with it.
}

void BackgroundTicker::start(bool runAtOnce) {
    timer_.start();
    if (runAtOnce) {
        tick();
    }
}

bool BackgroundTicker::tick() {
    if (busy_.exchange(true)) {
        ++skipped_;
        return false;
    }
    auto done = std::make_shared<std::promise<void>>();
    inFlight_ = done->get_future();
    Executor::run(Executor::Queue::Measuring, [this, done] {
        std::function<void()> apply = work_();
        QMetaObject::invokeMethod(
            this,
            [this, apply = std::move(apply)] {
                busy_.store(false);
                if (apply) {
                    apply();
                }
                emit delivered();
            },
            Qt::QueuedConnection);
        done->set_value();
    });
    return true;
}

}  // namespace qz
