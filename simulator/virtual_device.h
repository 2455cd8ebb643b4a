// A virtual fixture on the RDM line: a root device and its sub-devices answering as an
// E1.20 responder does, with discovery muting, queued messages, status messages, ACK_TIMER
// for slow parameters, ACK_OVERFLOW for long answers, and switchable faults.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "device_model.h"
#include "param_answer.h"
#include "rdm_packet.h"
#include "rdm_responder.h"
#include "responder_fault.h"
#include "sim_time.h"

namespace qelsim {

struct StatusMessage {
    uint16_t subDevice = 0;
    uint8_t type = 0;
    uint16_t id = 0;
    uint16_t value1 = 0, value2 = 0;
};

class VirtualDevice : public RdmResponder, public DmxListener {
  public:
    VirtualDevice(rdm::Uid uid, DeviceModel root, std::vector<DeviceModel> subDevices,
                  SharedTime time);

    std::optional<Bytes> Respond(const Bytes& request) override;
    void OnDmxFrame(uint8_t startCode, const Bytes& levels) override;

    rdm::Uid Uid() const { return uid_; }
    void SetFault(Fault fault, bool on);
    bool HasFault(Fault fault) const;

    // Events of the fixture's own life.
    void RaiseStatus(const StatusMessage& message);
    // Queues the current value of a parameter, as a device does when it changed by itself.
    void QueueParameter(uint16_t subDevice, uint16_t pid);

    // Runs after every acknowledged SET: (sub-device, PID). Fixtures use it to act on a
    // change (strike the lamp, queue what changed by itself).
    using Reaction = std::function<void(VirtualDevice&, uint16_t, uint16_t)>;
    void SetReaction(Reaction reaction) { reaction_ = std::move(reaction); }

    // For tests; not to be held across calls of Respond.
    DeviceModel& Model(uint16_t subDevice);
    uint16_t SubDeviceCount() const { return static_cast<uint16_t>(models_.size() - 1); }
    bool Muted() const;
    Bytes DmxLevels() const;  // the fixture's footprint of the last DMX frame seen

  private:
    struct Answer {
        ParamAnswer body;
        uint8_t commandClass;  // of the response
        uint16_t pid;
        uint16_t subDevice;
        uint8_t responseType;  // may become ACK_TIMER or ACK_OVERFLOW
    };
    struct Queued {
        Answer answer;
        Duration readyAt;
        bool delayed;
    };
    struct Overflow {
        uint8_t commandClass;
        uint16_t subDevice, pid;
        Bytes request;
        Answer answer;
        Bytes rest;
    };

    std::optional<Bytes> Discovery(const rdm::Packet& p, bool broadcast);
    Answer Dispatch(const rdm::Packet& p);
    ParamAnswer DeviceLevel(const rdm::Packet& p, bool& handled);
    ParamAnswer ForSubDevices(const rdm::Packet& p);
    Answer Delay(Answer answer, uint16_t tenths);
    Answer Split(const rdm::Packet& p, Answer answer);
    Answer QueuedMessage(const rdm::Packet& p);
    Bytes TakeStatusMessages(uint8_t type);
    ParamAnswer Reset(const Bytes& data);
    ParamAnswer Clock(bool set, const Bytes& data);
    // `faulty`: the switched-on faults apply (they spare discovery).
    Bytes Build(const rdm::Packet& request, const Answer& answer, bool faulty);
    size_t ReadyCount() const;
    Answer PlainAnswer(const rdm::Packet& p, ParamAnswer body) const;

    const rdm::Uid uid_;
    std::vector<DeviceModel> models_;  // 0 = root
    std::vector<DeviceModel> defaults_;
    SharedTime time_;
    std::atomic<uint32_t> faults_{0};

    // Recursive: a fixture's reaction to a request raises its own events.
    mutable std::recursive_mutex mutex_;
    bool muted_ = false;
    std::deque<Queued> queue_;
    std::optional<Answer> lastQueued_;
    std::vector<StatusMessage> status_;
    Bytes lastStatusReport_;
    std::optional<Overflow> overflow_;
    uint16_t shortMessages_ = 0, lengthMismatches_ = 0, checksumFails_ = 0;
    int64_t clockBase_ = 0;  // calendar seconds at clockSetAt_
    Duration clockSetAt_{};
    Bytes dmx_;
    Reaction reaction_;
};

}  // namespace qelsim
