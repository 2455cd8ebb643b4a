// The line reader of the firmware image: hexadecimal digit pairs become bytes, spaces
// are ignored anywhere, and CR or LF each restart the line, so every line ending works.
// A line that reaches 68 bytes is a record; it is announced the moment its 68th byte is
// read, without waiting for the line end.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qelio {

inline constexpr std::size_t kRecordSize = 68;
using ImageRecord = std::array<uint8_t, kRecordSize>;

class RecordScanner {
  public:
    // Takes the next character of the file. Returns true when it completed a record,
    // which Current() then holds. Throws Failure "BYTES.DATA_ERROR" for a digit pair
    // holding a character that is not a hexadecimal digit (when its second character
    // arrives), and for a line that goes on to a 69th byte.
    bool Take(char c);

    const ImageRecord& Current() const { return buffer_; }
    // The record number of Current(): its first two bytes, little-endian.
    uint16_t Number() const;

    // Back to the start of a line, as at the start of the file.
    void Restart();

  private:
    ImageRecord buffer_{};
    std::size_t count_ = 0;
    bool pending_ = false;
    char high_ = 0;
};

}  // namespace qelio
