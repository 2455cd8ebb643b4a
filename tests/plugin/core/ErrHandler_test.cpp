#include "core/ErrHandler.h"
#include "support/ScriptedLibrary.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace qel {
namespace {

using namespace ErrTrap;

[[noreturn]] void Fail(int32_t number) {
    ErrRaise(number & 0xFFF);
}

class ErrHandlerTest : public ::testing::Test {
  protected:
    // The number and shown flag of what left `f`, or 0 when nothing did.
    template <typename F>
    int32_t Escaped(F f, bool* shown = nullptr) {
        try {
            f();
        } catch (const PluginError& e) {
            if (shown != nullptr) *shown = e.shown();
            return e.number();
        }
        return 0;
    }

    test::ScriptedUi ui;
    test::ScriptedLibrary library;
};

TEST_F(ErrHandlerTest, BodyThatSucceedsGivesItsResult) {
    Handler h{"C.P"};
    EXPECT_EQ(h.run([] { return 7; }), std::optional<int>(7));
    EXPECT_TRUE(h.run([] {}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ErrHandlerTest, LocalErrorIsShownOnceAndAbsorbed) {
    Handler h{"FDF_Port.Seize"};
    bool after = false;
    const bool completed = h.run([&] {
        LocalError(QStringLiteral("No port elected to enguage"));
        after = true;
    });
    EXPECT_FALSE(completed);
    EXPECT_FALSE(after);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("FDF_Port.Seize"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("No port elected to enguage"));
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Information);
}

TEST_F(ErrHandlerTest, AnythingElseIsShownThenPassedOnAndNotShownAgainAbove) {
    Handler inner{"Inner.Proc"};
    Handler outer{"Outer.Proc"};
    bool shown = false;
    const int32_t number =
        Escaped([&] { outer.run([&] { inner.run([] { Fail(ErrQEL_SystemBusy); }); }); }, &shown);
    EXPECT_EQ(number, ErrQEL_SystemBusy);
    EXPECT_TRUE(shown);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Inner.Proc"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("The local device is Busy"));
}

TEST_F(ErrHandlerTest, PassOnWithoutMessage) {
    Handler h{"C.P", {On(ErrAPI_DeviceMissig).passOn()}};
    bool shown = true;
    EXPECT_EQ(Escaped([&] { h.run([] { Fail(ErrAPI_DeviceMissig); }); }, &shown),
              ErrAPI_DeviceMissig);
    EXPECT_FALSE(shown);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ErrHandlerTest, RetryRunsTheFailedStepAgainAndTheBodyGoesOn) {
    Handler h{"View.Timer",
              {On(ErrAPI_Connection, ErrAPI_Response_Missing).ask().raise(ErrSYS_Comms)}};
    int before = 0;
    int attempts = 0;
    int after = 0;
    ui.answers = {MsgAnswer::Retry, MsgAnswer::Retry};
    const std::optional<int> result = h.run([&] {
        ++before;
        const int value = h.step([&] {
            if (++attempts < 3) Fail(attempts == 1 ? ErrAPI_Connection : ErrAPI_Response_Missing);
            return 42;
        });
        ++after;
        return value;
    });
    EXPECT_EQ(result, std::optional<int>(42));
    EXPECT_EQ(before, 1);
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(after, 1);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("View.Timer"));
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::RetryCancel);
    EXPECT_EQ(ui.messages[1].text, QStringLiteral("Local device is not responding"));
}

TEST_F(ErrHandlerTest, CancelConvertsToTheCaseNumber) {
    Handler h{"C.P", {On(ErrAPI_Response_Missing).ask("Device Discovery").raise(ErrSYS_Comms)}};
    ui.answers = {MsgAnswer::Cancel};
    int attempts = 0;
    bool shown = true;
    EXPECT_EQ(Escaped(
                  [&] {
                      h.run([&] {
                          h.step([&] {
                              ++attempts;
                              Fail(ErrAPI_Response_Missing);
                          });
                      });
                  },
                  &shown),
              ErrSYS_Comms);
    EXPECT_EQ(attempts, 1);
    EXPECT_FALSE(shown);  // a new error: the caller reports it
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Device Discovery"));
}

