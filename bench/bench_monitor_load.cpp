// The cost of watching: the whole window on the demo home plus a 200,000-file Chrome cache,
// with the care modules (every item selected), the tray status item and the four logos all
// measuring through the size monitor. After a warm-up it reports the process's CPU time over
// the steady state (from getrusage), the longest main-thread stall (from a 5 ms heartbeat) and
// what the cache's index adds to the resident memory.
//   --writer  a second process creates, grows and deletes 100 files a second in the cache during
//             the steady state; afterwards the totals are checked against fresh walks
//   --plain   a monitor that may watch no folder: every measurement walks afresh (the cost
//             without the index)
//   --autoclean  cleaning on close turned on for the four browsers: their processes are looked
//             for while they are closed, as the tray does it
// QUENZEL_BENCH_SECONDS changes the 60 s steady state.
#include <fcntl.h>
#include <sys/resource.h>
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <memory>
#include <string>

#include "BenchHome.h"
#include "core/care/AutoCleanChoice.h"
#include "core/fs/FileManager.h"
#include "core/monitor/MonitorSets.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"
#include "gui/panels/CareModule.h"
#include "gui/tray/CustomLogo.h"
#include "gui/tray/ImageFactory.h"
#include "gui/tray/MenuStatus.h"
#include "gui/window/AppDelegate.h"
#include "services/AutoClean.h"
#include "services/Executor.h"
#include "services/SizeMonitor.h"

namespace {

constexpr int kCacheFiles = 200'000;
constexpr double kWarmUpSeconds = 10.0;

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double residentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:")) {
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
            }
        }
    }
    return 0;
}

