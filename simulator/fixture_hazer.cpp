// A hazer that takes its time: it heats up, keeps a long service log, and always has
// something in its queue.
#include "fixtures.h"

namespace qelsim {

namespace pid = rdm::pid;

namespace {

constexpr uint16_t kFluidCheck = 0x8101;
constexpr uint16_t kServiceLog = 0x8102;
constexpr uint16_t kFactoryCalibration = 0x8103;
constexpr int kLowFluidReports = 28;  // more than one answer holds

std::string ServiceLog() {
    std::string log;
    for (int i = 1; log.size() < 600; ++i) {
        log += "#" + std::to_string(i) + " pump serviced, heater ok, fluid topped up. ";
    }
    return log;
}

}  // namespace

std::shared_ptr<VirtualDevice> MakeHazer(rdm::Uid uid, SharedTime time) {
    DeviceModel m;
    m.modelId = 0x0A01;
    m.category = 0x0401;  // atmospheric effect
    m.softwareVersionId = 0x00000207;
    m.softwareVersionLabel = "Mistral 2.7";
    m.modelDescription = "Mistral Hazer";
    m.manufacturerLabel = "Lumenwerk Prototypes";
    m.label = "Upstage haze";
    m.productDetails = {0x0302};  // water-based fogger
    m.personalities = {{"Output and fan", {{0, 0x0001, 0, "Output"}, {0, 0x0503, 0, "Fan"}}}};
    m.startAddress = 500;
    VirtualSensor fluid;
    fluid.type = 0x09;  // volume
    fluid.unit = 14;    // cubic metres
    fluid.prefix = 3;   // milli: litres
    fluid.rangeMin = 0;
    fluid.rangeMax = 5000;
    fluid.normalMin = 500;
    fluid.normalMax = 5000;
    fluid.description = "Fluid";
    fluid.base = 1800;
    fluid.swing = 40;
    fluid.periodSeconds = 600;
    m.sensors = {fluid};
    m.deviceHours = 812;

    ManufacturerParameter check;
    check.description = "Fluid Level Check";
    check.commandClass = rdm::kPidGet;
    check.dataType = 0x05;  // unsigned word
    check.value = {0x07, 0x08};
    ManufacturerParameter log;
    log.description = "Service Log";
    log.commandClass = rdm::kPidGet;
    log.dataType = 0x02;
    PutText(log.value, ServiceLog());
    ManufacturerParameter calibration;
    calibration.description = "Factory Calibration";
    calibration.pdlSize = 2;
    calibration.dataType = 0x05;
    calibration.value = {0x01, 0x2C};
    calibration.behaviour = [](bool set, const Bytes&, Bytes& value) {
        return set ? ParamAnswer::Nack(rdm::kNrWriteProtect) : ParamAnswer::Ack(value);
    };
    m.manufacturerParameters = {
        {kFluidCheck, check}, {kServiceLog, log}, {kFactoryCalibration, calibration}};
    m.delayedParameters = {{pid::kDeviceLabel, 5}, {kFluidCheck, 15}};
    m.pids = {pid::kDeviceModelDescription,
              pid::kManufacturerLabel,
              pid::kDeviceLabel,
              pid::kProductDetailIdList,
              pid::kSensorDefinition,
              pid::kSensorValue,
              pid::kStatusMessages,
              pid::kQueuedMessage,
              pid::kClearStatusId,
              pid::kDeviceHours,
              pid::kResetDevice};
    AddRequiredParameters(m);
    auto hazer = std::make_shared<VirtualDevice>(uid, std::move(m), std::vector<DeviceModel>{},
                                                 std::move(time));
    hazer->QueueParameter(0, pid::kDmxStartAddress);
    hazer->QueueParameter(0, pid::kDeviceHours);
    hazer->QueueParameter(0, pid::kDeviceModelDescription);
    for (int i = 0; i < kLowFluidReports; ++i) {
        hazer->RaiseStatus({0, rdm::kStatusAdvisory, 0x0052, 0x0001, 0});  // low fluid
    }
    return hazer;
}

}  // namespace qelsim
