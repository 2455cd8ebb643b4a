// What one root device or sub-device of a virtual fixture holds: identity, DMX personality
// and address, the settings its parameters read and write, and which parameters it offers.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "bytes.h"
#include "param_answer.h"
#include "virtual_sensor.h"

namespace qelsim {

struct SlotDefinition {
    uint8_t type = 0;      // E1.20 slot type (0 primary)
    uint16_t labelId = 0;  // E1.20 slot label ID
    uint8_t defaultValue = 0;
    std::string description;  // empty: the fixture does not describe this slot
};

struct Personality {
    std::string description;
    std::vector<SlotDefinition> slots;  // the footprint is their number
    uint16_t Footprint() const { return static_cast<uint16_t>(slots.size()); }
};

// A manufacturer-specific parameter with the description PARAMETER_DESCRIPTION gives.
struct ManufacturerParameter {
    std::string description;
    uint8_t commandClass = 0x03;  // 1 GET, 2 SET, 3 both
    uint8_t pdlSize = 0;          // 0: variable
    uint8_t dataType = 0;
    uint8_t unit = 0;
    uint8_t prefix = 0;
    uint32_t minimum = 0, maximum = 0, defaultValue = 0;
    Bytes value;  // what GET answers and SET replaces
    // Replaces the plain value behaviour when set: (is SET, request data, stored value).
    std::function<ParamAnswer(bool, const Bytes&, Bytes&)> behaviour;
};

struct DeviceModel {
    uint16_t modelId = 0;
    uint16_t category = 0;
    uint32_t softwareVersionId = 0;
    std::string softwareVersionLabel;
    uint32_t bootSoftwareVersionId = 0;
    std::string bootSoftwareVersionLabel;
    std::string modelDescription;
    std::string manufacturerLabel;
    std::string label;
    std::vector<uint16_t> productDetails;
    std::vector<std::string> languages{"en"};
    std::string language = "en";

    std::vector<Personality> personalities;
    uint8_t personality = 1;  // 1-based
    uint16_t startAddress = 1;

    std::vector<VirtualSensor> sensors;

    bool identify = false;
    uint32_t deviceHours = 0, lampHours = 0, lampStrikes = 0, powerCycles = 0;
    uint8_t lampState = 0, lampOnMode = 0;
    uint8_t displayInvert = 0, displayLevel = 255;
    uint8_t panInvert = 0, tiltInvert = 0, panTiltSwap = 0;
    uint8_t powerState = 0xFF;
    uint8_t selfTest = 0;  // running test, 0 = none
    std::map<uint8_t, std::string> selfTests;
    uint8_t statusThreshold = 0;

    std::map<uint16_t, ManufacturerParameter> manufacturerParameters;
    std::map<uint16_t, std::string> statusDescriptions;  // manufacturer status message IDs

    // Parameters answered with ACK_TIMER and this wait (tenths of a second); the result
    // comes as a queued message.
    std::map<uint16_t, uint16_t> delayedParameters;

    std::set<uint16_t> pids;  // every parameter offered, required ones included

    uint16_t Footprint() const {
        return personalities.empty() ? 0 : personalities[personality - 1].Footprint();
    }
    // DEVICE_INFO data; `subDeviceCount` is the fixture's.
    Bytes DeviceInfo(uint16_t subDeviceCount) const;
};

}  // namespace qelsim
