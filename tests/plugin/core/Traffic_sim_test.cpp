// The controller, port manager and input task against a simulated unit, through the
// library's real code: levels reach the unit's output frame, received frames reach the
// host's helper, and a unit that goes away is reported once.
#include "core/AUF_Registry.h"
#include "core/ErrTrap.h"
#include "core/HostSettings.h"
#include "core/IO_Tasks.h"
#include "core/UDC_Control.h"
#include "simsupport/Levels.h"
#include "simsupport/SimUnitLibrary.h"
#include "support/InputHelper.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace qel {
namespace {

const QString kHost = QStringLiteral("SimHost");
const QString kSection = QStringLiteral("Plugins\\Norvane-QEL.out.so");

class TrafficTest : public ::testing::Test {
  protected:
    TrafficTest() {
        AUF_Registry::SaveValue("PortUsed", QString());
        HostSettings::SaveSetting(kHost, kSection, "DMXInActive", "False");
        control.Initialise(&helper, kHost, kSection);
    }

    void Connect() {
        FDF_Port& port = control.Port();
        ASSERT_EQ(port.Items(), 1);
        port.SetIndex(1);
        port.Seize();
        ASSERT_TRUE(port.InUse());
    }

    test::ScriptedUi ui;
    test::SimUnitLibrary unit;
    InputHelper helper;
    IO_Tasks tasks;
    UDC_Control control;
};

using test::Levels;

TEST_F(TrafficTest, ConnectingProbesTheUnitAndRemembersIt) {
    Connect();
    EXPECT_EQ(control.Port().PortName(), "DMX-QEL");
    EXPECT_EQ(AUF_Registry::LoadText("PortUsed"), "DMX-QEL");
    EXPECT_EQ(AUF_Registry::LoadInt("DeviceModel"), 3);
    EXPECT_FALSE(control.Port().IState().Factory());
    EXPECT_FALSE(control.Port().IState().Updates());  // no firmware known for model 3

    // Next time the unit is found by its name.
    control.Port().Release();
    FDF_Port later;
    EXPECT_TRUE(later.Ready());
    EXPECT_EQ(later.Index(), 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TrafficTest, LevelsReachTheUnitsOutputFrame) {
    Connect();
    control.Update(1, 255);  // before Begin: kept
    control.Begin();
    EXPECT_EQ(unit.OutputLevels(), Levels({{1, 255}}, 24));
    control.Update(30, 200);  // the frame grows
    EXPECT_EQ(unit.OutputLevels(), Levels({{1, 255}, {30, 200}}, 30));
    control.Update(30, 100);
    control.Update(2, 7);
    EXPECT_EQ(unit.OutputLevels(), Levels({{1, 255}, {2, 7}, {30, 100}}, 30));
    control.Update(512, 77);
    EXPECT_EQ(unit.OutputLevels().size(), 512u);
    EXPECT_EQ(static_cast<uint8_t>(unit.OutputLevels()[511]), 77);

    control.Pause();
    EXPECT_EQ(unit.OutputLevels(), "");  // the unit stopped sending
    control.Update(3, 9);
    control.Begin();
    EXPECT_EQ(static_cast<uint8_t>(unit.OutputLevels()[2]), 9);
    control.Finish();
    EXPECT_EQ(unit.OutputLevels(), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(TrafficTest, ReceivedFramesReachTheHelper) {
    Connect();
    unit.UseScriptedInput();
    control.SetMode(1);
    control.Begin();
    ASSERT_TRUE(tasks.Task_IP().isActive());

    unit.Receive(0, "\x10\x20\x30");
    tasks.Tick();
    EXPECT_EQ(helper.received, (std::vector<std::pair<int, int>>{{1, 16}, {2, 32}, {3, 48}}));

    helper.received.clear();
    tasks.Tick();  // nothing new on the line
    EXPECT_TRUE(helper.received.empty());

    unit.LoseSignal();
    tasks.Tick();
    EXPECT_EQ(helper.received.size(), 512u);

    unit.Receive(0xCC, "\x01\x02");
    helper.received.clear();
    tasks.Tick();
    EXPECT_TRUE(helper.received.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Alternate Start Code (204)");
    EXPECT_EQ(ui.messages[0].text, "01 02");

    control.Finish();
    EXPECT_FALSE(tasks.Task_IP().isActive());
}

TEST_F(TrafficTest, AUnitPulledOutDuringOutputIsReportedOnceAndWorksAfterReconnecting) {
    Connect();
    control.Begin();
    unit.Unplug();
    int failures = 0;
    for (int level = 1; level <= 5; ++level) {
        try {
            control.Update(1, level);
        } catch (const PluginError& e) {
            ++failures;
            EXPECT_GT(e.number(), ErrTrap::kLibraryBase);
        }
    }
    EXPECT_EQ(failures, 1);
    EXPECT_FALSE(control.Active());

    // Plugged in again: the person disconnects and connects, and output starts again
    // with the levels the host sent meanwhile.
    unit.Replug();
    control.Port().Release();
    Connect();
    control.Begin();
    EXPECT_EQ(unit.OutputLevels(), Levels({{1, 5}}, 24));
    EXPECT_TRUE(ui.messages.empty());  // the callers show failures, once
}

TEST_F(TrafficTest, AUnitPulledOutDuringInputStopsThePollWithOneMessage) {
    Connect();
    control.SetMode(1);
    control.Begin();
    unit.Unplug();
    tasks.Tick();
    EXPECT_FALSE(tasks.Task_IP().isActive());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "IO_Tasks - Input");
}

}  // namespace
}  // namespace qel
