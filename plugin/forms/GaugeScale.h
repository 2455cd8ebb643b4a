// The numeric side of a gauge: the span it shows, where its ticks fall and how their
// figures read. Both gauge widgets draw from one of these.
#pragma once

#include <QColor>
#include <QString>

#include <vector>

namespace qel {

// A coloured stretch of a gauge's scale.
struct GaugeBand {
    double from = 0.0;
    double to = 0.0;
    QColor color;
    bool visible = false;
};

class GaugeScale {
  public:
    // More ticks than this cannot be told apart at any size a dialog uses; a badly chosen
    // interval must not turn a repaint into a long loop.
    static constexpr int kMaxTicks = 1000;

    void setRange(double min, double max);
    void setTicks(double major, double minor);

    double min() const { return min_; }
    double max() const { return max_; }
    double major() const { return major_; }
    double minor() const { return minor_; }

    // Where a value lies along the scale: 0 at the start, 1 at the end. Values outside the
    // scale are pinned to its ends, as the needle of a real meter would be.
    double fraction(double value) const;
    // The same without pinning, for dials whose scale closes on itself.
    double rawFraction(double value) const;

    std::vector<double> majorTicks() const;
    // The minor ticks that do not fall on a major tick.
    std::vector<double> minorTicks() const;

    // A tick's figure, with as many decimals as the major interval needs.
    QString label(double value) const;

  private:
    static std::vector<double> ticksEvery(double start, double end, double step);

    double min_ = 0.0;
    double max_ = 100.0;
    double major_ = 10.0;
    double minor_ = 0.0;
};

// Sets band `index`, adding hidden bands before it when the list is shorter.
void setBandAt(std::vector<GaugeBand>& bands, int index, double from, double to,
               const QColor& color);

}  // namespace qel
