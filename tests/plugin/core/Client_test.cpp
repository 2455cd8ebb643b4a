#include "core/Client.h"
#include "core/ErrTrap.h"
#include "core/QtUiServices.h"
#include "core/SharedLibraryBinding.h"
#include "support/Raised.h"
#include "support/ScriptedLibrary.h"
#include "support/ScriptedUi.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <limits>

namespace qel {
namespace {

using namespace std::chrono_literals;
using test::Exchange;

QByteArray B(std::initializer_list<int> bytes) {
    QByteArray out;
    for (int b : bytes)
        out.append(static_cast<char>(b));
    return out;
}

class ClientTest : public ::testing::Test {
  protected:
    // The number of the plugin error that `f` raises, or 0; the error in lastError.
    template <typename F>
    int32_t Raised(F f) {
        std::optional<PluginError> caught;
        const int32_t number = test::Raised(f, &caught);
        if (caught) lastError = *caught;
        return number;
    }

    test::ScriptedUi ui;
    test::ScriptedLibrary library;
    PluginError lastError{0, {}, {}};
};

// ---- requests and decoding

struct CommandRow {
    const char* what;
    std::function<QVariant()> call;
    QByteArray request;
    QByteArray reply;
    QVariant result;
};

TEST_F(ClientTest, EveryCommandSendsItsRequestAndDecodesItsReply) {
    const CommandRow rows[] = {
        {"GetName", [] { return QVariant(Client::QEL_GetName()); }, B({0x00}), "DMX-QEL",
         QStringLiteral("DMX-QEL")},
        {"GetModel", [] { return QVariant(Client::QEL_GetModel()); }, B({0x00, 0x01}),
         B({0x02, 0x01}), 258},
        {"GetHardwareRev", [] { return QVariant(Client::QEL_GetHardwareRev()); }, B({0x01}), "B",
         QStringLiteral("B")},
        {"GetFirmwareRev", [] { return QVariant(Client::QEL_GetFirmwareRev()); }, B({0x02, 0x01}),
         QByteArray("1.2.3\0", 6), QStringLiteral("1.2.3")},
        {"GetFirmwareRev without NUL", [] { return QVariant(Client::QEL_GetFirmwareRev()); },
         B({0x02, 0x01}), "1.2.3", QStringLiteral("1.2.3")},
        {"GetFirmwareRev drops one NUL only", [] { return QVariant(Client::QEL_GetFirmwareRev()); },
         B({0x02, 0x01}), QByteArray("1\0\0", 3), QString::fromLatin1("1\0", 2)},
        {"GetSerial", [] { return QVariant(Client::QEL_GetSerial()); }, B({0x03, 0x01}),
         QByteArray("123456\0", 7), QStringLiteral("123456")},
        {"GetUID", [] { return QVariant(Client::QEL_GetUID()); }, B({0x04}),
         B({0x4E, 0x56, 0, 0, 0, 1}), B({0x4E, 0x56, 0, 0, 0, 1})},
        {"GetFrameRate 2", [] { return QVariant(Client::QEL_GetFrameRate(2)); }, B({0x11}),
         B({40, 1, 44}), 1},
        {"SetFrameRate",
         [] {
             Client::QEL_SetFrameRate(30);
             return QVariant();
         },
         B({0x12, 30}),
         {},
         {}},
        {"GetMarkTime 1 ignores bit 15", [] { return QVariant(Client::QEL_GetMarkTime(1)); },
         B({0x13}), B({0x58, 0x82, 8, 0, 0xFF, 0xFF}), 600},
        {"GetMarkTime 3", [] { return QVariant(Client::QEL_GetMarkTime(3)); }, B({0x13}),
         B({0x58, 0x82, 8, 0, 0xFF, 0xFF}), 0x7FFF},
        {"SetMarkTime",
         [] {
             Client::QEL_SetMarkTime(600);
             return QVariant();
         },
         B({0x14, 0x58, 0x02}),
         {},
         {}},
        {"GetBreakTime 2", [] { return QVariant(Client::QEL_GetBreakTime(2)); }, B({0x15}),
         B({0xB0, 0x00, 0x58, 0x00, 0x10, 0x27}), 88},
        {"SetBreakTime",
         [] {
             Client::QEL_SetBreakTime(65535);
             return QVariant();
         },
         B({0x16, 0xFF, 0xFF}),
         {},
         {}},
        {"GetDelayTime 3", [] { return QVariant(Client::QEL_GetDelayTime(3)); }, B({0x17}),
         B({0, 2, 200}), 200},
        {"SetDelayTime",
         [] {
             Client::QEL_SetDelayTime(5);
             return QVariant();
         },
         B({0x18, 5}),
         {},
         {}},
        {"SendFrame",
         [] {
             Client::QEL_SendFrame(B({0x00, 1, 2, 3}));
             return QVariant();
         },
         B({0x22, 0x00, 0x00, 1, 2, 3}),
         {},
         {}},
        {"StopFrame",
         [] {
             Client::QEL_StopFrame();
             return QVariant();
         },
         B({0x23}),
         {},
         {}},
        {"SendSlot",
         [] {
             Client::QEL_SendSlot(513, 255);
             return QVariant();
         },
         B({0x25, 0x01, 0x02, 0xFF}),
         {},
         {}},
        {"SendSlot masks the level",
         [] {
             Client::QEL_SendSlot(30, 0x164);
             return QVariant();
         },
         B({0x25, 30, 0, 0x64}),
         {},
         {}},
        {"GetInput", [] { return QVariant(Client::QEL_GetInput(1)); }, B({0x28, 1}),
         B({0, 0, 10, 20}), B({0, 0, 10, 20})},
        {"StartDiscovery",
         [] {
             Client::QEL_StartDiscovery();
             return QVariant();
         },
         B({0x33}),
         {},
         {}},
        {"DiscoveryState", [] { return QVariant(Client::QEL_DiscoveryState()); }, B({0x34}),
         B({3, 1}), 0x0103},
        {"DiscoveryState short", [] { return QVariant(Client::QEL_DiscoveryState()); }, B({0x34}),
         B({3}), 0},
        {"GetDeviceUID", [] { return QVariant(Client::QEL_GetDeviceUID(2)); }, B({0x35, 2}),
         B({1, 2, 3, 4, 5, 6}), B({1, 2, 3, 4, 5, 6})},
        {"RDMGet", [] { return QVariant(Client::QEL_RDMGet(1, 0x0102, 0x00F0)); },
         B({0x38, 1, 0x01, 0x02, 0x00, 0xF0}), B({0x00, 0x01}), B({0x00, 0x01})},
        {"RDMSet",
         [] {
             return QVariant(Client::QEL_RDMSet(0, 65535, 0x8001, B({9, 8})));
         },
         B({0x39, 0, 0xFF, 0xFF, 0x80, 0x01, 9, 8}),
         {},
         QByteArray()},
        {"QueuedMessage without status type",
         [] { return QVariant(Client::QEL_QueuedMessage(3, 0)); }, B({0x3A, 3}), B({7}), B({7})},
        {"QueuedMessage with status type",
         [] { return QVariant(Client::QEL_QueuedMessage(3, 2)); },
         B({0x3A, 3, 2}),
         {},
         QByteArray()},
        {"SetBroadcastMask",
         [] {
             Client::QEL_SetBroadcastMask(0x1234);
             return QVariant();
         },
         B({0x3D, 0x12, 0x34}),
         {},
         {}},
        {"GetBuild", [] { return QVariant(Client::QEL_GetBuild()); }, B({0x4F}),
         B({0x39, 0x30, 0x00, 0x00}), 12345},
        {"GetBuild top bit", [] { return QVariant(Client::QEL_GetBuild()); }, B({0x4F}),
         B({1, 0, 0, 0x80}), 0},
        {"FactoryProbe",
         [] {
             Client::QEL_FactoryProbe(0, 1);
             return QVariant();
         },
         B({0xE0, 0, 0, 1, 0}),
         {},
         {}},
    };
    for (const CommandRow& row : rows) {
        library.requests.clear();
        library.exchanges = {{0, row.reply}};
        const QVariant result = row.call();
        ASSERT_EQ(library.requests.size(), 1u) << row.what;
        EXPECT_EQ(library.requests[0], row.request) << row.what;
        EXPECT_EQ(result, row.result) << row.what;
    }
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.pointerChanges.empty());
}

TEST_F(ClientTest, ArgumentsOutOfRangeOverflowBeforeAnythingIsSent) {
    const std::function<void()> calls[] = {
        [] { Client::QEL_RDMGet(256, 0, 0); },      [] { Client::QEL_RDMGet(-1, 0, 0); },
        [] { Client::QEL_RDMGet(0, 65536, 0); },    [] { Client::QEL_RDMSet(0, -1, 0); },
        [] { Client::QEL_RDMSet(0, 0, 65536); },    [] { Client::QEL_GetDeviceUID(256); },
        [] { Client::QEL_QueuedMessage(256, 0); },  [] { Client::QEL_SendSlot(65536, 0); },
        [] { Client::QEL_SetMarkTime(65536); },     [] { Client::QEL_SetBreakTime(-1); },
        [] { Client::QEL_SetFrameRate(256); },      [] { Client::QEL_SetDelayTime(-1); },
        [] { Client::QEL_FactoryProbe(0, 70000); }, [] { Client::QEL_Command(256); },
    };
    for (const auto& call : calls)
        EXPECT_EQ(Raised(call), kErrOverflow);
    EXPECT_TRUE(library.requests.empty());
}

TEST_F(ClientTest, RequestLongerThanTheBufferIsRefused) {
    EXPECT_EQ(Raised([] { Client::QEL_Command(0x22, QByteArray(528, 'x')); }), kErrSubscript);
    EXPECT_TRUE(library.requests.empty());
    library.exchanges = {{0, {}}};
    Client::QEL_Command(0x22, QByteArray(527, 'x'));
    EXPECT_EQ(library.requests.at(0).size(), 528);
}

TEST_F(ClientTest, ReplyLengthIsNeverTakenPastTheBuffer) {
    struct Lying : test::ScriptedLibrary {
        int32_t Command(uint8_t* buffer, int32_t* length) override {
            buffer[0] = 0xAA;
            *length = 100000;
            return 0;
        }
    } lying;
    EXPECT_EQ(Client::QEL_Command(0).size(), Client::kTransferBuffer);
}

// ---- the reply-status protocol

TEST_F(ClientTest, RemoteDeviceAskingForTimeIsWaitedForThenPolled) {
    library.exchanges = {{16, B({0x00, 0x0F})}, {0, B({0xAB, 0xCD, 0x01, 0x02})}};
    EXPECT_EQ(Client::QEL_RDMGet(5, 0, 0x0060), B({0x01, 0x02}));
    ASSERT_EQ(library.requests.size(), 2u);
    EXPECT_EQ(library.requests[1], B({0x3A, 5}));
    ASSERT_EQ(ui.waits.size(), 1u);
    EXPECT_EQ(ui.waits[0], 1500ms);
    EXPECT_EQ(ui.pointerChanges, (std::vector<bool>{true, false}));
}

TEST_F(ClientTest, FurtherWaitsStartAgain) {
    library.exchanges = {{16, B({0x01, 0x00})}, {16, B({0x00, 0x02})}, {0, B({0, 0, 9})}};
    EXPECT_EQ(Client::QEL_RDMGet(1, 0, 0x1000), B({9}));
    EXPECT_EQ(ui.waits, (std::vector<std::chrono::milliseconds>{25600ms, 200ms}));
    EXPECT_EQ(library.requests[2], B({0x3A, 1}));
    EXPECT_FALSE(ui.busyPointer());
}

TEST_F(ClientTest, ShortWaitReplyWaitsNoLongerThanItSays) {
    library.exchanges = {{16, B({0x03})}, {0, B({0, 0})}};
    EXPECT_EQ(Client::QEL_RDMGet(1, 0, 0x1000), QByteArray());
    EXPECT_EQ(ui.waits, std::vector<std::chrono::milliseconds>{76800ms});
    EXPECT_EQ(library.requests.size(), 2u);
}

TEST_F(ClientTest, PartialRepliesAreJoinedInOrder) {
    library.exchanges = {{18, B({1, 2})}, {18, B({3})}, {0, B({4, 5})}};
    EXPECT_EQ(Client::QEL_RDMGet(1, 0, 0x0050), B({1, 2, 3, 4, 5}));
    ASSERT_EQ(library.requests.size(), 3u);
    EXPECT_EQ(library.requests[1], library.requests[0]);
    EXPECT_EQ(library.requests[2], library.requests[0]);
}

TEST_F(ClientTest, PollAnswerInPartsLosesItsHeaderOnce) {
    library.exchanges = {{16, B({0, 1})}, {18, B({0x00, 0x82, 0xA, 0xB})}, {0, B({0xC, 0xD})}};
    EXPECT_EQ(Client::QEL_RDMGet(1, 0, 0x0082), B({0xA, 0xB, 0xC, 0xD}));
    EXPECT_EQ(library.requests[2], B({0x3A, 1}));
    EXPECT_EQ(ui.waits.size(), 1u);  // the deadline has passed already
}

TEST_F(ClientTest, PartialAnswerOfOnlyAPollHeaderIsNoFormatError) {
    library.exchanges = {{16, B({0, 1})}, {18, B({0x00, 0x82})}, {18, {}}, {0, B({7})}};
    EXPECT_EQ(Client::QEL_RDMGet(1, 0, 0x0082), B({7}));
}

TEST_F(ClientTest, EmptyPartialReplyWithNothingJoinedIsAFormatError) {
    library.exchanges = {{18, {}}};
    EXPECT_EQ(Raised([] { Client::QEL_RDMGet(1, 0, 0x0050); }), ErrTrap::ErrRDM_Response_Format);
    library.exchanges = {{16, B({0, 1})}, {18, {}}};
    EXPECT_EQ(Raised([] { Client::QEL_RDMGet(1, 0, 0x0050); }), ErrTrap::ErrRDM_Response_Format);
    EXPECT_FALSE(ui.busyPointer());
}

TEST_F(ClientTest, QueuedMessagesAreNotedUntilTheQueueIsRead) {
    library.exchanges = {{0, {}}};
    Client::QEL_QueuedMessage(1, 0);
    EXPECT_FALSE(Client::QEL_MessagesWaiting());

    library.exchanges = {{17, B({1, 2})}};
    EXPECT_EQ(Client::QEL_RDMGet(1, 0, 0x0060), B({1, 2}));
    EXPECT_TRUE(Client::QEL_MessagesWaiting());
    EXPECT_TRUE(Client::ReplyQueued());

    library.exchanges = {{0, {}}};
    Client::QEL_StopFrame();  // any other exchange leaves the note alone
    EXPECT_TRUE(Client::QEL_MessagesWaiting());
    EXPECT_FALSE(Client::ReplyQueued());

    library.exchanges = {{17, B({9})}};
    Client::QEL_QueuedMessage(1, 0);
    EXPECT_TRUE(Client::QEL_MessagesWaiting());
    library.exchanges = {{0, B({9})}};
    Client::QEL_QueuedMessage(1, 0);
    EXPECT_FALSE(Client::QEL_MessagesWaiting());
}

TEST_F(ClientTest, QueuedNoteEndingAWaitKeepsTheAnswerAndRestoresThePointer) {
    library.exchanges = {{16, B({0, 1})}, {17, B({0x00, 0x82, 'U', 'p'})}};
    EXPECT_EQ(Client::QEL_RDMGet(1, 0, 0x0082), QByteArray("Up"));
    EXPECT_TRUE(Client::QEL_MessagesWaiting());
    EXPECT_FALSE(ui.busyPointer());
}

TEST_F(ClientTest, UnitStatusesBecomeTheirErrors) {
    for (int status : {1, 5, 11, 15, 19, 20, 24, 32, 33, 41, 200, 255}) {
        library.exchanges = {{status, B({1})}};
        EXPECT_EQ(Raised([] { Client::QEL_GetName(); }), 4096 + status) << status;
        EXPECT_EQ(lastError.source(), QStringLiteral("Norvane-QEL.out"));
    }
}

TEST_F(ClientTest, LibraryFailuresBecomeTheirErrors) {
    struct Row {
        int32_t result;
        int32_t number;
    };
    for (const Row& row : {Row{-1, 4353}, Row{-2, 4354}, Row{-3, 4355}, Row{-4, 4356},
                           Row{-6, 4358}, Row{-12, 4364}, Row{-14, 4366}, Row{-100, 4452}}) {
        library.exchanges = {{row.result, {}}};
        EXPECT_EQ(Raised([] { Client::QEL_StopFrame(); }), row.number) << row.result;
    }
    library.exchanges = {{-3, {}}};
    Raised([] { Client::QEL_StopFrame(); });
    EXPECT_EQ(ErrTrap::ErrText(lastError.number()),
              QStringLiteral("Local device is not responding"));

    library.exchanges = {{std::numeric_limits<int32_t>::min(), {}}};
    EXPECT_TRUE(ErrTrap::IsPluginNumber(Raised([] { Client::QEL_StopFrame(); })));
}

TEST_F(ClientTest, PointerIsNormalAfterAFailureDuringAWait) {
    for (int32_t status : {-3, 4}) {
        library.exchanges = {{16, B({0, 1})}, {status, {}}};
        EXPECT_NE(Raised([] { Client::QEL_RDMGet(1, 0, 0x60); }), 0);
        EXPECT_FALSE(ui.busyPointer());
    }
}

TEST_F(ClientTest, ACallersBusyPointerStaysOnHoweverTheCommandEnds) {
    // A caller that shows the busy pointer over several commands keeps it when one of
    // them fails, with or without a wait before, and when one waits and succeeds.
    struct Row {
        std::vector<Exchange> exchanges;
        bool fails;
    };
    const Row rows[] = {{{{4, {}}}, true},
                        {{{-3, {}}}, true},
                        {{{16, B({0, 1})}, {4, {}}}, true},
                        {{{16, B({0, 1})}, {0, B({0, 0x60})}}, false}};
    for (const Row& row : rows) {
        ui.setBusyPointer(true);
        ui.pointerChanges.clear();
        library.exchanges = {row.exchanges.begin(), row.exchanges.end()};
        EXPECT_EQ(Raised([] { Client::QEL_RDMGet(1, 0, 0x60); }) != 0, row.fails);
        EXPECT_TRUE(ui.busyPointer()) << row.exchanges.size();
        EXPECT_TRUE(ui.pointerChanges.empty());
    }
}

TEST_F(ClientTest, CommandIssuedDuringAWaitCompletesAndTheOuterOneToo) {
    library.exchanges = {{16, B({0, 5})}, {0, "inner"}, {0, B({0, 0, 'o', 'k'})}};
    QString inner;
    ui.onWait = [&](std::chrono::milliseconds) { inner = Client::QEL_GetName(); };
    EXPECT_EQ(Client::QEL_RDMGet(7, 0, 0x60), QByteArray("ok"));
    EXPECT_EQ(inner, QStringLiteral("inner"));
    ASSERT_EQ(library.requests.size(), 3u);
    EXPECT_EQ(library.requests[1], B({0x00}));
    EXPECT_EQ(library.requests[2], B({0x3A, 7}));
}

TEST_F(ClientTest, WaitRunsRealWindowEvents) {
    QtUiServices qt;
    ScopedUi scope(qt);
    library.exchanges = {{16, B({0, 1})}, {0, "inner"}, {0, B({0, 0, 'o', 'k'})}};
    QString inner;
    QTimer::singleShot(10ms, [&] { inner = Client::QEL_GetName(); });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Client::QEL_RDMGet(7, 0, 0x60), QByteArray("ok"));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_EQ(inner, QStringLiteral("inner"));
    EXPECT_EQ(library.requests.at(2), B({0x3A, 7}));
}

