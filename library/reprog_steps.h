// The firmware steps of a run: the commands sent to the unit, the unit's answers to
// them, and the progress after each record.
#pragma once

#include <cstdint>

#include "device.h"

namespace qelio {

inline constexpr uint8_t kLoadRecord = 0x41;  // followed by one 68-byte record
inline constexpr uint8_t kFinish = 0x42;

// Checks the unit's reply to a firmware step (status byte first). Throws Failure
// "REPROG.ERROR_DATACHECKSUM" for status 10, "REPROG.ERROR_INCOMPATIBLE" for 11 and
// "REPROG.ERROR_UNKNOWN" for any other non-zero status or a reply without a status.
void CheckStepStatus(const Bytes& reply);

// Progress after record `index` of records 0..`last` was accepted: 100 after the last
// one, otherwise the share acknowledged, kept within 1..99.
int32_t ProgressAfterRecord(uint32_t index, uint32_t last);

// The progress value as a poll hands it out. Callers have always been told of a run that
// ended with -11 (a value out of range) as an image that does not fit the unit: that
// value throws Failure "REPROG.ERROR_INCOMPATIBLE".
int32_t PolledProgress(int32_t value);

}  // namespace qelio
