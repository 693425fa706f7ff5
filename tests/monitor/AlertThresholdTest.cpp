#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "monitor/AlertThreshold.h"
#include "platform/UserDefaults.h"

namespace qz {
namespace {

class AlertThresholdTest : public testing::Test {
  protected:
    QString storePath() const { return dir_.filePath(QStringLiteral("defaults.conf")); }
    QTemporaryDir dir_;
};

TEST_F(AlertThresholdTest, PopUpIndexToThreshold) {
    const std::vector<std::pair<int, quint64>> cases = {
        {-1, 300000000}, {0, 300000000},  {1, 500000000}, {2, 750000000},
        {3, 1000000000}, {4, 2000000000}, {5, 300000000}, {1000, 300000000},
    };
    for (const auto& [index, bytes] : cases) {
        SCOPED_TRACE(index);
        UserDefaults defaults(storePath());
        AlertThreshold threshold(defaults);
        EXPECT_EQ(threshold.chancepesoalert(index), bytes);
        // Stored and written to disk: a fresh store on the same file reads it back.
        UserDefaults reread(storePath());
        EXPECT_EQ(AlertThreshold(reread).value(), bytes);
    }
}

TEST_F(AlertThresholdTest, RestoreKeepsTheStoredValueAndSelectsByExactMatch) {
    struct Case {
        const char* name;
        QVariant stored;  // invalid: nothing stored
        quint64 threshold;
        int index;
    };
    const std::vector<Case> cases = {
        {"first start persists the default", QVariant(), 300000000, 0},
        {"a value the pop-up cannot show stays in force", QVariant::fromValue<quint64>(123), 123,
         0},
        {"2 GB", QVariant::fromValue<quint64>(2000000000), 2000000000, 4},
        {"1 GB", QVariant::fromValue<quint64>(1000000000), 1000000000, 3},
        {"750 MB", QVariant::fromValue<quint64>(750000000), 750000000, 2},
        {"500 MB", QVariant::fromValue<quint64>(500000000), 500000000, 1},
        {"one byte off 500 MB", QVariant::fromValue<quint64>(500000001), 500000001, 0},
        {"zero is a threshold too", QVariant::fromValue<quint64>(0), 0, 0},
        {"text that is no number falls back", QVariant(QStringLiteral("lots")), 300000000, 0},
        {"a negative number falls back", QVariant(QStringLiteral("-5")), 300000000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(storePath());
        {
            UserDefaults defaults(storePath());
            if (c.stored.isValid()) {
                defaults.setObject(c.stored, AlertThreshold::kKey);
                defaults.synchronize();
            }
        }
        UserDefaults defaults(storePath());
        AlertThreshold threshold(defaults);
        EXPECT_EQ(threshold.restore(), c.index);
        EXPECT_EQ(threshold.value(), c.threshold);
        UserDefaults reread(storePath());
        EXPECT_TRUE(AlertThreshold(reread).isStored());
        EXPECT_EQ(AlertThreshold(reread).value(), c.threshold);
    }
}

}  // namespace
}  // namespace qz