// ---- decoders and their messages

TEST_F(ClientTest, FrameTimingReplyOfTheWrongLengthIsShownAndEndsTheOperation) {
    struct Row {
        std::function<void()> call;
        int length;
        const char* title;
    };
    const Row rows[] = {
        {[] { Client::QEL_GetFrameRate(1); }, 2, "Get Frame Rate"},
        {[] { Client::QEL_GetFrameRate(1); }, 4, "Get Frame Rate"},
        {[] { Client::QEL_GetMarkTime(1); }, 5, "Get Mark Time"},
        {[] { Client::QEL_GetBreakTime(3); }, 0, "Get Break Time"},
        {[] { Client::QEL_GetDelayTime(2); }, 7, "Get Delay Time"},
    };
    for (const Row& row : rows) {
        ui.messages.clear();
        library.exchanges = {{0, QByteArray(row.length, '\x01')}};
        EXPECT_EQ(Raised(row.call), ErrTrap::ErrAPI_Response_Format);
        EXPECT_TRUE(lastError.shown());
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, QString::fromUtf8(row.title));
        EXPECT_EQ(ui.messages[0].text, QStringLiteral("Un expected response from Local device"));
        EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
    }
}

TEST_F(ClientTest, FrameTimingItemOutsideOneToThree) {
    EXPECT_EQ(Raised([] { Client::QEL_GetMarkTime(4); }), kErrSubscript);
    EXPECT_EQ(Raised([] { Client::QEL_GetFrameRate(0); }), kErrSubscript);
}

