// The same walk through qel-sim's pseudo-terminals and the serial backend, so the bytes go
// through the operating system as to a unit on USB.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "clock.h"
#include "driver.h"
#include "pty_server.h"
#include "rdm_walk.h"
#include "testing.h"

namespace {

using namespace simtest;

class PtyRig : public ::testing::Test {
  protected:
    void SetUp() override {
        qelio::testing::ResetLibraryState();
        std::string error;
        auto rig = qelsim::Rig::Load("default", &error);
        ASSERT_TRUE(rig) << error;
        rig_.emplace(std::move(*rig));
        server_ = std::make_unique<qelsim::PtyServer>(*rig_);
        ASSERT_TRUE(server_->Open(&error)) << error;
        std::string ports;
        for (const std::string& line : server_->PortLines())
            ports += line + ";";
        ::setenv("QELIO32_PORTS", ports.c_str(), 1);
        qelio::InstallDriver(qelio::MakeDriver("serial"));
        thread_ = std::thread([this] { server_->Serve(stop_); });
    }
    void TearDown() override {
        QIO_FreePort();
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        ::unsetenv("QELIO32_PORTS");
        qelio::InstallDriver(nullptr);
        qelio::testing::ResetLibraryState();
    }
    std::optional<qelsim::Rig> rig_;
    std::unique_ptr<qelsim::PtyServer> server_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST_F(PtyRig, TheDemoRigWorksThroughTheSerialBackend) {
    ASSERT_EQ(QIO_PortCount(), 1);
    char name[65];
    ASSERT_EQ(QIO_PortName(1, name, sizeof name), 7);
    EXPECT_STREQ(name, "DMX-QEL");
    ASSERT_EQ(QIO_OpenPort(1), 1);
    WalkReply serial = Exchange({0x03, 0x01});
    EXPECT_EQ(serial.status, 0);
    EXPECT_EQ(std::string(serial.data.begin(), serial.data.end()), std::string("20071234\0", 9));
    EXPECT_EQ(Exchange({0x22, 0x00, 0x00, 1, 2, 3}).status, 0);
    EXPECT_EQ(rig_->GetUnit(0).Output().Current().levels, (qelsim::Bytes{1, 2, 3}));
    EXPECT_EQ(Exchange({0x28, 0x01}).status, 0);
    EXPECT_EQ(Exchange({0x19}).status, 2);
    auto pause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    std::vector<WalkBytes> uids = DiscoverAll([&] { pause(20); });
    ASSERT_EQ(uids.size(), 4u);
    std::map<int32_t, int> seen = MeetTheFixtures(uids, pause);
    for (int32_t status : {16, 17, 18, 32})
        EXPECT_GT(seen[status], 0) << status;
}

}  // namespace