// The writer process: every 10 ms one new 4 KiB file in one of the cache's folders, the file
// made ten steps earlier grown by 4 KiB, the one made a hundred steps earlier deleted.
int writeInto(const std::string& bulk) {
    timespec next{};
    ::clock_gettime(CLOCK_MONOTONIC, &next);
    static char block[4096] = {};
    const auto pathOf = [&bulk](long step) {
        char name[64];
        std::snprintf(name, sizeof name, "/%03ld/w_%ld", step % 200, step);
        return bulk + name;
    };
    for (long step = 0;; ++step) {
        int fd = ::open(pathOf(step).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            (void)!::write(fd, block, sizeof block);
            ::close(fd);
        }
        if (step >= 10 && (fd = ::open(pathOf(step - 10).c_str(), O_WRONLY | O_APPEND)) >= 0) {
            (void)!::write(fd, block, sizeof block);
            ::close(fd);
        }
        if (step >= 100) {
            ::unlink(pathOf(step - 100).c_str());
        }
        next.tv_nsec += 10'000'000;
        if (next.tv_nsec >= 1'000'000'000) {
            next.tv_nsec -= 1'000'000'000;
            ++next.tv_sec;
        }
        ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const QStringList arguments = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i) {
            list << QString::fromLocal8Bit(argv[i]);
        }
        return list;
    }();
    if (arguments.value(0) == QStringLiteral("--write-into") && argc > 2) {
        return writeInto(argv[2]);
    }
    const bool withWriter = arguments.contains(QStringLiteral("--writer"));
    const bool plain = arguments.contains(QStringLiteral("--plain"));
    const bool autoCleanOn = arguments.contains(QStringLiteral("--autoclean"));
    QTemporaryDir scratch;
    if (!qz::bench::useScratchFolders(scratch)) {
        return 1;
    }
    QApplication app(argc, argv);
    qz::Executor::lendToWalks();
    const double seconds = qz::bench::benchSeconds(60.0);

    qz::FileManager files;
    if (!qz::bench::prepareBenchHome(scratch, kCacheFiles, files)) {
        return 1;
    }

    const QString cache =
        files.userPath(QStringLiteral("/Users/%@/Library/Caches/Google/Chrome/Default/Cache"));
    if (!plain) {
        const double before = residentMegabytes();
        qz::SizeMonitor probe(files);
        QElapsedTimer indexing;
        indexing.start();
        probe.folderSize(cache);
        std::printf("index of the cache: built in %.2f s, %+.1f MB resident memory\n",
                    indexing.elapsed() / 1000.0, residentMegabytes() - before);
    }
    qz::SizeMonitor sizes(files);
    if (plain) {
        sizes.setWatchBudget(0);  // no folder can be watched: each request walks afresh
    }
    std::printf("measuring: %s\n", plain ? "fresh walks (--plain)" : "size monitor");

    qz::bench::StallMeter stalls;
    stalls.start();
    qz::AppDelegate delegate(files, sizes);
    delegate.awakeFromNib();
    qz::ImageFactory imageFactory;
    qz::MenuStatus menuStatus(files, sizes, imageFactory);
    menuStatus.awakeFromNib();
    imageFactory.awakeFromNib();
    delegate.applicationDidFinishLaunching();
    std::unique_ptr<qz::AutoCleanSwitch> autoClean;
    if (autoCleanOn) {
        qz::Settings settings(qz::UserDefaults::standard());
        for (qz::BrowserId browser : qz::layoutBrowsers(files.layout())) {
            qz::setAutoCleanChoice(browser, qz::AutoCleanPreset::Basic, settings);
        }
        settings.synchronize();
        autoClean =
            std::make_unique<qz::AutoCleanSwitch>(files, qz::UserDefaults::standard(), nullptr);
        std::printf("cleaning on close: %lld browsers watched, pidfd %s\n",
                    autoClean->autoClean()
                        ? static_cast<long long>(autoClean->autoClean()->watchedBrowsers().size())
                        : 0LL,
                    qz::AutoClean::pidfdAvailable() ? "available" : "not available");
    }
    int moduleMeasurements = 0;
    int logoLevels = 0;
    for (qz::BrowserId browser : qz::kAllBrowsers) {
        qz::PanelController* panel = delegate.vista()->panelController(browser);
        if (!panel) {
            continue;  // not a browser of this layout (the demo home is the Library one)
        }
        qz::CareModule* module = delegate.vista()->module(browser);
        if (!module || !panel->logoController()) {
            std::fprintf(stderr, "the %s panel is missing\n",
                         qPrintable(qz::browserInfo(browser).displayName));
            return 1;
        }
        module->segment()->setSelectedSegment(1);  // complete: every item selected
        module->applySelectedPreset();
        QObject::connect(module, &qz::CareModule::measured, [&] { ++moduleMeasurements; });
        QObject::connect(panel->logoController(), &qz::CustomLogo::levelApplied,
                         [&] { ++logoLevels; });
    }

    QElapsedTimer wall;
    double cpuAtStart = 0;
    double cpu = 0;
    double elapsed = 0;
    qint64 steadyStall = 0;
    bool writerRan = false;
    int updatesAtStart = 0;
    qint64 startupStall = 0;
    QProcess writer;
    QTimer::singleShot(static_cast<int>(kWarmUpSeconds * 1000), [&] {
        startupStall = stalls.longestMs();
        stalls.reset();
        moduleMeasurements = 0;
        logoLevels = 0;
        updatesAtStart = menuStatus.updates();
        if (withWriter) {
            writer.start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--write-into"), files.localPath(cache + "/bulk")});
        }
        cpuAtStart = cpuSeconds();
        wall.start();
        QTimer::singleShot(static_cast<int>(seconds * 1000), [&] {
            cpu = cpuSeconds() - cpuAtStart;
            elapsed = wall.elapsed() / 1000.0;
            steadyStall = stalls.longestMs();
            if (!withWriter) {
                QCoreApplication::quit();
                return;
            }
            writerRan = writer.state() == QProcess::Running;
            writer.kill();
            writer.waitForFinished();
            // The second status update after the writer stopped has surely started after it.
            auto after = std::make_shared<int>(0);
            QObject::connect(&menuStatus, &qz::MenuStatus::updated, &app, [after] {
                if (++*after == 2) {
                    QCoreApplication::quit();
                }
            });
        });
    });
    QApplication::exec();

    std::printf("steady state: %.1f s after a %.0f s warm-up\n", elapsed, kWarmUpSeconds);
    std::printf("CPU: %.2f s over %.2f s wall = %.1f%% of one core\n", cpu, elapsed,
                100.0 * cpu / elapsed);
    std::printf("longest main-thread stall: %lld ms in the steady state, %lld ms during start-up\n",
                static_cast<long long>(steadyStall), static_cast<long long>(startupStall));
    std::printf("status-item updates: %d (skipped ticks %d), module figures: %d, logo levels: %d\n",
                menuStatus.updates() - updatesAtStart, menuStatus.skippedTicks(),
                moduleMeasurements, logoLevels);
    QStringList over;
    for (size_t i = 0; i < qz::kAllBrowsers.size(); ++i) {
        const QAction* entry = imageFactory.menuEntry(qz::kAllBrowsers[i]);
        if (entry && entry->isVisible()) {
            over << qz::browserInfo(qz::kAllBrowsers[i]).displayName;
        }
    }
    std::printf("threshold %llu bytes: tray icon %s, menu names: %s\n",
                static_cast<unsigned long long>(imageFactory.threshold()),
                qPrintable(menuStatus.statusItemImage()),
                over.isEmpty() ? "none" : qPrintable(over.join(QStringLiteral(", "))));
    std::printf("totals: Safari %llu, Firefox %llu, Chrome %llu, Opera %llu\n",
                static_cast<unsigned long long>(imageFactory.totals()[qz::BrowserId::Safari]),
                static_cast<unsigned long long>(imageFactory.totals()[qz::BrowserId::Firefox]),
                static_cast<unsigned long long>(imageFactory.totals()[qz::BrowserId::Chrome]),
                static_cast<unsigned long long>(imageFactory.totals()[qz::BrowserId::Opera]));
    std::printf("resident memory at the end: %.1f MB\n", residentMegabytes());
    if (withWriter) {
        const qz::BrowserTotals walked = qz::measureTotals(files);
        const qz::BrowserTotals shown = imageFactory.totals();
        std::printf("writer: %s\n", writerRan ? "ran through the steady state" : "NOT RUNNING");
        std::printf("totals after the writer stopped: %s a fresh walk (Chrome %llu, fresh %llu)\n",
                    shown == walked ? "equal to" : "DIFFERENT FROM",
                    static_cast<unsigned long long>(shown[qz::BrowserId::Chrome]),
                    static_cast<unsigned long long>(walked[qz::BrowserId::Chrome]));
        if (!writerRan || !(shown == walked)) {
            return 2;
        }
    }
    std::fflush(stdout);
    return 0;
}
