#include "unit.h"

#include <map>
#include <utility>

#include "rdm_defs.h"
#include "unit_status.h"

namespace qelsim {

namespace {

struct PayloadLimits {
    size_t minimum, maximum;
};

// The payload sizes each command takes. A code not listed is unknown to the unit.
const std::map<uint8_t, PayloadLimits>& Limits() {
    using namespace command;
    static const std::map<uint8_t, PayloadLimits> limits = {
        {kName, {0, 1}},
        {kHardwareRevision, {0, 0}},
        {kFirmwareRevision, {1, 1}},
        {kSerial, {1, 1}},
        {kUid, {0, 0}},
        {kGetFrameRate, {0, 0}},
        {kSetFrameRate, {1, 1}},
        {kGetMarkTime, {0, 0}},
        {kSetMarkTime, {2, 2}},
        {kGetBreakTime, {0, 0}},
        {kSetBreakTime, {2, 2}},
        {kGetTimeout, {0, 0}},
        {kSetTimeout, {1, 1}},
        {kSendFrame, {2, 2 + 512}},
        {kStopFrame, {0, 0}},
        {kSendSlot, {3, 3}},
        {kGetInput, {1, 1}},
        {kStartDiscovery, {0, 0}},
        {kDiscoveryState, {0, 0}},
        {kDeviceUid, {1, 1}},
        {kRdmGet, {5, 5 + 231}},
        {kRdmSet, {5, 5 + 231}},
        {kQueuedMessage, {1, 2}},
        {kBroadcastMask, {2, 2}},
        {kFirmwareRecord, {kRecordSize, kRecordSize}},
        {kFirmwareFinish, {0, 0}},
        {kBuild, {0, 0}},
    };
    return limits;
}

constexpr uint8_t kFactoryProbePayload = 4;
constexpr uint8_t kOptionDefault = 0x01;  // the option byte of the identity queries

Bytes Text0(const std::string& text) {
    Bytes b;
    PutText(b, text);
    b.push_back(0);
    return b;
}

Bytes Triple(const TimingValue& v) {
    return {static_cast<uint8_t>(v.current), static_cast<uint8_t>(v.minimum),
            static_cast<uint8_t>(v.maximum)};
}

Bytes Triple16(const TimingValue& v) {
    Bytes b;
    for (uint16_t x : {v.current, v.minimum, v.maximum})
        PutLe16(b, x);
    return b;
}

UnitReply Ok(Bytes data = {}) {
    return {status::kOk, std::move(data)};
}
UnitReply Refuse(uint8_t s) {
    return {s, {}};
}

}  // namespace

Unit::Unit(UnitIdentity identity, SharedTime time)
    : identity_(std::move(identity)),
      time_(std::move(time)),
      input_(output_, time_),
      loader_(identity_.model),
      rdm_(identity_.uid, line_, time_) {}

void Unit::Attach(std::shared_ptr<RdmResponder> responder) {
    std::lock_guard<std::mutex> lock(mutex_);
    line_.Attach(std::move(responder));
}

Duration Unit::WorkTime(const Bytes& body) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (body.empty()) return Duration::zero();
    if (body[0] == command::kFirmwareRecord) return flash_.record;
    if (body[0] == command::kFirmwareFinish) return flash_.finish;
    return Duration::zero();
}

void Unit::SetFlashTime(FlashTime t) {
    std::lock_guard<std::mutex> lock(mutex_);
    flash_ = t;
}

UnitIdentity Unit::Identity() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return identity_;
}

Bytes Unit::HandleBody(const Bytes& body) {
    if (body.empty()) return {0, status::kFrameFormat};
    UnitReply r = Handle(body[0], Bytes(body.begin() + 1, body.end()));
    Bytes reply{body[0], r.status};
    reply.insert(reply.end(), r.data.begin(), r.data.end());
    return reply;
}

UnitReply Unit::Handle(uint8_t code, const Bytes& payload) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (code == command::kFactoryProbe && identity_.factoryMode) {
        return payload.size() == kFactoryProbePayload ? Ok() : Refuse(status::kDataMissing);
    }
    auto limits = Limits().find(code);
    if (limits == Limits().end()) return Refuse(status::kUnknownCommand);
    if (payload.size() < limits->second.minimum) return Refuse(status::kDataMissing);
    if (payload.size() > limits->second.maximum) return Refuse(status::kTooLong);
    return Dispatch(code, payload);
}

UnitReply Unit::Dispatch(uint8_t code, const Bytes& payload) {
    using namespace command;
    switch (code) {
        case kName:
        case kHardwareRevision:
        case kFirmwareRevision:
        case kSerial:
        case kUid:
        case kBuild:
            return Identify(code, payload);
        case kSendFrame:
        case kStopFrame:
        case kSendSlot:
        case kGetInput:
            return Output(code, payload);
        case kStartDiscovery:
        case kDiscoveryState:
        case kDeviceUid:
        case kRdmGet:
        case kRdmSet:
        case kQueuedMessage:
        case kBroadcastMask:
            return RdmCommand(code, payload);
        case kFirmwareRecord:
        case kFirmwareFinish:
            return Firmware(code, payload);
        default:
            return TimingCommand(code, payload);
    }
}

