// What the unit reports for each outcome of an RDM request: acknowledgements, waits,
// partial answers, refusals, and the transaction failures a faulty responder causes.
#include <gtest/gtest.h>

#include "fixtures.h"
#include "rdm_judge.h"
#include "sim_test_util.h"
#include "unit_status.h"

namespace {

using namespace qelsim;
using simtest::RigHarness;
namespace pid = rdm::pid;

constexpr rdm::Uid kHead = rdm::MakeUid(0x7FF1, 0x575);
constexpr rdm::Uid kHazer = rdm::MakeUid(0x7FF1, 0xA01);
constexpr rdm::Uid kRack = rdm::MakeUid(0x7FF2, 0x1206);
constexpr rdm::Uid kPar = rdm::MakeUid(0x7FF3, 0x4);

class DemoRig : public ::testing::Test {
  protected:
    DemoRig()
        : h("unit U\nfixture moving-head uid=7FF1:00000575\nfixture dimmer-rack uid=7FF2:00001206\n"
            "fixture hazer uid=7FF1:00000A01\nfixture minimal uid=7FF3:00000004\n") {
        EXPECT_EQ(h.Discover(), 4);
        head = h.IndexOf(kHead);
        hazer = h.IndexOf(kHazer);
        rack = h.IndexOf(kRack);
        par = h.IndexOf(kPar);
    }
    RigHarness h;
    uint8_t head = 0, hazer = 0, rack = 0, par = 0;
};

TEST_F(DemoRig, AckGivesTheParameterData) {
    UnitReply r = h.Get(par, 0, pid::kDeviceInfo);
    EXPECT_EQ(r.status, status::kOk);
    ASSERT_EQ(r.data.size(), 19u);
    EXPECT_EQ(GetBe16(r.data, 10), 4);   // footprint
    EXPECT_EQ(GetBe16(r.data, 14), 17);  // start address
    EXPECT_EQ(h.Set(par, 0, pid::kDmxStartAddress, {0, 100}).status, status::kOk);
    EXPECT_EQ(h.Get(par, 0, pid::kDmxStartAddress).data, (Bytes{0, 100}));
}

TEST_F(DemoRig, NackGivesThirtyTwoPlusTheReason) {
    struct Case {
        const char* what;
        uint8_t code;
        uint16_t sub, pid;
        Bytes data;
        uint16_t reason;
    };
    const Case cases[] = {
        {"unknown PID", command::kRdmGet, 0, pid::kLampHours, {}, rdm::kNrUnknownPid},
        {"GET with stray data", command::kRdmGet, 0, pid::kDeviceInfo, {1}, rdm::kNrFormatError},
        {"address beyond the universe",
         command::kRdmSet,
         0,
         pid::kDmxStartAddress,
         {0x02, 0x58},
         rdm::kNrDataOutOfRange},
        {"SET of a read-only parameter",
         command::kRdmSet,
         0,
         pid::kDeviceInfo,
         {},
         rdm::kNrUnsupportedCommandClass},
        {"write-protected", command::kRdmSet, 0, 0x8103, {0, 1}, rdm::kNrWriteProtect},
        {"no such sub-device",
         command::kRdmGet,
         3,
         pid::kDeviceInfo,
         {},
         rdm::kNrSubDeviceOutOfRange},
    };
    for (const Case& c : cases) {
        UnitReply r = h.Rdm(c.code, hazer, c.sub, c.pid, c.data);
        EXPECT_EQ(r.status, status::kRdmNackBase + c.reason) << c.what;
        EXPECT_TRUE(r.data.empty()) << c.what;
    }
}

TEST_F(DemoRig, AckTimerGivesTheWaitThenThePollAnswers) {
    UnitReply r = h.Get(hazer, 0, pid::kDeviceLabel);
    ASSERT_EQ(r.status, status::kRdmWait);
    EXPECT_EQ(r.data, (Bytes{0x00, 0x05}));  // half a second, big-endian tenths
    // Asked too early, the hazer asks for the rest of the time.
    h.Time().Advance(std::chrono::milliseconds(200));
    UnitReply early = h.Cmd(command::kQueuedMessage, {hazer});
    EXPECT_EQ(early.status, status::kRdmWait);
    EXPECT_EQ(early.data, (Bytes{0x00, 0x03}));
    h.Time().Advance(std::chrono::milliseconds(300));
    UnitReply late = h.Cmd(command::kQueuedMessage, {hazer});
    EXPECT_TRUE(late.status == status::kOk || late.status == status::kRdmQueued);
    Bytes expected;
    PutBe16(expected, pid::kDeviceLabel);
    PutText(expected, "Upstage haze");
    EXPECT_EQ(late.data, expected);  // the PID first, then the label
}

TEST_F(DemoRig, QueuedMessagesShowAsSeventeenAndEmptyQueueAsStatusMessages) {
    UnitReply r = h.Get(hazer, 0, pid::kDeviceModelDescription);
    EXPECT_EQ(r.status, status::kRdmQueued);  // the hazer holds queued messages
    EXPECT_EQ(std::string(r.data.begin(), r.data.end()), "Mistral Hazer");
    std::vector<uint16_t> pids;
    UnitReply q;
    do {
        q = h.Cmd(command::kQueuedMessage, {hazer, rdm::kStatusAdvisory});
        ASSERT_GE(q.data.size(), 2u);
        pids.push_back(GetBe16(q.data, 0));
    } while (q.status == status::kRdmQueued);
    EXPECT_EQ(pids, (std::vector<uint16_t>{pid::kDmxStartAddress, pid::kDeviceHours,
                                           pid::kDeviceModelDescription}));
    EXPECT_EQ(h.Get(hazer, 0, pid::kDeviceModelDescription).status, status::kOk);
    // Nothing queued: the answer is the status messages, here more than one packet holds.
    UnitReply s = h.Cmd(command::kQueuedMessage, {hazer, rdm::kStatusAdvisory});
    EXPECT_EQ(s.status, status::kRdmOverflow);
    EXPECT_EQ(GetBe16(s.data, 0), pid::kStatusMessages);
}

TEST_F(DemoRig, AQueuedAnswerLeftUnfinishedDoesNotCostTheNextOneItsPid) {
    UnitReply q;
    do {
        q = h.Cmd(command::kQueuedMessage, {hazer, rdm::kStatusAdvisory});
    } while (q.status == status::kRdmQueued);
    // The queue is empty: the status messages come, more than one packet holds.
    q = h.Cmd(command::kQueuedMessage, {hazer, rdm::kStatusAdvisory});
    ASSERT_EQ(q.status, status::kRdmOverflow);
    ASSERT_GE(q.data.size(), 2u);
    ASSERT_EQ(GetBe16(q.data, 0), pid::kStatusMessages);
    // Another request makes the hazer drop the rest; the next queued answer starts anew,
    // here with the status messages all taken: the PID alone.
    EXPECT_EQ(h.Get(hazer, 0, pid::kDeviceInfo).status, status::kOk);
    UnitReply again = h.Cmd(command::kQueuedMessage, {hazer, rdm::kStatusAdvisory});
    EXPECT_EQ(again.status, status::kOk);
    Bytes pidAlone;
    PutBe16(pidAlone, pid::kStatusMessages);
    EXPECT_EQ(again.data, pidAlone);
}

TEST_F(DemoRig, OverflowComesInPartsUntilTheLastAck) {
    Bytes all;
    int parts = 0;
    UnitReply r;
    do {
        r = h.Get(hazer, 0, 0x8102);  // the service log
        all.insert(all.end(), r.data.begin(), r.data.end());
        ++parts;
    } while (r.status == status::kRdmOverflow && parts < 10);
    EXPECT_EQ(parts, 3);
    EXPECT_TRUE(r.status == status::kOk || r.status == status::kRdmQueued);
    EXPECT_GE(all.size(), 600u);
    EXPECT_EQ(std::string(all.begin(), all.begin() + 6), "#1 pum");
}

TEST_F(DemoRig, StatusMessagesOfTheRackNameTheirSubDevices) {
    UnitReply r = h.Get(rack, 0, pid::kStatusMessages, {rdm::kStatusAdvisory});
    ASSERT_EQ(r.status, status::kOk);
    ASSERT_EQ(r.data.size(), 27u);
    EXPECT_EQ(Bytes(r.data.begin(), r.data.begin() + 9),
              (Bytes{0, 0, rdm::kStatusWarning, 0x00, 0x31, 0, 2, 0, 254}));
    EXPECT_EQ(GetBe16(r.data, 9), 3);  // sub-device 3: no dimmer
    EXPECT_EQ(h.Get(rack, 0, pid::kStatusMessages, {rdm::kStatusGetLastMessage}).data, r.data);
    EXPECT_EQ(h.Get(rack, 0, pid::kStatusMessages, {rdm::kStatusAdvisory}).data.size(), 0u);
}

TEST_F(DemoRig, BroadcastFollowsTheManufacturerMask) {
    h.Cmd(command::kBroadcastMask, {0x7F, 0xF1});
    EXPECT_EQ(h.Set(0, 0, pid::kIdentifyDevice, {1}).status, status::kOk);
    auto fixtures = h.Rig().Fixtures(0);
    EXPECT_TRUE(fixtures[0]->Model(0).identify);   // moving head, 7FF1
    EXPECT_FALSE(fixtures[1]->Model(0).identify);  // rack, 7FF2
    EXPECT_TRUE(fixtures[2]->Model(0).identify);   // hazer, 7FF1
    h.Cmd(command::kBroadcastMask, {0xFF, 0xFF});
    EXPECT_EQ(h.Set(0, 0, pid::kIdentifyDevice, {1}).status, status::kOk);
    EXPECT_TRUE(fixtures[1]->Model(0).identify);
    fixtures[3]->SetFault(Fault::kAnswersBroadcast, true);
    EXPECT_EQ(h.Set(0, 0, pid::kIdentifyDevice, {0}).status, status::kRdmUnexpected);
}

TEST(RdmFaults, EachFaultGivesItsTransactionStatus) {
    RigHarness h(
        "unit U\n"
        "fixture minimal uid=7FF3:00000101 faults=no-response\n"
        "fixture minimal uid=7FF3:00000102 faults=bad-checksum\n"
        "fixture minimal uid=7FF3:00000103 faults=wrong-transaction\n"
        "fixture minimal uid=7FF3:00000104 faults=wrong-sub-device\n"
        "fixture minimal uid=7FF3:00000105 faults=wrong-identity\n"
        "fixture minimal uid=7FF3:00000106 faults=malformed\n");
    ASSERT_EQ(h.Discover(), 6);  // faults spare discovery
    const std::pair<uint32_t, uint8_t> expected[] = {
        {0x101, status::kRdmMissing},     {0x102, status::kRdmChecksum},
        {0x103, status::kRdmTransaction}, {0x104, status::kRdmSubDevice},
        {0x105, status::kRdmIdentity},    {0x106, status::kRdmFormat},
    };
    for (const auto& [device, s] : expected) {
        uint8_t index = h.IndexOf(rdm::MakeUid(0x7FF3, device));
        EXPECT_EQ(h.Get(index, 0, pid::kDeviceInfo).status, s) << std::hex << device;
    }
    h.Rig().Fixtures(0)[0]->SetFault(Fault::kNoResponse, false);
    EXPECT_EQ(h.Get(h.IndexOf(rdm::MakeUid(0x7FF3, 0x101)), 0, pid::kDeviceInfo).status,
              status::kOk);
}

TEST(RdmJudge, RejectsAnswersThatDoNotFitTheRequest) {
    rdm::Packet request;
    request.destination = rdm::MakeUid(0x7FF1, 1);
    request.source = rdm::MakeUid(0x7FF0, 1);
    request.transaction = 9;
    request.commandClass = rdm::kGetCommand;
    request.pid = pid::kDeviceLabel;
    auto answer = [&](auto change) {
        rdm::Packet p = request;
        std::swap(p.source, p.destination);
        p.commandClass = rdm::kGetResponse;
        p.portOrResponseType = rdm::kAck;
        change(p);
        return JudgeResponse(request, rdm::Encode(p)).status;
    };
    EXPECT_EQ(answer([](rdm::Packet&) {}), status::kOk);
    EXPECT_EQ(answer([](rdm::Packet& p) { p.pid = pid::kDeviceInfo; }), status::kRdmFormat);
    EXPECT_EQ(answer([](rdm::Packet& p) { p.commandClass = rdm::kSetResponse; }),
              status::kRdmFormat);
    EXPECT_EQ(answer([](rdm::Packet& p) { p.portOrResponseType = 7; }), status::kRdmFormat);
    EXPECT_EQ(answer([](rdm::Packet& p) {
                  p.portOrResponseType = rdm::kNackReason;
                  p.data = {0};  // a reason needs two bytes
              }),
              status::kRdmFormat);
    EXPECT_EQ(answer([](rdm::Packet& p) {
                  p.portOrResponseType = rdm::kAckTimer;
                  p.data = {0, 20};
              }),
              status::kRdmWait);
    EXPECT_EQ(answer([](rdm::Packet& p) { p.destination ^= 1; }), status::kRdmFormat);
    EXPECT_EQ(answer([](rdm::Packet& p) { p.messageCount = 3; }), status::kRdmQueued);
    EXPECT_EQ(JudgeResponse(request, std::nullopt).status, status::kRdmMissing);
    EXPECT_EQ(JudgeResponse(request, Bytes{0xCC, 0x01}).status, status::kRdmFormat);
}

}  // namespace
