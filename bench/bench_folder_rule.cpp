// Times the folder rule against `du -sb` on the same 200,000-file cache-like tree, warm cache.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchHome.h"
#include "core/fs/FileManager.h"
#include "services/Executor.h"

namespace {

constexpr int kFlatFiles = 160000;
constexpr int kFolders = 400;
constexpr int kFilesPerFolder = 100;

void makeFile(const std::string& path, size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    if (size > 0 && ::ftruncate(fd, static_cast<off_t>(size)) != 0) {
        std::perror("ftruncate");
    }
    ::close(fd);
}

// A cache: one flat folder with most of the files, plus two levels of nested folders.
void buildTree(const std::string& cache) {
    ::mkdir(cache.c_str(), 0755);
    const std::string flat = cache + "/Cache_Data";
    ::mkdir(flat.c_str(), 0755);
    for (int i = 0; i < kFlatFiles; ++i) {
        makeFile(flat + "/f_" + std::to_string(i), static_cast<size_t>((i * 7919) % 60000));
    }
    for (int d = 0; d < kFolders; ++d) {
        const std::string outer = cache + "/index-" + std::to_string(d % 20);
        ::mkdir(outer.c_str(), 0755);
        const std::string inner = outer + "/" + std::to_string(d);
        ::mkdir(inner.c_str(), 0755);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            makeFile(inner + "/e" + std::to_string(i), static_cast<size_t>((d * 31 + i) % 9000));
        }
    }
}

}  // namespace

int main() {
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quenzel-bench-XXXXXX"));
    const std::string root = QFile::encodeName(dir.path()).toStdString();
    const std::string cache = root + "/Cache";
    std::printf("Building %d files under %s ...\n", kFlatFiles + kFolders * kFilesPerFolder,
                root.c_str());
    buildTree(cache);

    qz::Executor::lendToWalks();
    qz::FileManager files;
    files.setRoot(dir.path());
    const std::string du = "du -sb '" + cache + "' > /dev/null";
    qz::bench::timeCommand(du);  // warm the cache
    const quint64 size = files.walkFolderSize(QStringLiteral("/Cache"));

    std::vector<double> ours;
    std::vector<double> theirs;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        if (files.walkFolderSize(QStringLiteral("/Cache")) != size) {
            std::fprintf(stderr, "the folder rule gave different sizes\n");
            return 1;
        }
        ours.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        theirs.push_back(qz::bench::timeCommand(du));
    }
    const double median = qz::bench::median(ours);
    const double duMedian = qz::bench::median(theirs);
    std::printf("folder rule: %llu bytes, median %.1f ms over %zu runs\n",
                static_cast<unsigned long long>(size), median, ours.size());
    std::printf("du -sb:      median %.1f ms over %zu runs\n", duMedian, theirs.size());
    std::printf("ratio folder rule / du -sb = %.2f (target <= 1.0)\n", median / duMedian);
    return 0;
}
