// The program's diagnostic lines: fixed, unlocalised texts written to stderr and the system log.
#pragma once

#include <QString>
#include <functional>

namespace qz {

class Log {
  public:
    using Sink = std::function<void(const QString&)>;

    static void write(const QString& line);
    // Replaces the output (stderr and syslog) with a function, e.g. to capture lines in a test.
    // Returns the previous sink; an empty sink restores the default output.
    static Sink setSink(Sink sink);
};

}  // namespace qz
