// The controller against a scripted unit: the output universe and its frame, the mode
// and its setting, and Begin / Pause / Finish in both modes.
#include "core/UDC_Control.h"
#include "core/ErrTrap.h"
#include "core/HostSettings.h"
#include "core/IO_Tasks.h"
#include "support/InputHelper.h"
#include "support/ScriptedLibrary.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace qel {
namespace {

const QString kApp = QStringLiteral("TestHost");
const QString kSection = QStringLiteral("Plugins\\Norvane-QEL.out.so");

QByteArray Frame(std::initializer_list<std::pair<int, int>> levels, int length) {
    QByteArray request("\x22\x00\x00", 3);
    request.append(QByteArray(length, '\0'));
    for (auto [slot, level] : levels)
        request[2 + slot] = static_cast<char>(level);
    return request;
}

class UDC_ControlTest : public ::testing::Test {
  protected:
    UDC_ControlTest() {
        HostSettings::SaveSetting(kApp, kSection, "DMXInActive", "False");
        control.Initialise(&helper, kApp, kSection);
    }

    // Each command the controller sends is answered with status 0.
    void Answer(int count) {
        for (int i = 0; i < count; ++i)
            library.exchanges.push_back({0, {}});
    }

    test::ScriptedUi ui;
    test::ScriptedLibrary library;
    InputHelper helper;
    UDC_Control control;
};

TEST_F(UDC_ControlTest, BeginSendsTheWholeFrame) {
    EXPECT_EQ(control.DataClass(), "UDC_Control");
    Answer(1);
    control.Begin();
    ASSERT_EQ(library.requests.size(), 1u);
    EXPECT_EQ(library.requests[0], Frame({}, 24));
    EXPECT_EQ(library.requests[0].size(), 27);
    EXPECT_TRUE(control.Active());
}

TEST_F(UDC_ControlTest, TheFrameGrowsToTheHighestSlotAndSlotsGoAlone) {
    Answer(4);
    control.Begin();
    control.Update(30, 200);
    control.Update(30, 100);
    control.Update(5, 7);
    ASSERT_EQ(library.requests.size(), 4u);
    EXPECT_EQ(library.requests[1], Frame({{30, 200}}, 30));
    EXPECT_EQ(library.requests[2], QByteArray("\x25\x1E\x00\x64", 4));
    EXPECT_EQ(library.requests[3], QByteArray("\x25\x05\x00\x07", 4));
    EXPECT_EQ(control.FrameLength(), 30);

    // Paused and started again: the frame keeps its length and every level.
    Answer(2);
    control.Pause();
    control.Begin();
    EXPECT_EQ(library.requests[4], QByteArray(1, '\x23'));
    EXPECT_EQ(library.requests[5], Frame({{5, 7}, {30, 100}}, 30));

    Answer(2);
    control.Update(512, 1);
    control.Update(513 - 1, 2);
    EXPECT_EQ(library.requests[6].size(), 3 + 512);
    EXPECT_EQ(library.requests[7], QByteArray("\x25\x00\x02\x02", 4));
}

TEST_F(UDC_ControlTest, LevelsSetWhilePausedOrStoppedGoOutWithTheNextBegin) {
    control.Update(3, 33);  // stopped
    Answer(2);
    control.Begin();
    control.Pause();
    control.Update(4, 44);   // paused
    control.Update(100, 1);  // beyond the frame: it grows to carry the level
    EXPECT_EQ(library.requests.size(), 2u);
    Answer(1);
    control.Begin();
    EXPECT_EQ(library.requests.back(), Frame({{3, 33}, {4, 44}, {100, 1}}, 100));
    EXPECT_EQ(control.FrameLength(), 100);
}

TEST_F(UDC_ControlTest, PauseAndFinishSendWhatTheStateNeeds) {
    control.Pause();
    control.Finish();
    EXPECT_TRUE(library.requests.empty());  // stopped: nothing to stop

    Answer(2);
    control.Begin();
    control.Pause();
    control.Pause();   // already paused
    control.Finish();  // after Pause: nothing more
    EXPECT_EQ(library.requests.size(), 2u);
    EXPECT_FALSE(control.Active());

    Answer(2);
    control.Begin();
    control.Finish();
    EXPECT_EQ(library.requests.back(), QByteArray(1, '\x23'));
    EXPECT_FALSE(control.Active());
}

TEST_F(UDC_ControlTest, ModeIsStoredOncePerChange) {
    control.SetMode(1);
    EXPECT_EQ(HostSettings::GetSetting(kApp, kSection, "DMXInActive"), "True");
    // Overwritten behind its back: writing the same mode again writes nothing.
    HostSettings::SaveSetting(kApp, kSection, "DMXInActive", "untouched");
    control.SetMode(1);
    EXPECT_EQ(HostSettings::GetSetting(kApp, kSection, "DMXInActive"), "untouched");
    control.SetMode(0);
    EXPECT_EQ(HostSettings::GetSetting(kApp, kSection, "DMXInActive"), "False");
    EXPECT_EQ(control.Mode(), 0);
}

TEST_F(UDC_ControlTest, InitialiseReadsTheStoredMode) {
    const struct {
        const char* stored;
        int mode;
    } cases[] = {{"True", 1}, {"false", 0}, {"TRUE", 1}, {"0", 0}, {"-1", 1}};
    for (const auto& c : cases) {
        HostSettings::SaveSetting(kApp, kSection, "DMXInActive", c.stored);
        UDC_Control fresh;
        fresh.Initialise(&helper, kApp, kSection);
        EXPECT_EQ(fresh.Mode(), c.mode) << c.stored;
    }
    HostSettings::SaveSetting(kApp, kSection, "DMXInActive", "sometimes");
    UDC_Control fresh;
    try {
        fresh.Initialise(&helper, kApp, kSection);
        ADD_FAILURE() << "no failure";
    } catch (const PluginError& e) {
        EXPECT_EQ(e.number(), kErrTypeMismatch);
    }
    // Nothing stored: output.
    UDC_Control other;
    other.Initialise(&helper, kApp, QStringLiteral("Plugins\\Other.so"));
    EXPECT_EQ(other.Mode(), 0);
}

TEST_F(UDC_ControlTest, InputModeRunsTheInputTask) {
    IO_Tasks tasks;
    control.SetMode(1);
    control.Begin();
    EXPECT_TRUE(tasks.Task_IP().isActive());
    control.Pause();
    EXPECT_FALSE(tasks.Task_IP().isActive());
    control.Begin();
    EXPECT_TRUE(tasks.Task_IP().isActive());
    control.Finish();
    EXPECT_FALSE(tasks.Task_IP().isActive());
    EXPECT_TRUE(library.requests.empty());  // the task sends; the controller does not

    // The helper given at Initialise is the one the task delivers to.
    control.Begin();
    library.exchanges = {{0, QByteArray("\x00\x00\x09", 3)}};
    tasks.Tick();
    EXPECT_EQ(helper.received, (std::vector<std::pair<int, int>>{{1, 9}}));
    control.Finish();
}

TEST_F(UDC_ControlTest, AMissingInputTaskIsShownAndFails) {
    control.SetMode(1);
    EXPECT_THROW(control.Begin(), PluginError);
    EXPECT_FALSE(control.Active());
    ASSERT_GE(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Form \"IO_Tasks\" not found");
}

TEST_F(UDC_ControlTest, AFailedBeginIsShownUnderStartFunction) {
    library.exchanges = {{-3, {}}};
    try {
        control.Begin();
        ADD_FAILURE() << "no failure";
    } catch (const PluginError& e) {
        EXPECT_EQ(e.number(), ErrTrap::ErrAPI_Response_Missing);
    }
    EXPECT_FALSE(control.Active());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Norvane DMX-QEL Plugin - Start Function");
}

TEST_F(UDC_ControlTest, AUnitThatWentAwayEndsTheTrafficOnce) {
    Answer(1);
    control.Begin();
    library.exchanges = {{-2, {}}};
    EXPECT_THROW(control.Update(1, 10), PluginError);
    EXPECT_FALSE(control.Active());
    // Further levels are kept, not sent: one failure, not one per level.
    control.Update(1, 20);
    control.Update(40, 30);
    EXPECT_EQ(library.requests.size(), 2u);
    // Started again, the frame carries what the host sent meanwhile.
    Answer(1);
    control.Begin();
    EXPECT_EQ(library.requests.back(), Frame({{1, 20}, {40, 30}}, 40));

    // A refusal by the unit itself is no lost unit: traffic goes on.
    library.exchanges = {{1, {}}};
    EXPECT_THROW(control.Update(2, 1), PluginError);
    EXPECT_TRUE(control.Active());
}

TEST_F(UDC_ControlTest, ASlotOutsideTheUniverseIsRefused) {
    for (int slot : {0, 513}) {
        try {
            control.Update(slot, 1);
            ADD_FAILURE() << slot;
        } catch (const PluginError& e) {
            EXPECT_EQ(e.number(), kErrSubscript);
        }
    }
}

}  // namespace
}  // namespace qel
