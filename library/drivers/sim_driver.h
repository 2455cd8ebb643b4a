// The "sim" backend: the simulated units of a rig, in the same process. Reply bytes
// become readable when the library's clock reaches their time, so slow and disturbed
// replies are tested through the clock seam without sleeping.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "clock.h"
#include "driver.h"

#ifdef QELIO_WITH_SIM
#include "rig.h"
#endif

namespace qelio {

// A driver for the rig QELIO32_SIM_RIG names (a rig name or a rig file; "default" when
// unset). A rig that cannot be loaded is reported on standard error and gives no units.
std::unique_ptr<Driver> MakeSimDriver();

#ifdef QELIO_WITH_SIM

class SimDriver final : public Driver {
  public:
    // The rig's time follows the library's clock from here on.
    explicit SimDriver(qelsim::Rig rig);

    qelsim::Rig& Rig() { return rig_; }
    // A unit pulled from / put back into USB. Pulled, it leaves the device list and a
    // handle open on it fails with input/output errors until closed, even once the unit
    // is back; opening the unit again gives a new handle.
    void Unplug(size_t unit);
    void Replug(size_t unit);

    int32_t ListCount(uint32_t* count) override;
    int32_t ListDescription(int32_t index, char* buffer64) override;
    int32_t Open(int32_t index, DriverHandle* handle) override;
    int32_t Close(DriverHandle handle) override;
    int32_t Write(DriverHandle handle, const uint8_t* data, uint32_t count,
                  uint32_t* written) override;
    int32_t QueueLength(DriverHandle handle, uint32_t* count) override;
    int32_t SetTimeouts(DriverHandle handle, uint32_t readMs, uint32_t writeMs) override;
    int32_t Read(DriverHandle handle, uint8_t* buffer, uint32_t count, uint32_t* got) override;
    int32_t Purge(DriverHandle handle, uint32_t mask) override;
    int32_t Reload(uint16_t vendor, uint16_t product) override;

  private:
    struct Slot {
        bool present = true;
        DriverHandle handle = 0;  // 0: not open
        bool severed = false;     // pulled while `handle` was open: that handle is dead
        std::deque<std::pair<Clock::TimePoint, uint8_t>> rx;
        Clock::Duration readTimeout{};
    };
    // The slot open under `handle`, or nullptr.
    Slot* Find(DriverHandle handle);
    // The unit behind list position `index`, or -1.
    int UnitAt(int32_t index) const;
    static uint32_t Due(const Slot& s, Clock::TimePoint now);

    std::mutex mutex_;
    qelsim::Rig rig_;
    std::vector<Slot> slots_;
    DriverHandle nextHandle_ = 0x5100;
};

#endif

}  // namespace qelio
