#include "core/CoreArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace qel::CoreArt {
namespace {

QPixmap Canvas(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A five-pin round connector, seen from the front.
void Connector(QPainter& p, QPointF centre, double radius) {
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(QColor(170, 170, 175));
    p.drawEllipse(centre, radius, radius);
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(centre, radius * 0.72, radius * 0.72);
    p.setBrush(QColor(210, 190, 120));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        const double angle = (90.0 + i * 72.0) * M_PI / 180.0;
        p.drawEllipse(centre + QPointF(std::cos(angle), -std::sin(angle)) * radius * 0.42,
                      radius * 0.1, radius * 0.1);
    }
}

}  // namespace

QPixmap Device() {
    QPixmap pixmap = Canvas(150, 90);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, 90);
    body.setColorAt(0, QColor(62, 72, 96));
    body.setColorAt(1, QColor(24, 28, 40));
    p.setPen(QPen(QColor(12, 14, 20), 2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(4, 10, 142, 72), 9, 9);
    p.setPen(QColor(235, 235, 240));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(13);
    p.setFont(font);
    p.drawText(QRectF(4, 14, 142, 18), Qt::AlignCenter, QStringLiteral("DMX-QEL"));
    Connector(p, QPointF(38, 56), 16);
    Connector(p, QPointF(84, 56), 16);
    // The USB socket and the status lamp.
    p.setPen(QPen(QColor(10, 10, 10), 1));
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(116, 50, 20, 11));
    p.setBrush(QColor(90, 220, 120));
    p.drawEllipse(QPointF(126, 32), 4, 4);
    return pixmap;
}

QPixmap Plug(bool connected) {
    QPixmap pixmap = Canvas(56, 56);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double gap = connected ? 0 : 10;
    const QColor tone = connected ? QColor(40, 150, 70) : QColor(190, 60, 50);
    p.setPen(QPen(QColor(30, 30, 30), 1.5));
    // The socket on the left with its cable.
    p.setBrush(QColor(120, 120, 128));
    p.drawRoundedRect(QRectF(6, 18, 16, 20), 3, 3);
    p.drawLine(QPointF(0, 28), QPointF(6, 28));
    // The plug coming in from the right, its pins towards the socket.
    p.setBrush(tone);
    p.drawRoundedRect(QRectF(26 + gap, 16, 18, 24), 4, 4);
    p.setPen(QPen(QColor(220, 200, 120), 3));
    p.drawLine(QPointF(22 + gap, 23), QPointF(27 + gap, 23));
    p.drawLine(QPointF(22 + gap, 33), QPointF(27 + gap, 33));
    p.setPen(QPen(QColor(30, 30, 30), 3));
    p.drawLine(QPointF(44 + gap, 28), QPointF(56, 28));
    return pixmap;
}

QPixmap FrameSettings(bool active) {
    QPixmap pixmap = Canvas(56, 56);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = active ? QColor(30, 90, 180) : QColor(160, 160, 165);
    p.setPen(QPen(ink.darker(130), 1.5));
    p.setBrush(active ? QColor(225, 235, 250) : QColor(235, 235, 235));
    p.drawRoundedRect(QRectF(3, 6, 50, 44), 6, 6);
    // A break, a mark and the slots of a frame.
    QPainterPath wave;
    wave.moveTo(7, 22);
    wave.lineTo(13, 22);
    wave.lineTo(13, 38);
    wave.lineTo(22, 38);
    wave.lineTo(22, 22);
    for (int x = 22; x < 46; x += 6) {
        wave.lineTo(x + 3, 22);
        wave.lineTo(x + 3, 38);
        wave.lineTo(x + 6, 38);
        wave.lineTo(x + 6, 22);
    }
    wave.lineTo(49, 22);
    p.setPen(QPen(ink, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
    return pixmap;
}

QPixmap Exit() {
    QPixmap pixmap = Canvas(48, 48);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 40, 20), 1.5));
    p.setBrush(QColor(160, 110, 60));
    p.drawRect(QRectF(8, 6, 22, 36));
    p.setBrush(QColor(230, 200, 90));
    p.drawEllipse(QPointF(25, 25), 2, 2);
    p.setPen(QPen(QColor(190, 40, 40), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(26, 24), QPointF(44, 24));
    p.drawLine(QPointF(38, 17), QPointF(44, 24));
    p.drawLine(QPointF(38, 31), QPointF(44, 24));
    return pixmap;
}

}  // namespace qel::CoreArt
