#include "forms/GaugeScale.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace qel {

namespace {

// Scales accumulate their ends by repeated addition; a tick that misses the end by
// rounding alone still belongs on the scale.
double tolerance(double span) {
    return std::abs(span) * 1e-9 + 1e-12;
}

int decimalsFor(double step) {
    if (!(step > 0.0) || !std::isfinite(step)) return 0;
    for (int d = 0; d <= 6; ++d) {
        const double scaled = step * std::pow(10.0, d);
        if (std::abs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled)) return d;
    }
    return 6;
}

}  // namespace

void GaugeScale::setRange(double min, double max) {
    min_ = min;
    max_ = max;
}

void GaugeScale::setTicks(double major, double minor) {
    major_ = major;
    minor_ = minor;
}

double GaugeScale::rawFraction(double value) const {
    const double span = max_ - min_;
    if (!(std::abs(span) > 0.0) || !std::isfinite(span) || !std::isfinite(value)) return 0.0;
    return (value - min_) / span;
}

double GaugeScale::fraction(double value) const {
    return std::clamp(rawFraction(value), 0.0, 1.0);
}

std::vector<double> GaugeScale::ticksEvery(double start, double end, double step) {
    std::vector<double> ticks;
    if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(start) || !std::isfinite(end) ||
        end < start)
        return ticks;
    if ((end - start) / step > kMaxTicks) return ticks;
    const double slack = tolerance(end - start) + step * 1e-9;
    // Each tick is placed from the start by its own multiple so that rounding does not
    // pile up along a long scale.
    for (int i = 0;; ++i) {
        const double t = start + step * i;
        if (t > end + slack) break;
        ticks.push_back(t);
    }
    return ticks;
}

std::vector<double> GaugeScale::majorTicks() const {
    return ticksEvery(min_, max_, major_);
}

std::vector<double> GaugeScale::minorTicks() const {
    std::vector<double> minors = ticksEvery(min_, max_, minor_);
    const std::vector<double> majors = majorTicks();
    const double near = std::min(minor_, major_ > 0.0 ? major_ : minor_) * 1e-3;
    std::erase_if(minors, [&](double t) {
        return std::any_of(majors.begin(), majors.end(),
                           [&](double m) { return std::abs(m - t) <= near; });
    });
    return minors;
}

QString GaugeScale::label(double value) const {
    const int decimals = decimalsFor(major_);
    // A figure that rounds to zero must not read "-0".
    const double unit = std::pow(10.0, -decimals);
    if (std::abs(value) < unit / 2) value = 0.0;
    return QString::number(value, 'f', decimals);
}

void setBandAt(std::vector<GaugeBand>& bands, int index, double from, double to,
               const QColor& color) {
    if (index < 0 || index > 255) {
        qWarning("Gauge band %d is outside 0..255 and was not set", index);
        return;
    }
    if (static_cast<size_t>(index) >= bands.size()) bands.resize(index + 1);
    bands[index] = GaugeBand{from, to, color, true};
}

}  // namespace qel
