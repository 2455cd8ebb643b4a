// BYTES: the byte helpers the image reader is built on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qelio {

using Bytes = std::vector<uint8_t>;

// Two hexadecimal digits (0-9, a-f, A-F), high digit first, as one byte.
// Throws Failure "BYTES.DATA_ERROR" when either character is not such a digit.
uint8_t HexPairToByte(char high, char low);

// The unsigned integer of `count` bytes (at most 4), first byte least significant.
uint32_t LittleEndian(const uint8_t* bytes, std::size_t count);

}  // namespace qelio
