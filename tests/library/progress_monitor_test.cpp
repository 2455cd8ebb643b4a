#include "progress_monitor.h"

#include <gtest/gtest.h>

namespace qelio {
namespace {

using std::chrono::milliseconds;

class ProgressMonitorTest : public ::testing::Test {
  protected:
    // Moves the test's time on and returns it.
    Clock::TimePoint After(milliseconds step) { return now_ += step; }

    Clock::TimePoint now_{};
    ProgressMonitor monitor_;
};

TEST_F(ProgressMonitorTest, IdleBeforeAnyRun) {
    EXPECT_EQ(monitor_.Get(now_), 0);
    EXPECT_FALSE(monitor_.Running());
    EXPECT_EQ(monitor_.Get(After(milliseconds(5000))), 0);
}

TEST_F(ProgressMonitorTest, RunStartsAtOneAndNeverExpiresWhileInProgress) {
    monitor_.Start(now_);
    EXPECT_TRUE(monitor_.Running());
    EXPECT_EQ(monitor_.Get(After(milliseconds(10))), 1);
    monitor_.Set(40, After(milliseconds(10)));
    EXPECT_EQ(monitor_.Get(After(milliseconds(60'000))), 40) << "no polls for a minute";
    monitor_.Set(100, now_);
    EXPECT_EQ(monitor_.Get(After(milliseconds(30'000))), 100);
}

// The outcome of a finished run stays while it is polled at least once a second and
// goes one second after the last call; the table covers success and failure.
TEST_F(ProgressMonitorTest, OutcomeExpiresOneSecondAfterTheLastCall) {
    for (int32_t outcome : {0, -3, -8, -100}) {
        SCOPED_TRACE(outcome);
        monitor_.Start(now_);
        monitor_.Set(100, After(milliseconds(100)));
        monitor_.Finish(outcome, After(milliseconds(100)));
        EXPECT_FALSE(monitor_.Running());
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(monitor_.Get(After(milliseconds(999))), outcome);
        EXPECT_EQ(monitor_.Get(After(milliseconds(1000))), 0);
        EXPECT_EQ(monitor_.Get(After(milliseconds(1))), 0) << "an ended monitor stays ended";
    }
}

TEST_F(ProgressMonitorTest, FinishCountsAsTheLastCall) {
    monitor_.Start(now_);
    monitor_.Finish(-7, After(milliseconds(5000)));
    EXPECT_EQ(monitor_.Get(After(milliseconds(999))), -7);
    monitor_.Finish(-7, After(milliseconds(0)));
    EXPECT_EQ(monitor_.Get(After(milliseconds(1000))), 0);
}

TEST_F(ProgressMonitorTest, NewRunReplacesAFinishedOne) {
    monitor_.Start(now_);
    monitor_.Finish(-8, After(milliseconds(10)));
    monitor_.Start(After(milliseconds(10)));
    EXPECT_TRUE(monitor_.Running());
    EXPECT_EQ(monitor_.Get(After(milliseconds(5000))), 1);
}

TEST_F(ProgressMonitorTest, AbandonedRunLeavesTheMonitorIdle) {
    monitor_.Start(now_);
    monitor_.Abandon();
    EXPECT_FALSE(monitor_.Running());
    EXPECT_EQ(monitor_.Get(now_), 0);
}

}  // namespace
}  // namespace qelio
