#include "core/settings/Log.h"

#include <syslog.h>

#include <cstdio>
#include <mutex>

namespace qz {

namespace {
std::mutex& sinkMutex() {
    static std::mutex mutex;
    return mutex;
}
Log::Sink& currentSink() {
    static Log::Sink sink;
    return sink;
}
bool& echoRequested() {
    static bool echo = false;
    return echo;
}
}  // namespace

void Log::write(const QString& line) {
    std::lock_guard lock(sinkMutex());
    if (currentSink()) {
        currentSink()(line);
        return;
    }
    const QByteArray utf8 = line.toUtf8();
    if (echoRequested() || qgetenv("QUENZEL_LOG") == "stderr") {
        std::fprintf(stderr, "quenzel: %s\n", utf8.constData());
    }
    syslog(LOG_USER | LOG_NOTICE, "%s", utf8.constData());
}

void Log::setEcho(bool echo) {
    std::lock_guard lock(sinkMutex());
    echoRequested() = echo;
}

Log::Sink Log::setSink(Sink sink) {
    std::lock_guard lock(sinkMutex());
    Sink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

}  // namespace qz
