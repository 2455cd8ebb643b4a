#include "forms/AngularGauge.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qel {

namespace {

QPointF polar(const QPointF& centre, double radius, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    return {centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a)};
}

const QColor kInk(0x20, 0x20, 0x28);

}  // namespace

AngularGauge::AngularGauge(QWidget* parent) : QWidget(parent) {
    needles_.resize(1);
    setMinimumSize(minimumSizeHint());
}

void AngularGauge::setScale(double min, double max) {
    scale_.setRange(min, max);
    update();
}

void AngularGauge::setTicks(double major, double minor) {
    scale_.setTicks(major, minor);
    update();
}

void AngularGauge::setSweep(double startDegrees, double spanDegrees) {
    sweepStart_ = startDegrees;
    sweepSpan_ = std::clamp(spanDegrees, -360.0, 360.0);
    update();
}

void AngularGauge::setBand(int index, double from, double to, const QColor& color) {
    setBandAt(bands_, index, from, to, color);
    update();
}

void AngularGauge::clearBands() {
    bands_.clear();
    update();
}

void AngularGauge::setNeedleCount(int count) {
    needles_.resize(std::clamp(count, 0, 16));
    update();
}

AngularGauge::Needle* AngularGauge::needleAt(int index) {
    if (index < 0 || index >= needleCount()) {
        qWarning("Gauge %s has no needle %d", qPrintable(objectName()), index);
        return nullptr;
    }
    return &needles_[index];
}

void AngularGauge::setNeedle(int index, double value) {
    if (Needle* n = needleAt(index)) {
        n->value = value;
        update();
    }
}

double AngularGauge::needle(int index) const {
    return index >= 0 && index < needleCount() ? needles_[index].value : 0.0;
}

void AngularGauge::setNeedleRange(int index, double min, double max) {
    if (Needle* n = needleAt(index)) {
        n->ownRange = true;
        n->min = min;
        n->max = max;
        update();
    }
}

void AngularGauge::setNeedleStyle(int index, double length, double width, const QColor& color) {
    if (Needle* n = needleAt(index)) {
        n->length = std::clamp(length, 0.1, 1.0);
        n->width = std::clamp(width, 0.5, 20.0);
        n->color = color;
        update();
    }
}

void AngularGauge::setCaption(int index, const QString& text) {
    if (index < 0 || index > 1) {
        qWarning("Gauge %s has no caption %d", qPrintable(objectName()), index);
        return;
    }
    captions_[index] = text;
    update();
}

QString AngularGauge::caption(int index) const {
    return index >= 0 && index <= 1 ? captions_[index] : QString();
}

bool AngularGauge::setOutline(const QString& points) {
    const QStringList parts =
        points.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts);
    if (parts.size() % 2 != 0) return false;
    QPolygonF polygon;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        bool okX = false;
        bool okY = false;
        const double x = parts[i].toDouble(&okX);
        const double y = parts[i + 1].toDouble(&okY);
        if (!okX || !okY) return false;
        polygon << QPointF(x, y);
    }
    setOutline(polygon);
    return true;
}

void AngularGauge::setOutline(const QPolygonF& points) {
    outline_ = points;
    update();
}

bool AngularGauge::closedDial() const {
    return std::abs(sweepSpan_) >= 360.0;
}

double AngularGauge::angleAt(double fraction) const {
    return sweepStart_ + sweepSpan_ * fraction;
}

double AngularGauge::needleFraction(const Needle& n) const {
    double f = scale_.rawFraction(n.value);
    if (n.ownRange) {
        const double span = n.max - n.min;
        f = std::abs(span) > 0.0 && std::isfinite(n.value) ? (n.value - n.min) / span : 0.0;
    }
    if (closedDial()) return f - std::floor(f);
    return std::clamp(f, 0.0, 1.0);
}

void AngularGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const double side = std::max(10, std::min(width(), height()) - 2);
    const QRectF square((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    const QPointF c = square.center();
    const double k = side / 200.0;  // styles are given for a 200-pixel dial

    // Face.
    QPainterPath face;
    if (outline_.size() >= 3) {
        QPolygonF mapped;
        for (const QPointF& pt : outline_)
            mapped << QPointF(square.left() + pt.x() / 1000.0 * side,
                              square.top() + pt.y() / 1000.0 * side);
        face.addPolygon(mapped);
        face.closeSubpath();
    } else {
        face.addEllipse(square.adjusted(1, 1, -1, -1));
    }
    QRadialGradient shade(c - QPointF(side * 0.15, side * 0.15), side * 0.8);
    shade.setColorAt(0.0, QColor(0xfd, 0xfd, 0xfa));
    shade.setColorAt(1.0, QColor(0xdc, 0xdc, 0xd6));
    p.fillPath(face, shade);
    p.strokePath(face, QPen(QColor(0x50, 0x50, 0x58), std::max(1.0, 2.5 * k)));

    const double R = side / 2.0 * 0.92;  // outer end of the ticks

    // Bands, under the ticks along the rim.
    const double bandWidth = R * 0.09;
    const double bandRadius = R - bandWidth / 2.0;
    const QRectF bandRect(c.x() - bandRadius, c.y() - bandRadius, 2 * bandRadius, 2 * bandRadius);
    for (const GaugeBand& band : bands_) {
        if (!band.visible) continue;
        const double f1 = scale_.fraction(band.from);
        const double f2 = scale_.fraction(band.to);
        if (f1 == f2) continue;
        p.setPen(QPen(band.color, bandWidth, Qt::SolidLine, Qt::FlatCap));
        const double a1 = angleAt(f1);
        const double a2 = angleAt(f2);
        p.drawArc(bandRect, qRound(a1 * 16), qRound((a2 - a1) * 16));
    }

    // Ticks and figures.
    p.setPen(QPen(kInk, std::max(1.0, 1.0 * k)));
    for (double t : scale_.minorTicks()) {
        const double a = angleAt(scale_.fraction(t));
        p.drawLine(polar(c, R * 0.91, a), polar(c, R, a));
    }
    const std::vector<double> majors = scale_.majorTicks();
    p.setPen(QPen(kInk, std::max(1.5, 2.2 * k), Qt::SolidLine, Qt::FlatCap));
    for (double t : majors) {
        const double a = angleAt(scale_.fraction(t));
        p.drawLine(polar(c, R * 0.80, a), polar(c, R, a));
    }
    QFont figures = font();
    figures.setPixelSize(std::max(8, qRound(R * 0.13)));
    p.setFont(figures);
    p.setPen(kInk);
    const bool shareEnds =
        closedDial() && majors.size() > 1 && scale_.fraction(majors.back()) >= 1.0 - 1e-9;
    for (size_t i = 0; i < majors.size(); ++i) {
        // On a closed dial the start and the end meet; the end's figure stands there.
        if (shareEnds && i == 0) continue;
        const double a = angleAt(scale_.fraction(majors[i]));
        const QPointF at = polar(c, R * 0.64, a);
        const QRectF box(at.x() - R * 0.3, at.y() - R * 0.1, R * 0.6, R * 0.2);
        p.drawText(box, Qt::AlignCenter, scale_.label(majors[i]));
    }

    // Captions.
    QFont captionFont = font();
    captionFont.setPixelSize(std::max(8, qRound(R * 0.13)));
    captionFont.setBold(true);
    p.setFont(captionFont);
    const double captionY[2] = {c.y() - R * 0.30, c.y() + R * 0.42};
    for (int i = 0; i < 2; ++i) {
        if (captions_[i].isEmpty()) continue;
        const QRectF box(c.x() - R * 0.75, captionY[i] - R * 0.1, R * 1.5, R * 0.2);
        p.drawText(box, Qt::AlignCenter, captions_[i]);
    }

    // Needles, the first drawn last so that it lies on top.
    for (auto it = needles_.rbegin(); it != needles_.rend(); ++it) {
        const double a = angleAt(needleFraction(*it));
        const double half = it->width * k / 2.0;
        const QPointF tip = polar(c, R * it->length, a);
        const QPointF tail = polar(c, -R * 0.12, a);
        const QPointF left = polar(c, half, a + 90.0);
        const QPointF right = polar(c, half, a - 90.0);
        QPolygonF shape;
        shape << tip << left << tail << right;
        p.setPen(QPen(it->color.darker(130), 0.8));
        p.setBrush(it->color);
        p.drawPolygon(shape);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x38));
    const double hub = std::max(3.0, 6.0 * k);
    p.drawEllipse(c, hub, hub);
}

}  // namespace qel
