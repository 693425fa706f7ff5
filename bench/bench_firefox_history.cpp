// Times Quenzel's Firefox history edit against `bleachbit --clean firefox.url_history
// firefox.vacuum` on identical copies of one places.sqlite with 300,000 visits; median of 3.
// BleachBit runs with a temporary HOME; without it the bench says so and passes.
// Usage: bench_firefox_history [VISITS]
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchHome.h"
#include "core/formats/DatabaseEdit.h"
#include "core/formats/FirefoxHistory.h"
#include "core/formats/SqliteDatabase.h"
#include "core/fs/FileManager.h"
#include "fixtures/FirefoxPlaces.h"

namespace {

constexpr int kRuns = 3;
constexpr int kVisitsPerPage = 5;

qint64 visitsIn(const QString& path) {
    qz::SqliteDatabase db;
    if (!db.open(path, qz::SqliteDatabase::Access::ReadOnly)) {
        return -1;
    }
    return db.scalar(QStringLiteral("SELECT count(*) FROM moz_historyvisits")).value_or(-1);
}

bool copyFresh(const QString& from, const QString& to) {
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    return QFile::copy(from, to);
}

}  // namespace

int main(int argc, char* argv[]) {
    const int visits = argc > 1 ? std::atoi(argv[1]) : 300000;
    const QString bleachbit = QStandardPaths::findExecutable(QStringLiteral("bleachbit"));
    if (bleachbit.isEmpty()) {
        std::printf(
            "bench_firefox_history: skipped, BleachBit is not installed "
            "(apt-get install bleachbit)\n");
        return 0;
    }
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/bench-places-XXXXXX"));
    if (visits <= 0 || !scratch.isValid()) {
        std::fprintf(stderr, "bench_firefox_history: cannot set up\n");
        return 1;
    }
    const QString master = scratch.path() + QStringLiteral("/master.sqlite");
    const int pages = visits / kVisitsPerPage;
    qz::test::PlacesContent content;
    content.pages = pages;
    content.visitsPerPage = kVisitsPerPage;
    content.bookmarked = pages / 50;
    content.keyworded = pages / 500;
    content.hosts = pages / 20;
    std::printf("building places.sqlite: %d pages, %d visits, %d bookmarks ...\n", pages,
                pages * kVisitsPerPage, content.bookmarked);
    QString error;
    if (!qz::test::writePlaces(master, content, &error)) {
        std::fprintf(stderr, "bench_firefox_history: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("database: %lld bytes\n", static_cast<long long>(QFileInfo(master).size()));

    // Quenzel: the edit a care makes, under a root of its own.
    const QString ours = scratch.path() + QStringLiteral("/ours");
    qz::FileManager files;
    QDir().mkpath(ours);
    if (!files.setRoot(ours)) {
        return 1;
    }
    // BleachBit: a home with one Firefox profile, and its own settings beside it.
    const QString home = scratch.path() + QStringLiteral("/home");
    const QString profile = home + QStringLiteral("/.mozilla/firefox/bench.default-release");
    QDir().mkpath(profile);
    QFile ini(home + QStringLiteral("/.mozilla/firefox/profiles.ini"));
    if (!ini.open(QIODevice::WriteOnly) ||
        ini.write("[Profile0]\nName=default-release\nIsRelative=1\n"
                  "Path=bench.default-release\nDefault=1\n") <= 0) {
        return 1;
    }
    ini.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        const QString folder = home + u'/' + QLatin1String(name);
        QDir().mkpath(folder);
        environment.insert(QLatin1String(name), folder);
    }

    std::vector<double> quenzel;
    std::vector<double> theirs;
    for (int run = 0; run < kRuns; ++run) {
        const QString mine = ours + QStringLiteral("/places.sqlite");
        const QString bleached = profile + QStringLiteral("/places.sqlite");
        if (!copyFresh(master, mine) || !copyFresh(master, bleached)) {
            std::fprintf(stderr, "bench_firefox_history: cannot copy the database\n");
            return 1;
        }
        QElapsedTimer clock;
        clock.start();
        const qz::DatabaseEditResult result =
            qz::editDatabase(QStringLiteral("/places.sqlite"), qz::firefoxHistoryEdit(), files);
        quenzel.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        if (result.outcome != qz::DatabaseEditResult::Outcome::Edited || visitsIn(mine) != 0) {
            std::fprintf(stderr, "bench_firefox_history: Quenzel's edit failed: %s\n",
                         qPrintable(result.reason));
            return 1;
        }

        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        clock.restart();
        process.start(bleachbit, {QStringLiteral("--clean"), QStringLiteral("firefox.url_history"),
                                  QStringLiteral("firefox.vacuum")});
        const bool finished = process.waitForFinished(600'000);
        theirs.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        if (!finished || process.exitCode() != 0 || visitsIn(bleached) != 0) {
            std::fprintf(stderr, "bench_firefox_history: BleachBit did not clean the history\n%s",
                         process.readAll().constData());
            return 1;
        }
        std::printf("run %d: Quenzel %.0f ms (%lld rows, %llu bytes freed), BleachBit %.0f ms\n",
                    run + 1, quenzel.back(), static_cast<long long>(result.rowsRemoved()),
                    static_cast<unsigned long long>(result.bytesFreed()), theirs.back());
    }
    // What BleachBit spends before it cleans anything: its interpreter and modules.
    QProcess version;
    version.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    version.start(bleachbit, {QStringLiteral("--version")});
    version.waitForFinished(60'000);
    const double startup = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    const double ourMedian = qz::bench::median(quenzel);
    const double theirMedian = qz::bench::median(theirs);
    std::printf(
        "Firefox history, %d visits, median of %d: Quenzel %.0f ms, BleachBit %.0f ms "
        "(of which %.0f ms its start-up): ratio %.2fx\n",
        pages * kVisitsPerPage, kRuns, ourMedian, theirMedian, startup, ourMedian / theirMedian);
    return 0;
}
