// The host's side of the interface: finding the methods by name, the calling order,
// failures the plugin reports, and what the helper takes.
#include "FakePlugin.h"
#include "HostHelper.h"
#include "HostOptions.h"
#include "HostSession.h"
#include "HostedPlugin.h"

#include <gtest/gtest.h>

namespace {

PluginEntry FakeEntry() {
    return {"/nowhere/Fake.so", "Fake.so", {}};
}

TEST(HostedPlugin, FindsTheSevenMethodsByName) {
    FakePlugin fake;
    HostedPlugin plugin(&fake);
    EXPECT_TRUE(plugin.missingMethods().isEmpty());

    IncompletePlugin incomplete;
    HostedPlugin other(&incomplete);
    EXPECT_EQ(other.missingMethods(), QStringList{"SetChannel(int,int)"});
    EXPECT_FALSE(other.SetChannel(1, 2).has_value());
    EXPECT_FALSE(other.lastCall().succeeded);
    EXPECT_TRUE(other.lastCall().error.contains("SetChannel(int,int)"));
}

TEST(HostedPlugin, ReportsEachCallWithItsOutcome) {
    FakePlugin fake;
    HostedPlugin plugin(&fake);
    QStringList log;
    QObject::connect(&plugin, &HostedPlugin::called,
                     [&](const PluginCall& call) { log << call.describe(); });

    EXPECT_EQ(plugin.PluginName(), QString("Fake Plugin"));
    EXPECT_EQ(plugin.SetChannel(30, 200), true);
    fake.failing = "SetChannel";
    EXPECT_FALSE(plugin.SetChannel(31, 1).has_value());
    EXPECT_EQ(plugin.lastCall().errorNumber, 4355);

    EXPECT_EQ(log,
              (QStringList{"PluginName() -> \"Fake Plugin\"", "SetChannel(30, 200) -> true",
                           "SetChannel(31, 1) failed (4355): Local device is not responding"}));
}

TEST(HostedPlugin, ACallMadeDuringAnotherKeepsBothRecords) {
    FakePlugin fake;
    HostedPlugin plugin(&fake);
    QStringList log;
    QObject::connect(&plugin, &HostedPlugin::called,
                     [&](const PluginCall& call) { log << call.describe(); });
    bool busyInside = false;
    fake.duringConfigure = [&] {
        busyInside = plugin.busy();
        plugin.SetChannel(1, 2);
    };
    EXPECT_EQ(plugin.Configure(), true);
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(plugin.busy());
    EXPECT_EQ(log, (QStringList{"SetChannel(1, 2) -> true", "Configure() -> true"}));
    EXPECT_EQ(plugin.lastCall().method, "Configure");
}

TEST(HostedPlugin, APluginObjectThatWentAwayIsNoCrash) {
    auto* fake = new FakePlugin;
    HostedPlugin plugin(fake);
    delete fake;
    EXPECT_FALSE(plugin.Enable().has_value());
    EXPECT_EQ(plugin.lastCall().error, "the plugin object is gone");
}

TEST(HostSession, RunsTheHostsOrderAndStopsCleanly) {
    FakePlugin fake;
    {
        HostSession session(FakeEntry(), &fake, nullptr);
        ASSERT_TRUE(session.start());
        EXPECT_TRUE(session.enabled());
        EXPECT_EQ(session.pluginName(), "Fake Plugin");
        EXPECT_EQ(fake.helper, &session.helper());
        EXPECT_TRUE(session.setChannel(5, 77));
        EXPECT_EQ(session.sentLevel(5), 77);
        EXPECT_TRUE(session.configure());
    }  // leaving the session disables and ends the plugin
    EXPECT_EQ(fake.calls, (QStringList{"PluginName", "Init QEL-Host Fake.so", "Enable",
                                       "SetChannel 5 77", "Configure", "Disable", "Term"}));
}

TEST(HostSession, AFailedEnableLeavesThePluginDisabled) {
    FakePlugin fake;
    fake.failing = "Enable";
    HostSession session(FakeEntry(), &fake, nullptr);
    EXPECT_FALSE(session.start());
    EXPECT_FALSE(session.enabled());
    session.stop();
    // Not enabled: no Disable, but the plugin is still ended.
    EXPECT_EQ(fake.calls.last(), "Term");
    EXPECT_FALSE(fake.calls.contains("Disable"));
}

TEST(HostHelper, KeepsLevelsAndRefusesWhatIsOutOfRange) {
    HostHelper helper;
    const struct {
        int slot, level;
        bool taken;
    } cases[] = {{1, 16, true},   {512, 255, true}, {0, 5, false},
                 {513, 5, false}, {2, 256, false},  {2, -1, false}};
    for (const auto& c : cases) {
        const uint64_t before = helper.deliveries();
        QMetaObject::invokeMethod(&helper, "DMXC_DMXIn_SetChannel", Q_ARG(int, c.slot),
                                  Q_ARG(int, c.level));
        EXPECT_EQ(helper.deliveries() - before, c.taken ? 1u : 0u) << c.slot << "," << c.level;
    }
    EXPECT_EQ(helper.level(1), 16);
    EXPECT_EQ(helper.level(512), 255);
    EXPECT_EQ(helper.level(2), 0);
    EXPECT_EQ(helper.highestSlot(), 512);
    EXPECT_EQ(helper.rejected(), 4u);
}

TEST(HostOptions, ReadsTheCommandLine) {
    HostOptions o = ParseHostOptions({"--batch", "--rig", "big", "/p", "--plugin", "X.so"});
    EXPECT_TRUE(o.batch);
    EXPECT_TRUE(o.simulate);  // a rig means the simulated unit
    EXPECT_EQ(o.rig, "big");
    EXPECT_EQ(o.pluginFolder, "/p");
    EXPECT_EQ(o.pluginName, "X.so");
    EXPECT_TRUE(o.error.isEmpty());

    const struct {
        QStringList args;
        QString error;
    } wrong[] = {{{"--frobnicate"}, "unknown option --frobnicate"},
                 {{"--rig"}, "--rig needs a value"},
                 {{"--plugin", "--batch"}, "--plugin needs a value"},
                 {{"/a", "/b"}, "more than one plugin folder given: /b"}};
    for (const auto& w : wrong)
        EXPECT_EQ(ParseHostOptions(w.args).error, w.error);
}

}  // namespace
