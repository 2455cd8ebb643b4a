#include "forms/GaugeScale.h"

#include <gtest/gtest.h>

#include <cmath>

using qel::GaugeScale;

namespace {

GaugeScale makeScale(double min, double max, double major, double minor) {
    GaugeScale s;
    s.setRange(min, max);
    s.setTicks(major, minor);
    return s;
}

}  // namespace

TEST(GaugeScale, TicksCoverScalesWhoseEndsCarryRounding) {
    struct Case {
        double min, max, major, minor;
        size_t majors, minors;
        const char* firstLabel;
        const char* lastLabel;
    };
    const Case cases[] = {
        {0, 100, 10, 1, 11, 90, "0", "100"},
        // A scale built by repeated addition of 0.4 ends a hair away from -1.6.
        {-5.2, -5.2 + 0.4 + 0.4 + 0.4 + 0.4 + 0.4 + 0.4 + 0.4 + 0.4 + 0.4, 0.4, 0.04, 10, 81,
         "-5.2", "-1.6"},
        {0, 0.1 * 11, 0.1, 0.01, 12, 99, "0.0", "1.1"},
        {-40, 140, 20, 2, 10, 81, "-40", "140"},
        {0, 12, 1, 0.2, 13, 48, "0", "12"},
        {19, 30, 1, 0.1, 12, 99, "19", "30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " step " << c.major);
        const GaugeScale s = makeScale(c.min, c.max, c.major, c.minor);
        const auto majors = s.majorTicks();
        ASSERT_EQ(majors.size(), c.majors);
        EXPECT_EQ(s.minorTicks().size(), c.minors);
        EXPECT_EQ(s.label(majors.front()).toStdString(), c.firstLabel);
        EXPECT_EQ(s.label(majors.back()).toStdString(), c.lastLabel);
    }
}

TEST(GaugeScale, FiguresNeverReadMinusZero) {
    const GaugeScale s = makeScale(-1, 1, 0.1, 0);
    EXPECT_EQ(s.label(-1e-17), "0.0");
    EXPECT_EQ(s.label(-0.30000000000000004), "-0.3");
    EXPECT_EQ(makeScale(0, 1, 0.05, 0).label(0.35), "0.35");
}

TEST(GaugeScale, BadIntervalsGiveNoTicksInsteadOfEndlessOnes) {
    EXPECT_TRUE(makeScale(0, 100, 0, 0).majorTicks().empty());
    EXPECT_TRUE(makeScale(0, 100, -5, 0).majorTicks().empty());
    EXPECT_TRUE(makeScale(0, 100, 1e-9, 0).majorTicks().empty());
    EXPECT_TRUE(makeScale(100, 0, 10, 0).majorTicks().empty());
    EXPECT_TRUE(makeScale(0, NAN, 10, 0).majorTicks().empty());
    EXPECT_TRUE(makeScale(0, 100, 10, 0).minorTicks().empty());
}

TEST(GaugeScale, FractionPinsOutsideValuesAndSurvivesAnEmptySpan) {
    const GaugeScale s = makeScale(-20, 80, 20, 0);
    EXPECT_DOUBLE_EQ(s.fraction(30), 0.5);
    EXPECT_DOUBLE_EQ(s.fraction(500), 1.0);
    EXPECT_DOUBLE_EQ(s.fraction(-500), 0.0);
    EXPECT_DOUBLE_EQ(s.rawFraction(180), 2.0);
    EXPECT_DOUBLE_EQ(makeScale(5, 5, 1, 0).fraction(7), 0.0);
    EXPECT_DOUBLE_EQ(s.fraction(NAN), 0.0);
}

TEST(GaugeScale, BandsAreSetByIndexAndGapsStayHidden) {
    std::vector<qel::GaugeBand> bands;
    qel::setBandAt(bands, 2, 1, 2, Qt::red);
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_FALSE(bands[0].visible);
    EXPECT_TRUE(bands[2].visible);
    EXPECT_EQ(bands[2].color, QColor(Qt::red));
    qel::setBandAt(bands, -1, 1, 2, Qt::red);
    EXPECT_EQ(bands.size(), 3u);
}
