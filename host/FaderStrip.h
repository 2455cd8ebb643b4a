// One output fader: the slot it controls (any of 1..512) above a 0..255 slider.
#pragma once

#include <QWidget>

class QLabel;
class QSlider;
class QSpinBox;

class FaderStrip : public QWidget {
    Q_OBJECT

  public:
    FaderStrip(int index, int slot, QWidget* parent = nullptr);

    int slot() const;
    // Shows `level` without reporting a change (the fader follows a level set elsewhere).
    void showLevel(int level);

  signals:
    void levelChanged(int slot, int level);
    // The fader now controls another slot; the owner shows that slot's level.
    void slotChanged(int slot);

  private:
    QSpinBox* slot_;
    QSlider* slider_;
    QLabel* value_;
};
