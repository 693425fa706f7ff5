// The program's diagnostic lines: fixed, unlocalised texts written to the system log, and to
// stderr only when asked (--verbose, or QUENZEL_LOG=stderr in the environment).
#pragma once

#include <QString>
#include <functional>

namespace qz {

class Log {
  public:
    using Sink = std::function<void(const QString&)>;

    static void write(const QString& line);
    // Also writes every line to stderr, "quenzel: " first.
    static void setEcho(bool echo);
    // Replaces the output (syslog and stderr) with a function, e.g. to capture lines in a test.
    // Returns the previous sink; an empty sink restores the default output.
    static Sink setSink(Sink sink);
};

}  // namespace qz
