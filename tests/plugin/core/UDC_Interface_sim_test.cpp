// The plugin as the host drives it, through the seven methods called by name, against a
// simulated unit: output reaches the unit's frame, input reaches the helper, Configure
// pauses and resumes, Disable and Term release the port, and failures are reported.
#include "core/AUF_Registry.h"
#include "core/ErrTrap.h"
#include "core/FDF_Port.h"
#include "core/HostSettings.h"
#include "core/IO_Tasks.h"
#include "core/UDC_Control.h"
#include "core/UDC_Interface.h"
#include "simsupport/Levels.h"
#include "simsupport/SimUnitLibrary.h"
#include "support/InputHelper.h"
#include "support/ModalScript.h"
#include "support/ScriptedUi.h"

#include <QComboBox>
#include <QMetaMethod>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

namespace qel {
namespace {

using test::Choose;
using test::ClickOn;

const QString kHost = QStringLiteral("TestHost");
const QString kFile = QStringLiteral("Norvane-QEL.out.so");

using test::Levels;

// The host's side: calls by name, as a late-bound client makes them.
class HostCalls {
  public:
    explicit HostCalls(QObject* plugin) : plugin_(plugin) {}

    QString PluginName() {
        QString name;
        EXPECT_TRUE(QMetaObject::invokeMethod(plugin_, "PluginName", Q_RETURN_ARG(QString, name)));
        return name;
    }
    bool Init(QObject* helper) {
        return Call("Init", Q_ARG(QString, kHost), Q_ARG(QString, kFile), Q_ARG(QObject*, helper));
    }
    bool Configure() { return Call("Configure"); }
    bool Enable() { return Call("Enable"); }
    bool SetChannel(int slot, int level) {
        return Call("SetChannel", Q_ARG(int, slot), Q_ARG(int, level));
    }
    bool Disable() { return Call("Disable"); }
    bool Term() { return Call("Term"); }
    int ErrorNumber() const { return plugin_->property("ErrorNumber").toInt(); }
    QString ErrorDescription() const { return plugin_->property("ErrorDescription").toString(); }

  private:
    template <typename... Args>
    bool Call(const char* method, Args... args) {
        bool result = false;
        EXPECT_TRUE(QMetaObject::invokeMethod(plugin_, method, Q_RETURN_ARG(bool, result), args...))
            << method;
        return result;
    }
    QObject* plugin_;
};

class PluginTest : public ::testing::Test {
  protected:
    PluginTest() {
        AUF_Registry::SaveValue("PortUsed", QString());
        HostSettings::SaveSetting(kHost, "Plugins\\" + kFile, "DMXInActive", "False");
    }

    // Init with the unit remembered, as on every start after the first.
    void InitRemembered() {
        AUF_Registry::SaveValue("PortUsed", QString("DMX-QEL"));
        EXPECT_FALSE(host.Init(&helper));
    }

    // The person connects in the main window through the connection window.
    void ConnectThroughTheWindows() {
        script.when("User_Main", [](QWidget* main) { Choose(main, "Menu_Connect"); })
            .when("Config_Port",
                  [](QWidget* port) {
                      auto* list = port->findChild<QComboBox*>("Combo_Port");
                      ASSERT_EQ(list->count(), 1);
                      EXPECT_FALSE(port->findChild<QWidget*>("Image_Disconnected")->isEnabled());
                      list->setFocus();
                      QTest::keyClick(list, Qt::Key_Down);  // the person picks the unit
                      EXPECT_EQ(list->currentText(), "DMX-QEL");
                      ClickOn(port->findChild<QWidget*>("Image_Disconnected"));
                      EXPECT_TRUE(port->findChild<QWidget*>("Image_Connected")->isVisible());
                      port->close();
                  })
            .when("User_Main", [](QWidget* main) { main->close(); });
    }

