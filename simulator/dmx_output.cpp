#include "dmx_output.h"

namespace qelsim {

void DmxOutput::Send(uint8_t startCode, const Bytes& levels) {
    std::lock_guard<std::mutex> lock(mutex_);
    frame_.sending = true;
    frame_.startCode = startCode;
    frame_.levels = levels;
}

void DmxOutput::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    frame_.sending = false;
}

void DmxOutput::SetSlot(int slot, uint8_t level) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (frame_.levels.size() < static_cast<size_t>(slot)) frame_.levels.resize(slot, 0);
    frame_.levels[slot - 1] = level;
}

DmxFrame DmxOutput::Current() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return frame_;
}

}  // namespace qelsim
