#include "services/SizeMeasurer.h"

#include "services/Executor.h"

namespace qz {

SizeMeasurer::SizeMeasurer(QObject* parent) : QObject(parent) {}

SizeMeasurer::~SizeMeasurer() {
    if (inFlight_.valid()) {
        inFlight_.wait();
    }
}

bool SizeMeasurer::start(Measure measure) {
    if (running_) {
        return false;
    }
    running_ = true;
    auto done = std::make_shared<std::promise<void>>();
    inFlight_ = done->get_future();
    const auto walk = [measure = std::move(measure), done] {
        const quint64 total = measure();
        done->set_value();  // nothing of the owner's is touched after this
        return total;
    };
    Executor::submit(Executor::Queue::Measuring, walk, this, [this](quint64 total) {
        running_ = false;
        emit measured(total);
    });
    return true;
}

}  // namespace qz
