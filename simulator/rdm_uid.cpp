#include "rdm_uid.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace qelsim::rdm {

std::string UidText(Uid uid) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X:%08X", ManufacturerOf(uid), DeviceOf(uid));
    return text;
}

bool ParseUid(const std::string& text, Uid* uid) {
    if (text.size() != 13 || text[4] != ':') return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i != 4 && !std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    auto manufacturer = std::strtoul(text.substr(0, 4).c_str(), nullptr, 16);
    auto device = std::strtoul(text.substr(5).c_str(), nullptr, 16);
    *uid = MakeUid(static_cast<uint16_t>(manufacturer), static_cast<uint32_t>(device));
    return true;
}

}  // namespace qelsim::rdm
