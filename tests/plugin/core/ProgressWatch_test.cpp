#include "core/ProgressWatch.h"
#include "support/GTestQt.h"

#include <gtest/gtest.h>

#include <vector>

namespace qel {
namespace {

// Feeds values one tick each; returns the tick (0-based) on which the upgrade ended, or -1.
int Feed(ProgressWatch& watch, const std::vector<int>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        if (watch.Tick(values[i])) return static_cast<int>(i);
    }
    return -1;
}

std::vector<int> Repeat(int value, int times) {
    return std::vector<int>(static_cast<size_t>(times), value);
}

TEST(ProgressWatchTest, SuccessfulRunEndsWithSuccessAndNormalPointer) {
    ProgressWatch watch;
    EXPECT_FALSE(watch.Tick(0));
    EXPECT_FALSE(watch.Tick(0));
    EXPECT_FALSE(watch.busyPointer());
    EXPECT_TRUE(watch.statusText().isEmpty());

    EXPECT_FALSE(watch.Tick(5));
    EXPECT_EQ(watch.statusText(), QStringLiteral("Uploading Image"));
    EXPECT_TRUE(watch.busyPointer());
    EXPECT_EQ(watch.bar(), 5);
    EXPECT_EQ(watch.percentText(), QStringLiteral("5 %"));

    EXPECT_FALSE(watch.Tick(50));
    EXPECT_EQ(watch.statusText(), QStringLiteral("Uploading Image"));
    EXPECT_EQ(watch.percentText(), QStringLiteral("50 %"));

    EXPECT_FALSE(watch.Tick(100));
    EXPECT_EQ(watch.statusText(), QStringLiteral("Configuring."));
    EXPECT_TRUE(watch.configuringLine());
    EXPECT_EQ(watch.bar(), 100);

    EXPECT_TRUE(watch.Tick(0));
    EXPECT_EQ(watch.outcome(), ProgressWatch::Outcome::Success);
    EXPECT_EQ(watch.statusText(), QStringLiteral("Success "));
    EXPECT_TRUE(watch.successPicture());
    EXPECT_TRUE(watch.statusVisible());
    EXPECT_FALSE(watch.configuringLine());
    EXPECT_FALSE(watch.busyPointer());
    EXPECT_EQ(watch.bar(), 100);
    EXPECT_EQ(watch.percentText(), QStringLiteral("100 %"));

    // Ended: later values change nothing.
    EXPECT_FALSE(watch.Tick(37));
    EXPECT_EQ(watch.statusText(), QStringLiteral("Success "));
    EXPECT_EQ(watch.bar(), 100);
}

TEST(ProgressWatchTest, SuccessFillsTheBarEvenWhenTheLastValuesWereMissed) {
    ProgressWatch watch;
    watch.Tick(37);
    EXPECT_EQ(watch.bar(), 37);
    EXPECT_TRUE(watch.Tick(0));
    EXPECT_EQ(watch.bar(), 100);
    EXPECT_EQ(watch.percentText(), QStringLiteral("100 %"));
}

TEST(ProgressWatchTest, StallLimits) {
    struct Row {
        const char* what;
        std::vector<int> values;
        int endsOnTick;  // -1: still running after the values
    };
    std::vector<int> uploadStall{1};
    for (int v : Repeat(1, 21))
        uploadStall.push_back(v);
    std::vector<int> nearlyStalled{1};
    for (int v : Repeat(1, 20))
        nearlyStalled.push_back(v);
    std::vector<int> configuring{40, 100};
    for (int v : Repeat(100, 120))
        configuring.push_back(v);
    std::vector<int> configuringStall = configuring;
    configuringStall.push_back(100);
    std::vector<int> movingOn{1};
    for (int i = 0; i < 5; ++i) {
        for (int v : Repeat(10 + i, 20))
            movingOn.push_back(v);
    }

    const Row rows[] = {
        {"one change then 21 unchanged ticks", uploadStall, 21},
        {"one change then 20 unchanged ticks", nearlyStalled, -1},
        {"nothing ever changes: 21 ticks of 0", Repeat(0, 21), 20},
        {"20 ticks of 0", Repeat(0, 20), -1},
        {"configuring for 120 unchanged ticks", configuring, -1},
        {"configuring for 121 unchanged ticks", configuringStall, 122},
        {"every change starts the count again", movingOn, -1},
    };
    for (const Row& row : rows) {
        ProgressWatch watch;
        EXPECT_EQ(Feed(watch, row.values), row.endsOnTick) << row.what;
        if (row.endsOnTick >= 0) {
            EXPECT_EQ(watch.outcome(), ProgressWatch::Outcome::TimedOut) << row.what;
            EXPECT_EQ(watch.statusText(), QStringLiteral("Timed Out")) << row.what;
            EXPECT_TRUE(watch.statusVisible()) << row.what;
            EXPECT_FALSE(watch.configuringLine()) << row.what;
            EXPECT_FALSE(watch.busyPointer()) << row.what;
            EXPECT_FALSE(watch.successPicture()) << row.what;
        } else {
            EXPECT_FALSE(watch.ended()) << row.what;
        }
    }
}

TEST(ProgressWatchTest, ConfiguringTextBlinksEveryTwoTicks) {
    ProgressWatch watch;
    watch.Tick(60);
    watch.Tick(100);  // unchanged count 0: hidden
    std::vector<bool> seen{watch.statusVisible()};
    for (int i = 0; i < 99; ++i) {
        watch.Tick(100);
        seen.push_back(watch.statusVisible());
        EXPECT_EQ(watch.statusText(), QStringLiteral("Configuring."));
    }
    for (size_t count = 0; count < seen.size(); ++count) {
        EXPECT_EQ(seen[count], (count / 2) % 2 == 1) << "unchanged count " << count;
    }
    EXPECT_FALSE(watch.ended());
    EXPECT_TRUE(watch.busyPointer());
}

TEST(ProgressWatchTest, UnitErrorEndsTheRunWithTheBarAtMost100) {
    ProgressWatch watch;
    watch.Tick(37);
    EXPECT_TRUE(watch.Tick(111));
    EXPECT_EQ(watch.outcome(), ProgressWatch::Outcome::Error);
    EXPECT_EQ(watch.statusText(), QStringLiteral("Error 11"));
    EXPECT_EQ(watch.bar(), 100);
    EXPECT_EQ(watch.percentText(), QStringLiteral("100 %"));
    EXPECT_FALSE(watch.successPicture());
    EXPECT_FALSE(watch.busyPointer());

    // Straight from waiting, and with the largest error number a unit may send.
    ProgressWatch fromStart;
    EXPECT_TRUE(fromStart.Tick(355));
    EXPECT_EQ(fromStart.statusText(), QStringLiteral("Error 255"));
    EXPECT_EQ(fromStart.bar(), 100);
}

TEST(ProgressWatchTest, BarNeverLeaves0To100) {
    ProgressWatch watch;
    for (int v : {1, 99, 100, 101, 5000, -3, 2147483647}) {
        watch.Tick(v);
        EXPECT_GE(watch.bar(), 0) << v;
        EXPECT_LE(watch.bar(), 100) << v;
    }
}

}  // namespace
}  // namespace qel
