// Anything that can sit on the unit's RDM line: it is handed each request packet as sent
// and answers with the bytes it puts on the line, or with nothing.
#pragma once

#include <optional>

#include "bytes.h"

namespace qelsim {

class RdmResponder {
  public:
    virtual ~RdmResponder() = default;
    virtual std::optional<Bytes> Respond(const Bytes& request) = 0;
};

// Optional second face of a responder: it sees the DMX512 frames the unit transmits.
class DmxListener {
  public:
    virtual ~DmxListener() = default;
    virtual void OnDmxFrame(uint8_t startCode, const Bytes& levels) = 0;
};

}  // namespace qelsim
