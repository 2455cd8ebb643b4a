// The 48-bit RDM unique ID: a 16-bit ESTA manufacturer ID and a 32-bit device ID.
#pragma once

#include <cstdint>
#include <string>

#include "bytes.h"

namespace qelsim::rdm {

using Uid = uint64_t;

inline constexpr Uid kUidMask = 0xFFFF'FFFF'FFFFull;
inline constexpr Uid kBroadcastAll = kUidMask;

inline constexpr Uid MakeUid(uint16_t manufacturer, uint32_t device) {
    return (static_cast<Uid>(manufacturer) << 32) | device;
}
inline constexpr uint16_t ManufacturerOf(Uid uid) {
    return static_cast<uint16_t>(uid >> 32);
}
inline constexpr uint32_t DeviceOf(Uid uid) {
    return static_cast<uint32_t>(uid);
}

// All devices of one manufacturer.
inline constexpr Uid ManufacturerBroadcast(uint16_t manufacturer) {
    return MakeUid(manufacturer, 0xFFFF'FFFFu);
}
inline constexpr bool IsBroadcast(Uid uid) {
    return DeviceOf(uid) == 0xFFFF'FFFFu;
}

// Whether a packet sent to `destination` is meant for the device `self`.
inline constexpr bool Addresses(Uid destination, Uid self) {
    return destination == self || destination == kBroadcastAll ||
           destination == ManufacturerBroadcast(ManufacturerOf(self));
}

inline void PutUid(Bytes& b, Uid uid) {
    for (int shift = 40; shift >= 0; shift -= 8)
        b.push_back(static_cast<uint8_t>(uid >> shift));
}
inline Uid GetUid(const Bytes& b, size_t at) {
    Uid uid = 0;
    for (size_t i = 0; i < 6; ++i)
        uid = (uid << 8) | b[at + i];
    return uid;
}

// "7FF1:00000003", the form rig files and messages use.
std::string UidText(Uid uid);
// Parses "MMMM:DDDDDDDD" (hexadecimal); false on anything else.
bool ParseUid(const std::string& text, Uid* uid);

}  // namespace qelsim::rdm
