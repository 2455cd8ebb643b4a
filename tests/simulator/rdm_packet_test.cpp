// RDM packets on the line: layout, checksum, the receiver's checks, and the encoded
// discovery answer with what a collision does to it.
#include <gtest/gtest.h>

#include "rdm_line.h"
#include "rdm_packet.h"

namespace {

using namespace qelsim;
using namespace qelsim::rdm;

Packet GetDeviceInfo() {
    Packet p;
    p.destination = MakeUid(0x7FF1, 0x00000575);
    p.source = MakeUid(0x7FF0, 0x01323542);
    p.transaction = 7;
    p.subDevice = 0;
    p.commandClass = kGetCommand;
    p.pid = pid::kDeviceInfo;
    return p;
}

TEST(RdmPacket, EncodesTheFieldsInOrderWithTheirChecksum) {
    Bytes b = Encode(GetDeviceInfo());
    const Bytes expected{0xCC, 0x01,    24,                      // codes, length
                         0x7F, 0xF1,    0x00, 0x00, 0x05, 0x75,  // destination
                         0x7F, 0xF0,    0x01, 0x32, 0x35, 0x42,  // source
                         7,    kPortId, 0,    0x00, 0x00,        // TN, port, count, sub
                         0x20, 0x00,    0x60, 0x00};             // GET DEVICE_INFO, PDL
    ASSERT_EQ(b.size(), 26u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 24), expected);
    uint32_t sum = 0;
    for (uint8_t x : expected)
        sum += x;
    EXPECT_EQ(GetBe16(b, 24), static_cast<uint16_t>(sum));
}

TEST(RdmPacket, RoundTripsParameterDataAndCutsWhatDoesNotFit) {
    Packet p = GetDeviceInfo();
    p.data = Bytes(240, 0xAB);
    Decoded d = Decode(Encode(p));
    ASSERT_EQ(d.error, DecodeError::kNone);
    EXPECT_EQ(d.packet.data.size(), kMaxParamData);
    EXPECT_EQ(d.packet.destination, p.destination);
    EXPECT_EQ(d.packet.source, p.source);
    EXPECT_EQ(d.packet.transaction, 7);
    EXPECT_EQ(d.packet.pid, pid::kDeviceInfo);
}

TEST(RdmPacket, DecodingFindsEachKindOfDamage) {
    Bytes good = Encode(GetDeviceInfo());
    struct Case {
        const char* what;
        Bytes bytes;
        DecodeError error;
    };
    Bytes badChecksum(good.begin(), good.end() - 1);  // the last checksum byte flipped
    badChecksum.push_back(static_cast<uint8_t>(good.back() ^ 1));
    Bytes badStart = good;
    badStart[0] = 0xCD;
    Bytes longer = good;
    longer.push_back(0);
    Bytes pdlDisagrees = good;
    pdlDisagrees[23] = 1;
    uint16_t sum = Checksum(pdlDisagrees.data(), 24);
    pdlDisagrees[24] = static_cast<uint8_t>(sum >> 8);
    pdlDisagrees[25] = static_cast<uint8_t>(sum);
    const Case cases[] = {
        {"short", Bytes(good.begin(), good.begin() + 20), DecodeError::kTooShort},
        {"start code", badStart, DecodeError::kBadStartCode},
        {"extra byte", longer, DecodeError::kLengthMismatch},
        {"checksum", badChecksum, DecodeError::kChecksum},
        {"data length field", pdlDisagrees, DecodeError::kLengthMismatch},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decode(c.bytes).error, c.error) << c.what;
}

TEST(DiscoveryResponse, EncodesEveryByteTwiceWithItsChecksum) {
    Uid uid = MakeUid(0x1234, 0x56789ABC);
    Bytes b = EncodeDiscoveryResponse(uid);
    ASSERT_EQ(b.size(), 7u + 1 + 12 + 4);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 8),
              (Bytes{0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xAA}));
    EXPECT_EQ(b[8], 0x12 | 0xAA);
    EXPECT_EQ(b[9], 0x12 | 0x55);
    uint16_t sum = Checksum(b.data() + 8, 12);
    EXPECT_EQ(b[20] & b[21], sum >> 8);
    EXPECT_EQ(b[22] & b[23], sum & 0xFF);
    EXPECT_EQ(DecodeDiscoveryResponse(b), uid);
    EXPECT_EQ(DecodeDiscoveryResponse(EncodeDiscoveryResponse(uid, 0)), uid);  // no preamble
}

TEST(DiscoveryResponse, CollisionsAndDamageDoNotDecode) {
    Bytes a = EncodeDiscoveryResponse(MakeUid(0x7FF3, 1));
    Bytes b = EncodeDiscoveryResponse(MakeUid(0x7FF3, 2));
    EXPECT_EQ(DecodeDiscoveryResponse(Collide({a, b})), std::nullopt);
    Bytes cut(a.begin(), a.end() - 1);
    EXPECT_EQ(DecodeDiscoveryResponse(cut), std::nullopt);
    Bytes flipped = a;
    flipped[12] ^= 0x10;
    EXPECT_EQ(DecodeDiscoveryResponse(flipped), std::nullopt);
    EXPECT_EQ(DecodeDiscoveryResponse({}), std::nullopt);
}

TEST(Uid, TextFormRoundTrips) {
    Uid uid = 0;
    ASSERT_TRUE(ParseUid("7FF1:00000A01", &uid));
    EXPECT_EQ(uid, MakeUid(0x7FF1, 0xA01));
    EXPECT_EQ(UidText(uid), "7FF1:00000A01");
    EXPECT_FALSE(ParseUid("7FF1-00000A01", &uid));
    EXPECT_FALSE(ParseUid("7FF1:0000XA01", &uid));
    EXPECT_TRUE(Addresses(ManufacturerBroadcast(0x7FF1), MakeUid(0x7FF1, 5)));
    EXPECT_FALSE(Addresses(ManufacturerBroadcast(0x7FF2), MakeUid(0x7FF1, 5)));
    EXPECT_TRUE(Addresses(kBroadcastAll, MakeUid(0x7FF1, 5)));
}

}  // namespace
