#include "monitor/BackgroundTicker.h"

#include "platform/TimeScale.h"

namespace qz {

BackgroundTicker::BackgroundTicker(double intervalSeconds, Work work, QObject* parent)
    : QObject(parent), work_(std::move(work)) {
    pool_.setMaxThreadCount(1);
    timer_.setInterval(TimeScale::milliseconds(intervalSeconds));
    connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
}

BackgroundTicker::~BackgroundTicker() {
    timer_.stop();
    pool_.waitForDone();
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
    pool_.start([this] {
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
    });
    return true;
}

}  // namespace qz
