// Frames, the reply parser, per-byte waits, PurgePending, every failure.
#include "frame.h"
#include "device.h"
#include "failure.h"
#include "lib_test_util.h"

namespace qeltest {
namespace {

using qelio::TicksToDuration;
using qelio::frame::ReplyParser;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

ReplyParser Parse(const Bytes& bytes) {
    ReplyParser p;
    for (uint8_t b : bytes)
        p.Feed(b);
    return p;
}

TEST(ReplyParserTest, States) {
    ReplyParser p;
    EXPECT_EQ(p.State(), 0);
    p.Feed(0x00);
    EXPECT_EQ(p.State(), 0);
    p.Feed(0x7E);
    EXPECT_EQ(p.State(), 1);
    p.Feed(0x58);
    EXPECT_EQ(p.State(), 2);
    p.Feed(0x02);
    EXPECT_EQ(p.State(), 3);
    p.Feed(0x00);
    EXPECT_EQ(p.State(), 4);
    p.Feed(0xAA);
    EXPECT_EQ(p.State(), 4);
    p.Feed(0xBB);
    EXPECT_EQ(p.State(), 5);
    EXPECT_FALSE(p.Done());
    p.Feed(0xE7);
    EXPECT_EQ(p.State(), 6);
    EXPECT_TRUE(p.Done());
    EXPECT_FALSE(p.Accepting());
    p.Feed(0x7E);  // ignored
    EXPECT_EQ(Bytes(p.Data(), p.Data() + p.Count()), (Bytes{0x58, 0xAA, 0xBB}));
    EXPECT_FALSE(p.EndMarkerError());
    EXPECT_FALSE(p.LengthError());
}

TEST(ReplyParserTest, LengthZeroGoesStraightToTheEndMarker) {
    ReplyParser p = Parse({0x7E, 0x58, 0x00, 0x00});
    EXPECT_EQ(p.State(), 5);
    p.Feed(0xE7);
    EXPECT_TRUE(p.Done());
    EXPECT_EQ(p.Count(), 1u);
}

TEST(ReplyParserTest, ExpiryBeforeAndInsideAFrame) {
    ReplyParser a = Parse({0x01, 0x02});
    a.Expire();
    EXPECT_TRUE(a.Done());
    EXPECT_FALSE(a.LengthError());
    EXPECT_EQ(a.Count(), 0u);
    for (size_t n = 1; n <= 6; ++n) {
        const Bytes frame{0x7E, 0x58, 0x02, 0x00, 0x01, 0x02, 0xE7};
        ReplyParser b = Parse(Bytes(frame.begin(), frame.begin() + static_cast<long>(n)));
        b.Expire();
        EXPECT_TRUE(b.LengthError()) << n;
    }
}

TEST(ReplyParserTest, OversizeLengthIsDrainedNotStored) {
    Bytes body(700, 0x11);
    ReplyParser p = Parse(Frame(0x58, body));
    EXPECT_TRUE(p.Done());
    EXPECT_TRUE(p.LengthError());
    EXPECT_TRUE(p.Oversize());
    EXPECT_EQ(p.Count(), qelio::frame::kBodyBuffer);
    ReplyParser q = Parse(Frame(0x58, Bytes(599, 0x22)));
    EXPECT_FALSE(q.LengthError());
    EXPECT_EQ(q.Count(), 600u);
    ReplyParser big = Parse({0x7E, 0x58, 0xFF, 0xFF});
    EXPECT_TRUE(big.Oversize());
}

TEST(FrameTest, BuildAndWait) {
    EXPECT_EQ(qelio::frame::BuildFrame(0x58, nullptr, 0), (Bytes{0x7E, 0x58, 0, 0, 0xE7}));
    Bytes body(300, 1);
    Bytes f = qelio::frame::BuildFrame(0x58, body.data(), body.size());
    EXPECT_EQ(f[2], 300 % 256);
    EXPECT_EQ(f[3], 1);
    EXPECT_EQ(f.size(), 305u);
    EXPECT_EQ(qelio::frame::PerByteWait(18022, 11), 18923);
    EXPECT_EQ(qelio::frame::PerByteWait(16384, 4), 16384 + 327);
    EXPECT_EQ(qelio::frame::PerByteWait(1638, 69), 7290);
    EXPECT_EQ(qelio::frame::PerByteWait(163840, 1), 163921);
}

class Exchange : public LibraryTest {
  protected:
    void SetUp() override {
        LibraryTest::SetUp();
        OpenPort1();
    }
    // Replies with `bytes` to the next write, first byte after `after`, then `gap` apart.
    void ReplyWith(const Bytes& bytes, Duration after = Duration::zero(),
                   Duration gap = Duration::zero()) {
        driver().SetResponder(
            [=](ScriptedDriver& d, const Bytes&) { d.Arrive(bytes, after, gap); });
    }
    size_t Purges() { return driver().Count(Op::kPurge); }
};

TEST_F(Exchange, FirstRequestPurgesThenNot) {
    driver().AnswerAll();
    EXPECT_EQ(RunCommand({0x01}).result, 0);
    EXPECT_EQ(Purges(), 1u);
    EXPECT_EQ(driver().Ops()[2], Op::kPurge);  // ListCount, Open, Purge, Write
    EXPECT_EQ(RunCommand({0x01}).result, 0);
    EXPECT_EQ(Purges(), 1u);
}

TEST_F(Exchange, ZeroLengthBodyIsAMismatch) {
    ReplyWith({0x7E, 0x58, 0x00, 0x00, 0xE7});
    const CommandResult r = RunCommand({0x01});
    EXPECT_EQ(r.result, -6);
    EXPECT_EQ(r.length, 0);
    EXPECT_EQ(LastError(), Text("DEVICE.ERROR_MISMATCH", "QIO_Command"));
}

TEST_F(Exchange, EchoWithoutStatusIsAMismatch) {
    ReplyWith(Frame(0x58, {0x01}));
    EXPECT_EQ(RunCommand({0x01}).result, -6);
    EXPECT_EQ(LastError(), Text("DEVICE.ERROR_MISMATCH", "QIO_Command"));
}

TEST_F(Exchange, WrongEchoIsAMismatchWithoutPurge) {
    ReplyWith(ReplyFrame(0x02, 0));
    EXPECT_EQ(RunCommand({0x01}).result, -6);
    EXPECT_FALSE(qelio::frame::PurgePending());
}

TEST_F(Exchange, NoiseBeforeTheStartMarkerIsSkipped) {
    Bytes noise{0x00, 0xE7, 0x58, 0xFF, 0x13};
    Bytes reply = ReplyFrame(0x01, 0, {0x7E, 0xE7});
    noise.insert(noise.end(), reply.begin(), reply.end());
    ReplyWith(noise);
    const CommandResult r = RunCommand({0x01});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.data, (Bytes{0x7E, 0xE7}));  // markers inside the length are data
}

TEST_F(Exchange, WrongEndMarker) {
    ReplyWith(Frame(0x58, {0x01, 0x00}, 0x00));
    EXPECT_EQ(RunCommand({0x01}).result, -100);
    EXPECT_EQ(LastError(), Text("FRAME.ERROR_FRAMEFORMAT", "QIO_Command"));
    EXPECT_FALSE(qelio::frame::PurgePending());
}

TEST_F(Exchange, StopAfterLengthBytesIsAReplyLengthAfterOneWait) {
    driver().AnswerAll();
    EXPECT_EQ(RunCommand({0x01}).result, 0);
    ReplyWith({0x7E, 0x58, 0x05, 0x00});
    const auto t0 = clock().Now();
    EXPECT_EQ(RunCommand({0x01}).result, -4);
    const auto waited = clock().Now() - t0;
    EXPECT_EQ(LastError(), Text("FRAME.ERROR_REPLYLENGTH", "QIO_Command"));
    const auto w = TicksToDuration(16384 + 1 * 16384 / 200);
    EXPECT_GE(waited, w);
    EXPECT_LT(waited, w + milliseconds(2));
    EXPECT_FALSE(qelio::frame::PurgePending());
    driver().AnswerAll();
    const size_t purges = Purges();
    EXPECT_EQ(RunCommand({0x01}).result, 0);
    EXPECT_EQ(Purges(), purges);  // the next request does not purge
}

TEST_F(Exchange, NoReplyIsATimeoutAfterOneWaitAndThePurgeComesBack) {
    driver().AnswerAll();
    EXPECT_EQ(RunCommand({0x01}).result, 0);
    driver().SetResponder(nullptr);
    const auto t0 = clock().Now();
    const CommandResult r = RunCommand({0x01, 2, 3});
    const auto waited = clock().Now() - t0;
    EXPECT_EQ(r.result, -3);
    EXPECT_EQ(r.length, 0);
    EXPECT_EQ(LastError(), Text("FRAME.ERROR_TIMEOUT", "QIO_Command"));
    const auto w = TicksToDuration(16384 + 3 * 16384 / 200);
    EXPECT_GE(waited, w);
    EXPECT_LT(waited, w + milliseconds(2));
    EXPECT_TRUE(qelio::frame::PurgePending());
    driver().AnswerAll();
    const size_t purges = Purges();
    EXPECT_EQ(RunCommand({0x01}).result, 0);
    EXPECT_EQ(Purges(), purges + 1);
    const auto ops = driver().Ops();
    // The purge comes before the write of the next request.
    size_t lastPurge = 0, lastWrite = 0;
    for (size_t i = 0; i < ops.size(); ++i) {
        if (ops[i] == Op::kPurge) lastPurge = i;
        if (ops[i] == Op::kWrite) lastWrite = i;
    }
    EXPECT_EQ(lastPurge + 1, lastWrite);
}

TEST_F(Exchange, WaitingCostsFewPolls) {
    const int64_t sleeps0 = clock().Sleeps();
    const size_t polls0 = driver().Count(Op::kQueueLength);
    EXPECT_EQ(RunCommand({0x01}).result, -3);
    // 1 s at sleeps of at most 1 ms: about a thousand polls, not a spin.
    EXPECT_LT(clock().Sleeps() - sleeps0, 1100);
    EXPECT_LT(driver().Count(Op::kQueueLength) - polls0, 1100u);
}

TEST_F(Exchange, WrongFrameTypeIsAFrameMismatchAndPurges) {
    driver().AnswerAll();
    EXPECT_EQ(RunCommand({0x01}).result, 0);
    ReplyWith(Frame(0x57, {0x01, 0x00}));
    EXPECT_EQ(RunCommand({0x01}).result, -100);
    EXPECT_EQ(LastError(), Text("FRAME.ERROR_MISMATCH", "QIO_Command"));
    EXPECT_TRUE(qelio::frame::PurgePending());
}

TEST_F(Exchange, InputCommandWaits1155Seconds) {
    Bytes req(11, 0);
    req[0] = 0x28;
    const auto w = TicksToDuration(18923);
    ReplyWith(ReplyFrame(0x28, 0, {1, 2}), w, w);  // every gap exactly the wait
    CommandResult r = RunCommand(req);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.data, (Bytes{1, 2}));
    ReplyWith(ReplyFrame(0x28, 0, {1, 2}), w, w + nanoseconds(1000));
    r = RunCommand(req);
    EXPECT_EQ(r.result, -4);  // the first byte came in time, the second too late
}

