// The size monitor against fresh walks: random changes applied through its index, and the fresh
// walks it falls back to when it cannot follow a folder. The walk's own rules are the authority
// (FileManagerTest); here only "same answer as a fresh walk" is checked. Then its subscriptions:
// one job at a time off the main thread, one walk for many subscribers, and nobody waiting for a
// job whose subscriber or monitor is gone.
#include "services/SizeMonitor.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "core/fs/ByteSum.h"
#include "core/settings/Log.h"
#include "core/settings/TimeScale.h"
#include "services/Executor.h"
#include "support/WaitFor.h"
#include "support/WithoutPrivileges.h"

namespace qz {
namespace {

namespace fs = std::filesystem;

// Random changes inside a tree, with a folder outside it to move things out to and in from.
class RandomChanges {
  public:
    RandomChanges(fs::path tree, fs::path outside, unsigned seed)
        : tree_(std::move(tree)), outside_(std::move(outside)), random_(seed) {}

    void step() {
        std::error_code ignored;
        const std::string name = std::to_string(++counter_);
        const fs::path folder = pick(folders());
        const fs::path file = pick(files());
        switch (below(14)) {
            case 0:
            case 1:
                write(folder / ("f" + name), below(5000), false);
                break;
            case 2:
                write(file, below(3000), true);
                break;
            case 3:
                fs::resize_file(file, below(2000), ignored);
                break;
            case 4:
                fs::remove(file, ignored);
                break;
            case 5:
                fs::rename(file, folder / ("r" + name), ignored);
                break;
            case 6:
                fs::rename(file, outside_ / ("o" + name), ignored);
                break;
            case 7: {  // a file or a filled folder arrives from outside
                const fs::path made = outside_ / ("i" + name);
                if (below(2) == 0) {
                    write(made, below(4000), false);
                } else {
                    fs::create_directories(made / "inner", ignored);
                    write(made / "inner" / "x", below(4000), false);
                }
                fs::rename(made, folder / ("i" + name), ignored);
                break;
            }
            case 8:
                fs::create_directories(folder / ("d" + name) / "e", ignored);
                write(folder / ("d" + name) / "e" / "g", below(4000), false);
                break;
            case 9:
                if (folder != tree_) {
                    fs::remove_all(folder, ignored);
                }
                break;
            case 10: {  // a folder renamed into another place of the tree, never into itself
                const fs::path target = pick(folders());
                const auto relative = target.lexically_relative(folder).native();
                if (folder != tree_ && relative.rfind("..", 0) == 0) {
                    fs::rename(folder, target / ("m" + name), ignored);
                }
                break;
            }
            case 11:
                if (folder != tree_) {
                    fs::rename(folder, outside_ / ("o" + name), ignored);
                }
                break;
            case 12:  // a link created where a folder was
                if (folder != tree_) {
                    fs::remove_all(folder, ignored);
                    fs::create_directory_symlink(outside_, folder, ignored);
                }
                break;
            default:  // a folder made unreadable, or readable again
                if (folder != tree_) {
                    struct stat info {};
                    ::lstat(folder.c_str(), &info);
                    ::chmod(folder.c_str(), (info.st_mode & 0777) == 0755 ? 0 : 0755);
                }
                break;
        }
    }

  private:
    size_t below(size_t bound) {
        return std::uniform_int_distribution<size_t>(0, bound - 1)(random_);
    }

    template <typename Keep>
    std::vector<fs::path> entries(Keep keep) {
        std::vector<fs::path> found;
        std::error_code error;
        for (fs::recursive_directory_iterator
                 it(tree_, fs::directory_options::skip_permission_denied, error),
             end;
             !error && it != end; it.increment(error)) {
            if (keep(it->symlink_status())) {
                found.push_back(it->path());
            }
        }
        std::sort(found.begin(), found.end());  // the seed alone decides, not the listing order
        return found;
    }
    std::vector<fs::path> folders() {
        std::vector<fs::path> found =
            entries([](fs::file_status s) { return fs::is_directory(s); });
        found.push_back(tree_);
        return found;
    }
    std::vector<fs::path> files() {
        return entries([](fs::file_status s) { return !fs::is_directory(s); });
    }
    fs::path pick(const std::vector<fs::path>& from) {
        return from.empty() ? tree_ / "none" : from[below(from.size())];
    }
    static void write(const fs::path& path, size_t bytes, bool append) {
        std::ofstream(path, append ? std::ios::app : std::ios::trunc) << std::string(bytes, 'q');
    }

