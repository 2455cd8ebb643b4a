// The "sim" driver keeps the contract of the nine driver operations, and its replies reach
// the library with the timing and the faults a real unit can show.
#include <gtest/gtest.h>

#include <cstring>

#include "sim_library_fixture.h"

namespace {

using namespace simtest;
using namespace std::chrono_literals;
using qelio::DriverHandle;

constexpr const char* kTwoUnits = "unit \"DMX-QEL\"\nunit \"DMX-QEL II\"\n";
const WalkBytes kUidRequest{0x7E, 0x58, 0x01, 0x00, 0x04, 0xE7};

class SimDriverTest : public SimLibrary {};

TEST_F(SimDriverTest, ListsOpensAndClosesUnits) {
    UseRig(kTwoUnits);
    qelio::Driver& d = *driver_;
    uint32_t count = 0;
    ASSERT_EQ(d.ListCount(&count), qelio::kDriverOk);
    EXPECT_EQ(count, 2u);
    char name[qelio::kDescriptionSize];
    ASSERT_EQ(d.ListDescription(1, name), qelio::kDriverOk);
    EXPECT_STREQ(name, "DMX-QEL II");
    EXPECT_EQ(d.ListDescription(2, name), qelio::kDriverDeviceNotFound);
    DriverHandle h = 0, again = 0;
    ASSERT_EQ(d.Open(0, &h), qelio::kDriverOk);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(d.Open(0, &again), qelio::kDriverDeviceNotOpened);
    EXPECT_EQ(d.Open(5, &again), qelio::kDriverDeviceNotFound);
    EXPECT_EQ(d.Close(h + 1000), qelio::kDriverInvalidHandle);
    EXPECT_EQ(d.Close(h), qelio::kDriverOk);
    uint32_t n = 0;
    EXPECT_EQ(d.Write(h, kUidRequest.data(), 6, &n), qelio::kDriverInvalidHandle);
    EXPECT_EQ(d.QueueLength(h, &n), qelio::kDriverInvalidHandle);
    EXPECT_EQ(d.Close(h), qelio::kDriverInvalidHandle);
}

TEST_F(SimDriverTest, ReplyBytesArriveAtTheirTime) {
    UseRig("unit U\ndisturb delay=10ms\n");
    qelio::Driver& d = *driver_;
    DriverHandle h = 0;
    ASSERT_EQ(d.Open(0, &h), qelio::kDriverOk);
    uint32_t n = 0;
    ASSERT_EQ(d.Write(h, kUidRequest.data(), kUidRequest.size(), &n), qelio::kDriverOk);
    EXPECT_EQ(n, kUidRequest.size());
    EXPECT_EQ(d.QueueLength(h, &n), qelio::kDriverOk);
    EXPECT_EQ(n, 0u);
    clock_->Advance(25ms);
    EXPECT_EQ(d.QueueLength(h, &n), qelio::kDriverOk);
    EXPECT_EQ(n, 2u);
    uint8_t buffer[32];
    ASSERT_EQ(d.SetTimeouts(h, 0, 1000), qelio::kDriverOk);
    ASSERT_EQ(d.Read(h, buffer, sizeof buffer, &n), qelio::kDriverOk);
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(buffer[0], 0x7E);
    // A read with a time-out waits on the clock for the next byte.
    ASSERT_EQ(d.SetTimeouts(h, 100, 1000), qelio::kDriverOk);
    ASSERT_EQ(d.Read(h, buffer, 1, &n), qelio::kDriverOk);
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(buffer[0], 0x08);  // length low byte
    // Purge drops what is still on its way.
    ASSERT_EQ(d.Purge(h, qelio::kPurgeRxTx), qelio::kDriverOk);
    clock_->Advance(1s);
    EXPECT_EQ(d.QueueLength(h, &n), qelio::kDriverOk);
    EXPECT_EQ(n, 0u);
    ASSERT_EQ(d.SetTimeouts(h, 50, 1000), qelio::kDriverOk);
    auto before = clock_->Now();
    ASSERT_EQ(d.Read(h, buffer, 1, &n), qelio::kDriverOk);
    EXPECT_EQ(n, 0u);
    EXPECT_GE(clock_->Now() - before, 50ms);
}

TEST_F(SimDriverTest, UnpluggedUnitLeavesTheListAndFailsItsHandle) {
    UseRig(kTwoUnits);
    ASSERT_EQ(QIO_OpenPort(1), 1);
    driver_->Unplug(0);
    EXPECT_EQ(QIO_PortCount(), 1);
    EXPECT_EQ(Exchange({0x04}).status, QIO_ERR_PORTDATAIO);
    // The library reloads and reopens port 1, which now is the other unit.
    WalkReply r = Exchange({0x00});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(std::string(r.data.begin(), r.data.end()), "DMX-QEL II");
    driver_->Replug(0);
    EXPECT_EQ(QIO_PortCount(), 2);
}

// Putting a unit back does not revive a handle that was open when it was pulled, as on
// USB: that handle fails until closed, and opening the unit again gives a new one.
TEST_F(SimDriverTest, AHandleOpenWhenTheUnitWasPulledStaysDead) {
    UseRig("unit U\n");
    qelio::Driver& d = *driver_;
    DriverHandle old = 0, fresh = 0;
    ASSERT_EQ(d.Open(0, &old), qelio::kDriverOk);
    driver_->Unplug(0);
    driver_->Replug(0);
    uint32_t n = 0;
    EXPECT_EQ(d.Write(old, kUidRequest.data(), kUidRequest.size(), &n), qelio::kDriverIoError);
    EXPECT_EQ(d.QueueLength(old, &n), qelio::kDriverIoError);
    ASSERT_EQ(d.Open(0, &fresh), qelio::kDriverOk);
    EXPECT_NE(fresh, old);
    EXPECT_EQ(d.Write(old, kUidRequest.data(), kUidRequest.size(), &n),
              qelio::kDriverInvalidHandle);
    ASSERT_EQ(d.Write(fresh, kUidRequest.data(), kUidRequest.size(), &n), qelio::kDriverOk);
    EXPECT_EQ(d.Close(fresh), qelio::kDriverOk);
}

TEST_F(SimDriverTest, AUnitPulledAloneIsMissing) {
    UseRig("unit U\n");
    ASSERT_EQ(QIO_OpenPort(1), 1);
    driver_->Unplug(0);
    EXPECT_EQ(Exchange({0x04}).status, QIO_ERR_PORTDATAIO);
    EXPECT_EQ(Exchange({0x04}).status, QIO_ERR_PORTSEARCH);
    EXPECT_EQ(QIO_PortCount(), 0);
}

TEST_F(SimDriverTest, DisturbedRepliesGiveTheFrameFailures) {
    struct Case {
        const char* disturbance;
        int32_t result;
        const char* failure;
    };
    const Case cases[] = {
        {"silence", QIO_ERR_TIMEOUT, "FRAME.ERROR_TIMEOUT"},
        {"cut=5", QIO_ERR_REPLYLENGTH, "FRAME.ERROR_REPLYLENGTH"},
        {"pause=6:1500ms", QIO_ERR_REPLYLENGTH, "FRAME.ERROR_REPLYLENGTH"},
        {"wrong-end", QIO_ERR_OTHER, "FRAME.ERROR_FRAMEFORMAT"},
        {"noise=0013AA", 0, nullptr},
        {"delay=900ms", 0, nullptr},  // slow, but each byte within the wait
        {"pause=4:900ms", 0, nullptr},
    };
    for (const Case& c : cases) {
        UseRig(std::string("unit U\ndisturb ") + c.disturbance + "\n");
        ASSERT_EQ(QIO_OpenPort(1), 1);
        WalkReply r = Exchange({0x04});
        EXPECT_EQ(r.status, c.result) << c.disturbance;
        if (c.failure) {
            EXPECT_EQ(LastError(), std::string(c.failure) + "\n\rQIO_Command") << c.disturbance;
        } else {
            EXPECT_EQ(r.data.size(), 6u) << c.disturbance;
        }
        QIO_FreePort();
    }
}

TEST_F(SimDriverTest, OnlyTheRepliesAskedForAreDisturbed) {
    UseRig("unit U\n");
    ASSERT_EQ(QIO_OpenPort(1), 1);
    qelsim::ReplyDisturbance silence;
    silence.silence = true;
    driver_->Rig().Port(0).Disturb(silence, 1);
    EXPECT_EQ(Exchange({0x04}).status, QIO_ERR_TIMEOUT);
    EXPECT_EQ(Exchange({0x04}).status, 0);
}

}  // namespace
