// Shared pieces of the window-side monitoring tests: scaled time, a private settings store,
// sparse files of any size, and waiting on the event loop.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

#include "core/settings/TimeScale.h"
#include "core/settings/UserDefaults.h"
#include "fixtures/FixtureHome.h"

namespace qz::test {

class ScaledTime : public testing::Test {
  protected:
    void SetUp() override { TimeScale::setFactor(0.01); }
    void TearDown() override { TimeScale::setFactor(1.0); }

    // A settings store of this test's own.
    UserDefaults& defaults() {
        if (!defaults_) {
            defaults_ = std::make_unique<UserDefaults>(settingsDir_.filePath("quenzel.conf"));
        }
        return *defaults_;
    }

  private:
    QTemporaryDir settingsDir_;
    std::unique_ptr<UserDefaults> defaults_;
};

// A file whose size attribute is `size` without taking the space (a hole).
inline void sparseFile(FixtureHome& home, const QString& platformTemplate, qint64 size) {
    const QString path = home.local(platformTemplate);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_TRUE(file.resize(size));
}

inline bool waitFor(const std::function<bool()>& condition, int timeoutMs = 5000) {
    return QTest::qWaitFor(condition, timeoutMs);
}

}  // namespace qz::test
