#include "virtual_device.h"

#include <algorithm>
#include <ctime>

#include "device_parameters.h"

namespace qelsim {

namespace pid = rdm::pid;
using Lock = std::lock_guard<std::recursive_mutex>;

namespace {

constexpr Duration kTenth = std::chrono::milliseconds(100);

int64_t Seconds(Duration d) {
    return std::chrono::duration_cast<std::chrono::seconds>(d).count();
}

// The wall clock read as a calendar in local time, counted like UTC so that timegm and
// gmtime_r move between the two without a zone.
int64_t LocalCalendarNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<int64_t>(timegm(&local));
}

}  // namespace

VirtualDevice::VirtualDevice(rdm::Uid uid, DeviceModel root, std::vector<DeviceModel> subDevices,
                             SharedTime time)
    : uid_(uid), time_(std::move(time)) {
    models_.push_back(std::move(root));
    for (auto& s : subDevices)
        models_.push_back(std::move(s));
    defaults_ = models_;
    clockBase_ = LocalCalendarNow();
    clockSetAt_ = time_->Now();
}

void VirtualDevice::SetFault(Fault fault, bool on) {
    auto bit = static_cast<uint32_t>(fault);
    if (on) {
        faults_.fetch_or(bit);
    } else {
        faults_.fetch_and(~bit);
    }
}

bool VirtualDevice::HasFault(Fault fault) const {
    return faults_.load() & static_cast<uint32_t>(fault);
}

DeviceModel& VirtualDevice::Model(uint16_t subDevice) {
    return models_.at(subDevice);
}

bool VirtualDevice::Muted() const {
    Lock lock(mutex_);
    return muted_;
}

Bytes VirtualDevice::DmxLevels() const {
    Lock lock(mutex_);
    return dmx_;
}

void VirtualDevice::OnDmxFrame(uint8_t startCode, const Bytes& levels) {
    Lock lock(mutex_);
    if (startCode != 0) return;
    const DeviceModel& root = models_[0];
    size_t from = std::min<size_t>(root.startAddress - 1, levels.size());
    size_t to = std::min<size_t>(from + root.Footprint(), levels.size());
    dmx_.assign(levels.begin() + static_cast<long>(from), levels.begin() + static_cast<long>(to));
}

void VirtualDevice::RaiseStatus(const StatusMessage& message) {
    Lock lock(mutex_);
    status_.push_back(message);
}

void VirtualDevice::QueueParameter(uint16_t subDevice, uint16_t p) {
    Lock lock(mutex_);
    ParamAnswer body =
        HandleParameter(models_.at(subDevice), false, p, {}, time_->Now(), SubDeviceCount());
    if (!body.IsAck()) return;
    queue_.push_back(
        {Answer{body, rdm::kGetResponse, p, subDevice, rdm::kAck}, Duration::zero(), false});
}

size_t VirtualDevice::ReadyCount() const {
    Duration now = time_->Now();
    return static_cast<size_t>(std::count_if(queue_.begin(), queue_.end(),
                                             [now](const Queued& q) { return q.readyAt <= now; }));
}

std::optional<Bytes> VirtualDevice::Respond(const Bytes& request) {
    Lock lock(mutex_);
    rdm::Decoded d = rdm::Decode(request);
    switch (d.error) {
        case rdm::DecodeError::kNone:
            break;
        case rdm::DecodeError::kTooShort:
            ++shortMessages_;
            return std::nullopt;
        case rdm::DecodeError::kChecksum:
            ++checksumFails_;
            return std::nullopt;
        default:
            ++lengthMismatches_;
            return std::nullopt;
    }
    const rdm::Packet& p = d.packet;
    if (!rdm::Addresses(p.destination, uid_)) return std::nullopt;
    bool broadcast = rdm::IsBroadcast(p.destination);
    if (p.commandClass == rdm::kDiscoveryCommand) return Discovery(p, broadcast);
    if (p.commandClass != rdm::kGetCommand && p.commandClass != rdm::kSetCommand) {
        return std::nullopt;
    }
    Answer answer = Dispatch(p);
    if (answer.body.IsAck() && p.commandClass == rdm::kSetCommand && reaction_) {
        reaction_(*this, p.subDevice, p.pid);
    }
    if (broadcast && !HasFault(Fault::kAnswersBroadcast)) return std::nullopt;
    if (HasFault(Fault::kNoResponse)) return std::nullopt;
    return Build(p, answer, true);
}

