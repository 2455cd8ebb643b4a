// The client end to end: the real device-interface library with the simulated unit of
// the default rig (a moving head, a dimmer rack, a slow hazer and a minimal fixture).
#include "core/Client.h"
#include "core/ErrTrap.h"
#include "core/SharedLibraryBinding.h"
#include "support/Raised.h"
#include "support/ScriptedUi.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace qel {
namespace {

using namespace std::chrono_literals;
using namespace ErrTrap;
using test::Raised;

QByteArray B(std::initializer_list<int> bytes) {
    QByteArray out;
    for (int b : bytes)
        out.append(static_cast<char>(b));
    return out;
}

const QByteArray kHazer = B({0x7F, 0xF1, 0x00, 0x00, 0x0A, 0x01});

// The real library, with every command's request and status on record.
class RecordingLibrary : public SharedLibraryBinding {
  public:
    struct Call {
        QByteArray request;
        int32_t status;
    };
    RecordingLibrary() : previous_(SetLibrary(this)) {}
    ~RecordingLibrary() override { SetLibrary(previous_); }

    int32_t Command(uint8_t* buffer, int32_t* length) override {
        const QByteArray request(reinterpret_cast<const char*>(buffer), *length);
        const int32_t status = SharedLibraryBinding::Command(buffer, length);
        calls.push_back({request, status});
        return status;
    }
    std::vector<int32_t> statuses() const {
        std::vector<int32_t> out;
        for (const Call& c : calls)
            out.push_back(c.status);
        return out;
    }

    std::vector<Call> calls;

  private:
    LibraryBinding* previous_;
};

class ClientSimTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // Before the library is loaded, which happens at the first call.
        setenv("QELIO32_DRIVER", "sim", 1);
        setenv("QELIO32_SIM_RIG", "default", 1);
    }

    void SetUp() override {
        // Waits take real time (the unit's replies do), with window events running.
        ui.onWait = [](std::chrono::milliseconds duration) {
            QEventLoop loop;
            QTimer::singleShot(duration, &loop, &QEventLoop::quit);
            loop.exec();
        };
        ASSERT_EQ(Client::API_GetPortCount(), 1);
        Client::USB_OpenPort(1);
    }

    void TearDown() override { Client::USB_Disconnect(); }

    // Runs discovery to its end; the 1-based index of each UID found.
    std::vector<QByteArray> Discover() {
        Client::QEL_StartDiscovery();
        QElapsedTimer clock;
        clock.start();
        int32_t state = 0;
        do {
            std::this_thread::sleep_for(50ms);
            state = Client::QEL_DiscoveryState();
        } while ((state >> 8) == 1 && clock.elapsed() < 20000);
        EXPECT_EQ(state >> 8, 0) << "discovery did not finish";
        std::vector<QByteArray> uids;
        for (int i = 1; i <= (state & 0xFF); ++i)
            uids.push_back(Client::QEL_GetDeviceUID(i));
        return uids;
    }

    int HazerIndex() {
        const std::vector<QByteArray> uids = Discover();
        for (size_t i = 0; i < uids.size(); ++i) {
            if (uids[i] == kHazer) return static_cast<int>(i) + 1;
        }
        ADD_FAILURE() << "no hazer found";
        return 1;
    }

    test::ScriptedUi ui;
    RecordingLibrary library;
};

TEST_F(ClientSimTest, PortsAndVersion) {
    EXPECT_FALSE(Client::API_Version().isEmpty());
    // Ports are named only while none is open.
    EXPECT_EQ(Raised([] { Client::API_GetPortName(1); }), ErrAPI_PortStatus);
    Client::USB_Disconnect();
    EXPECT_EQ(Client::API_GetPortName(1), QStringLiteral("DMX-QEL"));
    Client::USB_OpenPort(1);
}

