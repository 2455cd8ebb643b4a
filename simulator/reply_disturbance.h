// How a reply leaves the unit in time, and the ways tests can disturb it: slow bytes, a
// pause inside the frame, noise before the start marker, a wrong end marker, a cut-off
// frame, or no reply at all.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bytes.h"
#include "sim_time.h"

namespace qelsim {

struct TimedByte {
    Duration at;  // after the request was complete
    uint8_t value;
};

struct ReplyDisturbance {
    Duration perByteDelay{};  // before every byte
    int pauseBefore = -1;     // index of the frame byte the pause comes before
    Duration pause{};
    Bytes noise;  // sent ahead of the frame
    bool wrongEndMarker = false;
    int cutAfter = -1;     // only that many frame bytes are sent
    bool silence = false;  // nothing is sent

    bool Any() const {
        return perByteDelay != Duration::zero() || pauseBefore >= 0 || !noise.empty() ||
               wrongEndMarker || cutAfter >= 0 || silence;
    }
};

// The bytes of `frame` as they go out under `d`.
std::vector<TimedByte> ScheduleReply(const Bytes& frame, const ReplyDisturbance& d);

// Parses "silence", "wrong-end", "noise=7E00", "delay=5ms", "pause=3:1500ms", "cut=4",
// joined by commas; false and a message on a fault.
bool ParseDisturbance(const std::string& text, ReplyDisturbance* d, std::string* error);

}  // namespace qelsim
