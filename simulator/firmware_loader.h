// The unit's side of a firmware load: records one by one, then the finishing step.
#pragma once

#include <cstdint>
#include <optional>

#include "bytes.h"
#include "firmware_image.h"
#include "sim_time.h"

namespace qelsim {

// How long the unit is busy with a firmware step before it answers. Writing a record to
// flash takes a moment; checking and installing the whole image takes over a second, so
// a person watching the upgrade sees the unit at work.
struct FlashTime {
    Duration record = std::chrono::milliseconds(2);
    Duration finish = std::chrono::milliseconds(1500);
};

class FirmwareLoader {
  public:
    explicit FirmwareLoader(uint16_t model) : model_(model) {}

    // One 68-byte record; answers a unit status (0, 10 or 11).
    uint8_t Record(const Bytes& record);
    // Ends the load; on success the new version is returned through `installed`.
    uint8_t Finish(FirmwareVersion* installed);

  private:
    uint8_t Refuse(uint8_t status);

    uint16_t model_;
    std::optional<ImageHeader> header_;
    uint32_t next_ = 0;
    uint32_t crc_ = 0;
};

}  // namespace qelsim
