// The firmware image as this unit family builds it: 68-byte records written as hexadecimal
// text, one per line. Record 0 is the header:
//
//   bytes 1-2   record number 0 (little-endian, as in every record)
//   bytes 3-4   model number the image is for (little-endian)
//   bytes 5-8   CRC-32 of records 1..N, each whole 68-byte record in ascending order
//   bytes 9-10  N, the number of the last record (little-endian)
//   bytes 11-13 firmware version: major, minor, patch
//   bytes 14-17 build number (little-endian)
//   bytes 18-68 free text, padded with zeros
//
// A unit takes an image whose model is its own and whose records arrive in order and match
// the CRC; it refuses a foreign model at the header and corrupt data at the finish.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bytes.h"

namespace qelsim {

inline constexpr size_t kRecordSize = 68;

struct FirmwareVersion {
    uint8_t major = 0, minor = 0, patch = 0;
    uint32_t build = 0;
    std::string Text() const;  // "2.4.17"
};

struct ImageHeader {
    uint16_t model = 0;
    uint32_t crc = 0;
    uint16_t lastRecord = 0;
    FirmwareVersion version;
};

Bytes EncodeHeader(const ImageHeader& header);
// `record` must hold kRecordSize bytes.
ImageHeader DecodeHeader(const Bytes& record);
inline uint16_t RecordNumber(const Bytes& record) {
    return GetLe16(record, 0);
}

// Continues a CRC-32 (the common reflected polynomial 0xEDB88320); start with 0.
uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size);

struct ImageOptions {
    int records = 16;  // data records after the header: N
    uint16_t model = 0;
    FirmwareVersion version{2, 5, 0, 1250};
    bool corrupt = false;  // data that no longer matches the CRC
    bool foreign = false;  // made for another model
};

// Records 0..N, each kRecordSize bytes.
std::vector<Bytes> BuildImage(const ImageOptions& options);

// One line of upper-case hexadecimal digits per record, CR LF after each.
std::string ImageText(const std::vector<Bytes>& records);

}  // namespace qelsim
