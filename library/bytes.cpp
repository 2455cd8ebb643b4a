#include "bytes.h"

#include <array>

#include "failure.h"

namespace qelio {

namespace {

// Digit value by character, -1 for every character that is not a hexadecimal digit.
constexpr std::array<int8_t, 256> kDigitValues = [] {
    std::array<int8_t, 256> values{};
    values.fill(-1);
    for (int c = '0'; c <= '9'; ++c)
        values[c] = static_cast<int8_t>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c)
        values[c] = static_cast<int8_t>(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c)
        values[c] = static_cast<int8_t>(c - 'A' + 10);
    return values;
}();

}  // namespace

uint8_t HexPairToByte(char high, char low) {
    const int h = kDigitValues[static_cast<uint8_t>(high)];
    const int l = kDigitValues[static_cast<uint8_t>(low)];
    if (h < 0 || l < 0) throw Failure(kind::kDataError);
    return static_cast<uint8_t>(h << 4 | l);
}

uint32_t LittleEndian(const uint8_t* bytes, std::size_t count) {
    if (count > 4) throw Failure(kind::kConstraint);
    uint32_t value = 0;
    for (std::size_t i = count; i > 0; --i)
        value = value << 8 | bytes[i - 1];
    return value;
}

}  // namespace qelio
