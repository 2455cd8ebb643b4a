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

QSize LevelGrid::cellSize() const {
    return {std::max(1, width() / kColumns), std::max(1, height() / kRows)};
}

int LevelGrid::slotAt(const QPoint& point) const {
    const QSize cell = cellSize();
    const int column = point.x() / cell.width();
    const int row = point.y() / cell.height();
    if (point.x() < 0 || point.y() < 0 || column >= kColumns || row >= kRows) return 0;
    return row * kColumns + column + 1;
}

QSize LevelGrid::sizeHint() const {
    const int digits = fontMetrics().horizontalAdvance("888") + 6;
    return {kColumns * digits, kRows * (fontMetrics().height() + 4)};
}

void LevelGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QSize cell = cellSize();
    QFont small = font();
    small.setPointSizeF(std::max(6.0, font().pointSizeF() * 0.8));
    painter.setFont(small);
    for (int i = 0; i < kSlots; ++i) {
        const QRect rect((i % kColumns) * cell.width(), (i / kColumns) * cell.height(),
                         cell.width() - 1, cell.height() - 1);
        const int level = levels_[i];
        // Dark blue at 0 rising to amber at full, so a level reads at a glance.
        const QColor fill = QColor::fromHsv(40, 220, 60 + level * 195 / 255);
        painter.fillRect(rect, level == 0 ? QColor(32, 36, 48) : fill);
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
