// Set-up shared by the window benchmarks: private XDG folders, the demo home with a large
// Chrome cache under a temporary root, and a heartbeat that records main-thread stalls.
// Header-only, so that every .cpp here stays one benchmark program.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/DemoHome.h"
#include "core/fs/FileManager.h"

namespace qz::bench {

// Points every XDG folder into the scratch folder; call before the QApplication exists.
inline bool useScratchFolders(const QTemporaryDir& scratch) {
    if (!scratch.isValid()) {
        return false;
    }
    for (const char* name :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString path = scratch.path() + u'/' + QLatin1String(name);
        QDir().mkpath(path);
        ::setenv(name, path.toLocal8Bit().constData(), 1);
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The update checks fetch from a port that refuses at once: no traffic leaves the machine.
    ::setenv("QUENZEL_WEBSITE", "http://127.0.0.1:9", 1);
    return true;
}

// Runs a shell command and returns its wall time in milliseconds; exits when it fails.
inline double timeCommand(const std::string& command) {
    QElapsedTimer timer;
    timer.start();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// The middle value of a set of timings.
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// How long to run: QUENZEL_BENCH_SECONDS, else the benchmark's own duration.
inline double benchSeconds(double fallback) {
    return qEnvironmentVariableIsSet("QUENZEL_BENCH_SECONDS")
               ? qEnvironmentVariable("QUENZEL_BENCH_SECONDS").toDouble()
               : fallback;
}

// `count` small files in folders of a thousand, as a browser's disk cache lays them out.
inline bool makeCache(const QString& folder, int count) {
    for (int i = 0; i < count; ++i) {
        const QString dir =
            QStringLiteral("%1/bulk/%2").arg(folder).arg(i / 1000, 3, 10, QChar(u'0'));
        if (i % 1000 == 0 && !QDir().mkpath(dir)) {
            return false;
        }
        const QByteArray path = QFile::encodeName(QStringLiteral("%1/f_%2").arg(dir).arg(i));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::write(fd, "cache", 5) != 5) {
            if (fd >= 0) {
                ::close(fd);
            }
            return false;
        }
        ::close(fd);
    }
    return true;
}

// The demo home for `user` under the scratch folder, plus a Chrome cache of `cacheFiles`
// files, with the Library grant stored. Prints what went wrong and returns false on failure.
inline bool buildDemoWithChromeCache(const qz::DemoHome& demo, const QString& user,
                                     int cacheFiles) {
    QElapsedTimer setup;
    setup.start();
    QString error;
    const QString cache = demo.root() + QStringLiteral("/Users/") + user +
                          QStringLiteral("/Library/Caches/Google/Chrome/Default/Cache");
    if (!demo.ensure(user, &error) || !makeCache(cache, cacheFiles)) {
        std::fprintf(stderr, "cannot build the bench home: %s\n", qPrintable(error));
        return false;
    }
    demo.grantAccess(user);
    std::printf("home with a %d-file Chrome cache built in %.1f s\n", cacheFiles,
                setup.elapsed() / 1000.0);
    return true;
}

// The demo home with a Chrome cache of `cacheFiles` files in the scratch folder, and the file
// manager pointed at it for the user "bench".
inline bool prepareBenchHome(const QTemporaryDir& scratch, int cacheFiles, FileManager& files) {
    const QString user = QStringLiteral("bench");
    const DemoHome demo(scratch.path() + QStringLiteral("/demo-home"));
    if (!buildDemoWithChromeCache(demo, user, cacheFiles)) {
        return false;
    }
    files.setRoot(demo.root());
    files.setUserName(user);
    return true;
}

// Fires every few milliseconds on the main thread and keeps how late it came at worst.
class StallMeter {
  public:
    explicit StallMeter(int periodMs = 5) : periodMs_(periodMs) {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            const qint64 late = now - expected_;
            if (late > longest_) {
                longest_ = late;
                longestAt_ = now;
            }
            expected_ = now + periodMs_;
        });
    }
    void start() {
        clock_.start();
        expected_ = periodMs_;
        longest_ = 0;
        timer_.start(periodMs_);
    }
    // Forgets the stalls so far, e.g. once start-up is over.
    void reset() { longest_ = 0; }
    qint64 longestMs() const { return longest_; }
    double longestAtSeconds() const { return longestAt_ / 1000.0; }

  private:
    int periodMs_;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 expected_ = 0;
    qint64 longest_ = 0;
    qint64 longestAt_ = 0;
};

}  // namespace qz::bench
