#include "firmware_loader.h"

#include "unit_status.h"

namespace qelsim {

uint8_t FirmwareLoader::Refuse(uint8_t s) {
    header_.reset();
    return s;
}

uint8_t FirmwareLoader::Record(const Bytes& record) {
    uint16_t number = RecordNumber(record);
    if (number == 0) {  // a header always starts a new load
        ImageHeader h = DecodeHeader(record);
        if (h.model != model_) return Refuse(status::kImageForeign);
        header_ = h;
        next_ = 1;
        crc_ = 0;
        return status::kOk;
    }
    if (!header_ || number != next_ || number > header_->lastRecord) {
        return Refuse(status::kImageCorrupt);
    }
    crc_ = Crc32(crc_, record.data(), record.size());
    ++next_;
    return status::kOk;
}

uint8_t FirmwareLoader::Finish(FirmwareVersion* installed) {
    if (!header_ || next_ != header_->lastRecord + 1u || crc_ != header_->crc) {
        return Refuse(status::kImageCorrupt);
    }
    *installed = header_->version;
    header_.reset();
    return status::kOk;
}

}  // namespace qelsim