TEST_F(ErrHandlerTest, RetryOutsideAnyStepRunsTheWholeBodyAgain) {
    Handler h{"C.P", {On(ErrAPI_Connection).ask().raise(ErrSYS_Comms)}};
    ui.answers = {MsgAnswer::Retry};
    int runs = 0;
    EXPECT_TRUE(h.run([&] {
        if (++runs == 1) Fail(ErrAPI_Connection);
    }));
    EXPECT_EQ(runs, 2);
}

TEST_F(ErrHandlerTest, CaseActionRunsAndEndsTheProcedure) {
    int closedWith = 0;
    Handler h{
        "Device_Manager.Identify",
        {On(ErrAPI_DeviceMissig).then([&](const PluginError& e) { closedWith = e.number(); })}};
    EXPECT_FALSE(h.run([] { Fail(ErrAPI_DeviceMissig); }));
    EXPECT_EQ(closedWith, ErrAPI_DeviceMissig);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ErrHandlerTest, CaseActionMayRaise) {
    Handler h{"C.P",
              {On(ErrRDM_Response_Format)
                   .show("Remote Device Initialisation")
                   .then([](const PluginError&) { Fail(ErrSYS_Device); })}};
    EXPECT_EQ(Escaped([&] { h.run([] { Fail(ErrRDM_Response_Format); }); }), ErrSYS_Device);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Remote Device Initialisation"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Error in received RDM Frame format"));
}

TEST_F(ErrHandlerTest, OwnCasesComeBeforeTheDefaults) {
    Handler h{"C.P", {On(ErrSYS_Local).passOn(), Otherwise().absorb()}};
    EXPECT_EQ(Escaped([&] { h.run([] { LocalError(QStringLiteral("x")); }); }), ErrSYS_Local);
    EXPECT_FALSE(h.run([] { Fail(ErrQEL_SystemBusy); }));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ErrHandlerTest, ZeroSelectsRunTimeErrors) {
    Handler h{"C.P", {On(0).show("Arithmetic").absorb()}};
    EXPECT_FALSE(h.run([] { throw RunTimeError(kErrOverflow); }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Arithmetic"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Overflow"));
}

TEST_F(ErrHandlerTest, ForeignExceptionsAreShownAndPassedOnAsRunTimeErrors) {
    Handler h{"C.P"};
    EXPECT_EQ(Escaped([&] { h.run([] { throw std::runtime_error("boom"); }); }), kErrInternal);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains(QStringLiteral("boom")));
}

TEST_F(ErrHandlerTest, EventEntryPointsNeverThrowAndShowOnce) {
    Handler inner{"Inner.P"};
    Handler tick{"View.Timer_Tick"};
    EXPECT_FALSE(tick.runInEvent([&] { inner.run([] { Fail(ErrQEL_SystemBusy); }); }));
    EXPECT_EQ(ui.messages.size(), 1u);

    Handler quiet{"View.Click", {On(ErrAPI_DeviceMissig).passOn()}};
    EXPECT_EQ(quiet.runInEvent([]() -> int { Fail(ErrAPI_DeviceMissig); }), std::nullopt);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].title, QStringLiteral("View.Click"));
    EXPECT_EQ(ui.messages[1].text, QStringLiteral("Local device has been disconnected"));
}

TEST_F(ErrHandlerTest, StepOutsideItsRunIsRefused) {
    Handler h{"C.P"};
    try {
        h.step([] {});
        FAIL();
    } catch (const PluginError& e) {
        EXPECT_EQ(e.number(), kErrInternal);
    }
}

TEST_F(ErrHandlerTest, OuterStepUsedInsideAnInnerHandlerGoesToItsOwnRun) {
    Handler outer{"Outer.P", {On(ErrAPI_Connection).absorb()}};
    Handler inner{"Inner.P", {Otherwise().absorb()}};
    bool bodyWentOn = false;
    EXPECT_FALSE(outer.run([&] {
        inner.run([&] { outer.step([] { Fail(ErrAPI_Connection); }); });
        bodyWentOn = true;
    }));
    EXPECT_FALSE(bodyWentOn);
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace qel
