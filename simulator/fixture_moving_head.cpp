// The moving head of the demo rig.
#include "fixtures.h"

namespace qelsim {

namespace pid = rdm::pid;

namespace {

// E1.20 slot types and slot label IDs used below.
constexpr uint8_t kPrimary = 0x00, kFine = 0x01, kRotation = 0x06;

std::vector<SlotDefinition> BasicSlots() {
    return {{kPrimary, 0x0101, 128, "Pan"},        {kPrimary, 0x0102, 128, "Tilt"},
            {kPrimary, 0x0001, 0, "Dimmer"},       {kPrimary, 0x0404, 255, "Shutter"},
            {kPrimary, 0x0201, 0, "Colour wheel"}, {kPrimary, 0x0302, 0, "Gobo wheel"},
            {kPrimary, 0x0402, 128, "Focus"},      {kPrimary, 0x0502, 0, "Control"}};
}

std::vector<SlotDefinition> StandardSlots() {
    return {{kPrimary, 0x0101, 128, "Pan"},          {kFine, 0x0000, 0, "Pan fine"},
            {kPrimary, 0x0102, 128, "Tilt"},         {kFine, 0x0002, 0, "Tilt fine"},
            {kPrimary, 0x0503, 0, "Pan/tilt speed"}, {kPrimary, 0x0001, 0, "Dimmer"},
            {kPrimary, 0x0404, 255, "Shutter"},      {kPrimary, 0x0201, 0, "Colour wheel"},
            {kPrimary, 0x0302, 0, "Gobo wheel"},     {kRotation, 0x0008, 0, "Gobo rotation"},
            {kPrimary, 0x0303, 0, "Prism"},          {kPrimary, 0x0402, 128, "Focus"},
            {kPrimary, 0x0405, 0, "Zoom"},           {kPrimary, 0x0401, 0, "Iris"},
            {kPrimary, 0x0403, 0, "Frost"},          {kPrimary, 0x0502, 0, "Control"}};
}

std::vector<SlotDefinition> ExtendedSlots() {
    auto slots = StandardSlots();
    for (const char* name : {"Cyan", "Magenta", "Yellow", "Colour temperature"}) {
        slots.push_back({kPrimary, 0x0202, 0, name});
    }
    slots[16].labelId = 0x0202;
    slots[17].labelId = 0x0204;
    slots[18].labelId = 0x0203;
    slots[19].labelId = 0x0208;
    slots.push_back({kPrimary, 0x0504, 0, "Macro"});
    slots.push_back({kPrimary, 0x0304, 0, "Effects wheel"});
    slots.push_back({kPrimary, 0x0501, 0, "Lamp control"});
    slots.push_back({0xFF, 0x0000, 0, ""});  // a reserved slot the fixture does not describe
    return slots;
}

VirtualSensor Sensor(uint8_t type, uint8_t unit, uint8_t prefix, int16_t lo, int16_t hi,
                     int16_t normalLo, int16_t normalHi, int capabilities, const char* name,
                     double base, double swing, double period) {
    VirtualSensor s;
    s.type = type;
    s.unit = unit;
    s.prefix = prefix;
    s.rangeMin = lo;
    s.rangeMax = hi;
    s.normalMin = normalLo;
    s.normalMax = normalHi;
    s.recordSupported = capabilities & 1;
    s.lowHighSupported = capabilities & 2;
    s.description = name;
    s.base = base;
    s.swing = swing;
    s.periodSeconds = period;
    return s;
}

ParamAnswer FanMode(bool set, const Bytes& data, Bytes& value) {
    if (!set) return ParamAnswer::Ack(value);
    if (data.size() != 1) return ParamAnswer::Nack(rdm::kNrFormatError);
    if (data[0] > 2) return ParamAnswer::Nack(rdm::kNrDataOutOfRange);
    value = data;
    return ParamAnswer::Ack();
}

// Striking the lamp lights it and counts the strike; the fixture tells about both changes
// through its queue. Dousing it leaves a status message.
void React(VirtualDevice& device, uint16_t subDevice, uint16_t p) {
    DeviceModel& m = device.Model(subDevice);
    if (p == pid::kLampState) {
        if (m.lampState == 2) {
            m.lampState = 1;
            ++m.lampStrikes;
            device.QueueParameter(subDevice, pid::kLampState);
            device.QueueParameter(subDevice, pid::kLampStrikes);
        } else if (m.lampState == 0) {
            device.RaiseStatus({subDevice, rdm::kStatusAdvisory, 0x0011, 0, 0});
        }
    } else if (p == pid::kPerformSelfTest && m.selfTest != 0) {
        device.RaiseStatus({subDevice, rdm::kStatusAdvisory, 0x8002, m.selfTest, 0});
        m.selfTest = 0;
        device.QueueParameter(subDevice, pid::kPerformSelfTest);
    }
}

}  // namespace

std::shared_ptr<VirtualDevice> MakeMovingHead(rdm::Uid uid, SharedTime time) {
    DeviceModel m;
    m.modelId = 0x0575;
    m.category = 0x0102;  // luminaire, moving yoke
    m.softwareVersionId = 0x01020300;
    m.softwareVersionLabel = "Orbit firmware 1.2.3";
    m.bootSoftwareVersionId = 0x0100;
    m.bootSoftwareVersionLabel = "Boot 1.0";
    m.modelDescription = "Orbit 575 Spot";
    m.manufacturerLabel = "Lumenwerk Prototypes";
    m.label = "Stage left spot";
    m.productDetails = {0x0002, 0x0101, 0x0108};  // metal halide, colour wheel, gobo rotator
    m.languages = {"en", "de", "fr"};
    m.personalities = {{"Standard 16 channel", StandardSlots()},
                       {"Basic 8 channel", BasicSlots()},
                       {"Extended 24 channel", ExtendedSlots()}};
    m.startAddress = 1;
    m.sensors = {
        Sensor(0x00, 1, 0, -40, 200, 10, 120, 3, "Lamp Temp", 85, 20, 90),
        Sensor(0x00, 1, 0, -20, 100, 0, 60, 2, "Base Temp", 38, 4, 300),
        Sensor(0x01, 4, 0, 0, 300, 207, 253, 2, "Lamp Voltage", 230, 4, 45),
        Sensor(0x02, 7, 3, 0, 10000, 2000, 3500, 3, "Lamp Current", 2500, 300, 30),
        Sensor(0x05, 10, 0, 0, 1000, 400, 700, 0, "Power", 575, 25, 60),
    };
    m.deviceHours = 5678;
    m.lampHours = 1234;
    m.lampStrikes = 321;
    m.powerCycles = 42;
    m.lampState = 1;
    m.lampOnMode = 1;
    m.displayInvert = 2;
    m.displayLevel = 200;
    m.selfTests = {{1, "Pan/tilt sweep"}, {2, "Colour wheel home"}, {3, "Full test"}};
    m.statusDescriptions = {{0x8001, "Fan %d running slow at %d rpm"},
                            {0x8002, "Self test %d passed"}};
    ManufacturerParameter fan;
    fan.description = "Fan Mode";
    fan.pdlSize = 1;
    fan.dataType = 0x03;  // unsigned byte
    fan.maximum = 2;
    fan.value = {0};
    fan.behaviour = FanMode;
    ManufacturerParameter note;
    note.description = "Build Note";
    note.commandClass = rdm::kPidGet;
    note.dataType = 0x02;  // ASCII
    PutText(note.value, "Built for the simulated rig");
    ManufacturerParameter tune;
    tune.description = "Pan Calibration Offset";
    tune.pdlSize = 2;
    tune.dataType = 0x06;  // signed word
    tune.value = {0, 0};
    m.manufacturerParameters = {{0x8001, fan}, {0x8003, note}, {0x8004, tune}};
    m.pids = {pid::kProductDetailIdList,
              pid::kDeviceModelDescription,
              pid::kManufacturerLabel,
              pid::kDeviceLabel,
              pid::kFactoryDefaults,
              pid::kLanguageCapabilities,
              pid::kLanguage,
              pid::kBootSoftwareVersionId,
              pid::kBootSoftwareVersionLabel,
              pid::kDmxPersonality,
              pid::kDmxPersonalityDescription,
              pid::kSlotInfo,
              pid::kSlotDescription,
              pid::kDefaultSlotValue,
              pid::kSensorDefinition,
              pid::kSensorValue,
              pid::kRecordSensors,
              pid::kDeviceHours,
              pid::kLampHours,
              pid::kLampStrikes,
              pid::kLampState,
              pid::kLampOnMode,
              pid::kDevicePowerCycles,
              pid::kDisplayInvert,
              pid::kDisplayLevel,
              pid::kPanInvert,
              pid::kTiltInvert,
              pid::kPanTiltSwap,
              pid::kRealTimeClock,
              pid::kResetDevice,
              pid::kStatusMessages,
              pid::kStatusIdDescription,
              pid::kClearStatusId,
              pid::kQueuedMessage,
              pid::kCommsStatus,
              pid::kPerformSelfTest,
              pid::kSelfTestDescription,
              pid::kPowerState};
    AddRequiredParameters(m);
    auto device = std::make_shared<VirtualDevice>(uid, std::move(m), std::vector<DeviceModel>{},
                                                  std::move(time));
    device->RaiseStatus({0, rdm::kStatusWarning, 0x0021, 0, 121});      // lamp sensor over temp
    device->RaiseStatus({0, rdm::kStatusAdvisory, 0x0050, 0x0201, 0});  // colour wheel ready
    device->RaiseStatus({0, rdm::kStatusAdvisory, 0x8001, 2, 850});
    device->SetReaction(React);
    return device;
}

}  // namespace qelsim
