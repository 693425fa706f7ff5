// One scale for every timer interval and pause (QUENZEL_TIME_SCALE), so tests run real timers fast.
#pragma once

namespace qz {

class TimeScale {
  public:
    // The factor from QUENZEL_TIME_SCALE (default 1; a value that is not a positive number counts
    // 1).
    static double factor();
    static void setFactor(double factor);
    // A duration in seconds, scaled, as whole milliseconds for a timer.
    static int milliseconds(double seconds);
    // Sleeps the calling thread for the scaled duration. Never call on the main thread.
    static void sleep(double seconds);
};

}  // namespace qz
