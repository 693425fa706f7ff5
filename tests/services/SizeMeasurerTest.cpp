#include <gtest/gtest.h>

#include <QSemaphore>
#include <QSignalSpy>

#include "services/SizeMeasurer.h"

namespace qz {
namespace {

TEST(SizeMeasurerTest, RunsOneMeasurementAtATimeAndReportsItsFigure) {
    SizeMeasurer measurer;
    QSignalSpy measured(&measurer, &SizeMeasurer::measured);
    QSemaphore release;
    ASSERT_TRUE(measurer.start([&release] {
        release.acquire();
        return quint64(42);
    }));
    // The main thread is free while the walk runs; a second request is turned away.
    EXPECT_TRUE(measurer.isRunning());
    EXPECT_FALSE(measurer.start([] { return quint64(7); }));
    release.release();
    ASSERT_TRUE(measured.wait(5000));
    ASSERT_EQ(measured.size(), 1);
    EXPECT_EQ(measured.first().first().toULongLong(), 42u);
    EXPECT_FALSE(measurer.isRunning());
    EXPECT_TRUE(measurer.start([] { return quint64(7); }));
    ASSERT_TRUE(measured.wait(5000));
    EXPECT_EQ(measured.last().first().toULongLong(), 7u);
}

}  // namespace
}  // namespace qz