TEST_F(ClientSimTest, IdentityOfTheUnit) {
    EXPECT_EQ(Client::QEL_GetName(), QStringLiteral("DMX-QEL"));
    EXPECT_EQ(Client::QEL_GetModel(), 3);
    EXPECT_EQ(Client::QEL_GetHardwareRev(), QStringLiteral("Rev C"));
    EXPECT_EQ(Client::QEL_GetFirmwareRev(), QStringLiteral("2.4.17"));
    EXPECT_EQ(Client::QEL_GetSerial(), QStringLiteral("20071234"));
    EXPECT_EQ(Client::QEL_GetUID(), B({0x7F, 0xF0, 0x01, 0x32, 0x43, 0x42}));
    EXPECT_EQ(Client::QEL_GetBuild(), 1187);
    // Not a unit in factory mode: it does not know the probe.
    EXPECT_EQ(Raised([] { Client::QEL_FactoryProbe(0, 1); }), ErrQEL_CommandInst);

    const std::vector<QByteArray> expected = {B({0x00}),       B({0x00, 0x01}),      B({0x01}),
                                              B({0x02, 0x01}), B({0x03, 0x01}),      B({0x04}),
                                              B({0x4F}),       B({0xE0, 0, 0, 1, 0})};
    ASSERT_EQ(library.calls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(library.calls[i].request, expected[i]);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ClientSimTest, FrameTiming) {
    EXPECT_EQ(Client::QEL_GetFrameRate(1), 40);
    EXPECT_EQ(Client::QEL_GetFrameRate(2), 1);
    EXPECT_EQ(Client::QEL_GetFrameRate(3), 44);
    EXPECT_EQ(Raised([] { Client::QEL_SetFrameRate(45); }), ErrQEL_Constraint);

    const int markMin = Client::QEL_GetMarkTime(2);
    const int markMax = Client::QEL_GetMarkTime(3);
    ASSERT_LT(markMin, markMax);
    const int mark = Client::QEL_GetMarkTime(1);
    Client::QEL_SetMarkTime(markMin);
    EXPECT_EQ(Client::QEL_GetMarkTime(1), markMin);
    Client::QEL_SetMarkTime(mark);

    const int breakMin = Client::QEL_GetBreakTime(2);
    EXPECT_LE(breakMin, Client::QEL_GetBreakTime(1));
    EXPECT_LE(Client::QEL_GetBreakTime(1), Client::QEL_GetBreakTime(3));
    Client::QEL_SetBreakTime(Client::QEL_GetBreakTime(1));

    const int timeout = Client::QEL_GetDelayTime(1);
    Client::QEL_SetDelayTime(50);
    EXPECT_EQ(Client::QEL_GetDelayTime(1), 50);
    EXPECT_EQ(Client::QEL_GetFrameRate(1), 14);  // the rate gave way to the time-out
    Client::QEL_SetDelayTime(timeout);
    Client::QEL_SetFrameRate(40);
    EXPECT_EQ(Client::QEL_GetFrameRate(1), 40);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ClientSimTest, OutputAndInput) {
    QByteArray packet(1, '\0');
    for (int i = 1; i <= 30; ++i)
        packet.append(static_cast<char>(i * 8));
    Client::QEL_SendFrame(packet);
    EXPECT_EQ(library.calls.back().request, B({0x22, 0x00}) + packet);
    Client::QEL_SendSlot(30, 200);
    EXPECT_EQ(library.calls.back().request, B({0x25, 30, 0, 200}));
    EXPECT_EQ(Raised([] { Client::QEL_SendSlot(513, 1); }), ErrQEL_Constraint);

    const QByteArray input = Client::QEL_GetInput(1);
    EXPECT_EQ(input.size(), 2 + 32);  // status, start code and the moving pattern
    EXPECT_EQ(Raised([] { Client::QEL_GetInput(2); }), ErrQEL_NotAnOption);
    Client::QEL_StopFrame();
}

TEST_F(ClientSimTest, DiscoveryFindsTheFixtures) {
    const std::vector<QByteArray> uids = Discover();
    ASSERT_EQ(uids.size(), 4u);
    for (const QByteArray& uid : uids)
        EXPECT_EQ(uid.size(), 6);
    EXPECT_NE(std::find(uids.begin(), uids.end(), kHazer), uids.end());
    // Every fixture answers DEVICE_INFO with its 19 bytes.
    for (int index = 1; index <= 4; ++index) {
        EXPECT_EQ(Client::QEL_RDMGet(index, 0, 0x0060).size(), 19) << index;
    }
    EXPECT_EQ(library.calls.back().request, B({0x38, 4, 0, 0, 0x00, 0x60}));
    EXPECT_EQ(Raised([] { Client::QEL_GetDeviceUID(5); }), ErrQEL_Constraint);
}

TEST_F(ClientSimTest, SlowDeviceIsWaitedForAndPolled) {
    const int hazer = HazerIndex();
    library.calls.clear();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Client::QEL_RDMGet(hazer, 0, 0x0082), QByteArray("Upstage haze"));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 500ms);
    ASSERT_GE(library.calls.size(), 2u);
    EXPECT_EQ(library.calls[0].status, 16);
    EXPECT_EQ(library.calls[1].request, B({0x3A, hazer}));
    EXPECT_EQ(ui.waits.front(), 500ms);
    EXPECT_FALSE(ui.busyPointer());
}

