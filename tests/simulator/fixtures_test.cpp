// The virtual fixtures answer the parameters the RDM tools read and set, with E1.20 data
// layouts.
#include <gtest/gtest.h>

#include <algorithm>

#include "fixtures.h"
#include "sim_test_util.h"
#include "unit_status.h"

namespace {

using namespace qelsim;
using simtest::RigHarness;
namespace pid = rdm::pid;

std::vector<uint16_t> Pids(const Bytes& list) {
    std::vector<uint16_t> out;
    for (size_t i = 0; i + 1 < list.size(); i += 2)
        out.push_back(GetBe16(list, i));
    return out;
}

std::string Text(const Bytes& b, size_t from = 0) {
    return TextOf(b, from);
}

class MovingHead : public ::testing::Test {
  protected:
    MovingHead() : h("unit U\nfixture moving-head uid=7FF1:00000575\n") {
        EXPECT_EQ(h.Discover(), 1);
    }
    UnitReply Get(uint16_t p, const Bytes& d = {}) { return h.Get(1, 0, p, d); }
    UnitReply Set(uint16_t p, const Bytes& d = {}) { return h.Set(1, 0, p, d); }
    RigHarness h;
};

TEST_F(MovingHead, SupportedParametersLeaveOutTheRequiredOnes) {
    std::vector<uint16_t> pids = Pids(Get(pid::kSupportedParameters).data);
    for (uint16_t required :
         {pid::kDeviceInfo, pid::kSupportedParameters, pid::kIdentifyDevice,
          pid::kSoftwareVersionLabel, pid::kDmxStartAddress, pid::kParameterDescription}) {
        EXPECT_EQ(std::count(pids.begin(), pids.end(), required), 0) << std::hex << required;
    }
    for (uint16_t offered : {pid::kSensorDefinition, pid::kLampState, pid::kRealTimeClock,
                             pid::kPanTiltSwap, pid::kDisplayLevel, pid::kResetDevice,
                             pid::kStatusMessages, uint16_t{0x8001}, uint16_t{0x8004}}) {
        EXPECT_EQ(std::count(pids.begin(), pids.end(), offered), 1) << std::hex << offered;
    }
    EXPECT_TRUE(std::is_sorted(pids.begin(), pids.end()));
}

TEST_F(MovingHead, DeviceInfoFollowsThePersonality) {
    Bytes info = Get(pid::kDeviceInfo).data;
    ASSERT_EQ(info.size(), 19u);
    EXPECT_EQ(GetBe16(info, 4), 0x0102);  // moving yoke
    EXPECT_EQ(GetBe16(info, 10), 16);     // footprint
    EXPECT_EQ(info[12], 1);
    EXPECT_EQ(info[13], 3);
    EXPECT_EQ(info[18], 5);  // sensors
    EXPECT_EQ(Get(pid::kDmxPersonality).data, (Bytes{1, 3}));
    ASSERT_EQ(Set(pid::kDmxPersonality, {2}).status, status::kOk);
    EXPECT_EQ(GetBe16(Get(pid::kDeviceInfo).data, 10), 8);
    EXPECT_EQ(Set(pid::kDmxPersonality, {4}).status, status::kRdmNackBase + rdm::kNrDataOutOfRange);
    Bytes d = Get(pid::kDmxPersonalityDescription, {3}).data;
    EXPECT_EQ(d[0], 3);
    EXPECT_EQ(GetBe16(d, 1), 24);
    EXPECT_EQ(Text(d, 3), "Extended 24 channel");
}

TEST_F(MovingHead, SlotsAreDescribedExceptTheReservedOne) {
    ASSERT_EQ(Set(pid::kDmxPersonality, {3}).status, status::kOk);
    Bytes pan = Get(pid::kSlotDescription, {0, 0}).data;
    EXPECT_EQ(GetBe16(pan, 0), 0);
    EXPECT_EQ(Text(pan, 2), "Pan");
    EXPECT_EQ(Get(pid::kSlotDescription, {0, 23}).status,
              status::kRdmNackBase + rdm::kNrDataOutOfRange);
    Bytes info = Get(pid::kSlotInfo).data;
    ASSERT_EQ(info.size(), 24u * 5);
    EXPECT_EQ(GetBe16(info, 3), 0x0101);  // slot 0 is pan
    EXPECT_EQ(Get(pid::kDefaultSlotValue).data.size(), 24u * 3);
}

TEST_F(MovingHead, SensorsDefineReadResetAndRecord) {
    Bytes def = Get(pid::kSensorDefinition, {0}).data;
    ASSERT_GE(def.size(), 13u);
    EXPECT_EQ(def[1], 0x00);  // temperature
    EXPECT_EQ(def[2], 1);     // centigrade
    EXPECT_EQ(def[12], 3);    // recorded and lowest/highest values
    EXPECT_EQ(Text(def, 13), "Lamp Temp");
    h.Time().Advance(std::chrono::seconds(20));
    Bytes v1 = Get(pid::kSensorValue, {0}).data;
    h.Time().Advance(std::chrono::seconds(20));
    Bytes v2 = Get(pid::kSensorValue, {0}).data;
    ASSERT_EQ(v2.size(), 9u);
    auto value = [](const Bytes& b, size_t at) { return static_cast<int16_t>(GetBe16(b, at)); };
    EXPECT_NE(value(v1, 1), value(v2, 1));  // the lamp warms and cools
    EXPECT_LE(value(v2, 3), std::min(value(v1, 1), value(v2, 1)));
    EXPECT_GE(value(v2, 5), std::max(value(v1, 1), value(v2, 1)));
    ASSERT_EQ(Set(pid::kRecordSensors, {0}).status, status::kOk);
    EXPECT_EQ(value(Get(pid::kSensorValue, {0}).data, 7), value(v2, 1));
    Bytes reset = Set(pid::kSensorValue, {0}).data;
    EXPECT_EQ(value(reset, 3), value(reset, 1));
    EXPECT_EQ(value(reset, 5), value(reset, 1));
    EXPECT_EQ(Get(pid::kSensorValue, {5}).status, status::kRdmNackBase + rdm::kNrDataOutOfRange);
}

TEST_F(MovingHead, StrikingTheLampQueuesWhatChanged) {
    EXPECT_EQ(Get(pid::kLampStrikes).data, (Bytes{0, 0, 0x01, 0x41}));  // 321
    EXPECT_EQ(Set(pid::kLampState, {2}).status, status::kRdmQueued);
    EXPECT_EQ(Get(pid::kLampState).data, (Bytes{1}));
    UnitReply first = h.Cmd(command::kQueuedMessage, {1, rdm::kStatusAdvisory});
    EXPECT_EQ(first.data, (Bytes{0x04, 0x03, 1}));  // LAMP_STATE: on
    UnitReply second = h.Cmd(command::kQueuedMessage, {1, rdm::kStatusAdvisory});
    EXPECT_EQ(second.status, status::kOk);
    EXPECT_EQ(second.data, (Bytes{0x04, 0x02, 0, 0, 0x01, 0x42}));  // LAMP_STRIKES: 322
    EXPECT_EQ(Set(pid::kLampState, {0x7F}).status, status::kRdmNackBase + rdm::kNrDataOutOfRange);
    EXPECT_EQ(Set(pid::kLampOnMode, {4}).status, status::kRdmNackBase + rdm::kNrDataOutOfRange);
}

TEST_F(MovingHead, SettingsKeepWhatIsSet) {
    struct Case {
        uint16_t pid;
        Bytes value, refused;
    };
    const Case cases[] = {
        {pid::kDisplayInvert, {1}, {3}},
        {pid::kDisplayLevel, {128}, {}},
        {pid::kPanInvert, {1}, {2}},
        {pid::kTiltInvert, {1}, {2}},
        {pid::kPanTiltSwap, {1}, {2}},
        {pid::kIdentifyDevice, {1}, {2}},
        {pid::kLampHours, {0, 0, 0, 9}, {}},
        {uint16_t{0x8001}, {2}, {3}},
        {pid::kLanguage, {'d', 'e'}, {'x', 'x'}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Set(c.pid, c.value).status, status::kOk) << std::hex << c.pid;
        EXPECT_EQ(Get(c.pid).data, c.value) << std::hex << c.pid;
        if (!c.refused.empty()) {
            EXPECT_EQ(Set(c.pid, c.refused).status, status::kRdmNackBase + rdm::kNrDataOutOfRange)
                << std::hex << c.pid;
        }
    }
}

TEST_F(MovingHead, LabelClockAndResetBehaveAsADeviceDoes) {
    ASSERT_EQ(Set(pid::kDeviceLabel, Bytes{'S', 'R'}).status, status::kOk);
    EXPECT_EQ(Text(Get(pid::kDeviceLabel).data), "SR");
    EXPECT_EQ(Set(pid::kDeviceLabel, Bytes(33, 'x')).status,
              status::kRdmNackBase + rdm::kNrFormatError);
    const Bytes when{0x07, 0xD9, 3, 7, 14, 5, 9};  // 2009-03-07 14:05:09
    ASSERT_EQ(Set(pid::kRealTimeClock, when).status, status::kOk);
    h.Time().Advance(std::chrono::seconds(5));
    EXPECT_EQ(Get(pid::kRealTimeClock).data, (Bytes{0x07, 0xD9, 3, 7, 14, 5, 14}));
    EXPECT_EQ(Set(pid::kRealTimeClock, {0x07, 0xD9, 2, 30, 0, 0, 0}).status,
              status::kRdmNackBase + rdm::kNrDataOutOfRange);
    EXPECT_EQ(Get(pid::kFactoryDefaults).data, (Bytes{0}));
    EXPECT_EQ(Set(pid::kResetDevice, {0x02}).status, status::kRdmNackBase + rdm::kNrDataOutOfRange);
    ASSERT_EQ(Set(pid::kResetDevice, {0xFF}).status, status::kOk);
    EXPECT_EQ(Text(Get(pid::kDeviceLabel).data), "Stage left spot");
    EXPECT_EQ(Get(pid::kFactoryDefaults).data, (Bytes{1}));
    EXPECT_EQ(Get(pid::kDevicePowerCycles).data, (Bytes{0, 0, 0, 43}));
}

TEST_F(MovingHead, ManufacturerParametersDescribeThemselves) {
    Bytes d = Get(pid::kParameterDescription, {0x80, 0x01}).data;
    ASSERT_EQ(d.size(), 20u + 8);
    EXPECT_EQ(GetBe16(d, 0), 0x8001);
    EXPECT_EQ(d[4], rdm::kPidGetSet);  // the command-class byte the tools read
    EXPECT_EQ(Text(d, 20), "Fan Mode");
    EXPECT_EQ(Get(pid::kParameterDescription, {0x80, 0x03}).data[4], rdm::kPidGet);
    EXPECT_EQ(Set(0x8003, {1}).status, status::kRdmNackBase + rdm::kNrUnsupportedCommandClass);
    EXPECT_EQ(Get(pid::kParameterDescription, {0x80, 0x09}).status,
              status::kRdmNackBase + rdm::kNrDataOutOfRange);
    EXPECT_EQ(Text(Get(pid::kStatusIdDescription, {0x80, 0x01}).data),
              "Fan %d running slow at %d rpm");
}

TEST(DimmerRack, SubDevicesHaveTheirOwnAddressesAndLabels) {
    RigHarness h("unit U\nfixture dimmer-rack uid=7FF2:00001206\n");
    ASSERT_EQ(h.Discover(), 1);
    Bytes root = h.Get(1, 0, pid::kDeviceInfo).data;
    EXPECT_EQ(GetBe16(root, 10), 0);       // the root has no footprint
    EXPECT_EQ(GetBe16(root, 14), 0xFFFF);  // so no address
    EXPECT_EQ(GetBe16(root, 16), 6);       // six dimmers
    EXPECT_EQ(root[18], 4);
    for (uint16_t s = 1; s <= 6; ++s) {
        Bytes info = h.Get(1, s, pid::kDeviceInfo).data;
        EXPECT_EQ(GetBe16(info, 14), 100 + s);
        EXPECT_EQ(Text(h.Get(1, s, pid::kDeviceLabel).data), "Dimmer " + std::to_string(s));
    }
    EXPECT_EQ(h.Get(1, 7, pid::kDeviceInfo).status,
              status::kRdmNackBase + rdm::kNrSubDeviceOutOfRange);
    EXPECT_EQ(h.Get(1, 1, pid::kStatusMessages, {2}).status,
              status::kRdmNackBase + rdm::kNrUnknownPid);
    // All sub-devices at once.
    ASSERT_EQ(h.Set(1, rdm::kSubDeviceAll, pid::kIdentifyDevice, {1}).status, status::kOk);
    for (uint16_t s = 1; s <= 6; ++s)
        EXPECT_EQ(h.Get(1, s, pid::kIdentifyDevice).data, (Bytes{1}));
    EXPECT_EQ(h.Get(1, 0, pid::kIdentifyDevice).data, (Bytes{0}));
}

TEST(MinimalDevice, OffersOnlyTheRequiredParameters) {
    RigHarness h("unit U\nfixture minimal uid=7FF3:00000004\n");
    ASSERT_EQ(h.Discover(), 1);
    EXPECT_TRUE(h.Get(1, 0, pid::kSupportedParameters).data.empty());
    EXPECT_EQ(Text(h.Get(1, 0, pid::kSoftwareVersionLabel).data), "PAR 1.0");
    EXPECT_EQ(h.Get(1, 0, pid::kDeviceLabel).status, status::kRdmNackBase + rdm::kNrUnknownPid);
    EXPECT_EQ(h.Cmd(command::kQueuedMessage, {1}).status,
              status::kRdmNackBase + rdm::kNrUnknownPid);
}

}  // namespace
