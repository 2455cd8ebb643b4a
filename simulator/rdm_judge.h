// How the unit judges what came back on the line for one of its requests, and what it
// reports for it.
#pragma once

#include <optional>

#include "bytes.h"
#include "rdm_packet.h"
#include "unit_reply.h"

namespace qelsim {

// `queued` marks a QUEUED_MESSAGE request: its answer may carry another PID and
// sub-device, and the reply data then starts with that PID (big-endian) when
// `withPid` is set.
UnitReply JudgeResponse(const rdm::Packet& request, const std::optional<Bytes>& line,
                        bool queued = false, bool withPid = true);

}  // namespace qelsim
