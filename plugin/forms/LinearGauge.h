// An upright thermometer: a tube with a bulb, a scale of major and minor ticks with
// figures beside it, coloured bands along the tube, a value column rising from the foot
// of the scale to the present value, and a pointer at that value.
#pragma once

#include "forms/GaugeScale.h"

#include <QWidget>

#include <vector>

namespace qel {

class LinearGauge : public QWidget {
    Q_OBJECT
  public:
    explicit LinearGauge(QWidget* parent = nullptr);

    void setScale(double min, double max);
    void setTicks(double major, double minor);
    const GaugeScale& scale() const { return scale_; }

    void setBand(int index, double from, double to, const QColor& color);
    void clearBands();
    const std::vector<GaugeBand>& bands() const { return bands_; }

    // The value band runs from the foot of the scale to the value; the pointer marks it.
    void setValue(double value);
    double value() const { return value_; }
    void setValueColor(const QColor& color);
    QColor valueColor() const { return valueColor_; }

    void setCaption(const QString& text);
    QString caption() const { return caption_; }

    QSize sizeHint() const override { return {110, 260}; }
    QSize minimumSizeHint() const override { return {70, 120}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    GaugeScale scale_;
    std::vector<GaugeBand> bands_;
    double value_ = 0.0;
    QColor valueColor_ = Qt::black;
    QString caption_;
};

}  // namespace qel
