// A test whose cares run at once: the care's waits shortened, and no browser seen running.
#pragma once

#include <gtest/gtest.h>

#include "core/browsers/RunningApplications.h"
#include "core/settings/TimeScale.h"

namespace qz::test {

class QuickCareTest : public testing::Test {
  protected:
    void SetUp() override {
        TimeScale::setFactor(0.01);
        RunningApplications::setProbe([](const QString&) { return false; });
    }
    void TearDown() override {
        TimeScale::setFactor(1.0);
        RunningApplications::setProbe({});
    }
};

}  // namespace qz::test
