#include "forms/AngularGauge.h"
#include "forms/GaugeDemo.h"
#include "forms/LinearGauge.h"
#include "support/ViewSession.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using qel::AngularGauge;
using qel::LinearGauge;

namespace {

// The colour at a distance from the dial's centre in a direction (degrees, 0 = three
// o'clock, anticlockwise).
QColor dialPixel(const QImage& image, double radius, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    const QPointF c(image.width() / 2.0, image.height() / 2.0);
    return image.pixelColor(qRound(c.x() + radius * std::cos(a)),
                            qRound(c.y() - radius * std::sin(a)));
}

bool near(const QColor& a, const QColor& b, int tolerance = 40) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

const QColor kNeedle(0, 0, 255);

AngularGauge* plainDial(AngularGauge& g) {
    g.resize(200, 200);
    g.setScale(0, 100);
    g.setTicks(10, 0);
    g.setNeedleStyle(0, 0.8, 14, kNeedle);
    return &g;
}

}  // namespace

TEST(AngularGauge, NeedlePointsAlongTheSweepAndIsPinnedAtItsEnds) {
    AngularGauge g;
    plainDial(g);
    struct Case {
        double value;
        double expectedDegrees;
    };
    // Default sweep: 225 degrees (lower left) clockwise through 270 to -45 (lower right).
    const Case cases[] = {{0, 225}, {50, 90}, {100, -45}, {250, -45}, {-30, 225}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        g.setNeedle(0, c.value);
        const QImage img = g.grab().toImage();
        EXPECT_TRUE(near(dialPixel(img, 35, c.expectedDegrees), kNeedle));
        // The opposite side of the dial shows no needle.
        EXPECT_FALSE(near(dialPixel(img, 35, c.expectedDegrees + 180), kNeedle));
    }
}

TEST(AngularGauge, ClosedDialWrapsAndNeedlesKeepTheirOwnRange) {
    AngularGauge g;
    plainDial(g);
    g.setSweep(90, -360);
    g.setScale(0, 12);
    g.setNeedleCount(2);
    g.setNeedleStyle(1, 0.8, 14, QColor(255, 0, 0));
    g.setNeedleRange(1, 0, 60);
    g.setNeedle(0, 12);  // twelve o'clock is the start of the face
    g.setNeedle(1, 15);  // a quarter of the minute range: three o'clock
    QImage img = g.grab().toImage();
    EXPECT_TRUE(near(dialPixel(img, 35, 90), kNeedle));
    EXPECT_TRUE(near(dialPixel(img, 35, 0), QColor(255, 0, 0)));

    g.setNeedle(0, 1.5 + 12);  // beyond one turn
    img = g.grab().toImage();
    EXPECT_TRUE(near(dialPixel(img, 35, 90 - 45), kNeedle));
    EXPECT_DOUBLE_EQ(g.needle(0), 13.5);
    EXPECT_DOUBLE_EQ(g.needle(7), 0.0);
}

TEST(AngularGauge, BandsColourTheirStretchOfTheRim) {
    AngularGauge g;
    plainDial(g);
    g.setNeedle(0, 100);
    g.setBand(0, 0, 50, QColor(0, 200, 0));
    const double bandRadius = 99 * 0.92 * (1 - 0.045);
    QImage img = g.grab().toImage();
    EXPECT_TRUE(near(dialPixel(img, bandRadius, 225 - 270 * 0.25), QColor(0, 200, 0)));
    EXPECT_FALSE(near(dialPixel(img, bandRadius, 225 - 270 * 0.75), QColor(0, 200, 0)));
    g.clearBands();
    img = g.grab().toImage();
    EXPECT_FALSE(near(dialPixel(img, bandRadius, 225 - 270 * 0.25), QColor(0, 200, 0)));
}

