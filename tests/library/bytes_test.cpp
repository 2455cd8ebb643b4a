#include "bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "failure.h"

namespace qelio {
namespace {

TEST(HexPairToByte, AcceptsDigitsInAnyCase) {
    struct Case {
        const char* pair;
        uint8_t byte;
    };
    const Case cases[] = {{"00", 0x00}, {"09", 0x09}, {"10", 0x10}, {"a5", 0xA5}, {"A5", 0xA5},
                          {"fF", 0xFF}, {"Ff", 0xFF}, {"c0", 0xC0}, {"7e", 0x7E}, {"E7", 0xE7}};
    for (const Case& c : cases) {
        EXPECT_EQ(HexPairToByte(c.pair[0], c.pair[1]), c.byte) << c.pair;
    }
}

TEST(HexPairToByte, RejectsAnyOtherCharacterInEitherPlace) {
    const std::string others = std::string("gGzZ ,.-x:/@`[\t\r\n", 18) + std::string(1, '\0') +
                               std::string(1, '\x80') + std::string(1, '\xff');
    for (char bad : others) {
        for (const auto& [high, low] : {std::pair{bad, '0'}, std::pair{'0', bad}}) {
            try {
                HexPairToByte(high, low);
                ADD_FAILURE() << "accepted character " << int(static_cast<unsigned char>(bad));
            } catch (const Failure& f) {
                EXPECT_EQ(f.Name(), "BYTES.DATA_ERROR");
            }
        }
    }
}

TEST(LittleEndian, FirstByteIsLeastSignificant) {
    const std::vector<uint8_t> bytes = {0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(LittleEndian(bytes.data(), 0), 0u);
    EXPECT_EQ(LittleEndian(bytes.data(), 1), 0x78u);
    EXPECT_EQ(LittleEndian(bytes.data(), 2), 0x5678u);
    EXPECT_EQ(LittleEndian(bytes.data(), 3), 0x345678u);
    EXPECT_EQ(LittleEndian(bytes.data(), 4), 0x12345678u);
    const std::vector<uint8_t> high = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(LittleEndian(high.data(), 4), 0xFFFFFFFFu);
}

TEST(LittleEndian, RefusesMoreThanFourBytes) {
    const std::vector<uint8_t> bytes(5, 1);
    EXPECT_THROW(LittleEndian(bytes.data(), 5), Failure);
}

}  // namespace
}  // namespace qelio
