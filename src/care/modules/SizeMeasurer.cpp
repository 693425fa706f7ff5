#include "care/modules/SizeMeasurer.h"

#include <QtConcurrent/QtConcurrentRun>

#include "platform/Workers.h"

namespace qz {

SizeMeasurer::SizeMeasurer(QObject* parent) : QObject(parent) {
    connect(&watcher_, &QFutureWatcherBase::finished, this, [this] {
        running_ = false;
        emit measured(watcher_.result());
    });
}

SizeMeasurer::~SizeMeasurer() {
    // The worker only reads files and its own copies; wait so it never outlives its watcher.
    watcher_.waitForFinished();
}

bool SizeMeasurer::start(Measure measure) {
    if (running_) {
        return false;
    }
    running_ = true;
    watcher_.setFuture(QtConcurrent::run(&Workers::measuring(), std::move(measure)));
    return true;
}

}  // namespace qz
