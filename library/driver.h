// The seam between USB_IO and whatever carries bytes to a unit: the nine driver
// operations the transport relies on, their statuses, and nothing more.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qelio {

using DriverHandle = std::uintptr_t;  // 0 is never a valid handle

enum DriverStatus : int32_t {
    kDriverOk = 0,
    kDriverInvalidHandle = 1,
    kDriverDeviceNotFound = 2,
    kDriverDeviceNotOpened = 3,
    kDriverIoError = 4,
};

inline constexpr int kDescriptionSize = 64;
inline constexpr uint32_t kPurgeRxTx = 3;
inline constexpr uint16_t kUnitVendor = 0x0403;
inline constexpr uint16_t kUnitProduct = 0x6001;

class Driver {
  public:
    virtual ~Driver() = default;

    // List devices, count mode: the number of units present.
    virtual int32_t ListCount(uint32_t* count) = 0;
    // List devices, description mode: the description of device `index` (0-based),
    // NUL-terminated when shorter than the buffer.
    virtual int32_t ListDescription(int32_t index, char* buffer64) = 0;
    virtual int32_t Open(int32_t index, DriverHandle* handle) = 0;
    virtual int32_t Close(DriverHandle handle) = 0;
    virtual int32_t Write(DriverHandle handle, const uint8_t* data, uint32_t count,
                          uint32_t* written) = 0;
    // Number of received bytes waiting; never blocks.
    virtual int32_t QueueLength(DriverHandle handle, uint32_t* count) = 0;
    virtual int32_t SetTimeouts(DriverHandle handle, uint32_t readMs, uint32_t writeMs) = 0;
    // Reads up to `count` bytes, waiting at most the read timeout; `*got` may be 0.
    virtual int32_t Read(DriverHandle handle, uint8_t* buffer, uint32_t count, uint32_t* got) = 0;
    virtual int32_t Purge(DriverHandle handle, uint32_t mask) = 0;
    virtual int32_t Reload(uint16_t vendor, uint16_t product) = 0;
};

// The driver USB_IO talks to. Bound on first use from QELIO32_DRIVER ("serial" by
// default, "sim" for the simulated unit).
Driver& ActiveDriver();

// Internal hook for tests: replaces the active driver (nullptr restores the one chosen
// by the environment). Not for use while a call into the library is running.
void InstallDriver(std::unique_ptr<Driver> driver);

// Creates a backend by name; nullptr for a name no backend answers to.
std::unique_ptr<Driver> MakeDriver(const std::string& name);

}  // namespace qelio
