// Firmware runs through the public functions against the simulated unit, with images
// written by the simulator's make-image command. A tap between the library and the
// simulated driver reads QIO_ProgState whenever a request reaches the unit, so the
// whole course of the progress is seen, not only what a poll happens to catch.
#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "clock.h"
#include "driver.h"
#include "drivers/sim_driver.h"
#include "lib_test_util.h"
#include "make_image_command.h"
#include "qelio32/qelio32.h"
#include "reprog.h"
#include "test_clock.h"
#include "testing.h"
#include "unit_identity.h"

namespace {

using namespace std::chrono_literals;
using qeltest::LastError;

// Passes every operation on to the simulated driver; notes the progress visible when
// each request is written, and when that was.
class ProgressTap final : public qelio::Driver {
  public:
    explicit ProgressTap(std::unique_ptr<qelio::SimDriver> inner) : inner_(std::move(inner)) {}

    qelio::SimDriver& Sim() { return *inner_; }
    // Read after the run has been joined.
    const std::vector<int32_t>& Seen() const { return seen_; }
    qelio::Clock::TimePoint LastWriteAt() const { return lastWriteAt_; }

    int32_t ListCount(uint32_t* count) override { return inner_->ListCount(count); }
    int32_t ListDescription(int32_t index, char* buffer64) override {
        return inner_->ListDescription(index, buffer64);
    }
    int32_t Open(int32_t index, qelio::DriverHandle* handle) override {
        return inner_->Open(index, handle);
    }
    int32_t Close(qelio::DriverHandle handle) override { return inner_->Close(handle); }
    int32_t Write(qelio::DriverHandle handle, const uint8_t* data, uint32_t count,
                  uint32_t* written) override {
        seen_.push_back(QIO_ProgState());
        lastWriteAt_ = qelio::ActiveClock().Now();
        return inner_->Write(handle, data, count, written);
    }
    int32_t QueueLength(qelio::DriverHandle handle, uint32_t* count) override {
        return inner_->QueueLength(handle, count);
    }
    int32_t SetTimeouts(qelio::DriverHandle handle, uint32_t readMs, uint32_t writeMs) override {
        return inner_->SetTimeouts(handle, readMs, writeMs);
    }
    int32_t Read(qelio::DriverHandle handle, uint8_t* buffer, uint32_t count,
                 uint32_t* got) override {
        return inner_->Read(handle, buffer, count, got);
    }
    int32_t Purge(qelio::DriverHandle handle, uint32_t mask) override {
        return inner_->Purge(handle, mask);
    }
    int32_t Reload(uint16_t vendor, uint16_t product) override {
        return inner_->Reload(vendor, product);
    }

  private:
    std::unique_ptr<qelio::SimDriver> inner_;
    std::vector<int32_t> seen_;
    qelio::Clock::TimePoint lastWriteAt_{};
};

class SimReprogramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qelio::ResetReprogramState();
        qelio::testing::ResetLibraryState();
        auto clock = std::make_unique<qeltest::TestClock>();
        clock_ = clock.get();
        qelio::InstallClock(std::move(clock));
    }
    void TearDown() override {
        qelio::ResetReprogramState();
        QIO_FreePort();
        qelio::InstallDriver(nullptr);
        qelio::InstallClock(nullptr);
        qelio::testing::ResetLibraryState();
        for (const std::string& path : images_)
            std::remove(path.c_str());
    }

    // A unit of the given rig text on port 1, opened.
    void OpenUnit(const std::string& rigText = "unit U\n") {
        QIO_FreePort();  // a port of an earlier unit goes with its driver
        std::string error;
        auto rig = qelsim::Rig::Parse(rigText, &error);
        ASSERT_TRUE(rig) << error;
        auto tap =
            std::make_unique<ProgressTap>(std::make_unique<qelio::SimDriver>(std::move(*rig)));
        tap_ = tap.get();
        qelio::InstallDriver(std::move(tap));
        ASSERT_EQ(QIO_OpenPort(1), 1);
    }

    // `qel-sim make-image ARGS OUT`; returns OUT.
    std::string MakeImage(std::vector<std::string> args) {
        const std::string out = "/tmp/qelio-sim-image-" + std::to_string(getpid()) + "-" +
                                std::to_string(images_.size()) + ".hex";
        images_.push_back(out);
        args.push_back(out);
        std::ostringstream err;
        EXPECT_EQ(qelsim::RunMakeImage(args, err), 0) << err.str();
        return out;
    }

    int32_t Outcome() {
        qelio::WaitForReprogramEnd();
        return QIO_ProgState();
    }

    qeltest::TestClock* clock_ = nullptr;
    ProgressTap* tap_ = nullptr;
    std::vector<std::string> images_;
};

