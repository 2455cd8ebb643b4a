#include "LevelGrid.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {
constexpr int kRows = LevelGrid::kSlots / LevelGrid::kColumns;
}

LevelGrid::LevelGrid(QWidget* parent) : QWidget(parent) {
    setObjectName("inputLevels");
    setMinimumSize(kColumns * 16, kRows * 12);
}

void LevelGrid::setLevels(const std::array<uint8_t, kSlots>& levels) {
    if (levels == levels_) return;
    levels_ = levels;
    update();
}

// Cells share the widget's whole width and height, the odd pixels spread among them.
QRect LevelGrid::cellRect(int index) const {
    const int column = index % kColumns;
    const int row = index / kColumns;
    const int left = column * width() / kColumns;
    const int top = row * height() / kRows;
    return QRect(left, top, (column + 1) * width() / kColumns - left - 1,
                 (row + 1) * height() / kRows - top - 1);
}

int LevelGrid::slotAt(const QPoint& point) const {
    if (point.x() < 0 || point.y() < 0 || point.x() >= width() || point.y() >= height()) return 0;
    const int column = point.x() * kColumns / width();
    const int row = point.y() * kRows / height();
    return row * kColumns + column + 1;
}

QSize LevelGrid::sizeHint() const {
    const int digits = fontMetrics().horizontalAdvance(QStringLiteral("888")) + 4;
    return {kColumns * digits, kRows * (fontMetrics().height() + 2)};
}

void LevelGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont small = font();
    small.setPointSizeF(std::max(6.0, font().pointSizeF() * 0.8));
    painter.setFont(small);
    // Figures only where they fit; the tooltip tells a level in any case.
    const QFontMetrics metrics(small);
    const bool figures =
        cellRect(0).width() >= metrics.horizontalAdvance(QStringLiteral("255")) + 2 &&
        cellRect(0).height() >= metrics.ascent();
    for (int i = 0; i < kSlots; ++i) {
        const QRect rect = cellRect(i);
        const int level = levels_[i];
        // Dark blue at 0 rising to amber at full, so a level reads at a glance.
        const QColor fill = QColor::fromHsv(40, 220, 60 + level * 195 / 255);
        painter.fillRect(rect, level == 0 ? QColor(32, 36, 48) : fill);
        if (!figures) continue;
        painter.setPen(level > 150 ? Qt::black : QColor(200, 200, 210));
        painter.drawText(rect, Qt::AlignCenter, QString::number(level));
    }
}

bool LevelGrid::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int slot = slotAt(help->pos());
        if (slot > 0) {
            QToolTip::showText(help->globalPos(),
                               tr("Slot %1: %2").arg(slot).arg(levels_[slot - 1]), this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}
