// The RDM line: every request reaches every responder. One answer comes back as sent;
// answers from several responders at once collide and come back garbled.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "bytes.h"
#include "rdm_responder.h"

namespace qelsim {

class RdmLine {
  public:
    void Attach(std::shared_ptr<RdmResponder> responder);
    const std::vector<std::shared_ptr<RdmResponder>>& Responders() const { return responders_; }

    // One line transaction: the request out, whatever comes back.
    std::optional<Bytes> Transact(const Bytes& request);

    // DMX512 frames go to the responders that listen for them.
    void Transmit(uint8_t startCode, const Bytes& levels);
    bool HasListeners() const { return !listeners_.empty(); }

    uint64_t Transactions() const { return transactions_; }
    uint64_t Collisions() const { return collisions_; }

  private:
    std::vector<std::shared_ptr<RdmResponder>> responders_;
    // Those of them that take DMX512 frames, found once: every slot command sends a frame.
    std::vector<DmxListener*> listeners_;
    uint64_t transactions_ = 0;
    uint64_t collisions_ = 0;
};

// What the line delivers when several responders drive it at once: bytes they agree on,
// noise where they differ; the longest answer sets the length.
Bytes Collide(const std::vector<Bytes>& answers);

}  // namespace qelsim
