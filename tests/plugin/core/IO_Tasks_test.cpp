// The input task against a scripted unit: what each kind of received-DMX record
// delivers to the host's helper, and how failures stop the poll.
#include "core/IO_Tasks.h"
#include "core/ErrTrap.h"
#include "support/InputHelper.h"
#include "support/ScriptedLibrary.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace qel {
namespace {

using test::Exchange;

QByteArray B(const char* hex) {
    return QByteArray::fromHex(hex);
}

class IO_TasksTest : public ::testing::Test {
  protected:
    IO_TasksTest() { tasks.Begin(&helper); }

    test::ScriptedUi ui;
    test::ScriptedLibrary library;
    InputHelper helper;
    IO_Tasks tasks;
};

TEST_F(IO_TasksTest, IsAHiddenWindowWithA200msTimer) {
    EXPECT_EQ(tasks.objectName(), "IO_Tasks");
    EXPECT_FALSE(tasks.isVisible());
    EXPECT_EQ(tasks.Task_IP().objectName(), "Task_IP");
    EXPECT_EQ(tasks.Task_IP().interval(), 200);
    EXPECT_TRUE(tasks.Task_IP().isActive());
}

TEST_F(IO_TasksTest, DeliversEachKindOfRecord) {
    using Levels = std::vector<std::pair<int, int>>;
    Levels cleared;
    for (int slot = 1; slot <= 512; ++slot)
        cleared.emplace_back(slot, 0);
    const struct {
        const char* what;
        QByteArray record;
        Levels delivered;
    } cases[] = {
        {"a frame", B("00 00 10 20"), {{1, 16}, {2, 32}}},
        {"the latest of several frames", B("01 00 FF"), {{1, 255}}},
        {"nothing new", B("02"), {}},
        {"signal lost", B("03"), cleared},
        {"an unknown status", B("07 00 10"), {}},
        {"an empty record", QByteArray(), {}},
        {"a frame without levels", B("00 00"), {}},
    };
    for (const auto& c : cases) {
        helper.received.clear();
        library.exchanges = {{0, c.record}};
        tasks.Tick();
        EXPECT_EQ(helper.received, c.delivered) << c.what;
        EXPECT_TRUE(tasks.Task_IP().isActive()) << c.what;
    }
    // Every tick asks for the input with selector 1.
    EXPECT_EQ(library.requests.front(), B("28 01"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(IO_TasksTest, AnAlternateStartCodeIsShownNotDelivered) {
    library.exchanges = {{0, B("00 CC 0A FF 03")}};
    tasks.Tick();
    EXPECT_TRUE(helper.received.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Alternate Start Code (204)");
    EXPECT_EQ(ui.messages[0].text, "0A FF 03");
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(tasks.Task_IP().isActive());
}

TEST_F(IO_TasksTest, FinishStopsThePollAndBeginStartsItAgain) {
    tasks.Finish();
    EXPECT_FALSE(tasks.Task_IP().isActive());
    EXPECT_FALSE(tasks.Polling());

    // A Finish from inside a tick (the host disables while levels are delivered) makes
    // that tick the last.
    tasks.Begin(&helper);
    library.exchanges = {{0, B("00 00 10")}};
    library.onCommand = [&](const QByteArray&) { tasks.Finish(); };
    tasks.Tick();
    EXPECT_FALSE(tasks.Task_IP().isActive());
    library.onCommand = nullptr;

    tasks.Begin(&helper);
    EXPECT_TRUE(tasks.Task_IP().isActive());
}

TEST_F(IO_TasksTest, ANotRespondingUnitIsAskedAboutUntilCancel) {
    library.exchanges = {{-3, {}}, {0, B("00 00 05")}};
    ui.answers = {MsgAnswer::Retry};
    tasks.Tick();
    // Retry asked the unit again, and the tick went on.
    EXPECT_EQ(helper.received, (std::vector<std::pair<int, int>>{{1, 5}}));
    EXPECT_TRUE(tasks.Task_IP().isActive());

    library.exchanges = {{-1, {}}};
    ui.answers = {MsgAnswer::Cancel};
    tasks.Tick();
    EXPECT_FALSE(tasks.Task_IP().isActive());
    ASSERT_EQ(ui.messages.size(), 2u);  // one question per failed tick, nothing more
    for (const auto& m : ui.messages) {
        EXPECT_EQ(m.title, "IO_Tasks - Input");
        EXPECT_EQ(m.buttons, MsgButtons::RetryCancel);
    }
    EXPECT_EQ(ui.messages[1].text,
              "Problem with connection to Equipment\nIf problem persists then check USB cables");
}

TEST_F(IO_TasksTest, OtherFailuresAreShownOnceAndStopThePoll) {
    const struct {
        int32_t status;
        const char* text;
    } cases[] = {{-2, "Local device has been disconnected"},
                 {4, "A frame sent to the local device is incorrectly formatted"}};
    for (const auto& c : cases) {
        tasks.Begin(&helper);
        ui.messages.clear();
        library.exchanges = {{c.status, {}}};
        tasks.Tick();
        EXPECT_FALSE(tasks.Task_IP().isActive()) << c.text;
        ASSERT_EQ(ui.messages.size(), 1u) << c.text;
        EXPECT_EQ(ui.messages[0].text, c.text);
        EXPECT_EQ(ui.messages[0].buttons, MsgButtons::Ok);
    }
}

TEST_F(IO_TasksTest, AHelperWithoutTheMethodOrGoneIsAFailureNotACrash) {
    QObject plain;
    auto* gone = new InputHelper;
    const struct {
        QObject* helper;
        bool destroy;
    } cases[] = {{&plain, false}, {gone, true}};
    for (const auto& c : cases) {
        tasks.Begin(c.helper);
        if (c.destroy) delete c.helper;
        ui.messages.clear();
        library.exchanges = {{0, B("00 00 10")}};
        tasks.Tick();
        EXPECT_FALSE(tasks.Task_IP().isActive());
        EXPECT_EQ(ui.messages.size(), 1u);
    }
}

}  // namespace
}  // namespace qel