std::optional<Bytes> VirtualDevice::Discovery(const rdm::Packet& p, bool broadcast) {
    switch (p.pid) {
        case pid::kDiscUniqueBranch: {
            if (p.data.size() != 12 || muted_) return std::nullopt;
            rdm::Uid lower = rdm::GetUid(p.data, 0), upper = rdm::GetUid(p.data, 6);
            if (uid_ < lower || uid_ > upper) return std::nullopt;
            return rdm::EncodeDiscoveryResponse(uid_);
        }
        case pid::kDiscMute:
        case pid::kDiscUnMute: {
            if (p.pid == pid::kDiscUnMute) {
                muted_ = false;
            } else if (!HasFault(Fault::kFailsToMute)) {
                muted_ = true;
            }
            if (broadcast) return std::nullopt;
            Bytes control;
            PutBe16(control, SubDeviceCount() ? 0x0002 : 0x0000);  // sub-devices present
            Answer a{ParamAnswer::Ack(control), rdm::kDiscoveryResponse, p.pid, 0, rdm::kAck};
            return Build(p, a, false);
        }
        default:
            return std::nullopt;
    }
}

VirtualDevice::Answer VirtualDevice::PlainAnswer(const rdm::Packet& p, ParamAnswer body) const {
    return Answer{std::move(body), static_cast<uint8_t>(p.commandClass + 1), p.pid, p.subDevice,
                  rdm::kAck};
}

VirtualDevice::Answer VirtualDevice::Dispatch(const rdm::Packet& p) {
    bool set = p.commandClass == rdm::kSetCommand;
    if (overflow_ && overflow_->commandClass == p.commandClass &&
        overflow_->subDevice == p.subDevice && overflow_->pid == p.pid &&
        overflow_->request == p.data) {
        Answer next = overflow_->answer;
        size_t n = std::min<size_t>(overflow_->rest.size(), rdm::kMaxParamData);
        next.body.data.assign(overflow_->rest.begin(),
                              overflow_->rest.begin() + static_cast<long>(n));
        overflow_->rest.erase(overflow_->rest.begin(),
                              overflow_->rest.begin() + static_cast<long>(n));
        if (overflow_->rest.empty()) {
            overflow_.reset();
            next.responseType = rdm::kAck;
        } else {
            next.responseType = rdm::kAckOverflow;
        }
        return next;
    }
    overflow_.reset();
    if (p.subDevice == rdm::kSubDeviceAll) {
        if (!set) return PlainAnswer(p, ParamAnswer::Nack(rdm::kNrSubDeviceOutOfRange));
        return PlainAnswer(p, ForSubDevices(p));
    }
    if (p.subDevice >= models_.size()) {
        return PlainAnswer(p, ParamAnswer::Nack(rdm::kNrSubDeviceOutOfRange));
    }
    DeviceModel& m = models_[p.subDevice];
    if (!m.pids.count(p.pid)) return PlainAnswer(p, ParamAnswer::Nack(rdm::kNrUnknownPid));
    if (p.pid == pid::kQueuedMessage) {
        if (set) return PlainAnswer(p, ParamAnswer::Nack(rdm::kNrUnsupportedCommandClass));
        return QueuedMessage(p);
    }
    bool handled = false;
    ParamAnswer body = DeviceLevel(p, handled);
    if (!handled) body = HandleParameter(m, set, p.pid, p.data, time_->Now(), SubDeviceCount());
    Answer a = PlainAnswer(p, std::move(body));
    if (a.body.IsAck()) {
        auto delayed = m.delayedParameters.find(p.pid);
        if (delayed != m.delayedParameters.end()) return Delay(std::move(a), delayed->second);
    }
    return Split(p, std::move(a));
}

ParamAnswer VirtualDevice::ForSubDevices(const rdm::Packet& p) {
    ParamAnswer result = ParamAnswer::Nack(rdm::kNrUnknownPid);
    for (size_t s = 1; s < models_.size(); ++s) {
        if (!models_[s].pids.count(p.pid)) continue;
        ParamAnswer a =
            HandleParameter(models_[s], true, p.pid, p.data, time_->Now(), SubDeviceCount());
        if (!a.IsAck()) return a;
        result = a;
    }
    return result;
}

