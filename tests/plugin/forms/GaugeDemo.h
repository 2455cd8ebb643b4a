// A small view that shows each gauge the way the device tools use it: a voltage dial
// with five bands, a thermometer in degrees Celsius, and an analogue clock face.
#pragma once

#include "forms/AngularGauge.h"
#include "forms/LinearGauge.h"

#include <QDialog>

class GaugeDemo : public QDialog {
  public:
    explicit GaugeDemo(QWidget* parent = nullptr);

    qel::AngularGauge* dial;
    qel::LinearGauge* thermometer;
    qel::AngularGauge* clock;
};