TEST_F(Exchange, InputCommandWaitIgnoresOtherCodes) {
    const auto justOver = TicksToDuration(16384 + 16384 / 200) + milliseconds(50);
    ReplyWith(ReplyFrame(0x27, 0), justOver);
    EXPECT_EQ(RunCommand({0x27}).result, -3);
    clock().Advance(std::chrono::seconds(1));  // the late reply arrives; the purge takes it
    ReplyWith(ReplyFrame(0x28, 0), justOver);
    EXPECT_EQ(RunCommand({0x28}).result, 0);
}

TEST_F(Exchange, PerByteWaitRestartsAfterEveryByte) {
    ReplyWith(ReplyFrame(0x01, 0, Bytes(20, 9)), milliseconds(900), milliseconds(900));
    const auto t0 = clock().Now();
    const CommandResult r = RunCommand({0x01});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.length, 20);
    EXPECT_GT(clock().Now() - t0, std::chrono::seconds(20));
}

TEST_F(Exchange, BytesAfterTheEndMarkerAreReadByTheNextExchange) {
    Bytes first = ReplyFrame(0x01, 0);
    Bytes stray = ReplyFrame(0x02, 5, {0x44});
    first.insert(first.end(), stray.begin(), stray.end());
    ReplyWith(first);
    EXPECT_EQ(RunCommand({0x01}).result, 0);
    EXPECT_EQ(driver().Pending(), stray.size());
    driver().SetResponder(nullptr);
    const CommandResult r = RunCommand({0x02});  // no purge: the stray frame answers
    EXPECT_EQ(r.result, 5);
    EXPECT_EQ(r.data, (Bytes{0x44}));
}

