// Driver statuses 1, 2, 3, 4, 5 and -1 at every call position of every export that
// reaches the driver: each gives the failure of the transport (or the recovery it gives
// status 1), and the library stays usable afterwards.
#include <functional>

#include "failure.h"
#include "frame.h"
#include "lib_test_util.h"
#include "usb_io.h"

namespace qeltest {
namespace {

struct Scenario {
    const char* name;
    const char* label;
    bool openFirst;  // a port is open before the call
    std::function<int32_t()> call;
    int32_t success;  // result without any failure
};

std::vector<Scenario> Scenarios() {
    return {
        {"PortCount", "Port Count", false, [] { return QIO_PortCount(); }, 1},
        {"PortName", "PortName", false,
         [] {
             char buf[80];
             return QIO_PortName(1, buf, sizeof buf);
         },
         7},
        {"OpenPort", "OpenPort", false, [] { return QIO_OpenPort(1); }, 1},
        {"ReopenPort", "OpenPort", true, [] { return QIO_OpenPort(1); }, 1},
        {"FreePort", "FreePort", true, [] { return QIO_FreePort(); }, 0},
        {"Reset", "Reset", true, [] { return QIO_Reset(); }, 0},
        {"Command", "QIO_Command", true,
         [] {
             return RunCommand({0x03, 0x01}).result;
         },
         4},
        // The first exchange after load purges first (its status is ignored).
        {"FirstCommand", "QIO_Command", true, [] { return RunCommand({0x03}).result; }, 4},
    };
}

const char* NameOfStatus(int32_t status, bool lockCheckArmed) {
    switch (status) {
        case 1:
            return lockCheckArmed ? "USB_IO.ERROR_PORTLOCKED" : "USB_IO.ERROR_PORTHANDLE";
        case 2:
            return "USB_IO.ERROR_PORTSEARCH";
        case 3:
            return "USB_IO.ERROR_PORTSTATUS";
        case 4:
            return "USB_IO.ERROR_PORTDATAIO";
        default:
            return "USB_IO.ERROR_PORTUNDEF";
    }
}

struct Prepared {
    std::unique_ptr<ScriptedLibrary> lib;
    size_t offset = 0;  // calls made by the set-up
};

Prepared Prepare(const Scenario& s) {
    Prepared run;
    run.lib = std::make_unique<ScriptedLibrary>();
    ScriptedDriver& d = run.lib->driver();
    d.SetDevices({"DMX-QEL"});
    d.AnswerAll(4, {0xA1});
    if (s.openFirst) {
        EXPECT_EQ(QIO_OpenPort(1), 1);
        if (std::string(s.name) != "FirstCommand") {
            EXPECT_EQ(RunCommand({0x00}).result, 4);  // the load-time purge is behind us
        }
    }
    run.offset = d.CallCount();
    return run;
}

TEST(DriverStatuses, EveryStatusAtEveryCallPosition) {
    for (const Scenario& s : Scenarios()) {
        std::vector<Call> baseline;
        bool armed = false;
        {
            Prepared run = Prepare(s);
            armed = qelio::usb::LockCheckArmed();
            ASSERT_EQ(s.call(), s.success) << s.name;
            const auto calls = run.lib->driver().Calls();
            baseline.assign(calls.begin() + static_cast<long>(run.offset), calls.end());
        }
        ASSERT_FALSE(baseline.empty()) << s.name;
        for (size_t pos = 0; pos < baseline.size(); ++pos) {
            const Op op = baseline[pos].op;
            for (int32_t status : {1, 2, 3, 4, 5, -1}) {
                SCOPED_TRACE(std::string(s.name) + " call " + std::to_string(pos) + " " +
                             OpName(op) + " status " + std::to_string(status));
                Prepared run = Prepare(s);
                MessageLog log;
                ScriptedDriver& d = run.lib->driver();
                d.StatusAtCall(run.offset + pos, status);
                const int32_t result = s.call();

                // What the transport promises.
                bool recovers = false;  // the call still succeeds
                size_t messages = 0;
                if (op == Op::kPurge) recovers = true;  // the purge status is ignored
                if (status == 1) {
                    if (op == Op::kOpen) recovers = true;  // retried
                    if (op == Op::kClose) {
                        recovers = true;  // "PortClose Handle Error"
                        messages = 1;
                    }
                    if (op == Op::kListDescription && armed) {
                        recovers = true;  // the locked-port recovery
                        messages = 2;
                    }
                }
                EXPECT_EQ(log.messages.size(), messages);
                if (recovers) {
                    EXPECT_EQ(result, s.success);
                    continue;
                }
                // The first PortOpen disarms LockCheck before any driver call but its
                // count; the recovery of PortName happens only on its description.
                bool armedNow = armed && op == Op::kListCount;
                const std::string name = NameOfStatus(status, armedNow);
                EXPECT_EQ(result, qelio::CodeOf(name));
                EXPECT_EQ(LastError(), Text(name, s.label));
                // The calls stop at the failure: nothing after it.
                EXPECT_EQ(d.CallCount(), run.offset + pos + 1);
                EXPECT_EQ(qelio::usb::ResetPending(), status == 4);

                // The library is usable again: the next open (after a reset if one is
                // pending) and exchange work.
                d.ClearStatuses();
                EXPECT_EQ(QIO_OpenPort(1), 1);
                EXPECT_EQ(RunCommand({0x03}).result, 4);
                EXPECT_FALSE(qelio::usb::ResetPending());
            }
        }
    }
}

// Every position of an exchange that collects a whole reply: the reply's bytes, and
// the calls around them, include QueueLength, SetTimeouts and Read for each byte.
TEST(DriverStatuses, CommandCallSequencePerReplyByte) {
    ScriptedLibrary lib;
    lib.driver().SetDevices({"u"});
    lib.driver().AnswerAll(0);
    ASSERT_EQ(QIO_OpenPort(1), 1);
    const size_t mark = lib.driver().CallCount();
    ASSERT_EQ(RunCommand({0x07}).result, 0);
    auto ops = lib.driver().Ops();
    ops.erase(ops.begin(), ops.begin() + static_cast<long>(mark));
    std::vector<Op> expected{Op::kPurge, Op::kWrite};
    for (int i = 0; i < 7; ++i) {  // 7E 58 02 00 07 00 E7
        expected.push_back(Op::kQueueLength);
        expected.push_back(Op::kSetTimeouts);
        expected.push_back(Op::kRead);
    }
    EXPECT_EQ(ops, expected);
}

}  // namespace
}  // namespace qeltest