TEST_F(ClientTest, BuildOfTheWrongLengthShowsAMessageAndReadsZero) {
    for (int length : {0, 3, 5}) {
        ui.messages.clear();
        library.exchanges = {{0, QByteArray(length, '\x01')}};
        EXPECT_EQ(Client::QEL_GetBuild(), 0);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, QStringLiteral("Firmware Build N\u00B0"));
        EXPECT_EQ(ui.messages[0].text, QStringLiteral("Unexpected response form device"));
        EXPECT_EQ(ui.messages[0].buttons, MsgButtons::Ok);
    }
    library.exchanges = {{-3, {}}};
    EXPECT_EQ(Raised([] { Client::QEL_GetBuild(); }), ErrTrap::ErrAPI_Response_Missing);
}

TEST_F(ClientTest, ModelOfAUnitThatDoesNotKnowIsOne) {
    library.exchanges = {{5, {}}};
    EXPECT_EQ(Client::QEL_GetModel(), 1);
    library.exchanges = {{0, B({0x00, 0x80})}};
    EXPECT_EQ(Raised([] { Client::QEL_GetModel(); }), kErrOverflow);
    library.exchanges = {{0, B({0x07})}};
    EXPECT_EQ(Raised([] { Client::QEL_GetModel(); }), ErrTrap::ErrAPI_Response_Short);
    library.exchanges = {{4, {}}};
    EXPECT_EQ(Raised([] { Client::QEL_GetModel(); }), 4100);
}