TEST_F(Exchange, OversizeReplyIsALengthErrorAndDrained) {
    Bytes body(1000, 0x7E);
    body[0] = 0x01;
    ReplyWith(Frame(0x58, body));
    EXPECT_EQ(RunCommand({0x01}).result, -4);
    EXPECT_EQ(LastError(), Text("FRAME.ERROR_REPLYLENGTH", "QIO_Command"));
    EXPECT_EQ(driver().Pending(), 0u);
    driver().AnswerAll(3);
    EXPECT_EQ(RunCommand({0x01}).result, 3);
}

TEST_F(Exchange, FullBufferReplyIsAConstraint) {
    // 599 body bytes fill the buffer exactly; after the code, 598 > 528 bytes.
    Bytes body(599, 0x01);
    ReplyWith(Frame(0x58, body));
    EXPECT_EQ(RunCommand({0x01}).result, -11);
}

TEST_F(Exchange, EmptyReadIsNotUsed) {
    driver().AnswerAll(0, {0x31});
    driver().EmptyReadAt(2);
    const CommandResult r = RunCommand({0x01});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.data, (Bytes{0x31}));
}

TEST_F(Exchange, PortFailureDuringCollectionEndsAtOnce) {
    ReplyWith(ReplyFrame(0x01, 0), milliseconds(500));
    driver().StatusAt(Op::kQueueLength, 3, 4);
    const auto t0 = clock().Now();
    EXPECT_EQ(RunCommand({0x01}).result, -1);
    EXPECT_LT(clock().Now() - t0, milliseconds(1));
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTDATAIO", "QIO_Command"));
}

