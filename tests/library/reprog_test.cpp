// The background firmware run through the exports, against a scripted unit on a test
// clock: what is sent, the progress seen, how refusals, timeouts and bad images end.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "image_text.h"
#include "lib_test_util.h"
#include "reprog.h"

namespace {

using qelio::testing::Hex;
using qelio::testing::MakeHeader;
using qelio::testing::MakeImage;
using qelio::testing::MakeRecord;
using qelio::testing::TempFile;
using qeltest::LastError;
using qeltest::ReplyFrame;
using qeltest::Text;

constexpr uint8_t kLoadRecord = 0x41;
constexpr uint8_t kFinish = 0x42;
constexpr int kFinishStep = -1;  // the step number of the finishing step

// One firmware step as the unit saw it.
struct Step {
    int number;        // record number, or kFinishStep
    int32_t progress;  // QIO_ProgState when the request arrived
    std::vector<uint8_t> body;
};

// A unit that answers each firmware step with status 0 unless told otherwise, and notes
// every step with the progress visible at that moment.
class FirmwareUnit {
  public:
    void RefuseStep(int number, uint8_t status) { refusals_[number] = status; }
    void Silent() { silent_ = true; }

    void Attach(qeltest::ScriptedDriver& driver) {
        driver.SetResponder([this](qeltest::ScriptedDriver& d, const qeltest::Bytes& w) {
            if (w.size() < 6) return;  // not a frame with a command code
            const std::vector<uint8_t> body(w.begin() + 4, w.end() - 1);
            const int number =
                body[0] == kLoadRecord && body.size() >= 3 ? body[1] | body[2] << 8 : kFinishStep;
            steps_.push_back({number, QIO_ProgState(), body});
            requestedAt_ = qelio::ActiveClock().Now();
            if (silent_) return;
            const auto refusal = refusals_.find(number);
            d.Arrive(ReplyFrame(body[0], refusal == refusals_.end() ? 0 : refusal->second));
        });
    }

    // Read after the run has been joined.
    const std::vector<Step>& Steps() const { return steps_; }
    std::vector<int> Numbers() const {
        std::vector<int> n;
        for (const Step& s : steps_)
            n.push_back(s.number);
        return n;
    }
    std::vector<int32_t> Progress() const {
        std::vector<int32_t> p;
        for (const Step& s : steps_)
            p.push_back(s.progress);
        return p;
    }
    qelio::Clock::TimePoint RequestedAt() const { return requestedAt_; }

  private:
    std::map<int, uint8_t> refusals_;
    bool silent_ = false;
    std::vector<Step> steps_;
    qelio::Clock::TimePoint requestedAt_{};
};

class ReprogramTest : public qeltest::LibraryTest {
  protected:
    void SetUp() override {
        LibraryTest::SetUp();
        qelio::ResetReprogramState();
        unit_.Attach(driver());
    }
    void TearDown() override {
        qelio::ResetReprogramState();
        LibraryTest::TearDown();
    }

    // Starts a run of `text`; the file lives as long as the test.
    int32_t Start(const std::string& text) {
        files_.push_back(std::make_unique<TempFile>(text));
        return QIO_Reprogram(files_.back()->Path().c_str());
    }
    // The progress after the run has ended.
    int32_t Outcome() {
        qelio::WaitForReprogramEnd();
        return QIO_ProgState();
    }
    void AdvanceMs(int ms) { clock().Advance(std::chrono::milliseconds(ms)); }