TEST_F(ClientSimTest, CommandDuringAWaitWorksAndTheWaitingOneCompletes) {
    const int hazer = HazerIndex();
    QString inner;
    QTimer::singleShot(100ms, [&] { inner = Client::QEL_GetName(); });
    EXPECT_EQ(Client::QEL_RDMGet(hazer, 0, 0x0082), QByteArray("Upstage haze"));
    EXPECT_EQ(inner, QStringLiteral("DMX-QEL"));
}

TEST_F(ClientSimTest, LongAnswerInPartsIsJoined) {
    const int hazer = HazerIndex();
    library.calls.clear();
    const QByteArray log = Client::QEL_RDMGet(hazer, 0, 0x8102);
    EXPECT_GE(log.size(), 600);
    EXPECT_TRUE(log.startsWith("#1 pump serviced, heater ok, fluid topped up. #2"));
    const std::vector<int32_t> statuses = library.statuses();
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), 18), statuses.end());
}

TEST_F(ClientSimTest, QueuedMessagesAreNoted) {
    const int hazer = HazerIndex();
    Client::QEL_RDMGet(hazer, 0, 0x0060);
    EXPECT_EQ(library.calls.back().status, 17);
    EXPECT_TRUE(Client::QEL_MessagesWaiting());
    const QByteArray message = Client::QEL_QueuedMessage(hazer, 0);
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(library.calls.back().request, B({0x3A, hazer}));
    EXPECT_EQ(Client::QEL_MessagesWaiting(), Client::ReplyQueued());
}

TEST_F(ClientSimTest, RefusalsOfTheRemoteDeviceBecomeTheirReasons) {
    const int hazer = HazerIndex();
    EXPECT_EQ(Raised([&] { Client::QEL_RDMGet(hazer, 0, 0x0401); }), NR_UNKNOWN_PID);
    EXPECT_EQ(Raised([&] { Client::QEL_RDMSet(hazer, 0, 0x8103, B({0, 1})); }), NR_WRITE_PROTECT);
    EXPECT_EQ(library.calls.back().request, B({0x39, hazer, 0, 0, 0x81, 0x03, 0, 1}));
    Client::QEL_SetBroadcastMask(0xFFFF);
    EXPECT_EQ(library.calls.back().request, B({0x3D, 0xFF, 0xFF}));
}

TEST_F(ClientSimTest, LibraryFailuresBecomeTheirNumbers) {
    Client::USB_Disconnect();
    const int32_t number = Raised([] { Client::QEL_GetName(); });
    EXPECT_GT(number, kLibraryBase);
    EXPECT_EQ(number, kLibraryBase - library.calls.back().status);
    EXPECT_FALSE(Client::API_LastError().isEmpty());
    EXPECT_GT(Raised([] { Client::USB_OpenPort(2); }), kLibraryBase);
    Client::USB_OpenPort(1);
}

}  // namespace
}  // namespace qel
