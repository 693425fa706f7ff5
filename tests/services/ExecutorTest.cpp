// The executor hands each result to its receiver on the main thread, and to nobody once the
// receiver is gone.
#include "services/Executor.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <future>
#include <memory>

#include "support/WaitFor.h"

namespace qz {
namespace {

struct Case {
    const char* name;
    Executor::Queue queue;
    bool receiverOutlivesJob;
};

class ExecutorTest : public testing::TestWithParam<Case> {};

TEST_P(ExecutorTest, DeliversOnTheMainThreadOnlyToALiveReceiver) {
    const Case& c = GetParam();
    auto receiver = std::make_unique<QObject>();
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    int delivered = 0;
    QThread* deliveredOn = nullptr;
    QThread* ranOn = nullptr;
    Executor::submit(
        c.queue,
        [released, &ranOn] {
            released.wait();  // the receiver may go first
            ranOn = QThread::currentThread();
            return QStringLiteral("figure");
        },
        receiver.get(),
        [&](const QString& result) {
            EXPECT_EQ(result, QStringLiteral("figure"));
            ++delivered;
            deliveredOn = QThread::currentThread();
        });
    if (!c.receiverOutlivesJob) {
        receiver.reset();
    }
    release.set_value();
    ASSERT_TRUE(Executor::waitUntilIdle(c.queue, 5000));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_NE(ranOn, QThread::currentThread());
    if (c.receiverOutlivesJob) {
        EXPECT_EQ(delivered, 1);
        EXPECT_EQ(deliveredOn, QThread::currentThread());
    } else {
        EXPECT_EQ(delivered, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Queues, ExecutorTest,
                         testing::Values(Case{"MeasuringLive", Executor::Queue::Measuring, true},
                                         Case{"MeasuringGone", Executor::Queue::Measuring, false},
                                         Case{"CareLive", Executor::Queue::Care, true},
                                         Case{"CareGone", Executor::Queue::Care, false}),
                         [](const auto& tested) { return std::string(tested.param.name); });

TEST(ExecutorManyJobsTest, EveryReceiverGetsItsOwnResult) {
    constexpr int kJobs = 64;
    std::vector<std::unique_ptr<QObject>> receivers;
    std::vector<int> got(kJobs, -1);
    for (int i = 0; i < kJobs; ++i) {
        receivers.push_back(std::make_unique<QObject>());
        Executor::submit(
            Executor::Queue::Measuring, [i] { return i * i; }, receivers.back().get(),
            [&got, i](int square) { got[i] = square; });
    }
    // Every other receiver goes before its result can arrive.
    for (int i = 1; i < kJobs; i += 2) {
        receivers[i].reset();
    }
    ASSERT_TRUE(test::waitFor([&] {
        for (int i = 0; i < kJobs; i += 2) {
            if (got[i] < 0) {
                return false;
            }
        }
        return true;
    }));
    ASSERT_TRUE(Executor::waitUntilIdle(Executor::Queue::Measuring, 5000));
    QCoreApplication::processEvents();
    for (int i = 0; i < kJobs; ++i) {
        EXPECT_EQ(got[i], i % 2 == 0 ? i * i : -1) << i;
    }
}

// Held jobs neither run nor lend a worker to a walk; the release runs each once, and the care
// queue is never held.
TEST(ExecutorHoldTest, HeldMeasuringJobsRunOnlyOnceReleased) {
    std::atomic<int> measured{0};
    std::atomic<int> cared{0};
    Executor::holdMeasuring(true);
    for (int i = 0; i < 3; ++i) {
        Executor::run(Executor::Queue::Measuring, [&measured] { ++measured; });
    }
    EXPECT_FALSE(Executor::tryRunMeasuring([&measured] { measured += 100; }));
    Executor::run(Executor::Queue::Care, [&cared] { ++cared; });
    ASSERT_TRUE(Executor::waitUntilIdle(Executor::Queue::Care, 5000));
    ASSERT_TRUE(Executor::waitUntilIdle(Executor::Queue::Measuring, 5000));
    EXPECT_EQ(cared.load(), 1);
    EXPECT_EQ(measured.load(), 0);
    Executor::holdMeasuring(false);
    ASSERT_TRUE(test::waitFor([&measured] { return measured.load() >= 3; }));
    ASSERT_TRUE(Executor::waitUntilIdle(Executor::Queue::Measuring, 5000));
    EXPECT_EQ(measured.load(), 3);
}

}  // namespace
}  // namespace qz
