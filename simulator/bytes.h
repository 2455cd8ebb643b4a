// Byte strings and the two byte orders the unit speaks: RDM fields are big-endian, the
// unit's own command fields little-endian.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qelsim {

using Bytes = std::vector<uint8_t>;

inline void PutBe16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}
inline void PutBe32(Bytes& b, uint32_t v) {
    PutBe16(b, static_cast<uint16_t>(v >> 16));
    PutBe16(b, static_cast<uint16_t>(v));
}
inline void PutLe16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutLe32(Bytes& b, uint32_t v) {
    PutLe16(b, static_cast<uint16_t>(v));
    PutLe16(b, static_cast<uint16_t>(v >> 16));
}
inline void PutText(Bytes& b, std::string_view text) {
    b.insert(b.end(), text.begin(), text.end());
}

// Readers take the position of the first byte; callers check the length first.
inline uint16_t GetBe16(const Bytes& b, size_t at) {
    return static_cast<uint16_t>((b[at] << 8) | b[at + 1]);
}
inline uint32_t GetBe32(const Bytes& b, size_t at) {
    return (static_cast<uint32_t>(GetBe16(b, at)) << 16) | GetBe16(b, at + 2);
}
inline uint16_t GetLe16(const Bytes& b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}
inline uint32_t GetLe32(const Bytes& b, size_t at) {
    return GetLe16(b, at) | (static_cast<uint32_t>(GetLe16(b, at + 2)) << 16);
}

inline std::string TextOf(const Bytes& b, size_t from = 0) {
    return from >= b.size() ? std::string() : std::string(b.begin() + from, b.end());
}

}  // namespace qelsim
