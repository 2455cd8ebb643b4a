// The universe the unit transmits: the frame last given, kept going until stopped, with
// single slots replaced in place.
#pragma once

#include <cstdint>
#include <mutex>

#include "bytes.h"

namespace qelsim {

inline constexpr int kDmxSlots = 512;

struct DmxFrame {
    bool sending = false;
    uint8_t startCode = 0;
    Bytes levels;  // slot 1 first
};

class DmxOutput {
  public:
    void Send(uint8_t startCode, const Bytes& levels);
    void Stop();
    // `slot` is 1..512; the frame grows to hold it.
    void SetSlot(int slot, uint8_t level);

    DmxFrame Current() const;

  private:
    mutable std::mutex mutex_;
    DmxFrame frame_;
};

}  // namespace qelsim
