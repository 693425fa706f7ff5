#include "core/settings/TimeScale.h"

#include <QtNumeric>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace qz {

namespace {
double factorFromEnvironment() {
    const char* text = std::getenv("QUENZEL_TIME_SCALE");
    if (!text || !*text) {
        return 1.0;
    }
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    return (end && *end == '\0' && std::isfinite(value) && value > 0) ? value : 1.0;
}

std::atomic<double>& storedFactor() {
    static std::atomic<double> factor{factorFromEnvironment()};
    return factor;
}
}  // namespace

double TimeScale::factor() {
    return storedFactor().load();
}

void TimeScale::setFactor(double factor) {
    storedFactor().store(std::isfinite(factor) && factor > 0 ? factor : 1.0);
}

int TimeScale::milliseconds(double seconds) {
    return qRound(seconds * 1000.0 * factor());  // inline: no maths library call at start
}

void TimeScale::sleep(double seconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds(seconds)));
}

}  // namespace qz
