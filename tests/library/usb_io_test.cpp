// Ports, names, the locked-port recovery, open retries, reset after an
// input/output failure, the close message.
#include "usb_io.h"
#include "lib_test_util.h"

namespace qeltest {
namespace {

class UsbIo : public LibraryTest {};

TEST_F(UsbIo, CountAndNames) {
    driver().SetDevices({"first", "second", ""});
    EXPECT_EQ(QIO_PortCount(), 3);
    char buf[80];
    EXPECT_EQ(QIO_PortName(1, buf, sizeof buf), 5);
    EXPECT_STREQ(buf, "first");
    EXPECT_EQ(QIO_PortName(3, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(QIO_PortName(2, buf, sizeof buf), 6);
    EXPECT_STREQ(buf, "second");
    EXPECT_EQ(QIO_PortName(4, buf, sizeof buf), -1);
}

TEST_F(UsbIo, DescriptionOf64CharactersWithoutNul) {
    const std::string name(64, 'N');
    driver().SetDevices({name + "tail-that-the-driver-never-gives"});
    char buf[80];
    EXPECT_EQ(QIO_PortName(1, buf, sizeof buf), 64);
    EXPECT_EQ(std::string(buf), name);
    EXPECT_EQ(QIO_PortName(1, buf, 64), -12);
}

TEST_F(UsbIo, PortNumberBelowOneGoesToTheDriver) {
    char buf[80];
    EXPECT_EQ(QIO_PortName(0, buf, sizeof buf), -2);  // the driver's "not found"
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTSEARCH", "PortName"));
    EXPECT_EQ(QIO_OpenPort(-3), -2);
    EXPECT_EQ(QIO_OpenPort(INT32_MIN), -2);
    const auto calls = driver().Calls();
    EXPECT_EQ(calls.back().op, Op::kOpen);
    EXPECT_EQ(calls.back().arg, INT32_MAX);  // 32-bit wrap of INT32_MIN - 1
}

TEST_F(UsbIo, LockedPortRecoveryOnFirstName) {
    MessageLog log;
    driver().StatusAt(Op::kListDescription, 0, 1);
    char buf[80];
    EXPECT_EQ(QIO_PortName(1, buf, sizeof buf), 7);
    EXPECT_STREQ(buf, "DMX-QEL");
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(log.messages[0].first, "USB connection");
    EXPECT_EQ(log.messages[0].second, "A Locked USB port has been detected. Attempting to clear");
    EXPECT_EQ(log.messages[1].first, "USB connection");
    EXPECT_EQ(log.messages[1].second, "Locked USB port successfully reset.");
    EXPECT_EQ(driver().Count(Op::kReload), 1u);
    EXPECT_EQ(driver().Count(Op::kListCount), 1u);  // the count stays in force
    EXPECT_EQ(driver().Ops(), (std::vector<Op>{Op::kListCount, Op::kListDescription, Op::kReload,
                                               Op::kListDescription}));
    const auto calls = driver().Calls();
    EXPECT_EQ(calls[2].arg, 0x0403 * 0x10000 + 0x6001);
    EXPECT_EQ(LastError(), "");
}

TEST_F(UsbIo, LockedPortSecondRejectionEndsTheCall) {
    MessageLog log;
    driver().StatusAlways(Op::kListDescription, 1);
    char buf[80];
    EXPECT_EQ(QIO_PortName(1, buf, sizeof buf), -100);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTHANDLE", "PortName"));
    EXPECT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(driver().Count(Op::kReload), 1u);
    // The recovery ran once in the life of the library.
    EXPECT_EQ(QIO_PortName(1, buf, sizeof buf), -100);
    EXPECT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(driver().Count(Op::kReload), 1u);
}

TEST_F(UsbIo, LockedPortRecoveryWhoseReloadFails) {
    MessageLog log;
    driver().StatusAt(Op::kListDescription, 0, 1);
    driver().StatusAt(Op::kReload, 0, 2);
    char buf[80];
    EXPECT_EQ(QIO_PortName(1, buf, sizeof buf), -2);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTSEARCH", "PortName"));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].second, "A Locked USB port has been detected. Attempting to clear");
}

TEST_F(UsbIo, NoRecoveryAfterTheFirstOpen) {
    MessageLog log;
    OpenPort1();
    EXPECT_EQ(QIO_FreePort(), 0);
    driver().StatusAt(Op::kListDescription, 0, 1);
    char buf[80];
    EXPECT_EQ(QIO_PortName(1, buf, sizeof buf), -100);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTHANDLE", "PortName"));
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(UsbIo, StatusOneInTheFirstOpensCountIsALockedPort) {
    MessageLog log;
    driver().StatusAt(Op::kListCount, 0, 1);
    EXPECT_EQ(QIO_OpenPort(1), -100);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTLOCKED", "OpenPort"));
    EXPECT_TRUE(log.messages.empty());
    EXPECT_FALSE(qelio::usb::LockCheckArmed());
}

TEST_F(UsbIo, OpenRetriesFourTimes) {
    driver().StatusAlways(Op::kOpen, 1);
    EXPECT_EQ(QIO_OpenPort(1), -100);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTHANDLE", "OpenPort"));
    EXPECT_EQ(driver().Count(Op::kOpen), 4u);
    EXPECT_EQ(driver().Count(Op::kListCount), 1u);
}

TEST_F(UsbIo, OpenSucceedsAfterThreeRejections) {
    for (size_t i = 0; i < 3; ++i)
        driver().StatusAt(Op::kOpen, i, 1);
    EXPECT_EQ(QIO_OpenPort(1), 1);
    EXPECT_EQ(driver().Count(Op::kOpen), 4u);
    EXPECT_TRUE(qelio::usb::IsOpen());
    EXPECT_EQ(qelio::usb::OpenPortNumber(), 1);
}

TEST_F(UsbIo, OpenOtherStatusEndsAtOnce) {
    driver().StatusAt(Op::kOpen, 0, 3);
    EXPECT_EQ(QIO_OpenPort(1), -14);
    EXPECT_EQ(driver().Count(Op::kOpen), 1u);
    EXPECT_FALSE(qelio::usb::IsOpen());
}

TEST_F(UsbIo, OpenWithPortOpenClosesFirst) {
    driver().SetDevices({"a", "b"});
    OpenPort1();
    const auto first = driver().LastHandle();
    EXPECT_EQ(QIO_OpenPort(1), 1);  // the same number reopens the same port
    auto calls = driver().Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].op, Op::kClose);
    EXPECT_EQ(calls[calls.size() - 2].arg, static_cast<int64_t>(first));
    EXPECT_EQ(calls.back().op, Op::kOpen);
    EXPECT_EQ(calls.back().arg, 0);
    EXPECT_EQ(QIO_OpenPort(2), 1);
    calls = driver().Calls();
    EXPECT_EQ(calls.back().arg, 1);
    EXPECT_EQ(qelio::usb::OpenPortNumber(), 2);
}

TEST_F(UsbIo, FailedOpenAfterCloseLeavesNoPort) {
    OpenPort1();
    driver().StatusAt(Op::kOpen, 1, 2);
    EXPECT_EQ(QIO_OpenPort(1), -2);
    EXPECT_FALSE(qelio::usb::IsOpen());
    EXPECT_EQ(qelio::usb::OpenPortNumber(), 0);
}

TEST_F(UsbIo, OpenSetsNoTimeouts) {
    OpenPort1();
    EXPECT_EQ(driver().Count(Op::kSetTimeouts), 0u);
    EXPECT_EQ(driver().Count(Op::kPurge), 0u);
}

TEST_F(UsbIo, WriteIoErrorThenReloadAndReopenBeforeNextQueue) {
    OpenPort1();
    driver().AnswerAll();
    const auto handle = driver().LastHandle();
    driver().StatusAt(Op::kWrite, 0, 4);
    EXPECT_EQ(RunCommand({0x01}).result, -1);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTDATAIO", "QIO_Command"));
    EXPECT_TRUE(qelio::usb::ResetPending());
    const size_t mark = driver().CallCount();
    EXPECT_EQ(qelio::usb::PortQueue(), 0u);
    const auto calls = driver().Calls();
    ASSERT_EQ(calls.size() - mark, 4u);
    EXPECT_EQ(calls[mark].op, Op::kClose);
    EXPECT_EQ(calls[mark].arg, static_cast<int64_t>(handle));
    EXPECT_EQ(calls[mark + 1].op, Op::kReload);
    EXPECT_EQ(calls[mark + 2].op, Op::kOpen);
    EXPECT_EQ(calls[mark + 2].arg, 0);
    EXPECT_EQ(calls[mark + 3].op, Op::kQueueLength);
    EXPECT_FALSE(qelio::usb::ResetPending());
    EXPECT_TRUE(qelio::usb::IsOpen());
    EXPECT_EQ(RunCommand({0x01}).result, 0);
}

TEST_F(UsbIo, ResetFailureKeepsResetPending) {
    OpenPort1();
    driver().AnswerAll();
    driver().StatusAt(Op::kWrite, 0, 4);
    EXPECT_EQ(RunCommand({0x01}).result, -1);
    driver().StatusAt(Op::kReload, 0, 2);
    EXPECT_EQ(RunCommand({0x01}).result, -2);
    EXPECT_TRUE(qelio::usb::ResetPending());
    EXPECT_FALSE(qelio::usb::IsOpen());  // the handle was closed before the reload
    // With no handle, the next command stops at the port check (PortWrite).
    EXPECT_EQ(RunCommand({0x01}).result, -14);
    // Opening again runs the pending reset first.
    const size_t reloads = driver().Count(Op::kReload);
    EXPECT_EQ(QIO_OpenPort(1), 1);
    EXPECT_EQ(driver().Count(Op::kReload), reloads + 1);
    EXPECT_FALSE(qelio::usb::ResetPending());
    EXPECT_EQ(RunCommand({0x01}).result, 0);
}

TEST_F(UsbIo, ResetPendingAtCloseOnlyReloads) {
    OpenPort1();
    driver().StatusAt(Op::kWrite, 0, 4);
    EXPECT_EQ(RunCommand({0x01}).result, -1);
    EXPECT_EQ(QIO_FreePort(), 0);
    const size_t opens = driver().Count(Op::kOpen);
    char buf[80];
    EXPECT_EQ(QIO_PortName(1, buf, sizeof buf), 7);
    EXPECT_EQ(driver().Count(Op::kReload), 1u);
    EXPECT_EQ(driver().Count(Op::kOpen), opens);
}

TEST_F(UsbIo, CloseRejectedHandleShowsMessage) {
    MessageLog log;
    OpenPort1();
    driver().StatusAlways(Op::kClose, 1);
    EXPECT_EQ(QIO_FreePort(), 0);
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0].first, "USB_IO");
    EXPECT_EQ(log.messages[0].second, "PortClose Handle Error");
    EXPECT_FALSE(qelio::usb::IsOpen());
    EXPECT_EQ(LastError(), "");
}

TEST_F(UsbIo, UnknownStatusesAreUndef) {
    for (int32_t s : {5, -1, 99, INT32_MIN}) {
        driver().ClearStatuses();
        driver().StatusAlways(Op::kListCount, s);
        EXPECT_EQ(QIO_PortCount(), -100) << s;
        EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTUNDEF", "Port Count"));
    }
}

TEST_F(UsbIo, ReadSetsZeroReadAndOneSecondWriteTimeouts) {
    OpenPort1();
    driver().AnswerAll();
    EXPECT_EQ(RunCommand({0x01}).result, 0);
    const auto t = driver().Timeouts();
    ASSERT_EQ(t.size(), 7u);  // one per reply byte
    for (auto [r, w] : t) {
        EXPECT_EQ(r, 0u);
        EXPECT_EQ(w, 1000u);
    }
}

TEST_F(UsbIo, UnhookedCloseMessageDoesNotBlock) {
    // Without a hook the messages go to standard error and the call goes on at once.
    OpenPort1();
    driver().StatusAlways(Op::kClose, 1);
    EXPECT_EQ(QIO_FreePort(), 0);
}

}  // namespace
}  // namespace qeltest