ParamAnswer VirtualDevice::DeviceLevel(const rdm::Packet& p, bool& handled) {
    bool set = p.commandClass == rdm::kSetCommand;
    handled = true;
    switch (p.pid) {
        case pid::kStatusMessages:
            if (set) return ParamAnswer::Nack(rdm::kNrUnsupportedCommandClass);
            if (p.data.size() != 1) return ParamAnswer::Nack(rdm::kNrFormatError);
            if (p.data[0] > rdm::kStatusError) return ParamAnswer::Nack(rdm::kNrDataOutOfRange);
            return ParamAnswer::Ack(TakeStatusMessages(p.data[0]));
        case pid::kClearStatusId:
            if (!set) return ParamAnswer::Nack(rdm::kNrUnsupportedCommandClass);
            status_.clear();
            return ParamAnswer::Ack();
        case pid::kCommsStatus: {
            if (set) {
                shortMessages_ = lengthMismatches_ = checksumFails_ = 0;
                return ParamAnswer::Ack();
            }
            Bytes b;
            PutBe16(b, shortMessages_);
            PutBe16(b, lengthMismatches_);
            PutBe16(b, checksumFails_);
            return ParamAnswer::Ack(b);
        }
        case pid::kResetDevice:
            if (!set) return ParamAnswer::Nack(rdm::kNrUnsupportedCommandClass);
            return Reset(p.data);
        case pid::kRealTimeClock:
            return Clock(set, p.data);
        case pid::kFactoryDefaults: {
            auto same = [this] {
                for (size_t i = 0; i < models_.size(); ++i) {
                    const DeviceModel &m = models_[i], &d = defaults_[i];
                    if (m.label != d.label || m.startAddress != d.startAddress ||
                        m.personality != d.personality) {
                        return false;
                    }
                }
                return true;
            };
            if (!set) return ParamAnswer::Ack({static_cast<uint8_t>(same() ? 1 : 0)});
            if (!p.data.empty()) return ParamAnswer::Nack(rdm::kNrFormatError);
            for (size_t i = 0; i < models_.size(); ++i) {
                models_[i].label = defaults_[i].label;
                models_[i].startAddress = defaults_[i].startAddress;
                models_[i].personality = defaults_[i].personality;
            }
            return ParamAnswer::Ack();
        }
        default:
            handled = false;
            return {};
    }
}

ParamAnswer VirtualDevice::Reset(const Bytes& data) {
    if (data.size() != 1) return ParamAnswer::Nack(rdm::kNrFormatError);
    if (data[0] != 0x01 && data[0] != 0xFF) return ParamAnswer::Nack(rdm::kNrDataOutOfRange);
    if (data[0] == 0xFF) {  // cold: back to the settings it left the factory with
        for (size_t i = 0; i < models_.size(); ++i) {
            uint32_t hours = models_[i].deviceHours, lamp = models_[i].lampHours;
            uint32_t strikes = models_[i].lampStrikes, cycles = models_[i].powerCycles + 1;
            models_[i] = defaults_[i];
            models_[i].deviceHours = hours;
            models_[i].lampHours = lamp;
            models_[i].lampStrikes = strikes;
            models_[i].powerCycles = cycles;
        }
        queue_.clear();
        status_.clear();
    }
    for (auto& m : models_) {
        m.identify = false;
        m.selfTest = 0;
    }
    return ParamAnswer::Ack();
}

ParamAnswer VirtualDevice::Clock(bool set, const Bytes& data) {
    Duration now = time_->Now();
    if (!set) {
        if (!data.empty()) return ParamAnswer::Nack(rdm::kNrFormatError);
        std::time_t t = static_cast<std::time_t>(clockBase_ + Seconds(now - clockSetAt_));
        std::tm c{};
        gmtime_r(&t, &c);
        Bytes b;
        PutBe16(b, static_cast<uint16_t>(c.tm_year + 1900));
        for (int v : {c.tm_mon + 1, c.tm_mday, c.tm_hour, c.tm_min, c.tm_sec}) {
            b.push_back(static_cast<uint8_t>(v));
        }
        return ParamAnswer::Ack(b);
    }
    if (data.size() != 7) return ParamAnswer::Nack(rdm::kNrFormatError);
    std::tm c{};
    c.tm_year = GetBe16(data, 0) - 1900;
    c.tm_mon = data[2] - 1;
    c.tm_mday = data[3];
    c.tm_hour = data[4];
    c.tm_min = data[5];
    c.tm_sec = data[6];
    std::tm check = c;
    std::time_t t = timegm(&check);
    // timegm normalises out-of-range fields; a date that moved was not a real date.
    if (GetBe16(data, 0) < 2003 || check.tm_mon != c.tm_mon || check.tm_mday != c.tm_mday ||
        check.tm_hour != c.tm_hour || check.tm_min != c.tm_min || check.tm_sec != c.tm_sec) {
        return ParamAnswer::Nack(rdm::kNrDataOutOfRange);
    }
    clockBase_ = static_cast<int64_t>(t);
    clockSetAt_ = now;
    return ParamAnswer::Ack();
}

