// A dimmer rack: the root device watches the supply, each dimmer is a sub-device with its
// own address and label.
#include "fixtures.h"

namespace qelsim {

namespace pid = rdm::pid;

namespace {

VirtualSensor Supply(const std::string& name, double base, double phase) {
    VirtualSensor s;
    s.type = 0x01;  // voltage
    s.unit = 4;     // AC RMS volts
    s.rangeMin = 0;
    s.rangeMax = 300;
    s.normalMin = 207;
    s.normalMax = 253;
    s.lowHighSupported = true;
    s.description = name;
    s.base = base;
    s.swing = 3;
    s.periodSeconds = 40;
    s.phase = phase;
    return s;
}

VirtualSensor Load(int channel) {
    VirtualSensor s;
    s.type = 0x02;  // current
    s.unit = 7;     // AC RMS amperes
    s.prefix = 1;   // deci
    s.rangeMin = 0;
    s.rangeMax = 100;
    s.normalMin = 0;
    s.normalMax = 80;
    s.recordSupported = true;
    s.lowHighSupported = true;
    s.description = "Load current";
    s.base = 20 + 7 * channel;
    s.swing = 5;
    s.periodSeconds = 25;
    return s;
}

}  // namespace

std::shared_ptr<VirtualDevice> MakeDimmerRack(rdm::Uid uid, SharedTime time, int channels) {
    DeviceModel root;
    root.modelId = 0x0612;
    root.category = 0x0501;  // dimmer, AC incandescent
    root.softwareVersionId = 0x00030001;
    root.softwareVersionLabel = "Rackline 3.0.1";
    root.modelDescription = "Rackline 6 dimmer rack";
    root.manufacturerLabel = "Rackline Stage Power";
    root.label = "FOH dimmers";
    root.productDetails = {0x0400};  // phase control
    root.sensors = {Supply("Phase L1", 230, 0), Supply("Phase L2", 231, 2.1),
                    Supply("Phase L3", 229, 4.2)};
    VirtualSensor temp;
    temp.type = 0x00;
    temp.unit = 1;
    temp.rangeMin = -20;
    temp.rangeMax = 100;
    temp.normalMin = 0;
    temp.normalMax = 55;
    temp.lowHighSupported = true;
    temp.description = "Rack Temp";
    temp.base = 34;
    temp.swing = 3;
    temp.periodSeconds = 120;
    root.sensors.push_back(temp);
    root.deviceHours = 20211;
    root.powerCycles = 310;
    root.pids = {pid::kDeviceModelDescription,
                 pid::kManufacturerLabel,
                 pid::kDeviceLabel,
                 pid::kProductDetailIdList,
                 pid::kSensorDefinition,
                 pid::kSensorValue,
                 pid::kStatusMessages,
                 pid::kClearStatusId,
                 pid::kQueuedMessage,
                 pid::kResetDevice,
                 pid::kDeviceHours,
                 pid::kDevicePowerCycles,
                 pid::kCommsStatus,
                 pid::kFactoryDefaults};
    AddRequiredParameters(root);

    std::vector<DeviceModel> dimmers;
    for (int i = 1; i <= channels; ++i) {
        DeviceModel d;
        d.modelId = 0x0613;
        d.category = 0x0501;
        d.softwareVersionId = 0x00030001;
        d.softwareVersionLabel = "Rackline 3.0.1";
        d.label = "Dimmer " + std::to_string(i);
        d.personalities = {{"Dimmer", {{0, 0x0001, 0, "Intensity"}}}};
        d.startAddress = static_cast<uint16_t>(100 + i);
        d.sensors = {Load(i)};
        d.pids = {pid::kDeviceLabel, pid::kSlotDescription, pid::kSensorDefinition,
                  pid::kSensorValue, pid::kRecordSensors,   pid::kSubDeviceStatusReportThreshold};
        AddRequiredParameters(d);
        dimmers.push_back(std::move(d));
    }
    auto rack =
        std::make_shared<VirtualDevice>(uid, std::move(root), std::move(dimmers), std::move(time));
    rack->RaiseStatus({0, rdm::kStatusWarning, 0x0031, 2, 254});  // phase 2 over voltage
    if (channels >= 3) rack->RaiseStatus({3, rdm::kStatusError, 0x0041, 0, 0});    // no dimmer
    if (channels >= 5) rack->RaiseStatus({5, rdm::kStatusWarning, 0x0042, 0, 0});  // breaker
    return rack;
}

}  // namespace qelsim
