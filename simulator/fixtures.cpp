#include "fixtures.h"

namespace qelsim {

void AddRequiredParameters(DeviceModel& m) {
    namespace pid = rdm::pid;
    m.pids.insert({pid::kDeviceInfo, pid::kSupportedParameters, pid::kSoftwareVersionLabel,
                   pid::kIdentifyDevice});
    if (m.Footprint()) m.pids.insert(pid::kDmxStartAddress);
    for (const auto& [p, unused] : m.manufacturerParameters)
        m.pids.insert(p);
    if (!m.manufacturerParameters.empty()) m.pids.insert(pid::kParameterDescription);
}

std::shared_ptr<VirtualDevice> MakeFixture(const std::string& kind, rdm::Uid uid, SharedTime time) {
    if (kind == "moving-head") return MakeMovingHead(uid, std::move(time));
    if (kind == "dimmer-rack") return MakeDimmerRack(uid, std::move(time));
    if (kind == "hazer") return MakeHazer(uid, std::move(time));
    if (kind == "minimal") return MakeMinimal(uid, std::move(time));
    return nullptr;
}

std::shared_ptr<VirtualDevice> MakeMinimal(rdm::Uid uid, SharedTime time) {
    DeviceModel m;
    m.modelId = 0x0004;
    m.category = 0x0101;  // luminaire, fixed
    m.softwareVersionId = 0x00010000;
    m.softwareVersionLabel = "PAR 1.0";
    m.personalities = {{"RGBW",
                        {{0, 0x0205, 0, "Red"},
                         {0, 0x0206, 0, "Green"},
                         {0, 0x0207, 0, "Blue"},
                         {0, 0x0001, 0, "White"}}}};
    m.startAddress = static_cast<uint16_t>(1 + (rdm::DeviceOf(uid) * 4) % 500);
    AddRequiredParameters(m);
    return std::make_shared<VirtualDevice>(uid, std::move(m), std::vector<DeviceModel>{},
                                           std::move(time));
}

}  // namespace qelsim
