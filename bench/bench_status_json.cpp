// Times `quenzel status --json` against `du -sb` on a home with a 200,000-file Chrome cache,
// warm cache, each command as its own process. An earlier build's binary given as the argument
// is timed in the same rounds, for a before-and-after in one run.
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchHome.h"

namespace {

std::string statusCommand(const std::string& binary, const std::string& root, bool json) {
    return "'" + binary + "' --root '" + root + "' --user bench status" + (json ? " --json" : "") +
           " > /dev/null";
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/quenzel-bench-XXXXXX"));
    if (!qz::bench::useScratchFolders(scratch)) {
        return 1;
    }
    const QString user = QStringLiteral("bench");
    const qz::DemoHome demo(scratch.path() + QStringLiteral("/demo-home"));
    if (!qz::bench::buildDemoWithChromeCache(demo, user, 200000)) {
        return 1;
    }
    const std::string root = QFile::encodeName(demo.root()).toStdString();
    const std::string ours = statusCommand(QUENZEL_CLI, root, true);
    const std::string plain = statusCommand(QUENZEL_CLI, root, false);
    const std::string earlier = argc > 1 ? statusCommand(argv[1], root, true) : std::string();
    const std::string du = "du -sb '" + root + "' > /dev/null";
    qz::bench::timeCommand(du);  // warm the cache
    qz::bench::timeCommand(ours);

    std::vector<double> json, text, theirs, before;
    constexpr int rounds = 7;
    for (int round = 0; round < rounds; ++round) {
        json.push_back(qz::bench::timeCommand(ours));
        text.push_back(qz::bench::timeCommand(plain));
        theirs.push_back(qz::bench::timeCommand(du));
        if (!earlier.empty()) {
            before.push_back(qz::bench::timeCommand(earlier));
        }
    }
    const double duMedian = qz::bench::median(theirs);
    std::printf("du -sb:        median %.0f ms over %d runs\n", duMedian, rounds);
    std::printf("status --json: median %.0f ms, ratio to du -sb = %.2f (target <= 0.65)\n",
                qz::bench::median(json), qz::bench::median(json) / duMedian);
    std::printf("status:        median %.0f ms, ratio to du -sb = %.2f\n", qz::bench::median(text),
                qz::bench::median(text) / duMedian);
    if (!before.empty()) {
        std::printf("earlier build, status --json: median %.0f ms, ratio to du -sb = %.2f\n",
                    qz::bench::median(before), qz::bench::median(before) / duMedian);
    }
    return 0;
}
