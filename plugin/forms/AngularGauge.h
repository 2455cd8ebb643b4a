// A round dial: a scale swept over an arc (or the full circle), coloured bands along its
// rim, major and minor ticks with figures, one or more needles, two captions, and an
// optional outline that gives the face another shape than a circle.
#pragma once

#include "forms/GaugeScale.h"

#include <QPolygonF>
#include <QWidget>

#include <vector>

namespace qel {

class AngularGauge : public QWidget {
    Q_OBJECT
  public:
    explicit AngularGauge(QWidget* parent = nullptr);

    void setScale(double min, double max);
    void setTicks(double major, double minor);
    const GaugeScale& scale() const { return scale_; }

    // Where the scale starts and how far it turns, in degrees: 0 is three o'clock and
    // positive turns anticlockwise, so the default 225 / -270 runs clockwise from the
    // lower left to the lower right. A turn of 360 closes the scale on itself, as on a
    // clock face, where the end's figure is shown at the shared point.
    void setSweep(double startDegrees, double spanDegrees);
    double sweepStart() const { return sweepStart_; }
    double sweepSpan() const { return sweepSpan_; }

    void setBand(int index, double from, double to, const QColor& color);
    void clearBands();
    const std::vector<GaugeBand>& bands() const { return bands_; }

    // Needles are numbered from 0. Each reads the gauge's scale unless it is given its
    // own range (a clock's minute needle turns once over 0..60 on a face marked 0..12).
    void setNeedleCount(int count);
    int needleCount() const { return static_cast<int>(needles_.size()); }
    void setNeedle(int index, double value);
    double needle(int index) const;
    void setNeedleRange(int index, double min, double max);
    // Length as a share of the face's radius, width in pixels at a 200-pixel dial.
    void setNeedleStyle(int index, double length, double width, const QColor& color);

    // Caption 0 sits above the centre, caption 1 below it.
    void setCaption(int index, const QString& text);
    QString caption(int index) const;

    // The face's outline as points in a 0..1000 square, for example
    // "0,100, 100,0, 900,0, 1000,100, 1000,900, 900,1000, 100,1000, 0,900". An empty
    // outline gives a round face. Text that is not a list of coordinate pairs is refused
    // and leaves the outline as it was.
    bool setOutline(const QString& points);
    void setOutline(const QPolygonF& points);
    const QPolygonF& outline() const { return outline_; }

    QSize sizeHint() const override { return {200, 200}; }
    QSize minimumSizeHint() const override { return {80, 80}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Needle {
        double value = 0.0;
        bool ownRange = false;
        double min = 0.0;
        double max = 0.0;
        double length = 0.8;
        double width = 4.0;
        QColor color{0xb0, 0x10, 0x10};
    };

    bool closedDial() const;
    // The angle in degrees at which a scale fraction (0..1) lies.
    double angleAt(double fraction) const;
    double needleFraction(const Needle& n) const;
    Needle* needleAt(int index);

    GaugeScale scale_;
    double sweepStart_ = 225.0;
    double sweepSpan_ = -270.0;
    std::vector<GaugeBand> bands_;
    std::vector<Needle> needles_;
    QString captions_[2];
    QPolygonF outline_;
};

}  // namespace qel
