#include "core/ViewArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace qel::ViewArt {

QPixmap SuccessMark() {
    QPixmap picture(48, 48);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1B, 0x5E, 0x20), 2));
    p.setBrush(QColor(0x43, 0xA0, 0x47));
    p.drawEllipse(QRectF(2, 2, 44, 44));
    QPainterPath tick;
    tick.moveTo(13, 25);
    tick.lineTo(21, 33);
    tick.lineTo(36, 16);
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    return picture;
}

QPixmap MakerLogo() {
    QPixmap picture(96, 96);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shade(0, 0, 0, 96);
    shade.setColorAt(0, QColor(0x1E, 0x3A, 0x8A));
    shade.setColorAt(1, QColor(0x0B, 0x1A, 0x4A));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(2, 2, 92, 92), 14, 14);
    // Three beams fanning out from a lamp: the maker's trade.
    p.setBrush(QColor(0xFF, 0xD5, 0x4F, 150));
    for (int i = -1; i <= 1; ++i) {
        QPainterPath beam;
        beam.moveTo(48, 18);
        beam.lineTo(48 + i * 22 - 9, 62);
        beam.lineTo(48 + i * 22 + 9, 62);
        beam.closeSubpath();
        p.drawPath(beam);
    }
    p.setBrush(QColor(0xFF, 0xC1, 0x07));
    p.drawEllipse(QPointF(48, 18), 7, 7);
    QFont font;
    font.setBold(true);
    font.setPixelSize(17);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 62, 96, 28), Qt::AlignCenter, QStringLiteral("NORVANE"));
    return picture;
}

}  // namespace qel::ViewArt
