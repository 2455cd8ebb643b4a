#include "rdm_packet.h"

#include <algorithm>

namespace qelsim::rdm {

uint16_t Checksum(const uint8_t* data, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum += data[i];
    return static_cast<uint16_t>(sum);
}

Bytes Encode(const Packet& p) {
    size_t dataSize = std::min<size_t>(p.data.size(), kMaxParamData);
    Bytes b;
    b.reserve(kHeaderSize + dataSize + 2);
    b.push_back(kStartCode);
    b.push_back(kSubStartCode);
    b.push_back(static_cast<uint8_t>(kHeaderSize + dataSize));
    PutUid(b, p.destination);
    PutUid(b, p.source);
    b.push_back(p.transaction);
    b.push_back(p.portOrResponseType);
    b.push_back(p.messageCount);
    PutBe16(b, p.subDevice);
    b.push_back(p.commandClass);
    PutBe16(b, p.pid);
    b.push_back(static_cast<uint8_t>(dataSize));
    b.insert(b.end(), p.data.begin(), p.data.begin() + static_cast<long>(dataSize));
    PutBe16(b, Checksum(b.data(), b.size()));
    return b;
}

Decoded Decode(const Bytes& b) {
    Decoded d;
    if (b.size() < kHeaderSize + 2u) {
        d.error = DecodeError::kTooShort;
        return d;
    }
    if (b[0] != kStartCode || b[1] != kSubStartCode) {
        d.error = DecodeError::kBadStartCode;
        return d;
    }
    size_t length = b[2];
    if (length < kHeaderSize || b.size() != length + 2) {
        d.error = DecodeError::kLengthMismatch;
        return d;
    }
    if (Checksum(b.data(), length) != GetBe16(b, length)) {
        d.error = DecodeError::kChecksum;
        return d;
    }
    if (b[23] != length - kHeaderSize) {
        d.error = DecodeError::kLengthMismatch;
        return d;
    }
    Packet& p = d.packet;
    p.destination = GetUid(b, 3);
    p.source = GetUid(b, 9);
    p.transaction = b[15];
    p.portOrResponseType = b[16];
    p.messageCount = b[17];
    p.subDevice = GetBe16(b, 18);
    p.commandClass = b[20];
    p.pid = GetBe16(b, 21);
    p.data.assign(b.begin() + kHeaderSize, b.begin() + static_cast<long>(length));
    return d;
}

namespace {
void PutEncoded(Bytes& b, uint8_t value) {
    b.push_back(value | 0xAA);
    b.push_back(value | 0x55);
}
}  // namespace

Bytes EncodeDiscoveryResponse(Uid uid, int preamble) {
    Bytes b(static_cast<size_t>(std::clamp(preamble, 0, kMaxPreamble)), kPreambleByte);
    b.push_back(kPreambleSeparator);
    size_t start = b.size();
    for (int shift = 40; shift >= 0; shift -= 8)
        PutEncoded(b, static_cast<uint8_t>(uid >> shift));
    uint16_t sum = Checksum(b.data() + start, kEncodedUidSize);
    PutEncoded(b, static_cast<uint8_t>(sum >> 8));
    PutEncoded(b, static_cast<uint8_t>(sum));
    return b;
}

std::optional<Uid> DecodeDiscoveryResponse(const Bytes& b) {
    size_t i = 0;
    while (i < b.size() && i < static_cast<size_t>(kMaxPreamble) && b[i] == kPreambleByte)
        ++i;
    if (i >= b.size() || b[i] != kPreambleSeparator) return std::nullopt;
    ++i;
    if (b.size() - i != kEncodedUidSize + kEncodedChecksumSize) return std::nullopt;
    // Each pair must be a clean encoding: the bits forced to one are set, and the other
    // halves agree on the value. Collided bytes rarely satisfy both.
    uint8_t decoded[8];
    for (int k = 0; k < 8; ++k) {
        uint8_t hi = b[i + 2 * k], lo = b[i + 2 * k + 1];
        if ((hi & 0xAA) != 0xAA || (lo & 0x55) != 0x55) return std::nullopt;
        decoded[k] = static_cast<uint8_t>(hi & lo);
    }
    uint16_t sum = Checksum(b.data() + i, kEncodedUidSize);
    if (sum != static_cast<uint16_t>((decoded[6] << 8) | decoded[7])) return std::nullopt;
    Uid uid = 0;
    for (int k = 0; k < 6; ++k)
        uid = (uid << 8) | decoded[k];
    return uid;
}

}  // namespace qelsim::rdm
