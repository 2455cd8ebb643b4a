#include "rdm_judge.h"

#include "unit_status.h"

namespace qelsim {

UnitReply JudgeResponse(const rdm::Packet& request, const std::optional<Bytes>& line, bool queued,
                        bool withPid) {
    if (!line) return {status::kRdmMissing, {}};
    rdm::Decoded d = rdm::Decode(*line);
    if (d.error == rdm::DecodeError::kChecksum) return {status::kRdmChecksum, {}};
    if (d.error != rdm::DecodeError::kNone) return {status::kRdmFormat, {}};
    const rdm::Packet& p = d.packet;
    if (p.destination != request.source) return {status::kRdmFormat, {}};
    if (p.source != request.destination) return {status::kRdmIdentity, {}};
    if (p.transaction != request.transaction) return {status::kRdmTransaction, {}};
    bool answersClass =
        queued ? (p.commandClass == rdm::kGetResponse || p.commandClass == rdm::kSetResponse)
               : p.commandClass == request.commandClass + 1;
    if (!answersClass || (!queued && p.pid != request.pid)) return {status::kRdmFormat, {}};
    if (!queued && p.subDevice != request.subDevice) return {status::kRdmSubDevice, {}};

    Bytes data;
    if (queued && withPid) PutBe16(data, p.pid);
    data.insert(data.end(), p.data.begin(), p.data.end());
    switch (p.portOrResponseType) {
        case rdm::kAck:
            return {p.messageCount ? status::kRdmQueued : status::kOk, std::move(data)};
        case rdm::kAckOverflow:
            return {status::kRdmOverflow, std::move(data)};
        case rdm::kAckTimer:
            if (p.data.size() != 2) return {status::kRdmFormat, {}};
            return {status::kRdmWait, p.data};
        case rdm::kNackReason: {
            if (p.data.size() != 2) return {status::kRdmFormat, {}};
            uint16_t reason = GetBe16(p.data, 0);
            if (reason > 255 - status::kRdmNackBase) return {status::kRdmFormat, {}};
            return {static_cast<uint8_t>(status::kRdmNackBase + reason), {}};
        }
        default:
            return {status::kRdmFormat, {}};
    }
}

}  // namespace qelsim
