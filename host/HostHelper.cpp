#include "HostHelper.h"

HostHelper::HostHelper(QObject* parent) : QObject(parent) {
    setObjectName("HostHelper");
}

void HostHelper::DMXC_DMXIn_SetChannel(int Slot, int Level) {
    if (Slot < 1 || Slot > kSlots || Level < 0 || Level > 255) {
        ++rejected_;
        return;
    }
    ++deliveries_;
    levels_[Slot - 1] = static_cast<uint8_t>(Level);
    if (Slot > highest_) highest_ = Slot;
    emit levelReceived(Slot, Level);
}

int HostHelper::level(int slot) const {
    if (slot < 1 || slot > kSlots) return 0;
    return levels_[slot - 1];
}

void HostHelper::reset() {
    levels_.fill(0);
    highest_ = 0;
    deliveries_ = 0;
    rejected_ = 0;
}
