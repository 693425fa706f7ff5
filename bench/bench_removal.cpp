// Times FileManager::removeItem against `rm -rf` on two identical cache-like trees of
// 200,000 files (one wide folder plus nested folders). Usage: bench_removal [FILES] [FOLDER]
#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "core/fs/FileManager.h"
#include "core/fs/FileRemoval.h"

namespace {

// Most files in one flat folder, the rest spread over nested folders, as browser caches are.
bool buildTree(const QString& folder, int files) {
    const int nested = files / 10;
    const int flat = files - nested;
    if (!QDir().mkpath(folder + "/Cache")) {
        return false;
    }
    const auto touch = [](const QString& path) {
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            return false;
        }
        const bool ok = ::write(fd, "cache", 5) == 5;
        ::close(fd);
        return ok;
    };
    for (int i = 0; i < flat; ++i) {
        if (!touch(QStringLiteral("%1/Cache/f_%2").arg(folder).arg(i, 6, 16, QChar(u'0')))) {
            return false;
        }
    }
    for (int i = 0; i < nested; ++i) {
        const QString sub = QStringLiteral("%1/Cache/%2/%3")
                                .arg(folder)
                                .arg(i % 16, 2, 16, QChar(u'0'))
                                .arg((i / 16) % 16, 2, 16, QChar(u'0'));
        if (i < 256 && !QDir().mkpath(sub)) {
            return false;
        }
        if (!touch(QStringLiteral("%1/e_%2").arg(sub).arg(i))) {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 200000;
    QTemporaryDir scratch(argc > 2 ? QString::fromLocal8Bit(argv[2]) + "/bench-XXXXXX"
                                   : QDir::tempPath() + "/bench-XXXXXX");
    if (files <= 0 || !scratch.isValid()) {
        std::fprintf(stderr, "bench_removal: cannot set up (files %d)\n", files);
        return 1;
    }
    const QString ours = scratch.path() + "/ours";
    const QString theirs = scratch.path() + "/rm";
    std::printf("building two trees of %d files in %s ...\n", files, qPrintable(scratch.path()));
    if (!buildTree(ours, files) || !buildTree(theirs, files)) {
        std::fprintf(stderr, "bench_removal: cannot build the trees\n");
        return 1;
    }
    ::sync();

    QElapsedTimer clock;
    clock.start();
    const int rm = QProcess::execute(QStringLiteral("rm"), {"-rf", theirs + "/Cache"});
    const double rmSeconds = clock.nsecsElapsed() / 1e9;

    ::sync();

    qz::FileManager manager;
    if (!manager.setRoot(scratch.path())) {
        return 1;
    }
    clock.restart();
    const qz::RemovalResult result = manager.removeItem(QStringLiteral("/ours/Cache"));
    const double oursSeconds = clock.nsecsElapsed() / 1e9;

    const bool removed = result.outcome == qz::RemovalResult::Outcome::Removed &&
                         !QFileInfo::exists(ours + "/Cache");
    std::printf("removeItem: %.3f s (%s)\n", oursSeconds, removed ? "all removed" : "INCOMPLETE");
    std::printf("rm -rf:     %.3f s (exit %d)\n", rmSeconds, rm);
    std::printf("ratio removeItem / rm -rf: %.3f (target <= 1.1)\n", oursSeconds / rmSeconds);
    return removed && rm == 0 ? 0 : 1;
}