    test::ScriptedUi ui;
    test::SimUnitLibrary unit;
    InputHelper helper;
    UDC_Interface plugin;
    HostCalls host{&plugin};
    test::ModalScript script;
};

TEST_F(PluginTest, OffersTheSevenMethodsByNameInOrder) {
    const char* const signatures[] = {"PluginName()",
                                      "Init(QString,QString,QObject*)",
                                      "Configure()",
                                      "Enable()",
                                      "SetChannel(int,int)",
                                      "Disable()",
                                      "Term()"};
    int previous = -1;
    for (const char* signature : signatures) {
        const int index = plugin.metaObject()->indexOfMethod(signature);
        ASSERT_GE(index, 0) << signature;
        EXPECT_GT(index, previous) << signature;
        EXPECT_EQ(plugin.metaObject()->method(index).access(), QMetaMethod::Public);
        previous = index;
    }
    EXPECT_EQ(host.PluginName(), "Norvane DMX-QEL Plugin");
}

TEST_F(PluginTest, EnableWithTheRememberedUnitStartsOutputWithoutAWindow) {
    InitRemembered();
    EXPECT_TRUE(host.Enable());
    EXPECT_TRUE(script.seen.isEmpty());
    EXPECT_EQ(unit.OutputLevels(), Levels({}, 24));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PluginTest, LevelsReachTheUnitAndTheFrameGrows) {
    InitRemembered();
    host.Enable();
    EXPECT_TRUE(host.SetChannel(30, 200));
    EXPECT_EQ(unit.OutputLevels(), Levels({{30, 200}}, 30));
    EXPECT_TRUE(host.SetChannel(30, 100));
    EXPECT_EQ(unit.OutputLevels(), Levels({{30, 100}}, 30));

    const int before = unit.commands;
    for (auto [slot, level] : {std::pair{0, 10}, {513, 10}, {1, 256}, {1, -1}}) {
        EXPECT_FALSE(host.SetChannel(slot, level)) << slot << "," << level;
        EXPECT_EQ(host.ErrorNumber(), 0);
    }
    EXPECT_EQ(unit.commands, before);  // nothing sent
    EXPECT_TRUE(host.SetChannel(512, 0));
    EXPECT_EQ(unit.OutputLevels().size(), 512u);
}

TEST_F(PluginTest, EnableWithoutAPortLetsThePersonConnectFirst) {
    EXPECT_FALSE(host.Init(&helper));
    ConnectThroughTheWindows();
    EXPECT_TRUE(host.Enable());
    EXPECT_EQ(script.pending(), 0u);
    // The port opened in the window is seized again, and output runs.
    EXPECT_TRUE(plugin.Control()->Port().InUse());
    EXPECT_EQ(unit.OutputLevels(), Levels({}, 24));
    EXPECT_EQ(AUF_Registry::LoadText("PortUsed"), "DMX-QEL");
}

TEST_F(PluginTest, EnableAnswersTrueWhateverThePersonDoes) {
    EXPECT_FALSE(host.Init(&helper));
    script.when("User_Main", [](QWidget* main) { main->close(); });
    EXPECT_TRUE(host.Enable());
    EXPECT_FALSE(plugin.Control()->Port().InUse());
    EXPECT_EQ(unit.OutputLevels(), "");
}

TEST_F(PluginTest, ConfigurePausesOutputAndResumesIt) {
    InitRemembered();
    host.Enable();
    host.SetChannel(1, 50);
    std::string duringWindow = "not seen";
    script.when("User_Main", [&](QWidget* main) {
        duringWindow = unit.OutputLevels();
        host.SetChannel(2, 60);  // the host keeps calling while the window is open
        main->close();
    });
    EXPECT_TRUE(host.Configure());
    EXPECT_EQ(duringWindow, "");  // paused
    EXPECT_EQ(unit.OutputLevels(), Levels({{1, 50}, {2, 60}}, 24));
}

TEST_F(PluginTest, ACallInsideTheWindowNeitherEndsThePluginNorChangesConfiguresOutcome) {
    InitRemembered();
    host.Enable();
    script.when("User_Main", [&](QWidget* main) {
        EXPECT_FALSE(host.Term());  // refused: Configure is still using the plugin
        EXPECT_EQ(host.ErrorNumber(), kErrInvalidCall);
        main->close();
    });
    EXPECT_TRUE(host.Configure());
    EXPECT_EQ(host.ErrorNumber(), 0);
    ASSERT_NE(plugin.Control(), nullptr);
    EXPECT_EQ(unit.OutputLevels(), Levels({}, 24));
}

TEST_F(PluginTest, ConfigureReopensAPortThePersonDisconnected) {
    InitRemembered();
    host.Enable();
    script.when("User_Main", [](QWidget* main) {
        Choose(main, "Menu_Disconnect");
        main->close();
    });
    EXPECT_TRUE(host.Configure());
    EXPECT_TRUE(plugin.Control()->Port().InUse());
    EXPECT_EQ(unit.OutputLevels(), Levels({}, 24));
}

TEST_F(PluginTest, ConfigureWhileDisabledLeavesThePortClosed) {
    EXPECT_FALSE(host.Init(&helper));
    ConnectThroughTheWindows();
    EXPECT_TRUE(host.Configure());
    EXPECT_FALSE(plugin.Control()->Port().InUse());
    EXPECT_EQ(unit.OutputLevels(), "");
}

TEST_F(PluginTest, InputModeDeliversReceivedLevelsToTheHelper) {
    HostSettings::SaveSetting(kHost, "Plugins\\" + kFile, "DMXInActive", "True");
    InitRemembered();
    unit.UseScriptedInput();
    EXPECT_TRUE(host.Enable());
    EXPECT_FALSE(host.SetChannel(1, 10));
    unit.Receive(0, "\x05\x06\x07");
    QTRY_COMPARE_WITH_TIMEOUT(helper.received.size(), size_t(3), 2000);
    EXPECT_EQ(helper.received, (std::vector<std::pair<int, int>>{{1, 5}, {2, 6}, {3, 7}}));
    EXPECT_EQ(unit.OutputLevels(), "");  // input mode sends nothing
    EXPECT_TRUE(host.Disable());
    auto* tasks = qobject_cast<IO_Tasks*>(FindForm("IO_Tasks"));
    ASSERT_NE(tasks, nullptr);
    EXPECT_FALSE(tasks->Polling());
}

TEST_F(PluginTest, DisableAndTermReleaseThePort) {
    InitRemembered();
    host.Enable();
    EXPECT_TRUE(host.Disable());
    EXPECT_EQ(unit.OutputLevels(), "");
    EXPECT_FALSE(plugin.Control()->Port().InUse());

    host.Enable();
    EXPECT_FALSE(host.Term());  // without Disable: the port manager's end closes it
    EXPECT_EQ(plugin.Control(), nullptr);
    EXPECT_EQ(unit.FreePort(), 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PluginTest, CallsAfterTermFailWithoutHarmAndInitStartsAgain) {
    InitRemembered();
    host.Term();
    EXPECT_FALSE(host.Enable());
    EXPECT_EQ(host.ErrorNumber(), kErrObjectNotSet);
    EXPECT_FALSE(host.SetChannel(1, 1));
    EXPECT_FALSE(host.Disable());
    EXPECT_FALSE(host.Init(&helper));
    EXPECT_EQ(host.ErrorNumber(), 0);
    EXPECT_TRUE(host.Enable());
    EXPECT_EQ(unit.OutputLevels(), Levels({}, 24));
}

TEST_F(PluginTest, FaultsThatAreNoPluginErrorsReachTheHostAsRunTimeErrors) {
    struct Row {
        std::function<void()> fault;
        int number;
        QString description;
    };
    const Row rows[] = {
        {[] { throw std::bad_alloc(); }, kErrOutOfMemory, "Out of memory"},
        {[] { throw std::runtime_error("queue broken"); }, kErrInternal,
         "Internal error: queue broken"},
    };
    InitRemembered();
    ASSERT_TRUE(host.Enable());
    for (const Row& row : rows) {
        unit.onCommand = row.fault;
        EXPECT_FALSE(host.SetChannel(1, 10));
        EXPECT_EQ(host.ErrorNumber(), row.number);
        EXPECT_EQ(host.ErrorDescription(), row.description);
    }
    unit.onCommand = nullptr;
}

TEST_F(PluginTest, AUnitPulledOutIsReportedOnceAndWorksAgainAfterReconnecting) {
    InitRemembered();
    host.Enable();
    unit.Unplug();
    EXPECT_FALSE(host.SetChannel(1, 10));
    EXPECT_GT(host.ErrorNumber(), ErrTrap::kLibraryBase);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Norvane DMX-QEL Plugin - Channel Update");
    // The host goes on sending: no more messages, the levels are kept.
    EXPECT_TRUE(host.SetChannel(1, 20));
    EXPECT_TRUE(host.SetChannel(2, 30));
    EXPECT_EQ(ui.messages.size(), 1u);

    unit.Replug();
    script.when("User_Main", [](QWidget* main) {
        Choose(main, "Menu_Disconnect");
        Choose(main, "Menu_Connect");
        main->close();
    });
    EXPECT_TRUE(host.Configure());
    EXPECT_EQ(unit.OutputLevels(), Levels({{1, 20}, {2, 30}}, 24));
}

}  // namespace
}  // namespace qel
