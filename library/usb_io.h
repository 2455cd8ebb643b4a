// USB_IO: the library's one port, reached through the driver seam. Every
// driver status goes through CheckStatus; the locked-port recovery of PortName and the
// driver reload after an input/output failure live here.
//
// All operations use library-wide state: the caller holds PortMutex() (the exports and
// DeviceCommand take it), so the firmware worker and the caller's thread never touch the
// state at the same time.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

namespace qelio::usb {

std::recursive_mutex& PortMutex();

// Turns a driver status into its failure; 0 returns.
void CheckStatus(int32_t status);

int32_t PortCount();
std::string PortName(int32_t n);
void PortOpen(int32_t n);
void PortClose();
void PortWrite(const uint8_t* data, size_t n);
uint32_t PortQueue();
// Sets the read timeout `t` ms (write 1000 ms) and reads one byte. `*got` tells whether
// the driver delivered one (the transport does not look; the library never uses a byte that
// was not delivered).
uint8_t PortRead(uint32_t t, bool* got);
void PortPurge() noexcept;
void PortReset();

// For tests and the trace.
bool IsOpen();
bool ResetPending();
bool LockCheckArmed();
int32_t OpenPortNumber();

}  // namespace qelio::usb