TEST_F(ClientTest, BroadcastMaskOutOfRangeIsRefusedWithoutSending) {
    for (int64_t mask : {int64_t{65536}, int64_t{1} << 40, int64_t{-1}}) {
        ui.messages.clear();
        Client::QEL_SetBroadcastMask(mask);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, QStringLiteral("Broadcast Mask value is out of range"));
        EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
    }
    EXPECT_TRUE(library.requests.empty());
}

// ---- the library's other exports

TEST_F(ClientTest, LibraryWrappers) {
    library.portNames = {QStringLiteral("DMX-QEL A"), QStringLiteral("DMX-QEL B")};
    EXPECT_EQ(Client::API_GetPortCount(), 2);
    EXPECT_EQ(Client::API_GetPortName(2), QStringLiteral("DMX-QEL B"));
    library.version = QStringLiteral("QELIO32 1.0");
    EXPECT_EQ(Client::API_Version(), QStringLiteral("QELIO32 1.0"));
    Client::USB_OpenPort(2);
    Client::USB_Disconnect();
    EXPECT_EQ(library.opened, std::vector<int32_t>{2});
    EXPECT_EQ(library.freed, 1);
    Client::QEL_ReProgram(QStringLiteral("/tmp/fw.hex"));
    EXPECT_EQ(library.reprogrammed.at(0), QByteArray("/tmp/fw.hex"));
    library.progState = 42;
    EXPECT_EQ(Client::QEL_ProgStatus(), 42);
}

