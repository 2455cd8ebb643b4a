// A program using only the public header meets the simulated unit through the "sim"
// driver chosen by QELIO32_DRIVER.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "firmware_image.h"
#include "rdm_walk.h"
#include "reprog.h"
#include "sim_library_fixture.h"

namespace {

using namespace simtest;
using namespace std::chrono_literals;

class SimByEnvironment : public SimLibrary {
  protected:
    void SetUp() override {
        SimLibrary::SetUp();
        ::setenv("QELIO32_DRIVER", "sim", 1);
        ::setenv("QELIO32_SIM_RIG", "default", 1);
        qelio::InstallDriver(nullptr);  // bind again from the environment
    }
    void TearDown() override {
        SimLibrary::TearDown();
        ::unsetenv("QELIO32_DRIVER");
        ::unsetenv("QELIO32_SIM_RIG");
    }
};

TEST_F(SimByEnvironment, TheDemoRigWorksThroughThePublicInterface) {
    ASSERT_EQ(QIO_PortCount(), 1);
    char name[65];
    ASSERT_EQ(QIO_PortName(1, name, sizeof name), 7);
    EXPECT_STREQ(name, "DMX-QEL");
    ASSERT_EQ(QIO_OpenPort(1), 1);

    WalkBytes frame{0x22, 0x00, 0x00};
    for (int i = 1; i <= 30; ++i)
        frame.push_back(static_cast<uint8_t>(i * 8));
    EXPECT_EQ(Exchange(frame).status, 0);
    EXPECT_EQ(Exchange({0x25, 30, 0, 200}).status, 0);
    WalkReply input = Exchange({0x28, 0x01});
    EXPECT_EQ(input.status, 0);
    EXPECT_EQ(input.data.size(), 2u + 32);  // the moving pattern

    EXPECT_EQ(Exchange({0x11}).data, (WalkBytes{40, 1, 44}));
    EXPECT_EQ(Exchange({0x18, 50}).status, 0);
    EXPECT_EQ(Exchange({0x11}).data[0], 14);  // the rate gave way to the time-out
    EXPECT_EQ(Exchange({0x12, 45}).status, 1);

    std::vector<WalkBytes> uids = DiscoverAll([this] { clock_->Advance(250ms); });
    ASSERT_EQ(uids.size(), 4u);
    std::map<int32_t, int> seen =
        MeetTheFixtures(uids, [this](int ms) { clock_->Advance(std::chrono::milliseconds(ms)); });
    for (int32_t status : {16, 17, 18, 32})
        EXPECT_GT(seen[status], 0) << status;
}

TEST_F(SimByEnvironment, AnUnknownRigGivesNoUnits) {
    ::setenv("QELIO32_SIM_RIG", "no-such-rig", 1);
    qelio::InstallDriver(nullptr);
    EXPECT_EQ(QIO_PortCount(), 0);
}

class SimLibraryTest : public SimLibrary {};

TEST_F(SimLibraryTest, FirmwareStepsThroughTheLibrary) {
    // Through QIO_Command, whose one-second wait is shorter than a real unit's finishing
    // step: this unit writes its flash at once.
    UseRig("unit U flash=0s:0s\n");
    ASSERT_EQ(QIO_OpenPort(1), 1);
    auto load = [](const std::vector<qelsim::Bytes>& image) {
        for (const qelsim::Bytes& record : image) {
            WalkBytes request{0x41};
            request.insert(request.end(), record.begin(), record.end());
            WalkReply r = Exchange(request);
            if (r.status != 0) return r.status;
        }
        return Exchange({0x42}).status;
    };
    qelsim::ImageOptions o{4, 3, {9, 8, 7, 77}, false, false};
    EXPECT_EQ(load(qelsim::BuildImage(o)), 0);
    EXPECT_EQ(driver_->Rig().GetUnit(0).Identity().firmware.Text(), "9.8.7");
    o.corrupt = true;
    EXPECT_EQ(load(qelsim::BuildImage(o)), 10);
    o.corrupt = false;
    o.foreign = true;
    EXPECT_EQ(load(qelsim::BuildImage(o)), 11);
}

TEST_F(SimLibraryTest, ReprogrammingTakesAnImageOfMakeImage) {
    UseRig("unit U\n");
    struct Case {
        bool corrupt, foreign;
        int32_t outcome;
    };
    for (const Case& c : {Case{false, false, 0}, Case{true, false, QIO_ERR_DATACHECKSUM},
                          Case{false, true, QIO_ERR_INCOMPATIBLE}}) {
        std::string path = ::testing::TempDir() + "/qel_reprogram.hex";
        std::ofstream(path) << qelsim::ImageText(
            qelsim::BuildImage({5, 3, {7, 0, 1, 4242}, c.corrupt, c.foreign}));
        ASSERT_EQ(QIO_OpenPort(1), 1);
        ASSERT_EQ(QIO_Reprogram(path.c_str()), 0);
        qelio::WaitForReprogramEnd();
        int32_t state = QIO_ProgState();
        EXPECT_EQ(state, c.outcome) << c.corrupt << c.foreign;
        QIO_FreePort();
        std::remove(path.c_str());
    }
    EXPECT_EQ(driver_->Rig().GetUnit(0).Identity().firmware.Text(), "7.0.1");
}

}  // namespace
