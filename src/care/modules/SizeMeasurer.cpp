#include "care/modules/SizeMeasurer.h"

#include "platform/Executor.h"

namespace qz {

SizeMeasurer::SizeMeasurer(QObject* parent) : QObject(parent) {}

bool SizeMeasurer::start(Measure measure) {
    if (running_) {
        return false;
    }
    running_ = true;
    Executor::submit(Executor::Queue::Measuring, std::move(measure), this, [this](quint64 total) {
        running_ = false;
        emit measured(total);
    });
    return true;
}

}  // namespace qz