    FirmwareUnit unit_;
    std::vector<std::unique_ptr<TempFile>> files_;
};

std::vector<uint8_t> LoadRequest(const qelio::testing::RecordBytes& record) {
    std::vector<uint8_t> body(1 + record.size(), kLoadRecord);
    std::copy(record.begin(), record.end(), body.begin() + 1);
    return body;
}

std::vector<int> Range(int first, int last) {
    std::vector<int> r;
    for (int i = first; i <= last; ++i)
        r.push_back(i);
    return r;
}

TEST_F(ReprogramTest, SendsEveryRecordThenFinishes) {
    OpenPort1();
    ASSERT_EQ(Start(MakeImage(4)), 0);
    EXPECT_EQ(Outcome(), 0);
    std::vector<int> expected = Range(0, 4);
    expected.push_back(kFinishStep);
    EXPECT_EQ(unit_.Numbers(), expected);
    // Each record goes out whole, behind the load command; the finish is the code alone.
    const auto& steps = unit_.Steps();
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_EQ(steps[0].body, LoadRequest(MakeHeader(4)));
    EXPECT_EQ(steps[3].body, LoadRequest(MakeRecord(3)));
    EXPECT_EQ(steps[5].body, std::vector<uint8_t>{kFinish});
    EXPECT_EQ(LastError(), "") << "a successful run reports nothing";
}

// The progress the caller sees when each step reaches the unit: 1 at the start, the
// share acknowledged after each record within 1..99, 100 before the finishing step.
TEST_F(ReprogramTest, ProgressAlongTheRun) {
    OpenPort1();
    const struct {
        uint16_t last;
        std::map<size_t, int32_t> seenAtStep;  // step index -> progress
    } cases[] = {
        {0, {{0, 1}, {1, 100}}},
        {4, {{0, 1}, {1, 1}, {2, 25}, {3, 50}, {4, 75}, {5, 100}}},
        {200, {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {100, 49}, {200, 99}, {201, 100}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.last);
        FirmwareUnit unit;
        unit.Attach(driver());
        ASSERT_EQ(Start(MakeImage(c.last)), 0);
        EXPECT_EQ(Outcome(), 0);
        const std::vector<int32_t> seen = unit.Progress();
        ASSERT_EQ(seen.size(), c.last + 2u);
        for (const auto& [step, progress] : c.seenAtStep)
            EXPECT_EQ(seen[step], progress) << step;
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    }
}

// The caller's thread polls while the run goes on: it sees values from 1 to 100 rising,
// then 0 once the unit has finished. The unit holds record 150 until a poll has seen the
// run in progress, so that an instant unit cannot finish before the first poll.
TEST_F(ReprogramTest, PollingWhileTheRunGoesOn) {
    OpenPort1();
    std::atomic<bool> seenRunning{false};
    driver().SetResponder([&](qeltest::ScriptedDriver& d, const qeltest::Bytes& w) {
        if (w.size() >= 7 && w[4] == kLoadRecord && w[5] == 150) {
            while (!seenRunning)
                std::this_thread::yield();
        }
        d.Arrive(ReplyFrame(w[4], 0));
    });
    ASSERT_EQ(Start(MakeImage(300)), 0);
    std::vector<int32_t> seen;
    for (;;) {
        const int32_t p = QIO_ProgState();
        if (p > 0) seenRunning = true;
        if (seen.empty() || seen.back() != p) seen.push_back(p);
        if (p <= 0) break;
    }
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.back(), 0);
    EXPECT_EQ(LastError(), "");
    for (size_t i = 0; i + 1 < seen.size(); ++i) {
        EXPECT_GE(seen[i], 1);
        EXPECT_LE(seen[i], 100);
        if (i > 0) {
            EXPECT_GT(seen[i], seen[i - 1]);
        }
    }
}

TEST_F(ReprogramTest, UnitRefusalsEndTheRun) {
    OpenPort1();
    const struct {
        int step;
        uint8_t status;
        int32_t code;
        const char* failure;
    } cases[] = {
        {kFinishStep, 10, -8, "REPROG.ERROR_DATACHECKSUM"},
        {0, 10, -8, "REPROG.ERROR_DATACHECKSUM"},
        {2, 11, -7, "REPROG.ERROR_INCOMPATIBLE"},
        {5, 3, -100, "REPROG.ERROR_UNKNOWN"},
        {kFinishStep, 255, -100, "REPROG.ERROR_UNKNOWN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        FirmwareUnit unit;
        unit.RefuseStep(c.step, c.status);
        unit.Attach(driver());
        ASSERT_EQ(Start(MakeImage(8)), 0);
        EXPECT_EQ(Outcome(), c.code);
        EXPECT_EQ(LastError(), Text(c.failure, "Reprogram Device"));
        // A refused record stops the run: nothing after it, no finishing step.
        std::vector<int> expected = Range(0, c.step == kFinishStep ? 8 : c.step);
        if (c.step == kFinishStep) expected.push_back(kFinishStep);
        EXPECT_EQ(unit.Numbers(), expected);
    }
}

TEST_F(ReprogramTest, SilentUnitTimesOutAfterTheRecordWait) {
    OpenPort1();
    unit_.Silent();
    ASSERT_EQ(Start(MakeImage(3)), 0);
    EXPECT_EQ(Outcome(), -3);
    EXPECT_EQ(LastError(), Text("FRAME.ERROR_TIMEOUT", "Reprogram Device"));
    EXPECT_EQ(unit_.Numbers(), std::vector<int>{0});
    // 0.1 s and 5 ms for each of the 69 request bytes: 7290 / 16384 s, about 0.445 s.
    const auto waited = clock().Now() - unit_.RequestedAt();
    EXPECT_GE(waited, qelio::TicksToDuration(7290));
    EXPECT_LT(waited, qelio::TicksToDuration(7290) + std::chrono::milliseconds(2));
}

TEST_F(ReprogramTest, WithoutAnOpenPortTheFirstStepFails) {
    ASSERT_EQ(Start(MakeImage(2)), 0);
    EXPECT_EQ(Outcome(), -14);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTSTATUS", "Reprogram Device"));
}

// Images that cannot be loaded are refused by the call itself and start nothing.
TEST_F(ReprogramTest, ImagesThatCannotBeLoaded) {
    OpenPort1();
    const struct {
        std::string text;
        const char* failure;
    } cases[] = {
        {"", "DATAFILE.RECORD_ERROR"},
        {Hex(MakeRecord(1)) + "\n", "DATAFILE.RECORD_ERROR"},
        {"G" + MakeImage(2), "BYTES.DATA_ERROR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        EXPECT_EQ(Start(c.text), -100);
        EXPECT_EQ(LastError(), Text(c.failure, "QIO_Reprogram"));
    }
    EXPECT_EQ(QIO_Reprogram("/nonexistent/firmware.hex"), -100);
    EXPECT_EQ(LastError(), Text("DATAFILE.PATH_ERROR", "QIO_Reprogram"));
    qelio::WaitForReprogramEnd();
    EXPECT_TRUE(unit_.Steps().empty());
    EXPECT_EQ(QIO_ProgState(), 0);
}

// A record the search cannot deliver ends the run when it is due, after the records
// before it went out.
TEST_F(ReprogramTest, RecordsThatCannotBeReadEndTheRun) {
    OpenPort1();
    const std::string head = Hex(MakeHeader(3)) + "\n" + Hex(MakeRecord(1)) + "\n";
    const struct {
        std::string text;
        const char* failure;
    } cases[] = {
        {head + Hex(MakeRecord(3)) + "\n", "DATAFILE.RECORD_ERROR"},
        {head + "0x\n" + Hex(MakeRecord(2)) + "\n" + Hex(MakeRecord(3)), "BYTES.DATA_ERROR"},
        {head + Hex(MakeRecord(9)) + "00\n" + Hex(MakeRecord(2)) + "\n" + Hex(MakeRecord(3)),
         "BYTES.DATA_ERROR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        FirmwareUnit unit;
        unit.Attach(driver());
        ASSERT_EQ(Start(c.text), 0);
        EXPECT_EQ(Outcome(), -100);
        EXPECT_EQ(LastError(), Text(c.failure, "Reprogram Device"));
        EXPECT_EQ(unit.Numbers(), (std::vector<int>{0, 1}));
    }
}

TEST_F(ReprogramTest, ProgStateBeforeAnyRunIsZero) {
    EXPECT_EQ(QIO_ProgState(), 0);
    EXPECT_EQ(LastError(), "");
}

// The outcome stays while polled at least once a second, and is gone one second after
// the last poll: for a success and for a failure.
TEST_F(ReprogramTest, OutcomeLastsUntilOneSecondWithoutPolls) {
    OpenPort1();
    for (const bool fail : {false, true}) {
        SCOPED_TRACE(fail);
        FirmwareUnit unit;
        if (fail) unit.RefuseStep(1, 11);
        unit.Attach(driver());
        ASSERT_EQ(Start(MakeImage(2)), 0);
        const int32_t outcome = Outcome();
        EXPECT_EQ(outcome, fail ? -7 : 0);
        for (int i = 0; i < 4; ++i) {
            AdvanceMs(990);
            EXPECT_EQ(QIO_ProgState(), outcome);
        }
        AdvanceMs(1000);
        EXPECT_EQ(QIO_ProgState(), 0);
        EXPECT_EQ(LastError(), fail ? Text("REPROG.ERROR_INCOMPATIBLE", "Reprogram Device") : "")
            << "the text outlives the outcome";
    }
}

// A second start while a run goes on is refused and leaves the run alone.
TEST_F(ReprogramTest, SecondStartWhileRunningIsRefused) {
    OpenPort1();
    std::mutex m;
    std::condition_variable cv;
    bool reached = false, release = false;
    driver().SetResponder([&](qeltest::ScriptedDriver& d, const qeltest::Bytes& w) {
        if (w.size() >= 7 && w[4] == kLoadRecord && w[5] == 2) {
            std::unique_lock lock(m);
            reached = true;
            cv.notify_all();
            cv.wait(lock, [&] { return release; });
        }
        d.Arrive(ReplyFrame(w[4], 0));
    });
    ASSERT_EQ(Start(MakeImage(4)), 0);
    {
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return reached; });
    }
    EXPECT_EQ(QIO_ProgState(), 25);
    EXPECT_EQ(Start(MakeImage(9)), -100);
    EXPECT_EQ(LastError(), Text("REPROG.ERROR_RUNNING", "QIO_Reprogram"));
    EXPECT_EQ(QIO_ProgState(), 25);
    {
        std::lock_guard lock(m);
        release = true;
    }
    cv.notify_all();
    EXPECT_EQ(Outcome(), 0);
    // Once the run is over a new one may start at once.
    driver().AnswerAll();
    ASSERT_EQ(Start(MakeImage(1)), 0);
    EXPECT_EQ(Outcome(), 0);
}

// The library's end while a run goes on: the run stops before its next record and is
// joined, so the process ends cleanly. In a child process, so that the library's
// static state really goes.
TEST(ReprogramUnload, RunInProgressIsStoppedWhenTheLibraryGoes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            qeltest::ScriptedLibrary lib;
            lib.driver().SetDevices({"DMX-QEL"});
            std::mutex m;
            std::condition_variable cv;
            int sent = 0;
            lib.driver().SetResponder([&](qeltest::ScriptedDriver& d, const qeltest::Bytes& w) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                std::lock_guard lock(m);
                if (++sent > 50) std::_Exit(3);  // the run went on after the end began
                cv.notify_all();
                d.Arrive(ReplyFrame(w[4], 0));
            });
            if (QIO_OpenPort(1) != 1) std::_Exit(4);
            TempFile file(MakeImage(1000));
            if (QIO_Reprogram(file.Path().c_str()) != 0) std::_Exit(5);
            std::remove(file.Path().c_str());  // the run reads on from the open file
            std::unique_lock lock(m);
            cv.wait(lock, [&] { return sent >= 3; });
            lock.unlock();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
