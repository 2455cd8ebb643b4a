// The exported surface, the failure report, text out and buffer conversions.
#include <cstring>
#include <thread>

#include "failure.h"
#include "lib_test_util.h"

namespace qeltest {
namespace {

class FailureReport : public LibraryTest {};

TEST_F(FailureReport, CodesOfEveryKind) {
    EXPECT_EQ(qelio::CodeOf("USB_IO.ERROR_PORTDATAIO"), -1);
    EXPECT_EQ(qelio::CodeOf("USB_IO.ERROR_PORTNUMBER"), -1);
    EXPECT_EQ(qelio::CodeOf("USB_IO.ERROR_PORTSEARCH"), -2);
    EXPECT_EQ(qelio::CodeOf("FRAME.ERROR_TIMEOUT"), -3);
    EXPECT_EQ(qelio::CodeOf("FRAME.ERROR_REPLYLENGTH"), -4);
    EXPECT_EQ(qelio::CodeOf("DEVICE.ERROR_MISMATCH"), -6);
    EXPECT_EQ(qelio::CodeOf("REPROG.ERROR_INCOMPATIBLE"), -7);
    EXPECT_EQ(qelio::CodeOf("REPROG.ERROR_DATACHECKSUM"), -8);
    EXPECT_EQ(qelio::CodeOf("CONSTRAINT_ERROR"), -11);
    EXPECT_EQ(qelio::CodeOf("ERRORS.ERROR_CALLTOAPI"), -12);
    EXPECT_EQ(qelio::CodeOf("USB_IO.ERROR_PORTSTATUS"), -14);
    for (const char* other :
         {"USB_IO.ERROR_PORTHANDLE", "USB_IO.ERROR_PORTUNDEF", "USB_IO.ERROR_PORTLOCKED",
          "FRAME.ERROR_FRAMEFORMAT", "FRAME.ERROR_MISMATCH", "REPROG.ERROR_UNKNOWN",
          "DATAFILE.PATH_ERROR", "BYTES.DATA_ERROR", "STORAGE_ERROR", "PROGRAM_ERROR", ""}) {
        EXPECT_EQ(qelio::CodeOf(other), -100) << other;
    }
}

TEST_F(FailureReport, GuardedCatchesEverything) {
    EXPECT_EQ(qelio::Guarded("L", []() -> int32_t { throw qelio::Failure("FRAME.ERROR_TIMEOUT"); }),
              -3);
    EXPECT_EQ(LastError(), Text("FRAME.ERROR_TIMEOUT", "L"));
    EXPECT_EQ(qelio::Guarded("M", []() -> int32_t { throw std::bad_alloc(); }), -100);
    EXPECT_EQ(LastError(), Text("STORAGE_ERROR", "M"));
    EXPECT_EQ(qelio::Guarded("N", []() -> int32_t { throw 42; }), -100);
    EXPECT_EQ(LastError(), Text("PROGRAM_ERROR", "N"));
    EXPECT_EQ(qelio::Guarded("O", []() -> int32_t { return 7; }), 7);
    EXPECT_EQ(LastError(), Text("PROGRAM_ERROR", "N"));
}

TEST_F(FailureReport, LastErrorBeforeAnyFailure) {
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(QIO_LastError(buf, sizeof buf), 0);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(buf[1], 'x');
    char one[1] = {'x'};
    EXPECT_EQ(QIO_LastError(one, 1), 0);
    EXPECT_EQ(one[0], '\0');
}

TEST_F(FailureReport, LastErrorBufferTooSmallWritesNothingAndKeepsText) {
    EXPECT_EQ(QIO_FreePort(), 0);
    char small[8];
    std::memset(small, 'x', sizeof small);
    ASSERT_LT(QIO_Version(small, 8), 0);  // a failure to read back
    const std::string text = Text("ERRORS.ERROR_CALLTOAPI", "Version N");
    char buf[64];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(QIO_LastError(buf, static_cast<int32_t>(text.size())), -12);
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(QIO_LastError(buf, 0), -12);
    EXPECT_EQ(QIO_LastError(nullptr, 100), -12);
    EXPECT_EQ(QIO_LastError(buf, -5), -12);
    EXPECT_EQ(QIO_LastError(buf, static_cast<int32_t>(text.size()) + 1),
              static_cast<int32_t>(text.size()));
    EXPECT_EQ(std::string(buf), text);
}

TEST_F(FailureReport, VersionTextOut) {
    char buf[16];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(QIO_Version(buf, 8), -12);
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(LastError(), Text("ERRORS.ERROR_CALLTOAPI", "Version N"));
    EXPECT_EQ(QIO_Version(buf, 9), 8);
    EXPECT_STREQ(buf, "0.02.002");
    EXPECT_EQ(buf[9], 'x');
    EXPECT_EQ(QIO_Version(nullptr, 9), -12);
    EXPECT_EQ(QIO_Version(buf, 0), -12);
    EXPECT_EQ(QIO_Version(buf, INT32_MIN), -12);
}

TEST_F(FailureReport, PortNameTextOut) {
    char buf[16];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(QIO_PortName(1, buf, 7), -12);  // "DMX-QEL" is 7 long
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(LastError(), Text("ERRORS.ERROR_CALLTOAPI", "PortName"));
    EXPECT_EQ(QIO_PortName(1, buf, 8), 7);
    EXPECT_STREQ(buf, "DMX-QEL");
}

TEST_F(FailureReport, PortNameWhileOpenFailsWithoutAskingTheDriver) {
    OpenPort1();
    const size_t before = driver().Count(Op::kListDescription);
    char buf[80];
    EXPECT_EQ(QIO_PortName(1, buf, sizeof buf), -14);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTSTATUS", "PortName"));
    EXPECT_EQ(driver().Count(Op::kListDescription), before);
}

TEST_F(FailureReport, PortNameAboveCount) {
    char buf[80];
    EXPECT_EQ(QIO_PortCount(), 1);
    EXPECT_EQ(QIO_PortName(2, buf, sizeof buf), -1);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTNUMBER", "PortName"));
    EXPECT_EQ(QIO_OpenPort(2), -1);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTNUMBER", "OpenPort"));
}

TEST_F(FailureReport, FreeAndResetWithoutPortSucceedQuietly) {
    EXPECT_EQ(QIO_Version(nullptr, 0), -12);
    const std::string before = LastError();
    EXPECT_EQ(QIO_FreePort(), 0);
    EXPECT_EQ(QIO_Reset(), 0);
    EXPECT_EQ(LastError(), before);
    EXPECT_EQ(driver().Count(Op::kClose), 0u);
}

TEST_F(FailureReport, FreeAndResetClosePort) {
    OpenPort1();
    EXPECT_EQ(QIO_Reset(), 0);
    EXPECT_EQ(driver().Count(Op::kClose), 1u);
    EXPECT_EQ(RunCommand({0x00}).result, -14);
    OpenPort1();
    EXPECT_EQ(QIO_FreePort(), 0);
    EXPECT_EQ(driver().Count(Op::kClose), 2u);
}

TEST_F(FailureReport, CommandReturnsTheUnitsStatusAndItsData) {
    OpenPort1();
    driver().SetResponder([](ScriptedDriver& d, const Bytes&) {
        d.Arrive({0x7E, 0x58, 0x04, 0x00, 0x21, 0x05, 0xD1, 0xD2, 0xE7});
    });
    const CommandResult r = RunCommand({0x21, 0x11, 0x12});
    EXPECT_EQ(r.result, 5);
    EXPECT_EQ(r.length, 2);
    EXPECT_EQ(r.data, (Bytes{0xD1, 0xD2}));
    ASSERT_EQ(driver().Writes().size(), 1u);
    EXPECT_EQ(driver().Writes()[0], (Bytes{0x7E, 0x58, 0x03, 0x00, 0x21, 0x11, 0x12, 0xE7}));
}

TEST_F(FailureReport, CommandStatusWithoutData) {
    OpenPort1();
    driver().AnswerAll(9);
    const CommandResult r = RunCommand({0x22, 0, 0, 1, 2, 3});
    EXPECT_EQ(r.result, 9);
    EXPECT_EQ(r.length, 0);
}

TEST_F(FailureReport, CommandReplyOf528IsFine529IsConstraint) {
    OpenPort1();
    driver().AnswerAll(0, Bytes(527, 0x33));
    CommandResult r = RunCommand({0x05});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.length, 527);
    EXPECT_EQ(r.data, Bytes(527, 0x33));
    driver().AnswerAll(0, Bytes(528, 0x33));
    r = RunCommand({0x05});
    EXPECT_EQ(r.result, -11);
    EXPECT_EQ(r.length, 0);
    EXPECT_EQ(LastError(), Text("CONSTRAINT_ERROR", "QIO_Command"));
}

TEST_F(FailureReport, CommandWithoutPort) {
    const CommandResult r = RunCommand({0x00});
    EXPECT_EQ(r.result, -14);
    EXPECT_EQ(r.length, 0);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTSTATUS", "QIO_Command"));
}

TEST_F(FailureReport, CommandLengthBelowOneSendsNothing) {
    OpenPort1();
    driver().AnswerAll();
    for (int32_t n : {0, -1, INT32_MIN}) {
        uint8_t buf[QIO_COMMAND_BUFFER] = {0x00};
        int32_t length = n;
        EXPECT_EQ(QIO_Command(buf, &length), -11) << n;
        EXPECT_EQ(length, 0);
        EXPECT_EQ(LastError(), Text("CONSTRAINT_ERROR", "QIO_Command"));
    }
    EXPECT_EQ(driver().Count(Op::kWrite), 0u);
}

TEST_F(FailureReport, CommandNullPointers) {
    uint8_t buf[4] = {0};
    EXPECT_EQ(QIO_Command(buf, nullptr), -12);
    EXPECT_EQ(LastError(), Text("ERRORS.ERROR_CALLTOAPI", "QIO_Command"));
    int32_t length = 3;
    EXPECT_EQ(QIO_Command(nullptr, &length), -12);
    EXPECT_EQ(length, 0);
}

TEST_F(FailureReport, CommandCopiesExactlyTheRequestBytes) {
    OpenPort1();
    driver().AnswerAll();
    std::vector<uint8_t> buf(QIO_COMMAND_BUFFER, 0xAA);
    buf[0] = 0x10;
    buf[1] = 0x7E;
    buf[2] = 0xE7;
    int32_t length = 3;
    EXPECT_EQ(QIO_Command(buf.data(), &length), 0);
    EXPECT_EQ(driver().Writes()[0], (Bytes{0x7E, 0x58, 0x03, 0x00, 0x10, 0x7E, 0xE7, 0xE7}));
    EXPECT_EQ(buf[3], 0xAA);  // nothing written past the empty reply
}

TEST_F(FailureReport, NewFailureReplacesTextSuccessKeepsIt) {
    char buf[80];
    EXPECT_EQ(QIO_PortName(5, buf, sizeof buf), -1);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTNUMBER", "PortName"));
    EXPECT_EQ(QIO_PortCount(), 1);
    EXPECT_EQ(QIO_Version(buf, sizeof buf), 8);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTNUMBER", "PortName"));
    EXPECT_EQ(RunCommand({1}).result, -14);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTSTATUS", "QIO_Command"));
}

TEST_F(FailureReport, LabelsOfEveryExport) {
    driver().StatusAlways(Op::kListCount, 2);
    char buf[80];
    EXPECT_EQ(QIO_PortCount(), -2);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTSEARCH", "Port Count"));
    EXPECT_EQ(QIO_PortName(1, buf, sizeof buf), -2);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTSEARCH", "PortName"));
    EXPECT_EQ(QIO_OpenPort(1), -2);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTSEARCH", "OpenPort"));
    driver().ClearStatuses();
    OpenPort1();
    driver().StatusAlways(Op::kClose, 3);
    EXPECT_EQ(QIO_FreePort(), -14);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTSTATUS", "FreePort"));
    OpenPort1();
    EXPECT_EQ(QIO_Reset(), -14);
    EXPECT_EQ(LastError(), Text("USB_IO.ERROR_PORTSTATUS", "Reset"));
}

TEST_F(FailureReport, ReprogramFailureCarriesItsLabel) {
    EXPECT_EQ(QIO_Reprogram("/nonexistent/qel-image.txt"), -100);
    EXPECT_EQ(LastError(), Text("DATAFILE.PATH_ERROR", "QIO_Reprogram"));
    EXPECT_EQ(QIO_Reprogram(nullptr), -12);
}

TEST_F(FailureReport, ReportsFromTwoThreadsAreWhole) {
    std::thread worker([] {
        for (int i = 0; i < 2000; ++i)
            qelio::ReportFailure("FRAME.ERROR_TIMEOUT", "Reprogram Device");
    });
    for (int i = 0; i < 2000; ++i) {
        qelio::ReportFailure("USB_IO.ERROR_PORTSTATUS", "QIO_Command");
        const std::string t = LastError();
        EXPECT_TRUE(t == Text("FRAME.ERROR_TIMEOUT", "Reprogram Device") ||
                    t == Text("USB_IO.ERROR_PORTSTATUS", "QIO_Command"))
            << t;
    }
    worker.join();
}

}  // namespace
}  // namespace qeltest
