// The unit's command set: identity, the refusal statuses, frame timing, DMX out and in.
#include <gtest/gtest.h>

#include "dmx_input.h"
#include "frame_codec.h"
#include "sim_test_util.h"
#include "unit_status.h"

namespace {

using namespace qelsim;
using simtest::RigHarness;

constexpr const char* kPlain = "unit \"DMX-QEL\" serial=20071234\n";

std::string Text(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

TEST(UnitIdentity, AnswersEachIdentityCommand) {
    RigHarness h(kPlain);
    EXPECT_EQ(Text(h.Cmd(command::kName).data), "DMX-QEL");
    EXPECT_EQ(h.Cmd(command::kName, {0x01}).data, (Bytes{3, 0}));
    EXPECT_EQ(Text(h.Cmd(command::kHardwareRevision).data), "Rev C");
    EXPECT_EQ(h.Cmd(command::kFirmwareRevision, {0x01}).data,
              (Bytes{'2', '.', '4', '.', '1', '7', 0}));
    EXPECT_EQ(h.Cmd(command::kSerial, {0x01}).data,
              (Bytes{'2', '0', '0', '7', '1', '2', '3', '4', 0}));
    EXPECT_EQ(h.Cmd(command::kUid).data, (Bytes{0x7F, 0xF0, 0x01, 0x32, 0x43, 0x42}));
    EXPECT_EQ(h.Cmd(command::kBuild).data, (Bytes{0xA3, 0x04, 0, 0}));  // 1187
    EXPECT_EQ(h.Cmd(command::kFactoryProbe, {0, 0, 1, 0}).status, status::kUnknownCommand);
}

TEST(UnitIdentity, OlderUnitRefusesTheModelQueryAndFactoryUnitAnswersTheProbe) {
    RigHarness h("unit OLD legacy-model factory\n");
    EXPECT_EQ(h.Cmd(command::kName, {0x01}).status, status::kTooLong);
    EXPECT_EQ(h.Cmd(command::kName).status, status::kOk);
    EXPECT_EQ(h.Cmd(command::kFactoryProbe, {0, 0, 1, 0}).status, status::kOk);
}

struct StatusCase {
    const char* what;
    uint8_t code;
    Bytes payload;
    uint8_t status;
};

class RefusalStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(RefusalStatus, IsTheUnitsAnswer) {
    RigHarness h(kPlain);
    const StatusCase& c = GetParam();
    UnitReply r = h.Cmd(c.code, c.payload);
    EXPECT_EQ(r.status, c.status) << c.what;
    EXPECT_TRUE(r.data.empty()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RefusalStatus,
    ::testing::Values(
        StatusCase{"unknown code", 0x99, {}, status::kUnknownCommand},
        StatusCase{"name with two option bytes", command::kName, {1, 1}, status::kTooLong},
        StatusCase{"uid with a payload", command::kUid, {1}, status::kTooLong},
        StatusCase{"firmware revision without option",
                   command::kFirmwareRevision,
                   {},
                   status::kDataMissing},
        StatusCase{"slot command too short", command::kSendSlot, {1, 0}, status::kDataMissing},
        StatusCase{"frame without start code", command::kSendFrame, {0}, status::kDataMissing},
        StatusCase{"frame of 513 slots", command::kSendFrame, Bytes(2 + 513, 0), status::kTooLong},
        StatusCase{
            "frame on another universe", command::kSendFrame, {1, 0, 5}, status::kNotAnOption},
        StatusCase{"slot 0", command::kSendSlot, {0, 0, 9}, status::kOutOfRange},
        StatusCase{"slot 513", command::kSendSlot, {0x01, 0x02, 9}, status::kOutOfRange},
        StatusCase{"rate 45", command::kSetFrameRate, {45}, status::kOutOfRange},
        StatusCase{"rate 0", command::kSetFrameRate, {0}, status::kOutOfRange},
        StatusCase{"break 87 us", command::kSetBreakTime, {87, 0}, status::kOutOfRange},
        StatusCase{"mark 1001 us", command::kSetMarkTime, {0xE9, 0x03}, status::kOutOfRange},
        StatusCase{"time-out 51 ms", command::kSetTimeout, {51}, status::kOutOfRange},
        StatusCase{"device index beyond the list", command::kDeviceUid, {1}, status::kOutOfRange},
        StatusCase{"RDM GET without PID", command::kRdmGet, {1, 0, 0, 0}, status::kDataMissing},
        StatusCase{"RDM data longer than a packet holds", command::kRdmSet, Bytes(5 + 232, 1),
                   status::kTooLong},
        StatusCase{"broadcast GET", command::kRdmGet, {0, 0, 0, 0, 0x60}, status::kNotAnOption},
        StatusCase{"firmware record of 67 bytes", command::kFirmwareRecord, Bytes(67, 0),
                   status::kDataMissing},
        StatusCase{"input selector 2", command::kGetInput, {2}, status::kNotAnOption}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (char& c : n) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return n;
    });

TEST(UnitFrames, MalformedAndOverlongFramesGetTheirStatus) {
    RigHarness h(kPlain);
    auto answer = [&](const Bytes& frame) {
        RequestParser parser;
        for (uint8_t b : frame) {
            if (auto r = parser.Feed(b)) return AnswerRequest(h.Unit(), *r);
        }
        return Bytes{};
    };
    EXPECT_EQ(answer({0x7E, 0x58, 1, 0, 0x00, 0x00}), (Bytes{0, status::kFrameFormat}));  // bad end
    EXPECT_EQ(answer({0x7E, 0x57, 1, 0, 0x01, 0xE7}), (Bytes{1, status::kFrameFormat}));  // type
    Bytes big{0x7E, 0x58, 0x59, 0x02};  // 601 body bytes: more than the unit's buffer
    big.insert(big.end(), 601, 0x22);
    big.push_back(0xE7);
    EXPECT_EQ(answer(big), (Bytes{0x22, status::kTooLong}));
    EXPECT_EQ(answer({0x01, 0x7E, 0x58, 1, 0, 0x04, 0xE7}).size(), 8u);  // noise skipped, UID
}

TEST(FrameTiming, ReportsCurrentMinimumAndMaximum) {
    RigHarness h(kPlain);
    EXPECT_EQ(h.Cmd(command::kGetFrameRate).data, (Bytes{40, 1, 44}));
    EXPECT_EQ(h.Cmd(command::kGetBreakTime).data, (Bytes{176, 0, 88, 0, 0xE8, 0x03}));
    EXPECT_EQ(h.Cmd(command::kGetMarkTime).data, (Bytes{12, 0, 8, 0, 0xE8, 0x03}));
    EXPECT_EQ(h.Cmd(command::kGetTimeout).data, (Bytes{0, 0, 50}));
    EXPECT_EQ(h.Cmd(command::kSetBreakTime, {0x2C, 0x01}).status, status::kOk);  // 300 us
    EXPECT_EQ(h.Cmd(command::kGetBreakTime).data[0], 0x2C);
    EXPECT_EQ(h.Cmd(command::kSetBreakTime, {0, 0}).status, status::kOk);  // 0: the default
    EXPECT_EQ(h.Cmd(command::kGetBreakTime).data[0], 176);
}

TEST(FrameTiming, RateAndTimeOutPullEachOtherBack) {
    RigHarness h(kPlain);
    ASSERT_EQ(h.Cmd(command::kSetTimeout, {50}).status, status::kOk);
    EXPECT_EQ(h.Cmd(command::kGetFrameRate).data[0], 14);  // 14 × (20 + 50) ≤ 1000
    ASSERT_EQ(h.Cmd(command::kSetFrameRate, {40}).status, status::kOk);
    EXPECT_EQ(h.Cmd(command::kGetTimeout).data[0], 5);  // 40 × (20 + 5) = 1000
    ASSERT_EQ(h.Cmd(command::kSetFrameRate, {44}).status, status::kOk);
    EXPECT_EQ(h.Cmd(command::kGetTimeout).data[0], 2);
    ASSERT_EQ(h.Cmd(command::kSetTimeout, {2}).status, status::kOk);  // fits: nothing moves
    EXPECT_EQ(h.Cmd(command::kGetFrameRate).data[0], 44);
}

TEST(DmxOutput, KeepsTheFrameReplacesSlotsAndStops) {
    RigHarness h(kPlain);
    ASSERT_EQ(h.Cmd(command::kSendFrame, {0, 0, 10, 20, 30}).status, status::kOk);
    DmxFrame f = h.Unit().Output().Current();
    EXPECT_TRUE(f.sending);
    EXPECT_EQ(f.levels, (Bytes{10, 20, 30}));
    ASSERT_EQ(h.Cmd(command::kSendSlot, {2, 0, 99}).status, status::kOk);
    ASSERT_EQ(h.Cmd(command::kSendSlot, {5, 0, 7}).status, status::kOk);  // the frame grows
    EXPECT_EQ(h.Unit().Output().Current().levels, (Bytes{10, 99, 30, 0, 7}));
    ASSERT_EQ(h.Cmd(command::kStopFrame).status, status::kOk);
    EXPECT_FALSE(h.Unit().Output().Current().sending);
    EXPECT_EQ(h.Unit().Output().Current().levels.size(), 5u);
}

TEST(DmxOutput, FixturesOnTheLineSeeTheirSlots) {
    RigHarness h("unit U\nfixture minimal uid=7FF3:00000001\n");  // address 5, four slots
    auto fixture = h.Rig().Fixtures(0)[0];
    Bytes levels(12, 0);
    for (int i = 0; i < 12; ++i)
        levels[i] = static_cast<uint8_t>(i + 1);
    Bytes payload{0, 0};
    payload.insert(payload.end(), levels.begin(), levels.end());
    ASSERT_EQ(h.Cmd(command::kSendFrame, payload).status, status::kOk);
    EXPECT_EQ(fixture->DmxLevels(), (Bytes{5, 6, 7, 8}));
    h.Cmd(command::kSendSlot, {6, 0, 200});
    EXPECT_EQ(fixture->DmxLevels(), (Bytes{5, 200, 7, 8}));
}

TEST(DmxInput, ScriptedFramesLossAndNothingNew) {
    RigHarness h(kPlain);
    DmxInput& in = h.Unit().Input();
    EXPECT_EQ(h.Cmd(command::kGetInput, {1}).data, (Bytes{input::kNothingNew}));
    in.Receive(0, {16, 32});
    EXPECT_EQ(h.Cmd(command::kGetInput, {1}).data, (Bytes{input::kFrame, 0, 16, 32}));
    EXPECT_EQ(h.Cmd(command::kGetInput, {1}).data, (Bytes{input::kNothingNew}));
    in.Receive(0, {1});
    in.Receive(0xCC, {7, 8, 9});  // two frames since the last read: the latest, flagged
    EXPECT_EQ(h.Cmd(command::kGetInput, {1}).data, (Bytes{input::kFrameOverrun, 0xCC, 7, 8, 9}));
    in.LoseSignal();
    EXPECT_EQ(h.Cmd(command::kGetInput, {1}).data, (Bytes{input::kSignalLost}));
    EXPECT_EQ(h.Cmd(command::kGetInput, {1}).data, (Bytes{input::kNothingNew}));
}

TEST(DmxInput, LoopbackCarriesTheOutputAndPatternMoves) {
    RigHarness h("unit U input=loopback\n");
    EXPECT_EQ(h.Cmd(command::kGetInput, {1}).data, (Bytes{input::kNothingNew}));
    h.Cmd(command::kSendFrame, {0, 0, 1, 2, 3});
    EXPECT_EQ(h.Cmd(command::kGetInput, {1}).data, (Bytes{input::kFrame, 0, 1, 2, 3}));
    h.Cmd(command::kStopFrame);
    EXPECT_EQ(h.Cmd(command::kGetInput, {1}).data, (Bytes{input::kSignalLost}));

    h.Unit().Input().SetSource(InputSource::kPattern);
    Bytes first = h.Cmd(command::kGetInput, {1}).data;
    h.Time().Advance(std::chrono::milliseconds(300));
    Bytes later = h.Cmd(command::kGetInput, {1}).data;
    ASSERT_EQ(first.size(), 34u);
    EXPECT_EQ(first[0], input::kFrame);
    EXPECT_NE(first, later);
}

}  // namespace