TEST_F(ClientTest, LibraryWrapperFailuresNameTheirSource) {
    struct Row {
        std::function<void()> call;
        std::function<void()> fail;
        const char* source;
    };
    const Row rows[] = {
        {[] { Client::API_GetPortCount(); }, [this] { library.portCountResult = -2; },
         "API-GetPortCount"},
        {[] { Client::API_GetPortName(1); }, [this] { library.portNameResult = -14; },
         "API-GetPortName"},
        {[] { Client::USB_OpenPort(1); }, [this] { library.openResult = -1; }, "USB-OpenPort"},
        {[] { Client::USB_Disconnect(); }, [this] { library.freeResult = -1; }, "USB-Disconnect"},
        {[] { Client::QEL_ReProgram(QStringLiteral("x")); },
         [this] { library.reprogramResult = -7; }, "QEL_ReProgram"},
        {[] { Client::QEL_ProgStatus(); }, [this] { library.progState = -8; }, "QEL_ProgStatus"},
        {[] { Client::API_Version(); }, [this] { library.versionResult = -12; }, "Norvane-QEL.out"},
    };
    for (const Row& row : rows) {
        row.fail();
        EXPECT_GT(Raised(row.call), 4352) << row.source;
        EXPECT_EQ(lastError.source(), QString::fromUtf8(row.source));
    }
}

