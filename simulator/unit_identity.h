// Who a unit says it is.
#pragma once

#include <cstdint>
#include <string>

#include "firmware_image.h"
#include "rdm_uid.h"

namespace qelsim {

inline constexpr uint16_t kUnitManufacturer = 0x7FF0;

struct UnitIdentity {
    std::string name = "DMX-QEL";  // also the USB product string
    uint16_t model = 3;
    bool legacyModelQuery = false;  // answers the model query with "too long", as older units
    std::string hardwareRevision = "Rev C";
    FirmwareVersion firmware{2, 4, 17, 1187};
    std::string serial = "20071234";
    rdm::Uid uid = rdm::MakeUid(kUnitManufacturer, 20071234);
    bool factoryMode = false;  // answers the factory probe
};

}  // namespace qelsim