    fs::path tree_;
    fs::path outside_;
    std::mt19937 random_;
    int counter_ = 0;
};

// A temporary root with "/tree" (filled) and "/outside", usable by an ordinary user.
struct Home {
    Home() {
        ::chmod(dir.path().toLocal8Bit().constData(), 0777);
        tree = fs::path(dir.path().toStdString()) / "tree";
        outside = fs::path(dir.path().toStdString()) / "outside";
        for (const char* sub : {"a/b", "a/c", "d"}) {
            fs::create_directories(tree / sub);
            std::ofstream(tree / sub / "seed") << std::string(100, 's');
        }
        fs::create_directories(outside);
        for (const auto& entry : fs::recursive_directory_iterator(dir.path().toStdString())) {
            ::chmod(entry.path().c_str(), entry.is_directory() ? 0777 : 0666);
        }
        files.setRoot(dir.path());
    }
    QTemporaryDir dir;
    fs::path tree;
    fs::path outside;
    FileManager files;
};

const QString kTree = QStringLiteral("/tree");

TEST(SizeMonitorTest, RandomChangesGiveTheAnswersOfFreshWalksFromOneWalk) {
    Home home;
    // As an ordinary user, so that unreadable folders really are unreadable. 0 means every
    // answer matched; otherwise the first batch that differed, or 1000 when it walked again.
    const quint64 outcome = test::runWithoutPrivileges([&home]() -> quint64 {
        RandomChanges changes(home.tree, home.outside, 20261207);
        SizeMonitor sizes(home.files);
        for (quint64 batch = 1; batch <= 40; ++batch) {
            for (int i = 0; i < 8; ++i) {
                changes.step();
            }
            if (sizes.folderSize(kTree) != home.files.walkFolderSize(kTree)) {
                return batch;
            }
        }
        return sizes.walks(kTree) == 1 ? 0 : 1000;
    });
    EXPECT_EQ(outcome, 0u);
}

TEST(SizeMonitorTest, FallsBackToFreshWalksWhenItCannotFollowAndDropsIdleFolders) {
    Home home;
    QStringList logged;
    const Log::Sink previous = Log::setSink([&logged](const QString& line) { logged << line; });
    auto now = std::chrono::milliseconds(0);
    SizeMonitor sizes(home.files);
    sizes.setClock([&now] { return now; });
    const auto exact = [&] { return sizes.folderSize(kTree) == home.files.walkFolderSize(kTree); };

    sizes.setWatchBudget(2);  // fewer than the tree's five folders
    EXPECT_TRUE(exact());
    std::ofstream(home.tree / "a" / "c" / "new") << "grown";
    EXPECT_TRUE(exact());
    EXPECT_EQ(sizes.watches(), 0);

    // Another folder at the same path, once the watches are back and the retry time is over.
    sizes.setWatchBudget(100);
    now += std::chrono::milliseconds(TimeScale::milliseconds(SizeMonitor::kIdleSeconds) + 1);
    EXPECT_TRUE(exact());
    EXPECT_EQ(sizes.watches(), 5);
    fs::rename(home.tree, home.outside / "old");
    fs::create_directories(home.tree / "z");
    std::ofstream(home.tree / "z" / "one") << std::string(300, 'z');
    EXPECT_TRUE(exact());
    EXPECT_EQ(sizes.watches(), 2);
    EXPECT_EQ(logged.size(), 1) << "one line per folder, however often it falls back";
    EXPECT_TRUE(logged.value(0).contains(kTree));

    // A minute without a request for it, and another folder's request drops it.
    now += std::chrono::milliseconds(TimeScale::milliseconds(SizeMonitor::kIdleSeconds) + 1);
    sizes.folderSize(QStringLiteral("/outside"));
    EXPECT_EQ(sizes.folders(), 1);
    EXPECT_EQ(sizes.watches(), 6);  // "/outside" with the old tree's five folders
    Log::setSink(previous);
}

TEST(SizeMonitorTest, SizesPastTheLargestCountStopThereInsteadOfWrappingRound) {
    constexpr quint64 half = quint64(1) << 63;
    const struct {
        quint64 a, b, sum;
    } sums[] = {{0, 0, 0},
                {half - 1, half, kMostBytes},
                {half, half, kMostBytes},
                {kMostBytes, kMostBytes, kMostBytes},
                {kMostBytes - 5, 4, kMostBytes - 1}};
    for (const auto& row : sums) {
        EXPECT_EQ(saturatingAdd(row.a, row.b), row.sum) << row.a << " + " << row.b;
    }
    ByteTotal total;
    total.add(kMostBytes);
    total.add(7);
    EXPECT_EQ(total.value(), kMostBytes);
    total.subtract(kMostBytes);  // back below the largest count, and exact again
    EXPECT_EQ(total.value(), 7u);

    // Three sparse files of 2^63 - 1 bytes, where the filesystem takes them (tmpfs does).
    QTemporaryDir dir(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/quenzel-XXXXXX")
                                                : QDir::tempPath() + "/quenzel-XXXXXX");
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("tree/b"));
    for (const char* name : {"tree/a", "tree/b/c", "tree/d"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        if (::ftruncate(file.handle(), static_cast<off_t>(half - 1)) != 0) {
            ASSERT_EQ(errno, EFBIG);
            GTEST_SKIP() << "the temporary folder's filesystem refuses files of 2^63 - 1 bytes";
        }
    }
    FileManager files;
    files.setRoot(dir.path());
    SizeMonitor sizes(files);
    EXPECT_EQ(files.walkFolderSize(kTree), kMostBytes);
    EXPECT_EQ(sizes.folderSize(kTree), kMostBytes);
    ASSERT_TRUE(QFile::remove(dir.filePath("tree/a")) && QFile::remove(dir.filePath("tree/d")));
    const quint64 left = files.walkFolderSize(kTree);
    EXPECT_GT(left, half - 1);
    EXPECT_LT(left, half + 100000);
    EXPECT_EQ(sizes.folderSize(kTree), left);
    EXPECT_EQ(sizes.walks(kTree), 1) << "the index followed the removals";
}

// What the subscription tests share: scaled time and a monitor on a small tree.
class SizeSubscriptionTest : public testing::Test {
  protected:
    test::ScopedTimeScale scale{0.01};
    Home home;
    QThread* const mainThread = QThread::currentThread();
};

// A job that measures the tree and hands its figure to `figure` on the main thread.
SizeSubscription::Job treeJob(std::optional<quint64>& figure) {
    return [&figure](const FileManager&, FolderSizes& sizes) -> std::function<void()> {
        const quint64 total = sizes.folderSize(kTree);
        return [&figure, total] { figure = total; };
    };
}

TEST_F(SizeSubscriptionTest, RunsOneJobAtATimeOffTheMainThreadAndSkipsTicksWhileBusy) {
    const SizeMonitor monitor(home.files);
    QSemaphore release;
    std::atomic<bool> ranOnMain{false};
    bool appliedOffMain = false;
    bool withJob = true;
    int prepared = 0;
    QList<int> applied;
    SizeSubscription subscription(monitor, 1000.0, [&]() -> SizeSubscription::Job {
        if (!withJob) {
            return {};
        }
        const int run = ++prepared;
        return [&, run](const FileManager&, FolderSizes&) -> std::function<void()> {
            ranOnMain = ranOnMain || QThread::currentThread() == mainThread;
            release.acquire();
            return [&, run] {
                applied.append(run);
                appliedOffMain = appliedOffMain || QThread::currentThread() != mainThread;
            };
        };
    });
    QSignalSpy delivered(&subscription, &SizeSubscription::delivered);
    const struct {
        const char* step;
        bool job;      // whether this moment has anything to measure
        bool started;  // tick() started a job
        int skipped;   // skipped ticks so far
        bool release;  // then the running job may end, and its answer arrives
        QList<int> applied;
    } steps[] = {
        {"first tick", true, true, 0, false, {}},
        {"a tick while it runs", true, false, 1, false, {}},
        {"another one", true, false, 2, true, {1}},
        {"nothing to measure: no job and no skip", false, false, 2, false, {1}},
        {"free again", true, true, 2, true, {1, 2}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        withJob = step.job;
        EXPECT_EQ(subscription.tick(), step.started);
        EXPECT_EQ(subscription.skippedTicks(), step.skipped);
        if (step.release) {
            EXPECT_TRUE(subscription.busy());
            release.release();
            ASSERT_TRUE(delivered.wait(5000));
            EXPECT_FALSE(subscription.busy());
        }
        EXPECT_EQ(applied, step.applied);
    }
    EXPECT_FALSE(ranOnMain.load());
    EXPECT_FALSE(appliedOffMain);
}

TEST_F(SizeSubscriptionTest, TheTimerStartsAFreshJobOnEachTick) {
    const SizeMonitor monitor(home.files);
    std::atomic<int> runs{0};
    QList<int> applied;
    SizeSubscription subscription(monitor, 3.0, [&]() -> SizeSubscription::Job {
        return [&](const FileManager&, FolderSizes&) -> std::function<void()> {
            const int run = ++runs;
            return [&applied, run] { applied.append(run); };
        };
    });
    subscription.start(/*runAtOnce=*/false);
    EXPECT_FALSE(subscription.busy()) << "the first job waits for the first tick";
    ASSERT_TRUE(test::waitFor([&] { return applied.size() >= 3; }));
    EXPECT_EQ(applied.mid(0, 3), (QList<int>{1, 2, 3}));
}

TEST_F(SizeSubscriptionTest, ManySubscribersOfOneFolderShareOneWalkAndSeeChanges) {
    for (const int count : {1, 3, 8}) {
        SCOPED_TRACE(count);
        const SizeMonitor monitor(home.files);
        const int freshWalks = FileManager::freshWalks();
        std::vector<std::optional<quint64>> figures(count);
        std::vector<std::unique_ptr<SizeSubscription>> subscribers;
        for (std::optional<quint64>& figure : figures) {
            subscribers.push_back(std::make_unique<SizeSubscription>(
                monitor, 1000.0, [&figure] { return treeJob(figure); }));
        }
        const auto everyoneSees = [&](quint64 expected) {
            for (std::optional<quint64>& figure : figures) {
                figure.reset();
            }
            for (const auto& subscriber : subscribers) {
                EXPECT_TRUE(subscriber->tick());
            }
            ASSERT_TRUE(test::waitFor([&] {
                return std::all_of(figures.begin(), figures.end(),
                                   [](const auto& figure) { return figure.has_value(); });
            }));
            for (const std::optional<quint64>& figure : figures) {
                EXPECT_EQ(*figure, expected);
            }
        };
        everyoneSees(home.files.walkFolderSize(kTree));
        std::ofstream(home.tree / "a" / ("grown" + std::to_string(count))) << "grown";
        everyoneSees(home.files.walkFolderSize(kTree));
        EXPECT_EQ(monitor.walks(kTree), 1);
        EXPECT_EQ(FileManager::freshWalks(), freshWalks + 2) << "only the test's own walks";
    }
}

TEST_F(SizeSubscriptionTest, NobodyWaitsForAJobWhoseSubscriberOrMonitorIsGone) {
    const struct {
        const char* gone;
        bool subscriber;
        bool monitor;
    } rows[] = {
        {"the subscriber", true, false}, {"the monitor", false, true}, {"both", true, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.gone);
        auto monitor = std::make_unique<SizeMonitor>(home.files);
        QSemaphore release;
        std::atomic<bool> measured{false};
        std::optional<quint64> figure;
        auto subscription =
            std::make_unique<SizeSubscription>(*monitor, 1000.0, [&]() -> SizeSubscription::Job {
                return [&](const FileManager&, FolderSizes& sizes) -> std::function<void()> {
                    // Bounded, so that a destructor that waited shows as a slow one, not a hang.
                    release.tryAcquire(1, 10000);
                    const quint64 total = sizes.folderSize(kTree);
                    measured = true;
                    return [&figure, total] { figure = total; };
                };
            });
        ASSERT_TRUE(subscription->tick());
        QElapsedTimer going;
        going.start();
        if (row.subscriber) {
            subscription.reset();
        }
        if (row.monitor) {
            monitor.reset();
        }
        EXPECT_LT(going.elapsed(), 5000) << "a destructor waited for the job";
        release.release();  // the job reads the index now, whatever has gone
        ASSERT_TRUE(test::waitFor([&] { return measured.load(); }));
        ASSERT_TRUE(Executor::waitUntilIdle(Executor::Queue::Measuring, 5000));
        QCoreApplication::processEvents();
        EXPECT_EQ(figure.has_value(), !row.subscriber);
        if (figure) {
            EXPECT_EQ(*figure, home.files.walkFolderSize(kTree));
        }
    }
}

}  // namespace
}  // namespace qz
