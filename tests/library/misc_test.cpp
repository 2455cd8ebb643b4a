// The driver registry, the clock seam, the notifier and the protocol trace.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "clock.h"
#include "device.h"
#include "driver.h"
#include "failure.h"
#include "lib_test_util.h"
#include "notifier.h"
#include "testing.h"
#include "trace.h"

namespace qeltest {
namespace {

TEST(Registry, KnownAndUnknownNames) {
    EXPECT_NE(qelio::MakeDriver("serial"), nullptr);
    EXPECT_EQ(qelio::MakeDriver("no-such-driver"), nullptr);
    EXPECT_EQ(qelio::MakeDriver(""), nullptr);
}

TEST(Registry, UnknownDriverNameFailsCleanly) {
    qelio::testing::ResetLibraryState();
    ::setenv("QELIO32_DRIVER", "no-such-driver", 1);
    qelio::InstallDriver(nullptr);  // binds again from the environment on first use
    EXPECT_EQ(QIO_PortCount(), -2);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTSEARCH", "Port Count"));
    EXPECT_EQ(QIO_OpenPort(1), -2);
    EXPECT_EQ(RunCommand({0}).result, -14);
    char v[16];
    EXPECT_EQ(QIO_Version(v, sizeof v), 8);
    ::unsetenv("QELIO32_DRIVER");
    qelio::InstallDriver(nullptr);
    qelio::testing::ResetLibraryState();
}

TEST(Registry, DefaultIsSerial) {
    qelio::testing::ResetLibraryState();
    ::unsetenv("QELIO32_DRIVER");
    ::setenv("QELIO32_PORTS", "/dev/null=Null", 1);
    qelio::InstallDriver(nullptr);
    EXPECT_EQ(QIO_PortCount(), 1);
    char name[16];
    EXPECT_EQ(QIO_PortName(1, name, sizeof name), 4);
    EXPECT_STREQ(name, "Null");
    ::unsetenv("QELIO32_PORTS");
    qelio::InstallDriver(nullptr);
}

TEST(ClockSeam, RealClockSleeps) {
    qelio::InstallClock(nullptr);
    qelio::Clock& c = qelio::ActiveClock();
    const auto t0 = c.Now();
    c.SleepFor(std::chrono::milliseconds(5));
    EXPECT_GE(c.Now() - t0, std::chrono::milliseconds(5));
    c.SleepFor(qelio::Clock::Duration::zero());
    EXPECT_EQ(qelio::TicksToDuration(16384), std::chrono::seconds(1));
    EXPECT_EQ(qelio::TicksToDuration(18022).count(), 1099975585);
}

TEST(ClockSeam, TestClockIsInstalledAndRemoved) {
    auto tc = std::make_unique<TestClock>();
    TestClock* raw = tc.get();
    qelio::InstallClock(std::move(tc));
    EXPECT_EQ(&qelio::ActiveClock(), raw);
    const auto t0 = raw->Now();
    qelio::ActiveClock().SleepFor(std::chrono::hours(1));
    EXPECT_EQ(raw->Now() - t0, std::chrono::hours(1));
    qelio::InstallClock(nullptr);
    EXPECT_NE(&qelio::ActiveClock(), raw);  // back to the steady clock
}

TEST(Notifier, UnhookedMessagesGoToStandardError) {
    ::testing::internal::CaptureStderr();
    qelio::Notify("USB_IO", "PortClose Handle Error");
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "qelio32: [USB_IO] PortClose Handle Error\n");
}

TEST(Notifier, HookRemoved) {
    {
        MessageLog log;
        qelio::Notify("a", "b");
        ASSERT_EQ(log.messages.size(), 1u);
        EXPECT_EQ(log.messages[0], (std::pair<std::string, std::string>{"a", "b"}));
    }
    ::testing::internal::CaptureStderr();
    qelio::Notify("c", "d");
    EXPECT_FALSE(::testing::internal::GetCapturedStderr().empty());
}

TEST(Trace, OffByDefault) {
    ::unsetenv("QELIO32_TRACE");
    qelio::trace::Restart();
    EXPECT_FALSE(qelio::trace::Enabled());
}

TEST(Trace, RecordsFramesAndBytesInHex) {
    const std::string path = std::filesystem::temp_directory_path() /
                             ("qel-trace-" + std::to_string(::getpid()) + ".txt");
    std::filesystem::remove(path);
    ::setenv("QELIO32_TRACE", path.c_str(), 1);
    qelio::trace::Restart();
    EXPECT_TRUE(qelio::trace::Enabled());
    {
        ScriptedLibrary lib;
        lib.driver().SetDevices({"u"});
        lib.driver().SetResponder([](ScriptedDriver& d, const Bytes&) {
            d.Arrive(ReplyFrame(0x00, 0, {0x41}), std::chrono::milliseconds(3));
        });
        ASSERT_EQ(QIO_OpenPort(1), 1);
        EXPECT_EQ(RunCommand({0x00, 0xAB}).result, 0);
        lib.driver().SetResponder(nullptr);
        EXPECT_EQ(RunCommand({0x00}).result, -3);
    }
    ::unsetenv("QELIO32_TRACE");
    qelio::trace::Restart();
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string t = ss.str();
    EXPECT_NE(t.find("# qelio32 protocol trace"), std::string::npos) << t;
    EXPECT_NE(t.find(" W 7E 58 02 00 00 AB E7\n"), std::string::npos) << t;
    for (const char* b : {" R 7E\n", " R 58\n", " R 03\n", " R 00\n", " R 41\n", " R E7\n"}) {
        EXPECT_NE(t.find(b), std::string::npos) << b;
    }
    EXPECT_NE(t.find(" - purge\n"), std::string::npos);
    EXPECT_NE(t.find(" - FRAME.ERROR_TIMEOUT\n"), std::string::npos);
    std::filesystem::remove(path);
}

// Firmware runs DeviceCommand on a background thread while the caller's thread reads
// the last-error text: no data race (checked under ThreadSanitizer).
TEST(Threads, BackgroundExchangesAndForegroundCalls) {
    ScriptedLibrary lib(/*testClock=*/false);
    lib.driver().SetDevices({"u"});
    lib.driver().AnswerAll(0);
    ASSERT_EQ(QIO_OpenPort(1), 1);
    std::thread worker([] {
        for (int i = 0; i < 200; ++i) {
            try {
                qelio::DeviceCommand({0x41, static_cast<uint8_t>(i)}, qelio::kWaitFirmwareRecord);
            } catch (const qelio::Failure& f) {
                qelio::ReportFailure(f.Name(), "Reprogram Device");
            }
        }
        qelio::ReportFailure("REPROG.ERROR_UNKNOWN", "Reprogram Device");
    });
    for (int i = 0; i < 200; ++i) {
        char text[128];
        EXPECT_GE(QIO_LastError(text, sizeof text), 0);
        char v[16];
        EXPECT_EQ(QIO_Version(v, sizeof v), 8);
        EXPECT_EQ(RunCommand({0x05}).result, 0);
    }
    worker.join();
    EXPECT_EQ(LastError(), Text("REPROG.ERROR_UNKNOWN", "Reprogram Device"));
}

}  // namespace
}  // namespace qeltest
