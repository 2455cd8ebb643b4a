#include "forms/LinearGauge.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace qel {

namespace {
const QColor kInk(0x20, 0x20, 0x28);
const QColor kGlass(0xf4, 0xf6, 0xf8);
}  // namespace

LinearGauge::LinearGauge(QWidget* parent) : QWidget(parent) {
    setMinimumSize(minimumSizeHint());
}

void LinearGauge::setScale(double min, double max) {
    scale_.setRange(min, max);
    update();
}

void LinearGauge::setTicks(double major, double minor) {
    scale_.setTicks(major, minor);
    update();
}

void LinearGauge::setBand(int index, double from, double to, const QColor& color) {
    setBandAt(bands_, index, from, to, color);
    update();
}

void LinearGauge::clearBands() {
    bands_.clear();
    update();
}

void LinearGauge::setValue(double value) {
    value_ = value;
    update();
}

void LinearGauge::setValueColor(const QColor& color) {
    valueColor_ = color;
    update();
}

void LinearGauge::setCaption(const QString& text) {
    caption_ = text;
    update();
}

void LinearGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const double w = width();
    const double h = height();
    QFont figures = font();
    figures.setPixelSize(std::clamp(qRound(h / 22.0), 9, 14));
    const QFontMetricsF fm(figures);
    QFont captionFont = figures;
    captionFont.setBold(true);

    // Layout, top to bottom: caption, scale, bulb.
    const double captionHeight = caption_.isEmpty() ? 0.0 : fm.height() + 4.0;
    const double tubeWidth = std::clamp(w * 0.13, 8.0, 16.0);
    const double bulbRadius = tubeWidth * 0.95;
    const double top = captionHeight + fm.height() / 2.0 + 4.0;
    const double bottom = h - 2.0 * bulbRadius - 6.0;
    if (bottom <= top + 10.0) return;
    const double tubeX = w * 0.38;
    const double tubeLeft = tubeX - tubeWidth / 2.0;
    const double tubeRight = tubeX + tubeWidth / 2.0;
    auto yAt = [&](double v) { return bottom - (bottom - top) * scale_.fraction(v); };

    if (!caption_.isEmpty()) {
        p.setFont(captionFont);
        p.setPen(kInk);
        p.drawText(QRectF(0, 2, w, fm.height()), Qt::AlignCenter, caption_);
    }

    // Bands, a strip to the left of the tube.
    const double bandWidth = std::max(5.0, tubeWidth * 0.5);
    const double bandRight = tubeLeft - 3.0;
    for (const GaugeBand& band : bands_) {
        if (!band.visible) continue;
        const double y1 = yAt(band.from);
        const double y2 = yAt(band.to);
        if (y1 == y2) continue;
        p.fillRect(QRectF(bandRight - bandWidth, std::min(y1, y2), bandWidth, std::abs(y1 - y2)),
                   band.color);
    }

    // Tube and bulb.
    const QPointF bulbCentre(tubeX, bottom + bulbRadius * 0.8);
    QPainterPath glass;
    glass.addRoundedRect(
        QRectF(tubeLeft, top - tubeWidth / 2.0, tubeWidth, bulbCentre.y() - top + tubeWidth / 2.0),
        tubeWidth / 2.0, tubeWidth / 2.0);
    glass.addEllipse(bulbCentre, bulbRadius, bulbRadius);
    glass.setFillRule(Qt::WindingFill);
    p.fillPath(glass.simplified(), kGlass);

    // Value band: the column from the foot of the scale up to the value.
    const double valueY = yAt(value_);
    const double inset = tubeWidth * 0.22;
    p.setPen(Qt::NoPen);
    p.setBrush(valueColor_);
    p.drawRect(QRectF(tubeLeft + inset, valueY, tubeWidth - 2 * inset, bulbCentre.y() - valueY));
    p.drawEllipse(bulbCentre, bulbRadius - inset, bulbRadius - inset);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x50, 0x50, 0x58), 1.4));
    p.drawPath(glass.simplified());

    // Pointer at the value, left of the bands.
    const double pointerTip = bandRight - bandWidth - 2.0;
    QPolygonF pointer;
    pointer << QPointF(pointerTip, valueY) << QPointF(pointerTip - 9.0, valueY - 5.0)
            << QPointF(pointerTip - 9.0, valueY + 5.0);
    p.setPen(QPen(valueColor_.darker(130), 0.8));
    p.setBrush(valueColor_);
    p.drawPolygon(pointer);

    // Ticks and figures to the right of the tube.
    const double tickLeft = tubeRight + 3.0;
    p.setPen(QPen(kInk, 1.0));
    for (double t : scale_.minorTicks()) {
        const double y = yAt(t);
        p.drawLine(QPointF(tickLeft, y), QPointF(tickLeft + 5.0, y));
    }
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::FlatCap));
    p.setFont(figures);
    for (double t : scale_.majorTicks()) {
        const double y = yAt(t);
        p.drawLine(QPointF(tickLeft, y), QPointF(tickLeft + 10.0, y));
        p.drawText(QRectF(tickLeft + 13.0, y - fm.height() / 2.0, w - tickLeft - 13.0, fm.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, scale_.label(t));
    }
}

}  // namespace qel
