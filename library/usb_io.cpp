#include "usb_io.h"

#include <climits>
#include <cstring>

#include "driver.h"
#include "failure.h"
#include "notifier.h"
#include "testing.h"
#include "trace.h"

namespace qelio::usb {
namespace {

struct State {
    DriverHandle handle = 0;
    int32_t portNumber = 0;
    bool lockCheck = true;
    bool resetPending = false;
};

State& S() {
    static State state;
    return state;
}

// Port n (1-based) is the driver's device index n - 1 (wraps, as 32-bit arithmetic
// would, for the one value where it overflows).
int32_t IndexOf(int32_t n) {
    return static_cast<int32_t>(static_cast<int64_t>(n) - 1);
}

}  // namespace

std::recursive_mutex& PortMutex() {
    static std::recursive_mutex m;
    return m;
}

void CheckStatus(int32_t status) {
    State& s = S();
    switch (status) {
        case kDriverOk:
            return;
        case kDriverInvalidHandle:
            if (s.lockCheck) {
                s.lockCheck = false;
                Fail(kind::kPortLocked);
            }
            Fail(kind::kPortHandle);
        case kDriverDeviceNotFound:
            Fail(kind::kPortSearch);
        case kDriverDeviceNotOpened:
            Fail(kind::kPortStatus);
        case kDriverIoError:
            s.resetPending = true;
            Fail(kind::kPortDataIo);
        default:
            Fail(kind::kPortUndef);
    }
}

int32_t PortCount() {
    uint32_t count = 0;
    CheckStatus(ActiveDriver().ListCount(&count));
    return count > static_cast<uint32_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(count);
}

std::string PortName(int32_t n) {
    State& s = S();
    const int32_t c = PortCount();
    for (;;) {
        try {
            if (n > c) Fail(kind::kPortNumber);
            if (s.handle != 0) Fail(kind::kPortStatus);
            if (s.resetPending) PortReset();
            char buffer[kDescriptionSize];
            std::memset(buffer, 0, sizeof buffer);
            CheckStatus(ActiveDriver().ListDescription(IndexOf(n), buffer));
            return std::string(buffer, ::strnlen(buffer, sizeof buffer));
        } catch (const Failure& f) {
            if (f.Name() != kind::kPortLocked) throw;
            // Locked-port recovery; CheckStatus disarmed LockCheck, so it runs once.
            Notify(kCaptionUsbConnection, kMsgLockedDetected);
            PortReset();
            Notify(kCaptionUsbConnection, kMsgLockedReset);
        }
    }
}

void PortOpen(int32_t n) {
    State& s = S();
    const int32_t c = PortCount();
    int attempts = 0;
    s.lockCheck = false;
    if (s.resetPending) PortReset();
    for (;;) {
        try {
            if (n > c) Fail(kind::kPortNumber);
            if (s.handle != 0) PortClose();
            DriverHandle h = 0;
            CheckStatus(ActiveDriver().Open(IndexOf(n), &h));
            s.handle = h;
            s.portNumber = n;
            trace::Event("port opened");
            return;
        } catch (const Failure& f) {
            if (f.Name() != kind::kPortHandle) throw;
            if (++attempts > 3) throw;
        }
    }
}

void PortClose() {
    State& s = S();
    const DriverHandle h = s.handle;
    s.portNumber = 0;
    s.handle = 0;
    if (h == 0) return;
    trace::Event("port closed");
    try {
        CheckStatus(ActiveDriver().Close(h));
    } catch (const Failure& f) {
        if (f.Name() != kind::kPortHandle) throw;
        Notify(kCaptionUsbIo, kMsgCloseHandleError);
    }
}

void PortWrite(const uint8_t* data, size_t n) {
    State& s = S();
    if (s.handle == 0) Fail(kind::kPortStatus);
    if (s.resetPending) PortReset();
    uint32_t written = 0;
    CheckStatus(ActiveDriver().Write(s.handle, data, static_cast<uint32_t>(n), &written));
}

uint32_t PortQueue() {
    State& s = S();
    if (s.handle == 0) Fail(kind::kPortStatus);
    if (s.resetPending) PortReset();
    uint32_t count = 0;
    CheckStatus(ActiveDriver().QueueLength(s.handle, &count));
    return count;
}

uint8_t PortRead(uint32_t t, bool* got) {
    State& s = S();
    if (s.resetPending) PortReset();
    Driver& d = ActiveDriver();
    CheckStatus(d.SetTimeouts(s.handle, t, 1000));
    uint8_t byte = 0;
    uint32_t count = 0;
    CheckStatus(d.Read(s.handle, &byte, 1, &count));
    *got = count >= 1;
    return byte;
}

void PortPurge() noexcept {
    trace::Event("purge");
    (void)ActiveDriver().Purge(S().handle, kPurgeRxTx);
}

void PortReset() {
    State& s = S();
    trace::Event("driver reset");
    const DriverHandle h = s.handle;
    s.handle = 0;
    Driver& d = ActiveDriver();
    if (h != 0) CheckStatus(d.Close(h));
    CheckStatus(d.Reload(kUnitVendor, kUnitProduct));
    if (s.portNumber > 0) {
        DriverHandle nh = 0;
        CheckStatus(d.Open(IndexOf(s.portNumber), &nh));
        s.handle = nh;
    }
    s.resetPending = false;
}

bool IsOpen() {
    return S().handle != 0;
}
bool ResetPending() {
    return S().resetPending;
}
bool LockCheckArmed() {
    return S().lockCheck;
}
int32_t OpenPortNumber() {
    return S().portNumber;
}

}  // namespace qelio::usb

namespace qelio::testing {
void ResetPortState() {
    usb::S() = usb::State{};
}
}  // namespace qelio::testing
