#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/monitor/AlertThreshold.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"

namespace qz {
namespace {

class AlertThresholdTest : public testing::Test {
  protected:
    QString storePath() const { return dir_.filePath(QStringLiteral("defaults.conf")); }
    // What a fresh store on the same file reads back: the value reached the disk.
    quint64 reread() const {
        UserDefaults defaults(storePath());
        EXPECT_TRUE(AlertThreshold(defaults).isStored());
        return AlertThreshold(defaults).value();
    }
    QTemporaryDir dir_;
};

TEST_F(AlertThresholdTest, PopUpIndexToThreshold) {
    const std::vector<std::pair<int, quint64>> cases = {
        {-1, 300000000}, {0, 300000000}, {1, 500000000}, {4, 2000000000}, {5, 300000000},
    };
    for (const auto& [index, bytes] : cases) {
        SCOPED_TRACE(index);
        UserDefaults defaults(storePath());
        EXPECT_EQ(AlertThreshold(defaults).chancepesoalert(index), bytes);
        EXPECT_EQ(reread(), bytes);
    }
}

TEST_F(AlertThresholdTest, RestoreKeepsTheStoredValueAndSelectsByExactMatch) {
    struct Case {
        const char* name;
        QVariant stored;  // invalid: nothing stored
        quint64 threshold;
        int index;
    };
    const auto bytes = [](quint64 value) { return QVariant::fromValue(value); };
    // clang-format off
    const std::vector<Case> cases = {
        {"first start persists the default", QVariant(), 300000000, 0},
        {"a value the pop-up cannot show stays in force", bytes(123), 123, 0},
        {"2 GB", bytes(2000000000), 2000000000, 4},
        {"one byte off 500 MB", bytes(500000001), 500000001, 0},
        {"text that is no number falls back", QVariant(QStringLiteral("lots")), 300000000, 0},
        {"a negative number falls back", QVariant(QStringLiteral("-5")), 300000000, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(storePath());
        if (c.stored.isValid()) {
            UserDefaults written(storePath());
            written.setObject(c.stored, Settings::Key::alertThreshold);
            written.synchronize();
        }
        UserDefaults defaults(storePath());
        AlertThreshold threshold(defaults);
        EXPECT_EQ(threshold.restore(), c.index);
        EXPECT_EQ(threshold.value(), c.threshold);
        EXPECT_EQ(reread(), c.threshold);
    }
}

}  // namespace
}  // namespace qz
