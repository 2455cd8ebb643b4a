// RDM packets as they travel on the line: encoding, decoding with the checks a receiver
// makes, the additive checksum, and the encoded discovery response.
#pragma once

#include <cstdint>
#include <optional>

#include "bytes.h"
#include "rdm_defs.h"
#include "rdm_uid.h"

namespace qelsim::rdm {

struct Packet {
    Uid destination = 0;
    Uid source = 0;
    uint8_t transaction = 0;
    uint8_t portOrResponseType = kPortId;  // port ID in requests, response type in replies
    uint8_t messageCount = 0;
    uint16_t subDevice = 0;
    uint8_t commandClass = 0;
    uint16_t pid = 0;
    Bytes data;  // at most kMaxParamData bytes
};

// Sum of the bytes, modulo 65536.
uint16_t Checksum(const uint8_t* data, size_t size);

// Start code through checksum. Parameter data beyond kMaxParamData is cut.
Bytes Encode(const Packet& packet);

enum class DecodeError {
    kNone,
    kTooShort,        // fewer bytes than a packet without parameter data
    kBadStartCode,    // start code or sub-start code
    kLengthMismatch,  // message length or parameter data length disagree with the bytes
    kChecksum,
};

struct Decoded {
    DecodeError error = DecodeError::kNone;
    Packet packet;
};

Decoded Decode(const Bytes& bytes);

// The answer to DISC_UNIQUE_BRANCH: `preamble` bytes 0xFE, 0xAA, the UID with every byte
// sent twice (OR 0xAA, OR 0x55) and the checksum of those 12 bytes encoded the same way.
Bytes EncodeDiscoveryResponse(Uid uid, int preamble = kMaxPreamble);

// The UID of a clean discovery response; nothing for a garbled one (a collision).
std::optional<Uid> DecodeDiscoveryResponse(const Bytes& bytes);

}  // namespace qelsim::rdm
