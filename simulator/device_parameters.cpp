#include "device_parameters.h"

#include <algorithm>

#include "rdm_defs.h"

namespace qelsim {

namespace pid = rdm::pid;

bool IsRequiredParameter(uint16_t p) {
    switch (p) {
        case pid::kDiscUniqueBranch:
        case pid::kDiscMute:
        case pid::kDiscUnMute:
        case pid::kSupportedParameters:
        case pid::kParameterDescription:
        case pid::kDeviceInfo:
        case pid::kSoftwareVersionLabel:
        case pid::kDmxStartAddress:
        case pid::kIdentifyDevice:
            return true;
        default:
            return false;
    }
}

namespace {

ParamAnswer FormatError() {
    return ParamAnswer::Nack(rdm::kNrFormatError);
}
ParamAnswer OutOfRange() {
    return ParamAnswer::Nack(rdm::kNrDataOutOfRange);
}
ParamAnswer NoSuchClass() {
    return ParamAnswer::Nack(rdm::kNrUnsupportedCommandClass);
}

Bytes Text(const std::string& s) {
    Bytes b;
    PutText(b, s.substr(0, 32));
    return b;
}

// A read-only value: GET without data answers it.
ParamAnswer ReadOnly(bool set, const Bytes& data, Bytes value) {
    if (set) return NoSuchClass();
    if (!data.empty()) return FormatError();
    return ParamAnswer::Ack(std::move(value));
}

// A one-byte setting with values 0..maximum.
ParamAnswer ByteSetting(uint8_t& field, bool set, const Bytes& data, uint8_t maximum) {
    if (!set) return ReadOnly(false, data, {field});
    if (data.size() != 1) return FormatError();
    if (data[0] > maximum) return OutOfRange();
    field = data[0];
    return ParamAnswer::Ack();
}

ParamAnswer CounterSetting(uint32_t& field, bool set, const Bytes& data) {
    if (!set) {
        Bytes b;
        PutBe32(b, field);
        return ReadOnly(false, data, b);
    }
    if (data.size() != 4) return FormatError();
    field = GetBe32(data, 0);
    return ParamAnswer::Ack();
}

ParamAnswer TextSetting(std::string& field, bool set, const Bytes& data) {
    if (!set) return ReadOnly(false, data, Text(field));
    if (data.size() > 32) return FormatError();
    field = TextOf(data);
    return ParamAnswer::Ack();
}

ParamAnswer SupportedParameters(const DeviceModel& m, bool set, const Bytes& data) {
    Bytes list;
    for (uint16_t p : m.pids) {
        if (!IsRequiredParameter(p)) PutBe16(list, p);
    }
    return ReadOnly(set, data, list);
}

ParamAnswer ParameterDescription(const DeviceModel& m, bool set, const Bytes& data) {
    if (set) return NoSuchClass();
    if (data.size() != 2) return FormatError();
    auto it = m.manufacturerParameters.find(GetBe16(data, 0));
    if (it == m.manufacturerParameters.end()) return OutOfRange();
    const ManufacturerParameter& mp = it->second;
    Bytes b;
    PutBe16(b, it->first);
    b.push_back(mp.pdlSize);
    b.push_back(mp.dataType);
    b.push_back(mp.commandClass);
    b.push_back(0);  // type, unused
    b.push_back(mp.unit);
    b.push_back(mp.prefix);
    PutBe32(b, mp.minimum);
    PutBe32(b, mp.maximum);
    PutBe32(b, mp.defaultValue);
    PutText(b, mp.description.substr(0, 32));
    return ParamAnswer::Ack(b);
}

ParamAnswer Manufacturer(DeviceModel& m, bool set, uint16_t p, const Bytes& data) {
    ManufacturerParameter& mp = m.manufacturerParameters.at(p);
    if (!(mp.commandClass & (set ? rdm::kPidSet : rdm::kPidGet))) return NoSuchClass();
    if (mp.behaviour) return mp.behaviour(set, data, mp.value);
    if (!set) return ParamAnswer::Ack(mp.value);
    if (mp.pdlSize && data.size() != mp.pdlSize) return FormatError();
    mp.value = data;
    return ParamAnswer::Ack();
}

ParamAnswer PersonalitySetting(DeviceModel& m, bool set, const Bytes& data) {
    if (!set) {
        return ReadOnly(false, data, {m.personality, static_cast<uint8_t>(m.personalities.size())});
    }
    if (data.size() != 1) return FormatError();
    if (data[0] < 1 || data[0] > m.personalities.size()) return OutOfRange();
    m.personality = data[0];
    // The address stays where it is when the new footprint still fits.
    if (m.startAddress + m.Footprint() - 1 > 512) m.startAddress = 1;
    return ParamAnswer::Ack();
}

ParamAnswer PersonalityDescription(const DeviceModel& m, bool set, const Bytes& data) {
    if (set) return NoSuchClass();
    if (data.size() != 1) return FormatError();
    if (data[0] < 1 || data[0] > m.personalities.size()) return OutOfRange();
    const auto& p = m.personalities[data[0] - 1];
    Bytes b{data[0]};
    PutBe16(b, p.Footprint());
    PutText(b, p.description.substr(0, 32));
    return ParamAnswer::Ack(b);
}

ParamAnswer StartAddress(DeviceModel& m, bool set, const Bytes& data) {
    if (!set) {
        Bytes b;
        PutBe16(b, m.Footprint() ? m.startAddress : 0xFFFF);
        return ReadOnly(false, data, b);
    }
    if (data.size() != 2) return FormatError();
    uint16_t address = GetBe16(data, 0);
    if (address < 1 || address + std::max<int>(m.Footprint(), 1) - 1 > 512) return OutOfRange();
    m.startAddress = address;
    return ParamAnswer::Ack();
}

const std::vector<SlotDefinition>& Slots(const DeviceModel& m) {
    static const std::vector<SlotDefinition> none;
    return m.personalities.empty() ? none : m.personalities[m.personality - 1].slots;
}

ParamAnswer SlotInfo(const DeviceModel& m, bool set, const Bytes& data, bool defaults) {
    Bytes b;
    const auto& slots = Slots(m);
    for (size_t i = 0; i < slots.size(); ++i) {
        PutBe16(b, static_cast<uint16_t>(i));
        if (defaults) {
            b.push_back(slots[i].defaultValue);
        } else {
            b.push_back(slots[i].type);
            PutBe16(b, slots[i].labelId);
        }
    }
    return ReadOnly(set, data, b);
}

ParamAnswer SlotDescription(const DeviceModel& m, bool set, const Bytes& data) {
    if (set) return NoSuchClass();
    if (data.size() != 2) return FormatError();
    uint16_t slot = GetBe16(data, 0);
    const auto& slots = Slots(m);
    if (slot >= slots.size() || slots[slot].description.empty()) return OutOfRange();
    Bytes b;
    PutBe16(b, slot);
    PutText(b, slots[slot].description.substr(0, 32));
    return ParamAnswer::Ack(b);
}

ParamAnswer Sensor(DeviceModel& m, uint16_t p, bool set, const Bytes& data, Duration now) {
    if (data.size() != 1) return FormatError();
    uint8_t n = data[0];
    bool all = n == 0xFF && p != pid::kSensorDefinition;
    if (!all && n >= m.sensors.size()) return OutOfRange();
    switch (p) {
        case pid::kSensorDefinition:
            if (set) return NoSuchClass();
            return ParamAnswer::Ack(m.sensors[n].Definition(n));
        case pid::kSensorValue:
            if (!set) return all ? OutOfRange() : ParamAnswer::Ack(m.sensors[n].Read(n, now));
            if (all) {
                for (size_t i = 0; i < m.sensors.size(); ++i) {
                    m.sensors[i].Reset(static_cast<uint8_t>(i), now);
                }
                return ParamAnswer::Ack(AllSensorsValue());
            }
            return ParamAnswer::Ack(m.sensors[n].Reset(n, now));
        default:  // RECORD_SENSORS
            if (!set) return NoSuchClass();
            for (size_t i = 0; i < m.sensors.size(); ++i) {
                if ((all || i == n) && m.sensors[i].recordSupported) m.sensors[i].Record(now);
            }
            return ParamAnswer::Ack();
    }
}

ParamAnswer SelfTest(DeviceModel& m, uint16_t p, bool set, const Bytes& data) {
    if (p == pid::kSelfTestDescription) {
        if (set) return NoSuchClass();
        if (data.size() != 1) return FormatError();
        auto it = m.selfTests.find(data[0]);
        if (it == m.selfTests.end()) return OutOfRange();
        Bytes b{data[0]};
        PutText(b, it->second.substr(0, 32));
        return ParamAnswer::Ack(b);
    }
    if (!set) return ReadOnly(false, data, {static_cast<uint8_t>(m.selfTest ? 1 : 0)});
    if (data.size() != 1) return FormatError();
    if (data[0] != 0 && !m.selfTests.count(data[0])) return OutOfRange();
    m.selfTest = data[0];
    return ParamAnswer::Ack();
}

ParamAnswer Language(DeviceModel& m, uint16_t p, bool set, const Bytes& data) {
    if (p == pid::kLanguageCapabilities) {
        Bytes b;
        for (const auto& l : m.languages)
            PutText(b, l);
        return ReadOnly(set, data, b);
    }
    if (!set) return ReadOnly(false, data, Text(m.language));
    std::string wanted = TextOf(data);
    if (data.size() != 2) return FormatError();
    if (std::find(m.languages.begin(), m.languages.end(), wanted) == m.languages.end()) {
        return OutOfRange();
    }
    m.language = wanted;
    return ParamAnswer::Ack();
}

}  // namespace

ParamAnswer HandleParameter(DeviceModel& m, bool set, uint16_t p, const Bytes& data, Duration now,
                            uint16_t subDeviceCount) {
    if (rdm::IsManufacturerPid(p) && m.manufacturerParameters.count(p)) {
        return Manufacturer(m, set, p, data);
    }
    switch (p) {
        case pid::kSupportedParameters:
            return SupportedParameters(m, set, data);
        case pid::kParameterDescription:
            return ParameterDescription(m, set, data);
        case pid::kDeviceInfo:
            return ReadOnly(set, data, m.DeviceInfo(subDeviceCount));
        case pid::kProductDetailIdList: {
            Bytes b;
            for (uint16_t id : m.productDetails)
                PutBe16(b, id);
            return ReadOnly(set, data, b);
        }
        case pid::kDeviceModelDescription:
            return ReadOnly(set, data, Text(m.modelDescription));
        case pid::kManufacturerLabel:
            return ReadOnly(set, data, Text(m.manufacturerLabel));
        case pid::kDeviceLabel:
            return TextSetting(m.label, set, data);
        case pid::kLanguageCapabilities:
        case pid::kLanguage:
            return Language(m, p, set, data);
        case pid::kSoftwareVersionLabel:
            return ReadOnly(set, data, Text(m.softwareVersionLabel));
        case pid::kBootSoftwareVersionId: {
            Bytes b;
            PutBe32(b, m.bootSoftwareVersionId);
            return ReadOnly(set, data, b);
        }
        case pid::kBootSoftwareVersionLabel:
            return ReadOnly(set, data, Text(m.bootSoftwareVersionLabel));
        case pid::kDmxPersonality:
            return PersonalitySetting(m, set, data);
        case pid::kDmxPersonalityDescription:
            return PersonalityDescription(m, set, data);
        case pid::kDmxStartAddress:
            return StartAddress(m, set, data);
        case pid::kSlotInfo:
            return SlotInfo(m, set, data, false);
        case pid::kDefaultSlotValue:
            return SlotInfo(m, set, data, true);
        case pid::kSlotDescription:
            return SlotDescription(m, set, data);
        case pid::kSensorDefinition:
        case pid::kSensorValue:
        case pid::kRecordSensors:
            return Sensor(m, p, set, data, now);
        case pid::kDeviceHours:
            return CounterSetting(m.deviceHours, set, data);
        case pid::kLampHours:
            return CounterSetting(m.lampHours, set, data);
        case pid::kLampStrikes:
            return CounterSetting(m.lampStrikes, set, data);
        case pid::kDevicePowerCycles:
            return CounterSetting(m.powerCycles, set, data);
        case pid::kLampState:
            if (set && data.size() == 1 && data[0] == 0x7F)
                return OutOfRange();  // error: read only
            return ByteSetting(m.lampState, set, data, set ? 3 : 0xFF);
        case pid::kLampOnMode:
            return ByteSetting(m.lampOnMode, set, data, 3);
        case pid::kDisplayInvert:
            return ByteSetting(m.displayInvert, set, data, 2);
        case pid::kDisplayLevel:
            return ByteSetting(m.displayLevel, set, data, 0xFF);
        case pid::kPanInvert:
            return ByteSetting(m.panInvert, set, data, 1);
        case pid::kTiltInvert:
            return ByteSetting(m.tiltInvert, set, data, 1);
        case pid::kPanTiltSwap:
            return ByteSetting(m.panTiltSwap, set, data, 1);
        case pid::kIdentifyDevice: {
            uint8_t on = m.identify ? 1 : 0;
            ParamAnswer a = ByteSetting(on, set, data, 1);
            m.identify = on != 0;
            return a;
        }
        case pid::kPowerState:
            if (set && data.size() == 1 && data[0] > 2 && data[0] != 0xFF) return OutOfRange();
            return ByteSetting(m.powerState, set, data, 0xFF);
        case pid::kPerformSelfTest:
        case pid::kSelfTestDescription:
            return SelfTest(m, p, set, data);
        case pid::kStatusIdDescription: {
            if (set) return NoSuchClass();
            if (data.size() != 2) return FormatError();
            auto it = m.statusDescriptions.find(GetBe16(data, 0));
            if (it == m.statusDescriptions.end()) return OutOfRange();
            return ParamAnswer::Ack(Text(it->second));
        }
        case pid::kSubDeviceStatusReportThreshold:
            return ByteSetting(m.statusThreshold, set, data, 4);
        default:
            return ParamAnswer::Nack(rdm::kNrUnknownPid);
    }
}

}  // namespace qelsim
