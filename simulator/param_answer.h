// A responder's answer to one parameter request, before it becomes a packet.
#pragma once

#include <cstdint>

#include "bytes.h"
#include "rdm_defs.h"

namespace qelsim {

struct ParamAnswer {
    uint8_t type = rdm::kAck;  // kAck or kNackReason
    Bytes data;

    static ParamAnswer Ack(Bytes data = {}) { return {rdm::kAck, std::move(data)}; }
    static ParamAnswer Nack(uint16_t reason) {
        Bytes b;
        PutBe16(b, reason);
        return {rdm::kNackReason, std::move(b)};
    }
    bool IsAck() const { return type == rdm::kAck; }
};

}  // namespace qelsim
