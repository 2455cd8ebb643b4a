// Faults a test (or a rig file) can switch on in a virtual fixture.
#pragma once

#include <cstdint>
#include <string>

namespace qelsim {

enum class Fault : uint32_t {
    kNoResponse = 1u << 0,  // GET and SET go unanswered
    kBadChecksum = 1u << 1,
    kWrongTransaction = 1u << 2,
    kWrongSubDevice = 1u << 3,
    kFailsToMute = 1u << 4,  // acknowledges DISC_MUTE and keeps answering branches
    kAnswersBroadcast = 1u << 5,
    kWrongIdentity = 1u << 6,  // answers under another UID
    kMalformed = 1u << 7,      // message length that disagrees with the packet
};

// "no-response", "bad-checksum", "wrong-transaction", "wrong-sub-device", "fails-to-mute",
// "answers-broadcast", "wrong-identity", "malformed"; false for any other name.
bool ParseFault(const std::string& name, Fault* fault);

}  // namespace qelsim
