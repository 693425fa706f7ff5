// The cost of watching: the whole window on the demo home plus a 200,000-file Chrome cache,
// with the care modules (every item selected), the tray status item and the four logos all
// measuring. After a warm-up it reports the process's CPU time over the steady state (from
// getrusage) and the longest main-thread stall (from a 5 ms heartbeat).
// QUENZEL_BENCH_SECONDS changes the 60 s steady state.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>

#include "BenchHome.h"
#include "app/AppDelegate.h"
#include "care/modules/CareModule.h"
#include "monitor/ui/CustomLogo.h"
#include "monitor/ui/ImageFactory.h"
#include "monitor/ui/MenuStatus.h"
#include "platform/FileManager.h"

namespace {

constexpr int kCacheFiles = 200'000;
constexpr double kWarmUpSeconds = 10.0;

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir scratch;
    if (!qz::bench::useScratchFolders(scratch)) {
        return 1;
    }
    QApplication app(argc, argv);
    const double seconds = qz::bench::benchSeconds(60.0);

    qz::FileManager files;
    if (!qz::bench::prepareBenchHome(scratch, kCacheFiles, files)) {
        return 1;
    }

    qz::bench::StallMeter stalls;
    stalls.start();
    qz::AppDelegate delegate(files);
    delegate.awakeFromNib();
    qz::ImageFactory imageFactory;
    qz::MenuStatus menuStatus(files, imageFactory);
    menuStatus.awakeFromNib();
    imageFactory.awakeFromNib();
    delegate.applicationDidFinishLaunching();
    int moduleMeasurements = 0;
    int logoLevels = 0;
    for (qz::BrowserId browser : qz::kAllBrowsers) {
        qz::PanelController* panel = delegate.vista->panelController(browser);
        qz::CareModule* module = delegate.vista->module(browser);
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
    int updatesAtStart = 0;
    qint64 startupStall = 0;
    QTimer::singleShot(static_cast<int>(kWarmUpSeconds * 1000), [&] {
        startupStall = stalls.longestMs();
        stalls.reset();
        moduleMeasurements = 0;
        logoLevels = 0;
        updatesAtStart = menuStatus.updates();
        cpuAtStart = cpuSeconds();
        wall.start();
        QTimer::singleShot(static_cast<int>(seconds * 1000), &app, &QCoreApplication::quit);
    });
    QApplication::exec();
    const double cpu = cpuSeconds() - cpuAtStart;
    const double elapsed = wall.elapsed() / 1000.0;

    std::printf("steady state: %.1f s after a %.0f s warm-up\n", elapsed, kWarmUpSeconds);
    std::printf("CPU: %.2f s over %.2f s wall = %.1f%% of one core\n", cpu, elapsed,
                100.0 * cpu / elapsed);
    std::printf("longest main-thread stall: %lld ms in the steady state, %lld ms during start-up\n",
                static_cast<long long>(stalls.longestMs()), static_cast<long long>(startupStall));
    std::printf("status-item updates: %d (skipped ticks %d), module figures: %d, logo levels: %d\n",
                menuStatus.updates() - updatesAtStart, menuStatus.skippedTicks(),
                moduleMeasurements, logoLevels);
    QStringList over;
    for (size_t i = 0; i < qz::kAllBrowsers.size(); ++i) {
        if (imageFactory.menuEntries[i] && imageFactory.menuEntries[i]->isVisible()) {
            over << qz::browserInfo(qz::kAllBrowsers[i]).displayName;
        }
    }
    std::printf("threshold %llu bytes: tray icon %s, menu names: %s\n",
                static_cast<unsigned long long>(imageFactory.threshold()),
                qPrintable(menuStatus.statusItemImage()),
                over.isEmpty() ? "none" : qPrintable(over.join(QStringLiteral(", "))));
    std::printf("totals: Safari %llu, Firefox %llu, Chrome %llu, Opera %llu\n",
                static_cast<unsigned long long>(imageFactory.SizevalueS()),
                static_cast<unsigned long long>(imageFactory.SizevalueF()),
                static_cast<unsigned long long>(imageFactory.SizevalueC()),
                static_cast<unsigned long long>(imageFactory.SizevalueO()));
    std::fflush(stdout);
    return 0;
}
