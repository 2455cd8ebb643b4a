#include "device_model.h"

namespace qelsim {

Bytes DeviceModel::DeviceInfo(uint16_t subDeviceCount) const {
    Bytes b{0x01, 0x00};  // protocol 1.0
    PutBe16(b, modelId);
    PutBe16(b, category);
    PutBe32(b, softwareVersionId);
    PutBe16(b, Footprint());
    b.push_back(personalities.empty() ? 0 : personality);
    b.push_back(static_cast<uint8_t>(personalities.size()));
    PutBe16(b, Footprint() ? startAddress : 0xFFFF);
    PutBe16(b, subDeviceCount);
    b.push_back(static_cast<uint8_t>(sensors.size()));
    return b;
}

}  // namespace qelsim