TEST_F(SimReprogramTest, GoodImagePassesThroughEveryProgressValueInOrder) {
    OpenUnit();
    const std::string image = MakeImage({"--records", "100", "--version", "3.1.4"});
    ASSERT_EQ(QIO_Reprogram(image.c_str()), 0);
    EXPECT_EQ(Outcome(), 0);
    // 101 records and the finishing step: 1 before the first, then 1 to 99 after records
    // 1 to 99 (record 0 gives 0, raised to 1), and 100 before the finishing step.
    std::vector<int32_t> expected = {1, 1};
    for (int32_t p = 1; p <= 99; ++p)
        expected.push_back(p);
    expected.push_back(100);
    EXPECT_EQ(tap_->Seen(), expected);
    EXPECT_EQ(tap_->Sim().Rig().GetUnit(0).Identity().firmware.Text(), "3.1.4");
    EXPECT_EQ(LastError(), "");
}

TEST_F(SimReprogramTest, RefusedImagesEndWithTheUnitsReason) {
    const struct {
        const char* option;
        int32_t code;
        const char* failure;
        size_t requests;  // reaching the unit
    } cases[] = {
        {"--corrupt", -8, "REPROG.ERROR_DATACHECKSUM", 16 + 1 + 1},  // refused at the finish
        {"--foreign", -7, "REPROG.ERROR_INCOMPATIBLE", 1},           // refused at the header
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option);
        OpenUnit();
        const std::string image = MakeImage({c.option});
        ASSERT_EQ(QIO_Reprogram(image.c_str()), 0);
        EXPECT_EQ(Outcome(), c.code);
        EXPECT_EQ(LastError(), std::string(c.failure) + "\n\rReprogram Device");
        EXPECT_EQ(tap_->Seen().size(), c.requests);
        EXPECT_EQ(tap_->Sim().Rig().GetUnit(0).Identity().firmware.Text(),
                  qelsim::UnitIdentity{}.firmware.Text())
            << "the unit keeps its firmware";
    }
}

TEST_F(SimReprogramTest, MissingFileStartsNothing) {
    OpenUnit();
    EXPECT_EQ(QIO_Reprogram("/nonexistent/firmware.hex"), -100);
    EXPECT_EQ(LastError(), "DATAFILE.PATH_ERROR\n\rQIO_Reprogram");
    qelio::WaitForReprogramEnd();
    EXPECT_TRUE(tap_->Seen().empty());
    EXPECT_EQ(QIO_ProgState(), 0);
}

TEST_F(SimReprogramTest, SilentUnitTimesOutAboutHalfASecondAfterTheRequest) {
    OpenUnit("unit U\ndisturb silence\n");
    const std::string image = MakeImage({});
    ASSERT_EQ(QIO_Reprogram(image.c_str()), 0);
    EXPECT_EQ(Outcome(), -3);
    EXPECT_EQ(LastError(), "FRAME.ERROR_TIMEOUT\n\rReprogram Device");
    ASSERT_EQ(tap_->Seen().size(), 1u);
    const auto waited = clock_->Now() - tap_->LastWriteAt();
    EXPECT_GE(waited, 444ms);
    EXPECT_LE(waited, 447ms);
}

TEST_F(SimReprogramTest, FinishedRunReadsZeroOneSecondAfterTheLastPoll) {
    OpenUnit();
    const std::string image = MakeImage({"--foreign"});
    ASSERT_EQ(QIO_Reprogram(image.c_str()), 0);
    EXPECT_EQ(Outcome(), -7);
    clock_->Advance(999ms);
    EXPECT_EQ(QIO_ProgState(), -7);
    clock_->Advance(1s);
    EXPECT_EQ(QIO_ProgState(), 0);
    // A new run may follow, with a good image this time.
    ASSERT_EQ(QIO_Reprogram(MakeImage({"--records", "3"}).c_str()), 0);
    EXPECT_EQ(Outcome(), 0);
    clock_->Advance(1s);
    EXPECT_EQ(QIO_ProgState(), 0);
}

}  // namespace
