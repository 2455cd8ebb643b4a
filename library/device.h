// DEVICE: one request to the unit with frame type 0x58 and its reply, checked to
// answer the command that was sent.
#pragma once

#include <cstddef>
#include <cstdint>

#include "bytes.h"

namespace qelio {

// Waits in 1/16384 s.
inline constexpr int32_t kWaitCommand = 16384;          // 1.0 s, QIO_Command
inline constexpr int32_t kWaitInput = 18022;            // 1.1 s, command 0x28
inline constexpr int32_t kWaitFirmwareRecord = 1638;    // 0.1 s
inline constexpr int32_t kWaitFirmwareFinish = 163840;  // 10 s

// The most a request (command code and payload) can be: what the 16-bit length field carries.
inline constexpr size_t kMaxRequest = 65535;

// Sends `request` (command code first) and returns the reply after the echoed command
// code: the status byte first, then the data. Throws Failure.
Bytes DeviceCommand(const Bytes& request, int32_t baseWait);

}  // namespace qelio
