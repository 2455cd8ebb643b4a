// The status byte of every reply of the unit.
#pragma once

#include <cstdint>

namespace qelsim::status {

inline constexpr uint8_t kOk = 0;
inline constexpr uint8_t kOutOfRange = 1;  // a value outside the unit's limits
inline constexpr uint8_t kUnknownCommand = 2;
inline constexpr uint8_t kNotAnOption = 3;  // an option byte the command does not offer
inline constexpr uint8_t kFrameFormat = 4;  // request frame malformed
inline constexpr uint8_t kTooLong = 5;      // more payload than the command takes
inline constexpr uint8_t kDataMissing = 6;  // less payload than the command needs
inline constexpr uint8_t kWrongMode = 7;
inline constexpr uint8_t kBusy = 8;
inline constexpr uint8_t kImageCorrupt = 10;
inline constexpr uint8_t kImageForeign = 11;

// Outcomes of an RDM transaction.
inline constexpr uint8_t kRdmWait = 16;         // ACK_TIMER; data: wait in 0.1 s, big-endian
inline constexpr uint8_t kRdmQueued = 17;       // ACK, and the device holds queued messages
inline constexpr uint8_t kRdmOverflow = 18;     // ACK_OVERFLOW; ask again for the rest
inline constexpr uint8_t kRdmTransaction = 19;  // transaction number not the request's
inline constexpr uint8_t kRdmSubDevice = 20;    // answer from another sub-device
inline constexpr uint8_t kRdmFormat = 21;       // answer malformed
inline constexpr uint8_t kRdmChecksum = 22;
inline constexpr uint8_t kRdmMissing = 24;     // no answer within the response time-out
inline constexpr uint8_t kRdmIdentity = 26;    // answer from another UID
inline constexpr uint8_t kRdmUnexpected = 29;  // an answer to a broadcast
inline constexpr uint8_t kRdmNackBase = 32;    // + the NACK reason

}  // namespace qelsim::status
