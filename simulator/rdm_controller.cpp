#include "rdm_controller.h"

#include <algorithm>

#include "rdm_defs.h"
#include "rdm_judge.h"
#include "unit_status.h"

namespace qelsim {

std::optional<Bytes> RdmController::Send(rdm::Packet& p) {
    p.source = self_;
    p.transaction = transaction_++;
    p.portOrResponseType = rdm::kPortId;
    p.messageCount = 0;
    return line_.Transact(rdm::Encode(p));
}

void RdmController::StartDiscovery() {
    discovery_.Start();
    lastStep_ = time_->Now();
    queuedReads_.clear();
}

Bytes RdmController::DiscoveryReport() {
    if (discovery_.Running()) {
        Duration now = time_->Now();
        auto budget = (now - lastStep_) / kDiscoveryTransactionTime;
        lastStep_ = now;
        int steps = static_cast<int>(
            std::clamp<decltype(budget)>(budget, kMinDiscoveryStep, kMaxDiscoveryStep));
        discovery_.Step(
            [this](uint16_t pid, rdm::Uid to, const Bytes& data) {
                rdm::Packet p;
                p.destination = to;
                p.commandClass = rdm::kDiscoveryCommand;
                p.pid = pid;
                p.data = data;
                return Send(p);
            },
            steps);
    }
    return {static_cast<uint8_t>(discovery_.Found().size()), discovery_.State()};
}

void RdmController::DiscoverAll() {
    StartDiscovery();
    while (discovery_.Running()) {
        lastStep_ = time_->Now() - kDiscoveryTransactionTime * kMaxDiscoveryStep;
        DiscoveryReport();
    }
}

std::optional<UnitReply> RdmController::CheckIndex(uint8_t index) const {
    if (discovery_.Running()) return UnitReply{status::kBusy, {}};
    if (index == 0 || index > discovery_.Found().size()) return UnitReply{status::kOutOfRange, {}};
    return std::nullopt;
}

UnitReply RdmController::DeviceUid(uint8_t index) const {
    if (index == 0 || index > discovery_.Found().size()) return {status::kOutOfRange, {}};
    Bytes uid;
    rdm::PutUid(uid, discovery_.Found()[index - 1]);
    return {status::kOk, uid};
}

UnitReply RdmController::Request(uint8_t commandClass, uint8_t index, uint16_t subDevice,
                                 uint16_t pid, const Bytes& data) {
    if (data.size() > rdm::kMaxParamData) return {status::kTooLong, {}};
    rdm::Packet p;
    p.commandClass = commandClass;
    p.subDevice = subDevice;
    p.pid = pid;
    p.data = data;
    if (index == 0) {
        if (discovery_.Running()) return {status::kBusy, {}};
        if (commandClass != rdm::kSetCommand) return {status::kNotAnOption, {}};
        p.destination = mask_ == 0xFFFF ? rdm::kBroadcastAll : rdm::ManufacturerBroadcast(mask_);
        queuedReads_.clear();
        // Responders stay silent on a broadcast; anything heard is a fault on the line.
        return Send(p) ? UnitReply{status::kRdmUnexpected, {}} : UnitReply{status::kOk, {}};
    }
    if (auto refused = CheckIndex(index)) return *refused;
    p.destination = discovery_.Found()[index - 1];
    queuedReads_.erase(index);
    std::optional<Bytes> answer = Send(p);
    return JudgeResponse(p, answer);
}

UnitReply RdmController::Queued(uint8_t index, uint8_t statusType) {
    if (auto refused = CheckIndex(index)) return *refused;
    rdm::Packet p;
    p.destination = discovery_.Found()[index - 1];
    p.commandClass = rdm::kGetCommand;
    p.pid = rdm::pid::kQueuedMessage;
    p.data = {statusType};
    std::optional<Bytes> answer = Send(p);
    // The PID leads the data of a queued message once, not before each part of one
    // that overflows.
    QueuedRead& read = queuedReads_[index];
    bool continues = read.continues && read.statusType == statusType;
    UnitReply reply = JudgeResponse(p, answer, true, !continues);
    read = {reply.status == status::kRdmOverflow, statusType};
    return reply;
}

}  // namespace qelsim