TEST_F(Exchange, LongRequestLengthField) {
    driver().AnswerAll();
    Bytes req(300, 0x05);
    EXPECT_EQ(RunCommand(req).result, 0);
    const Bytes w = driver().Writes().back();
    EXPECT_EQ(w.size(), 305u);
    EXPECT_EQ(w[2], 44);
    EXPECT_EQ(w[3], 1);
}

TEST_F(Exchange, RequestAbove65535BytesIsRefused) {
    driver().AnswerAll();
    std::vector<uint8_t> buffer(70000, 1);
    int32_t length = 65536;
    EXPECT_EQ(QIO_Command(buffer.data(), &length), -11);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(driver().Count(Op::kWrite), 0u);
}

// A length no frame can carry is refused before the caller's buffer is read: a usual
// command buffer with a wild length is not read past its end (the sanitizer build
// would catch it).
TEST_F(Exchange, AWildLengthIsRefusedWithoutReadingTheBuffer) {
    driver().AnswerAll();
    for (int32_t wild : {65536, 1 << 20, INT32_MAX}) {
        SCOPED_TRACE(wild);
        std::vector<uint8_t> buffer(QIO_COMMAND_BUFFER, 1);
        int32_t length = wild;
        EXPECT_EQ(QIO_Command(buffer.data(), &length), -11);
        EXPECT_EQ(length, 0);
    }
    EXPECT_EQ(driver().Count(Op::kWrite), 0u);
}

TEST_F(Exchange, DeviceCommandForTheFirmware) {
    driver().AnswerAll(10);
    const Bytes r = qelio::DeviceCommand({0x41, 1, 2}, qelio::kWaitFirmwareRecord);
    EXPECT_EQ(r, (Bytes{10}));
    EXPECT_THROW(qelio::DeviceCommand({}, 100), qelio::Failure);
}

}  // namespace
}  // namespace qeltest