TEST_F(ClientTest, TextResultsStopAtTheirBuffer) {
    struct Long : test::ScriptedLibrary {
        int32_t PortName(int32_t, char* buffer, int32_t size) override {
            std::fill(buffer, buffer + size, 'x');
            return 1000;
        }
        int32_t LastError(char*, int32_t) override { return -12; }
    } lying;
    EXPECT_EQ(Client::API_GetPortName(1).size(), 64);
    EXPECT_EQ(Client::API_LastError(), QString());
}

TEST(SharedLibraryBindingTest, MissingLibraryIsAnErrorNotACrash) {
    SharedLibraryBinding binding(QStringLiteral("/nonexistent/libqelio32.so"));
    try {
        binding.PortCount();
        FAIL();
    } catch (const PluginError& e) {
        EXPECT_EQ(e.number(), kErrFileNotFound);
        EXPECT_TRUE(e.description().startsWith(
            QStringLiteral("File not found: /nonexistent/libqelio32.so")));
    }
}

TEST(SharedLibraryBindingTest, MissingExportIsAnErrorNotACrash) {
    SharedLibraryBinding binding(QStringLiteral("libm.so.6"));
    try {
        binding.ProgState();
        FAIL();
    } catch (const PluginError& e) {
        EXPECT_EQ(e.number(), kErrEntryPoint);
        EXPECT_EQ(e.description(),
                  QStringLiteral("Can't find DLL entry point QIO_ProgState in libqelio32.so"));
    }
}

}  // namespace
}  // namespace qel
