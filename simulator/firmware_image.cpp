#include "firmware_image.h"

#include <cstdio>

namespace qelsim {

std::string FirmwareVersion::Text() const {
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
}

Bytes EncodeHeader(const ImageHeader& h) {
    Bytes r;
    PutLe16(r, 0);
    PutLe16(r, h.model);
    PutLe32(r, h.crc);
    PutLe16(r, h.lastRecord);
    r.push_back(h.version.major);
    r.push_back(h.version.minor);
    r.push_back(h.version.patch);
    PutLe32(r, h.version.build);
    PutText(r, "QEL unit firmware " + h.version.Text());
    r.resize(kRecordSize, 0);
    return r;
}

ImageHeader DecodeHeader(const Bytes& r) {
    ImageHeader h;
    h.model = GetLe16(r, 2);
    h.crc = GetLe32(r, 4);
    h.lastRecord = GetLe16(r, 8);
    h.version = {r[10], r[11], r[12], GetLe32(r, 13)};
    return h;
}

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::vector<Bytes> BuildImage(const ImageOptions& o) {
    const int n = o.records < 0 ? 0 : (o.records > 0xFFFF ? 0xFFFF : o.records);
    std::vector<Bytes> records(1);
    uint32_t crc = 0;
    uint32_t seed = 0x2545F491u ^ o.version.build;
    for (int i = 1; i <= n; ++i) {
        Bytes r;
        PutLe16(r, static_cast<uint16_t>(i));
        while (r.size() < kRecordSize) {
            seed = seed * 1664525u + 1013904223u;  // stands in for machine code
            r.push_back(static_cast<uint8_t>(seed >> 24));
        }
        crc = Crc32(crc, r.data(), r.size());
        records.push_back(std::move(r));
    }
    ImageHeader header;
    header.model = o.foreign ? static_cast<uint16_t>(o.model ^ 0x1000) : o.model;
    header.crc = crc;
    header.lastRecord = static_cast<uint16_t>(n);
    header.version = o.version;
    if (o.corrupt && n == 0) header.crc ^= 1;
    records[0] = EncodeHeader(header);
    if (o.corrupt && n > 0) records.back()[kRecordSize / 2] ^= 0x5A;
    return records;
}

std::string ImageText(const std::vector<Bytes>& records) {
    std::string text;
    char hex[3];
    for (const Bytes& r : records) {
        for (uint8_t b : r) {
            std::snprintf(hex, sizeof hex, "%02X", b);
            text += hex;
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace qelsim
