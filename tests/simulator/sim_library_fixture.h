// A library bound to the "sim" driver on a rig of the test's choosing, with a test clock.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "clock.h"
#include "drivers/sim_driver.h"
#include "qelio32/qelio32.h"
#include "rdm_walk.h"
#include "test_clock.h"
#include "testing.h"

namespace simtest {

inline std::string LastError() {
    char text[256];
    int32_t n = QIO_LastError(text, sizeof text);
    return std::string(text, std::max(0, n));
}

class SimLibrary : public ::testing::Test {
  protected:
    void SetUp() override {
        qelio::testing::ResetLibraryState();
        auto clock = std::make_unique<qeltest::TestClock>();
        clock_ = clock.get();
        qelio::InstallClock(std::move(clock));
    }
    void TearDown() override {
        QIO_FreePort();
        qelio::InstallDriver(nullptr);
        qelio::InstallClock(nullptr);
        qelio::testing::ResetLibraryState();
    }
    // Binds a SimDriver on the rig described by `rigText`.
    void UseRig(const std::string& rigText) {
        std::string error;
        auto rig = qelsim::Rig::Parse(rigText, &error);
        ASSERT_TRUE(rig) << error;
        auto driver = std::make_unique<qelio::SimDriver>(std::move(*rig));
        driver_ = driver.get();
        qelio::InstallDriver(std::move(driver));
    }

    qeltest::TestClock* clock_ = nullptr;
    qelio::SimDriver* driver_ = nullptr;
};

}  // namespace simtest
