// Binds the driver backend: QELIO32_DRIVER names it ("serial" when unset or empty).
// A name no backend answers to binds the "unavailable" driver: every call answers
// status 2 (device not found), so every export that reaches the driver fails with
// USB_IO.ERROR_PORTSEARCH (-2), and one line on standard error names the problem.
#include <atomic>
#include <cstdlib>
#include <mutex>

#include "driver.h"
#include "drivers/serial_driver.h"
#include "notifier.h"
#ifdef QELIO_WITH_SIM
#include "drivers/sim_driver.h"
#endif

namespace qelio {
namespace {

class UnavailableDriver final : public Driver {
  public:
    int32_t ListCount(uint32_t* count) override {
        *count = 0;
        return kDriverDeviceNotFound;
    }
    int32_t ListDescription(int32_t, char*) override { return kDriverDeviceNotFound; }
    int32_t Open(int32_t, DriverHandle*) override { return kDriverDeviceNotFound; }
    int32_t Close(DriverHandle) override { return kDriverDeviceNotFound; }
    int32_t Write(DriverHandle, const uint8_t*, uint32_t, uint32_t* written) override {
        *written = 0;
        return kDriverDeviceNotFound;
    }
    int32_t QueueLength(DriverHandle, uint32_t* count) override {
        *count = 0;
        return kDriverDeviceNotFound;
    }
    int32_t SetTimeouts(DriverHandle, uint32_t, uint32_t) override { return kDriverDeviceNotFound; }
    int32_t Read(DriverHandle, uint8_t*, uint32_t, uint32_t* got) override {
        *got = 0;
        return kDriverDeviceNotFound;
    }
    int32_t Purge(DriverHandle, uint32_t) override { return kDriverDeviceNotFound; }
    int32_t Reload(uint16_t, uint16_t) override { return kDriverDeviceNotFound; }
};

std::mutex& BindMutex() {
    static std::mutex m;
    return m;
}

std::unique_ptr<Driver>& Owned() {
    static std::unique_ptr<Driver> owned;
    return owned;
}

std::atomic<Driver*> g_active{nullptr};

const char* KnownNames() {
#ifdef QELIO_WITH_SIM
    return "serial, sim";
#else
    return "serial";
#endif
}

}  // namespace

std::unique_ptr<Driver> MakeDriver(const std::string& name) {
    if (name == "serial") return MakeSerialDriver();
#ifdef QELIO_WITH_SIM
    if (name == "sim") return MakeSimDriver();
#endif
    return nullptr;
}

Driver& ActiveDriver() {
    if (Driver* d = g_active.load(std::memory_order_acquire)) return *d;
    std::lock_guard<std::mutex> lock(BindMutex());
    if (Driver* d = g_active.load(std::memory_order_relaxed)) return *d;
    const char* env = std::getenv("QELIO32_DRIVER");
    const std::string name = env && *env ? env : "serial";
    std::unique_ptr<Driver> driver = MakeDriver(name);
    if (!driver) {
        Diagnose("QELIO32_DRIVER names no driver: \"" + name + "\" (known: " + KnownNames() +
                 "); every port operation fails with USB_IO.ERROR_PORTSEARCH");
        driver = std::make_unique<UnavailableDriver>();
    }
    Owned() = std::move(driver);
    g_active.store(Owned().get(), std::memory_order_release);
    return *Owned();
}

void InstallDriver(std::unique_ptr<Driver> driver) {
    std::lock_guard<std::mutex> lock(BindMutex());
    g_active.store(driver.get(), std::memory_order_release);
    Owned() = std::move(driver);
}

}  // namespace qelio