Bytes VirtualDevice::TakeStatusMessages(uint8_t type) {
    if (type == rdm::kStatusGetLastMessage) return lastStatusReport_;
    Bytes report;
    if (type != rdm::kStatusNone) {
        auto severity = [](uint8_t t) { return static_cast<uint8_t>(t & 0x0F); };
        std::vector<StatusMessage> kept;
        for (const StatusMessage& m : status_) {
            if (severity(m.type) < type) {
                kept.push_back(m);
                continue;
            }
            PutBe16(report, m.subDevice);
            report.push_back(m.type);
            PutBe16(report, m.id);
            PutBe16(report, m.value1);
            PutBe16(report, m.value2);
        }
        status_ = std::move(kept);
    }
    lastStatusReport_ = report;
    return report;
}

VirtualDevice::Answer VirtualDevice::Delay(Answer answer, uint16_t tenths) {
    auto at =
        std::find_if(queue_.begin(), queue_.end(), [](const Queued& q) { return !q.delayed; });
    queue_.insert(at, Queued{answer, time_->Now() + tenths * kTenth, true});
    Bytes wait;
    PutBe16(wait, tenths);
    answer.body = ParamAnswer::Ack(wait);
    answer.responseType = rdm::kAckTimer;
    return answer;
}

VirtualDevice::Answer VirtualDevice::Split(const rdm::Packet& p, Answer answer) {
    if (!answer.body.IsAck() || answer.body.data.size() <= rdm::kMaxParamData) return answer;
    Overflow o{p.commandClass, p.subDevice, p.pid, p.data, answer, {}};
    o.rest.assign(answer.body.data.begin() + rdm::kMaxParamData, answer.body.data.end());
    overflow_ = std::move(o);
    answer.body.data.resize(rdm::kMaxParamData);
    answer.responseType = rdm::kAckOverflow;
    return answer;
}

VirtualDevice::Answer VirtualDevice::QueuedMessage(const rdm::Packet& p) {
    if (p.data.size() != 1) return PlainAnswer(p, ParamAnswer::Nack(rdm::kNrFormatError));
    uint8_t type = p.data[0];
    if (type > rdm::kStatusError) return PlainAnswer(p, ParamAnswer::Nack(rdm::kNrDataOutOfRange));
    if (type == rdm::kStatusGetLastMessage && lastQueued_) return Split(p, *lastQueued_);
    // Answers still being worked on stand at the front, so a controller polling for one
    // after ACK_TIMER gets that one, or a request for more time.
    Duration now = time_->Now();
    if (!queue_.empty() && queue_.front().readyAt > now) {
        Duration left = queue_.front().readyAt - now;
        auto tenths =
            static_cast<uint16_t>(std::max<int64_t>(1, (left + kTenth - Duration(1)) / kTenth));
        Bytes wait;
        PutBe16(wait, tenths);
        Answer a = PlainAnswer(p, ParamAnswer::Ack(wait));
        a.responseType = rdm::kAckTimer;
        return a;
    }
    if (!queue_.empty()) {
        Answer a = queue_.front().answer;
        queue_.pop_front();
        lastQueued_ = a;
        return Split(p, a);
    }
    Answer a{ParamAnswer::Ack(TakeStatusMessages(type)), rdm::kGetResponse, pid::kStatusMessages, 0,
             rdm::kAck};
    return Split(p, a);
}

Bytes VirtualDevice::Build(const rdm::Packet& request, const Answer& answer, bool faulty) {
    auto fault = [&](Fault f) { return faulty && HasFault(f); };
    rdm::Packet r;
    r.destination = request.source;
    r.source = fault(Fault::kWrongIdentity) ? (uid_ ^ 1) : uid_;
    r.transaction =
        static_cast<uint8_t>(request.transaction + (fault(Fault::kWrongTransaction) ? 1 : 0));
    r.portOrResponseType =
        answer.body.IsAck() ? answer.responseType : static_cast<uint8_t>(rdm::kNackReason);
    r.messageCount = static_cast<uint8_t>(std::min<size_t>(ReadyCount(), 255));
    r.subDevice = static_cast<uint16_t>(answer.subDevice + (fault(Fault::kWrongSubDevice) ? 1 : 0));
    r.commandClass = answer.commandClass;
    r.pid = answer.pid;
    r.data = answer.body.data;
    Bytes b = rdm::Encode(r);
    if (fault(Fault::kBadChecksum)) b.back() ^= 0x5A;
    if (fault(Fault::kMalformed)) b[2] = static_cast<uint8_t>(b[2] + 3);
    return b;
}

}  // namespace qelsim