TEST(AngularGauge, OutlineShapesTheFaceAndBadTextIsRefused) {
    AngularGauge g;
    plainDial(g);
    const QColor background = g.grab().toImage().pixelColor(8, 8);
    ASSERT_TRUE(g.setOutline(QString("0,0, 1000,0, 1000,1000, 0,1000")));
    EXPECT_EQ(g.outline().size(), 4);
    EXPECT_NE(g.grab().toImage().pixelColor(8, 8), background);

    EXPECT_FALSE(g.setOutline(QString("0,0, 1000")));
    EXPECT_FALSE(g.setOutline(QString("0,0, x,7")));
    EXPECT_EQ(g.outline().size(), 4);
    ASSERT_TRUE(g.setOutline(QString()));
    EXPECT_EQ(g.grab().toImage().pixelColor(8, 8), background);
}

TEST(AngularGauge, CaptionsAndNeedlesOutsideTheirRangeAreIgnored) {
    AngularGauge g;
    g.setCaption(0, "Volts");
    g.setCaption(1, "Supply");
    g.setCaption(2, "nowhere");
    EXPECT_EQ(g.caption(0), "Volts");
    EXPECT_EQ(g.caption(1), "Supply");
    EXPECT_EQ(g.caption(2), "");
    g.setNeedle(3, 5);
    g.setNeedleCount(0);
    g.setNeedle(0, 5);
    EXPECT_EQ(g.needleCount(), 0);
    g.resize(120, 120);
    EXPECT_FALSE(g.grab().toImage().isNull());
}

TEST(LinearGauge, ValueColumnRisesToTheValueInItsColour) {
    LinearGauge g;
    g.resize(110, 260);
    g.setScale(0, 100);
    g.setTicks(20, 5);
    g.setValueColor(QColor(220, 0, 0));
    const int tubeX = qRound(110 * 0.38);
    auto columnAt = [&](double fractionOfHeight) {
        return g.grab().toImage().pixelColor(tubeX, qRound(260 * fractionOfHeight));
    };
    g.setValue(50);
    EXPECT_TRUE(near(columnAt(0.70), QColor(220, 0, 0)));   // below the value
    EXPECT_FALSE(near(columnAt(0.25), QColor(220, 0, 0)));  // above it
    g.setValue(1000);                                       // pinned at the top of the scale
    EXPECT_TRUE(near(columnAt(0.25), QColor(220, 0, 0)));
    g.setValueColor(QColor(0, 0, 220));
    EXPECT_TRUE(near(columnAt(0.25), QColor(0, 0, 220)));
    EXPECT_DOUBLE_EQ(g.value(), 1000);
}

TEST(LinearGauge, BandsStandBesideTheTube) {
    LinearGauge g;
    g.resize(110, 260);
    g.setScale(0, 100);
    g.setBand(1, 50, 100, QColor(0, 180, 0));
    ASSERT_EQ(g.bands().size(), 2u);
    const QImage img = g.grab().toImage();
    // The strip lies just left of the tube; its upper half is the band.
    const int x = qRound(110 * 0.38 - 14.3 / 2 - 3 - 3);
    EXPECT_TRUE(near(img.pixelColor(x, 60), QColor(0, 180, 0)));
    EXPECT_FALSE(near(img.pixelColor(x, 190), QColor(0, 180, 0)));
}

TEST(GaugeDemo, EachGaugeIsDrawnReadably) {
    GaugeDemo demo;
    demo.adjustSize();
    const QString path = qel::test::SaveShot(demo, "forms", "gauge_demo");
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(demo.clock->needleCount(), 3);
    EXPECT_DOUBLE_EQ(demo.clock->needle(0), 2.7);
    EXPECT_EQ(demo.clock->outline().size(), 8);
    EXPECT_FALSE(qel::test::SaveShot(*demo.dial, "forms", "gauge_dial").isEmpty());
    EXPECT_FALSE(qel::test::SaveShot(*demo.thermometer, "forms", "gauge_thermometer").isEmpty());
    EXPECT_FALSE(qel::test::SaveShot(*demo.clock, "forms", "gauge_clock").isEmpty());
}
