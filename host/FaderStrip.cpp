#include "FaderStrip.h"

#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

FaderStrip::FaderStrip(int index, int slot, QWidget* parent) : QWidget(parent) {
    setObjectName(QString("fader%1").arg(index));
    slot_ = new QSpinBox(this);
    slot_->setObjectName("slot");
    slot_->setRange(1, 512);
    slot_->setValue(slot);
    slot_->setToolTip(tr("Slot this fader controls"));
    slider_ = new QSlider(Qt::Vertical, this);
    slider_->setObjectName("level");
    slider_->setRange(0, 255);
    slider_->setPageStep(16);
    slider_->setMinimumHeight(110);
    value_ = new QLabel("0", this);
    value_->setObjectName("value");
    value_->setAlignment(Qt::AlignCenter);
    value_->setMinimumWidth(value_->fontMetrics().horizontalAdvance("888") + 4);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(slot_);
    layout->addWidget(slider_, 1, Qt::AlignHCenter);
    layout->addWidget(value_);

    connect(slider_, &QSlider::valueChanged, this, [this](int level) {
        value_->setNum(level);
        emit levelChanged(slot_->value(), level);
    });
    connect(slot_, &QSpinBox::valueChanged, this, &FaderStrip::slotChanged);
}

int FaderStrip::slot() const {
    return slot_->value();
}

void FaderStrip::showLevel(int level) {
    const QSignalBlocker block(slider_);
    slider_->setValue(level);
    value_->setNum(level);
}
