// The timing of reply bytes and the disturbances tests put on it.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "firmware_image.h"
#include "frame_codec.h"
#include "reply_disturbance.h"
#include "sim_test_util.h"
#include "unit_port.h"

namespace {

using namespace qelsim;
using namespace std::chrono_literals;

const Bytes kFrame{0x7E, 0x58, 0x02, 0x00, 0x04, 0x00, 0xE7};

Bytes Values(const std::vector<TimedByte>& v) {
    Bytes b;
    for (const TimedByte& t : v)
        b.push_back(t.value);
    return b;
}

TEST(ReplySchedule, UndisturbedReplyIsImmediate) {
    auto out = ScheduleReply(kFrame, {});
    EXPECT_EQ(Values(out), kFrame);
    for (const TimedByte& t : out)
        EXPECT_EQ(t.at, Duration::zero());
}

TEST(ReplySchedule, EachDisturbance) {
    ReplyDisturbance slow;
    slow.perByteDelay = 2ms;
    auto out = ScheduleReply(kFrame, slow);
    EXPECT_EQ(out.back().at, 14ms);

    ReplyDisturbance pause;
    pause.pauseBefore = 3;
    pause.pause = 1500ms;
    out = ScheduleReply(kFrame, pause);
    EXPECT_EQ(out[2].at, 0ms);
    EXPECT_EQ(out[3].at, 1500ms);

    ReplyDisturbance noise;
    noise.noise = {0x00, 0x13};
    EXPECT_EQ(Values(ScheduleReply(kFrame, noise)),
              (Bytes{0x00, 0x13, 0x7E, 0x58, 0x02, 0x00, 0x04, 0x00, 0xE7}));

    ReplyDisturbance end;
    end.wrongEndMarker = true;
    EXPECT_NE(Values(ScheduleReply(kFrame, end)).back(), 0xE7);

    ReplyDisturbance cut;
    cut.cutAfter = 4;
    EXPECT_EQ(Values(ScheduleReply(kFrame, cut)), (Bytes{0x7E, 0x58, 0x02, 0x00}));

    ReplyDisturbance silence;
    silence.silence = true;
    EXPECT_TRUE(ScheduleReply(kFrame, silence).empty());
}

TEST(ReplySchedule, ParsesTheTextForm) {
    ReplyDisturbance d;
    std::string error;
    ASSERT_TRUE(ParseDisturbance("delay=5ms,pause=3:1.5s,noise=7E00,wrong-end,cut=9", &d, &error))
        << error;
    EXPECT_EQ(d.perByteDelay, 5ms);
    EXPECT_EQ(d.pauseBefore, 3);
    EXPECT_EQ(d.pause, 1500ms);
    EXPECT_EQ(d.noise, (Bytes{0x7E, 0x00}));
    EXPECT_TRUE(d.wrongEndMarker);
    EXPECT_EQ(d.cutAfter, 9);
    for (const char* bad : {"delay=5", "delay=nanms", "delay=infs", "noise=7", "pause=x:1ms",
                            "loud", "cut=-1", "cut=99999999999", "cut=99999999999999999999999",
                            "cut=", "pause=99999999999:1ms", "pause=-1:1ms"}) {
        ReplyDisturbance ignored;
        EXPECT_FALSE(ParseDisturbance(bad, &ignored, &error)) << bad;
    }
}

// The host program may run under a locale whose decimal mark is a comma; rig files and
// disturbances are written with a point all the same.
// Switches the numbers to a locale whose decimal mark is a comma. A machine may have no
// such locale installed: then one is compiled from the locale sources into a folder of
// the test's own.
bool UseCommaDecimalLocale() {
    constexpr const char* kName = "de_DE.UTF-8";
    if (std::setlocale(LC_NUMERIC, kName)) return true;
    const std::string folder = ::testing::TempDir() + "qel-locale";
    const std::string make = "mkdir -p '" + folder + "' && localedef -i de_DE -f UTF-8 '" + folder +
                             "/" + kName + "' >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) return false;
    ::setenv("LOCPATH", folder.c_str(), 1);
    return std::setlocale(LC_NUMERIC, kName) != nullptr;
}

TEST(ReplySchedule, ReadsDecimalDurationsWhateverTheLocale) {
    if (!UseCommaDecimalLocale()) GTEST_SKIP() << "no comma-decimal locale can be made";
    const std::string mark = std::localeconv()->decimal_point;
    ReplyDisturbance d;
    std::string error;
    bool parsed = ParseDisturbance("delay=0.5ms,pause=3:1.5s", &d, &error);
    std::setlocale(LC_NUMERIC, "C");
    ASSERT_EQ(mark, ",");
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(d.perByteDelay, 500us);
    EXPECT_EQ(d.pause, 1500ms);
}

TEST(UnitPort, DisturbsOnlyTheRepliesAskedFor) {
    simtest::RigHarness h("unit U\n");
    UnitPort& port = h.Rig().Port(0);
    const Bytes request{0x7E, 0x58, 0x01, 0x00, 0x04, 0xE7};
    ReplyDisturbance silence;
    silence.silence = true;
    port.Disturb(silence, 1);
    EXPECT_TRUE(port.Write(request.data(), request.size()).empty());
    auto reply = port.Write(request.data(), request.size());
    EXPECT_EQ(reply.size(), 6u + 6 + 1);  // frame around code, status and UID
    // Two requests in one write: two replies, in order.
    Bytes two = request;
    two.insert(two.end(), request.begin(), request.end());
    EXPECT_EQ(port.Write(two.data(), two.size()).size(), 2 * reply.size());
    // A request split across writes is answered when complete.
    EXPECT_TRUE(port.Write(request.data(), 3).empty());
    EXPECT_EQ(port.Write(request.data() + 3, 3).size(), reply.size());
}

// A unit writing its flash answers firmware steps late; other commands, and requests it
// cannot read, at once.
TEST(UnitPort, FirmwareStepsAnswerAfterTheUnitsFlashTime) {
    ImageOptions image;
    image.model = UnitIdentity{}.model;
    const Bytes header = BuildImage(image)[0];
    Bytes record{command::kFirmwareRecord};
    record.insert(record.end(), header.begin(), header.end());
    const Bytes finish{command::kFirmwareFinish};
    const Bytes name{command::kName};
    Bytes badEnd = EncodeFrame(kFrameType, finish);
    badEnd.back() = 0x00;

    const struct {
        const char* rig;
        Duration record, finish;
    } cases[] = {
        {"unit U\n", 2ms, 1500ms},
        {"unit U flash=0s:0s\n", 0ms, 0ms},
        {"unit U flash=10ms:3s\n", 10ms, 3s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rig);
        simtest::RigHarness h(c.rig);
        UnitPort& port = h.Rig().Port(0);
        auto firstByteAt = [&](const Bytes& frame) {
            auto reply = port.Write(frame.data(), frame.size());
            EXPECT_FALSE(reply.empty());
            return reply.empty() ? Duration::max() : reply.front().at;
        };
        EXPECT_EQ(firstByteAt(EncodeFrame(kFrameType, record)), c.record);
        EXPECT_EQ(firstByteAt(EncodeFrame(kFrameType, finish)), c.finish);
        EXPECT_EQ(firstByteAt(EncodeFrame(kFrameType, name)), 0ms);
        EXPECT_EQ(firstByteAt(badEnd), 0ms);
    }
}

}  // namespace