UnitReply Unit::Identify(uint8_t code, const Bytes& payload) {
    using namespace command;
    switch (code) {
        case kName:
            if (payload.empty()) {
                Bytes b;
                PutText(b, identity_.name);
                return Ok(b);
            }
            if (identity_.legacyModelQuery) return Refuse(status::kTooLong);
            if (payload[0] != kOptionDefault) return Refuse(status::kNotAnOption);
            {
                Bytes b;
                PutLe16(b, identity_.model);
                return Ok(b);
            }
        case kHardwareRevision: {
            Bytes b;
            PutText(b, identity_.hardwareRevision);
            return Ok(b);
        }
        case kFirmwareRevision:
        case kSerial:
            if (payload[0] != kOptionDefault) return Refuse(status::kNotAnOption);
            return Ok(Text0(code == kSerial ? identity_.serial : identity_.firmware.Text()));
        case kUid: {
            Bytes b;
            rdm::PutUid(b, identity_.uid);
            return Ok(b);
        }
        default: {  // build number
            Bytes b;
            PutLe32(b, identity_.firmware.build);
            return Ok(b);
        }
    }
}

UnitReply Unit::TimingCommand(uint8_t code, const Bytes& payload) {
    using namespace command;
    switch (code) {
        case kGetFrameRate:
            return Ok(Triple(timing_.Rate()));
        case kGetMarkTime:
            return Ok(Triple16(timing_.Mark()));
        case kGetBreakTime:
            return Ok(Triple16(timing_.Break()));
        case kGetTimeout:
            return Ok(Triple(timing_.Timeout()));
        default:
            break;
    }
    bool accepted = false;
    switch (code) {
        case kSetFrameRate:
            accepted = timing_.SetRate(payload[0]);
            break;
        case kSetMarkTime:
            accepted = timing_.SetMark(GetLe16(payload, 0));
            break;
        case kSetBreakTime:
            accepted = timing_.SetBreak(GetLe16(payload, 0));
            break;
        default:  // time-out
            accepted = timing_.SetTimeout(payload[0]);
            break;
    }
    return accepted ? Ok() : Refuse(status::kOutOfRange);
}

UnitReply Unit::Output(uint8_t code, const Bytes& payload) {
    using namespace command;
    switch (code) {
        case kSendFrame: {
            if (payload[0] != 0) return Refuse(status::kNotAnOption);  // one universe only
            Bytes levels(payload.begin() + 2, payload.end());
            output_.Send(payload[1], levels);
            line_.Transmit(payload[1], levels);
            return Ok();
        }
        case kStopFrame:
            output_.Stop();
            return Ok();
        case kSendSlot: {
            uint16_t slot = GetLe16(payload, 0);
            if (slot < 1 || slot > kDmxSlots) return Refuse(status::kOutOfRange);
            output_.SetSlot(slot, payload[2]);
            if (line_.HasListeners()) {
                DmxFrame f = output_.Current();
                if (f.sending) line_.Transmit(f.startCode, f.levels);
            }
            return Ok();
        }
        default:  // received input
            if (payload[0] != 1) return Refuse(status::kNotAnOption);
            return Ok(input_.Read());
    }
}

UnitReply Unit::RdmCommand(uint8_t code, const Bytes& payload) {
    using namespace command;
    switch (code) {
        case kStartDiscovery:
            rdm_.StartDiscovery();
            return Ok();
        case kDiscoveryState:
            return Ok(rdm_.DiscoveryReport());
        case kDeviceUid:
            return rdm_.DeviceUid(payload[0]);
        case kQueuedMessage:
            return rdm_.Queued(payload[0],
                               payload.size() > 1 ? payload[1] : uint8_t{rdm::kStatusAdvisory});
        case kBroadcastMask:
            rdm_.SetBroadcastMask(GetBe16(payload, 0));
            return Ok();
        default: {
            uint8_t commandClass = code == kRdmGet ? rdm::kGetCommand : rdm::kSetCommand;
            return rdm_.Request(commandClass, payload[0], GetBe16(payload, 1), GetBe16(payload, 3),
                                Bytes(payload.begin() + 5, payload.end()));
        }
    }
}

UnitReply Unit::Firmware(uint8_t code, const Bytes& payload) {
    if (code == command::kFirmwareRecord) return Refuse(loader_.Record(payload));
    FirmwareVersion installed;
    uint8_t s = loader_.Finish(&installed);
    if (s == status::kOk) identity_.firmware = installed;
    return Refuse(s);
}

}  // namespace qelsim
