// The same walk through qel-sim's pseudo-terminals and the serial backend, so the bytes go
// through the operating system as to a unit on USB.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
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

// The unit goes away while it is open (its server ends and its pseudo-terminal with it):
// calls fail with a failure code and a text, none hangs, and the port can be let go.
TEST_F(PtyRig, AUnitThatGoesAwayFailsTheCallsAndNothingHangs) {
    ASSERT_EQ(QIO_OpenPort(1), 1);
    ASSERT_EQ(Exchange({0x03, 0x01}).status, 0);
    stop_ = true;
    thread_.join();
    server_.reset();
    // Reading fails first; after that the port is looked for again and is not there.
    const int32_t expected[] = {QIO_ERR_PORTDATAIO, QIO_ERR_PORTSEARCH, QIO_ERR_PORTSTATUS};
    for (int32_t code : expected) {
        uint8_t buffer[QIO_COMMAND_BUFFER] = {0x03, 0x01};
        int32_t length = 2;
        EXPECT_EQ(QIO_Command(buffer, &length), code);
        char text[256];
        const int32_t n = QIO_LastError(text, sizeof text);
        EXPECT_EQ(std::string(text, n > 0 ? n : 0).rfind("USB_IO.ERROR_PORT", 0), 0u);
    }
    EXPECT_EQ(QIO_FreePort(), 0);
}

}  // namespace
