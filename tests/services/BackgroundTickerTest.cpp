#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QThread>
#include <atomic>

#include "core/monitor/StatusItemSlot.h"
#include "core/settings/TimeScale.h"
#include "services/BackgroundTicker.h"

namespace qz {
namespace {

class ScaledTime : public testing::Test {
  protected:
    void SetUp() override { TimeScale::setFactor(0.01); }
    void TearDown() override { TimeScale::setFactor(1.0); }
};

TEST_F(ScaledTime, WorkRunsOffTheMainThreadAndEachTickIsFresh) {
    std::atomic<int> runs{0};
    std::atomic<bool> workOnMain{false};
    QThread* const mainThread = QThread::currentThread();
    QList<int> applied;
    bool appliedOffMain = false;
    BackgroundTicker ticker(3.0, [&]() -> std::function<void()> {
        workOnMain = workOnMain || QThread::currentThread() == mainThread;
        const int value = ++runs;
        return [&, value] {
            applied.append(value);
            appliedOffMain = appliedOffMain || QThread::currentThread() != mainThread;
        };
    });
    QSignalSpy spy(&ticker, &BackgroundTicker::delivered);
    ticker.start(true);
    while (applied.size() < 3) {
        ASSERT_TRUE(spy.wait(5000));
    }
    EXPECT_FALSE(workOnMain.load());
    EXPECT_EQ(applied.mid(0, 3), (QList<int>{1, 2, 3}));
    EXPECT_FALSE(appliedOffMain);
}

TEST_F(ScaledTime, TickWhileBusyIsSkipped) {
    std::atomic<bool> release{false};
    BackgroundTicker ticker(1000.0, [&]() -> std::function<void()> {
        release.wait(false);
        return {};
    });
    QSignalSpy spy(&ticker, &BackgroundTicker::delivered);
    EXPECT_TRUE(ticker.tick());
    EXPECT_FALSE(ticker.tick());
    EXPECT_EQ(ticker.skippedTicks(), 1);
    release = true;
    release.notify_all();
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_FALSE(ticker.busy());
    EXPECT_TRUE(ticker.tick());
    ASSERT_TRUE(spy.wait(5000));
}

TEST(StatusItemSlot, ReplacedOnlyWhenTheIconChanges) {
    StatusItemSlot::clearInstalled();
    QList<QString> created;
    StatusItemSlot slot([&](const QString& icon) {
        created.append(icon);
        return new QObject;
    });
    struct Step {
        const char* icon;
        bool replaced;
    };
    const std::vector<Step> steps = {
        {"qzb.pdf", true},  {"qzb.pdf", false}, {"qza.pdf", true},
        {"qza.pdf", false}, {"qzb.pdf", true},
    };
    for (const Step& step : steps) {
        QPointer<QObject> before = slot.item();
        EXPECT_EQ(slot.setmenuitembar(QString::fromUtf8(step.icon)), step.replaced);
        EXPECT_EQ(StatusItemSlot::installed(), slot.item());
        // A replaced item went away; a kept one is the very same.
        EXPECT_EQ(before.data(), step.replaced ? nullptr : slot.item());
    }
    EXPECT_EQ(created, (QList<QString>{"qzb.pdf", "qza.pdf", "qzb.pdf"}));

    // A second owner's item replaces the first one's in the one process-wide place.
    StatusItemSlot other([](const QString&) { return new QObject; });
    QPointer<QObject> first = slot.item();
    EXPECT_TRUE(other.setmenuitembar(QStringLiteral("qzb.pdf")));
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(StatusItemSlot::installed(), other.item());
    StatusItemSlot::clearInstalled();
}

}  // namespace
}  // namespace qz
