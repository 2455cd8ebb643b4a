// The unit as RDM controller: it discovers the responders on its line, keeps their UIDs
// in the order found, and carries GET, SET and queued-message requests to them.
#pragma once

#include <cstdint>
#include <map>

#include "bytes.h"
#include "rdm_discovery.h"
#include "rdm_line.h"
#include "rdm_packet.h"
#include "sim_time.h"
#include "unit_reply.h"

namespace qelsim {

class RdmController {
  public:
    // Line time of one discovery transaction; discovery advances by the line time that
    // passed since it was last asked, and at least by kMinDiscoveryStep transactions.
    static constexpr Duration kDiscoveryTransactionTime = std::chrono::microseconds(2800);
    static constexpr int kMinDiscoveryStep = 16;
    static constexpr int kMaxDiscoveryStep = 4096;

    RdmController(rdm::Uid self, RdmLine& line, SharedTime time)
        : self_(self), line_(line), time_(std::move(time)) {}

    void StartDiscovery();
    // Advances a running discovery, then reports devices found so far and the state.
    Bytes DiscoveryReport();
    // Runs discovery to its end (tests and benchmarks).
    void DiscoverAll();
    const Discovery& Discoveries() const { return discovery_; }

    // `index` is 1-based in the order found.
    UnitReply DeviceUid(uint8_t index) const;

    // GET or SET; index 0 is a broadcast (SET only) to the devices the mask selects.
    UnitReply Request(uint8_t commandClass, uint8_t index, uint16_t subDevice, uint16_t pid,
                      const Bytes& data);
    UnitReply Queued(uint8_t index, uint8_t statusType);
    // A manufacturer ID, or 0xFFFF for every device.
    void SetBroadcastMask(uint16_t mask) { mask_ = mask; }

  private:
    std::optional<Bytes> Send(rdm::Packet& packet);
    std::optional<UnitReply> CheckIndex(uint8_t index) const;

    rdm::Uid self_;
    RdmLine& line_;
    SharedTime time_;
    Discovery discovery_;
    Duration lastStep_{};
    uint8_t transaction_ = 0;
    uint16_t mask_ = 0xFFFF;
    // A device starts any answer afresh once it is asked something else, so a partly read
    // queued message is followed only while the next request is the same queued request.
    struct QueuedRead {
        bool continues = false;
        uint8_t statusType = 0;
    };
    std::map<uint8_t, QueuedRead> queuedReads_;
};

}  // namespace qelsim
