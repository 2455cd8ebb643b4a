// The 512 received input levels at a glance: one cell per slot, 32 to a row, shaded by
// level and numbered.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>

class LevelGrid : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kSlots = 512;
    static constexpr int kColumns = 32;

    explicit LevelGrid(QWidget* parent = nullptr);

    void setLevels(const std::array<uint8_t, kSlots>& levels);
    int level(int slot) const { return slot >= 1 && slot <= kSlots ? levels_[slot - 1] : 0; }
    // Slot under a point of the widget, 0 outside the cells.
    int slotAt(const QPoint& point) const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    QRect cellRect(int index) const;

    std::array<uint8_t, kSlots> levels_{};
};
