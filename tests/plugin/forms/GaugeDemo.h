// A small view that shows each gauge the way the device tools use it: a voltage dial
// with five bands, a thermometer in degrees Celsius, and an analogue clock face.
#pragma once

#include "forms/AngularGauge.h"
#include "forms/LinearGauge.h"

#include <QDialog>
#include <QHBoxLayout>

class GaugeDemo : public QDialog {
  public:
    explicit GaugeDemo(QWidget* parent = nullptr);

    qel::AngularGauge* dial;
    qel::LinearGauge* thermometer;
    qel::AngularGauge* clock;
};

inline GaugeDemo::GaugeDemo(QWidget* parent)
    : QDialog(parent),
      dial(new qel::AngularGauge(this)),
      thermometer(new qel::LinearGauge(this)),
      clock(new qel::AngularGauge(this)) {
    setObjectName("Gauge_Demo");
    setWindowTitle("Gauges");
    dial->setObjectName("GaugeDial");
    thermometer->setObjectName("GaugeTemp");
    clock->setObjectName("Gauge_Clock");

    // A supply voltage: usual range 2..28 V, normal 11..14 V, scale 0..30 V.
    dial->setScale(0, 30);
    dial->setTicks(5, 0.5);
    dial->setBand(0, 11, 14, QColor(0x2e, 0xa0, 0x43));
    dial->setBand(1, 2, 11, QColor(0xf0, 0xb4, 0x29));
    dial->setBand(2, 14, 28, QColor(0xf0, 0xb4, 0x29));
    dial->setBand(3, 0, 2, QColor(0xd0, 0x30, 0x30));
    dial->setBand(4, 28, 30, QColor(0xd0, 0x30, 0x30));
    dial->setCaption(0, "Volts");
    dial->setCaption(1, "Supply");
    dial->setNeedle(0, 12.6);

    // A temperature: range -10..80, normal 10..45, on a scale of -20..80.
    thermometer->setCaption("°C");
    thermometer->setScale(-20, 80);
    thermometer->setTicks(20, 4);
    thermometer->setBand(0, -20, 80, QColor(0xe4, 0xe4, 0xe4));
    thermometer->setBand(1, -10, 10, QColor(0x5a, 0x8f, 0xd8));
    thermometer->setBand(2, 10, 45, QColor(0x2e, 0xa0, 0x43));
    thermometer->setBand(3, 45, 80, QColor(0xf0, 0xb4, 0x29));
    thermometer->setValue(23.5);
    thermometer->setValueColor(Qt::black);

    // 14:42:17 on a chamfered face.
    clock->setSweep(90, -360);
    clock->setScale(0, 12);
    clock->setTicks(1, 0.2);
    clock->setOutline(
        QString("0,100, 100,0, 900,0, 1000,100, 1000,900, 900,1000, 100,1000, 0,900"));
    clock->setNeedleCount(3);
    clock->setNeedleStyle(0, 0.5, 9, QColor(0x20, 0x20, 0x30));
    clock->setNeedleStyle(1, 0.78, 6, QColor(0x20, 0x20, 0x30));
    clock->setNeedleStyle(2, 0.88, 2, QColor(0xc0, 0x10, 0x10));
    clock->setNeedleRange(1, 0, 60);
    clock->setNeedleRange(2, 0, 60);
    clock->setNeedle(0, (14 * 60 + 42) % 720 / 60.0);
    clock->setNeedle(1, 42);
    clock->setNeedle(2, 17);
    clock->setCaption(1, "PM");

    auto* row = new QHBoxLayout(this);
    dial->setFixedSize(200, 200);
    thermometer->setFixedSize(110, 240);
    clock->setFixedSize(200, 200);
    row->addWidget(dial);
    row->addWidget(thermometer);
    row->addWidget(clock);
}
