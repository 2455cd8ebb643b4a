// The main window, the connection window and the device information window as a person
// uses them, against a simulated unit: what is offered in each state, connecting and
// disconnecting, the prompts, the mode, and the unit's identity.
#include "core/AUF_Registry.h"
#include "core/ErrTrap.h"
#include "core/HostSettings.h"
#include "core/UDC_Control.h"
#include "core/User_Main.h"
#include "forms/HCF_Form.h"
#include "simsupport/MainWindowTest.h"
#include "support/ViewSession.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace qel {
namespace {

using test::Choose;
using test::ClickOn;

QString Status(QWidget* main) {
    return main->findChild<QLabel*>("Panel_Status")->text();
}

bool Offered(QWidget* main, const char* action) {
    auto* a = main->findChild<QAction*>(action);
    return a != nullptr && a->isVisible() && a->isEnabled();
}

class ViewsTest : public test::MainWindowTest {
  protected:
    ViewsTest() : MainWindowTest(QStringLiteral("ViewHost")) {}
};

TEST_F(ViewsTest, MainWindowOffersWhatFitsTheDisconnectedState) {
    script.when("User_Main", [](QWidget* main) {
        EXPECT_EQ(main->windowTitle(), "  Norvane DMX-QEL Plugin");
        EXPECT_EQ(Status(main), "Disconnected");
        EXPECT_TRUE(Offered(main, "Menu_Settings"));
        EXPECT_TRUE(Offered(main, "Menu_Connect"));
        EXPECT_FALSE(main->findChild<QAction*>("Menu_Disconnect")->isVisible());
        for (const char* off : {"Menu_DeviceInfo", "Menu_RemoteManager", "Menu_FileOpen"}) {
            EXPECT_FALSE(Offered(main, off)) << off;
        }
        auto* rdm = main->findChild<QPushButton*>("Command_RDM");
        EXPECT_EQ(rdm->text(), "Configure RDM\nFixtures\n");
        EXPECT_FALSE(rdm->isEnabled());
        EXPECT_TRUE(main->findChild<QWidget*>("Image_PlugOff")->isVisible());
        EXPECT_FALSE(main->findChild<QWidget*>("Image_PlugOn")->isVisible());
        EXPECT_TRUE(main->findChild<QWidget*>("Image_FrameOff")->isVisible());
        EXPECT_FALSE(main->findChild<QWidget*>("Image_FrameOn")->isVisible());
        EXPECT_TRUE(main->findChild<QRadioButton*>("Option_Mode0")->isChecked());
        // A left click on the unit does nothing while disconnected.
        ClickOn(main->findChild<QWidget*>("Image_Device"));
        test::SaveShot(*main, "core", "User_Main_Disconnected");
        main->close();
    });
    OpenMain();
    EXPECT_EQ(script.seen, QStringList{"User_Main"});
}

TEST_F(ViewsTest, ConnectShowsSearchingThenConnected) {
    QStringList statusDuringOpen;
    script.when("User_Main", [&](QWidget* main) {
        unit.onCommand = [&] { statusDuringOpen << Status(main); };
        Connect(main);
        unit.onCommand = nullptr;
        EXPECT_TRUE(control.Port().InUse());
        EXPECT_EQ(Status(main), "Connected");
        for (const char* on :
             {"Menu_DeviceInfo", "Menu_RemoteManager", "Menu_FileOpen", "Menu_Disconnect"}) {
            EXPECT_TRUE(Offered(main, on)) << on;
        }
        EXPECT_FALSE(Offered(main, "Menu_Settings"));
        EXPECT_FALSE(main->findChild<QAction*>("Menu_Connect")->isVisible());
        EXPECT_TRUE(main->findChild<QPushButton*>("Command_RDM")->isEnabled());
        EXPECT_TRUE(main->findChild<QWidget*>("Image_PlugOn")->isVisible());
        EXPECT_TRUE(main->findChild<QWidget*>("Image_FrameOn")->isVisible());
        test::SaveShot(*main, "core", "User_Main_Connected");

        ClickOn(main->findChild<QWidget*>("Image_PlugOn"));
        EXPECT_FALSE(control.Port().InUse());
        EXPECT_EQ(Status(main), "Disconnected");
        main->close();
    });
    OpenMain();
    ASSERT_FALSE(statusDuringOpen.isEmpty());
    EXPECT_EQ(statusDuringOpen.first(), "Searching...");
    // Connecting starts no output: that is the host's to ask for.
    EXPECT_EQ(unit.OutputLevels(), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ViewsTest, ChoosingInWritesTheModeOnceAndStartsNothing) {
    script.when("User_Main", [&](QWidget* main) {
        const int before = unit.commands;
        auto* in = main->findChild<QRadioButton*>("Option_Mode1");
        ClickOn(in);
        EXPECT_EQ(HostSettings::GetSetting(host, kSection, "DMXInActive"), "True");
        HostSettings::SaveSetting(host, kSection, "DMXInActive", "untouched");
        ClickOn(in);
        EXPECT_EQ(HostSettings::GetSetting(host, kSection, "DMXInActive"), "untouched");
        EXPECT_EQ(unit.commands, before);
        main->close();
    });
    OpenMain();
    EXPECT_EQ(control.Mode(), 1);
}

TEST_F(ViewsTest, DecliningThePluginUpdateSilencesItUntilTheNextLoad) {
    AUF_Registry::SaveValue("Latest_Software", QString("9.0.0"));
    ui.answers = {MsgAnswer::No};
    script.when("User_Main", [](QWidget* main) { main->close(); });
    OpenMain();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "DMXControl Plugin Upgrade");
    EXPECT_EQ(ui.messages[0].text,
              "A more recent version of this Plugin is available.\nDo you want to download it now");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNo);

    script.when("User_Main", [](QWidget* main) { main->close(); });
    OpenMain();
    EXPECT_EQ(ui.messages.size(), 1u);  // hushed

    // Loaded again (a new controller): asked again, and Yes opens the support page.
    UDC_Control reloaded;
    reloaded.Initialise(nullptr, host, kSection);
    ui.answers = {MsgAnswer::Yes};
    script.when("User_Main", [](QWidget* main) { main->close(); });
    HCF_Form root;
    root.OpenForm("User_Main", true, &reloaded);
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(links.opened, QStringList{"https://www.norvane.co.uk/support"});
}

TEST_F(ViewsTest, AStoredPluginVersionThatIsNotOneIsToldOnceAndTheWindowOpens) {
    AUF_Registry::SaveValue("Latest_Software", QString("new.er"));
    script.when("User_Main", [](QWidget* main) { main->close(); });
    OpenMain();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.contains("Type mismatch")) << ui.messages[0].text.toStdString();
    EXPECT_EQ(script.seen, QStringList{"User_Main"});

    // Nothing stays broken: the next opening tells it again and opens again.
    script.when("User_Main", [](QWidget* main) { main->close(); });
    OpenMain();
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(script.seen, (QStringList{"User_Main", "User_Main"}));
}

TEST_F(ViewsTest, TheFirmwarePromptFollowsAConnectWhenANewerFirmwareIsKnown) {
    AUF_Registry::SaveValue("ModelFirmware-3", QString("2.5.0"));  // the unit has 2.4.17
    ui.answers = {MsgAnswer::No};
    script.when("User_Main", [&](QWidget* main) {
        Connect(main);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, "Firmware Upgrade");
        EXPECT_EQ(ui.messages[0].text,
                  "A more recent version of the firmware is available for your interface.\n"
                  "Do you want to download it now");
        // Declined: not asked again on the next connect.
        ClickOn(main->findChild<QWidget*>("Image_PlugOn"));
        ClickOn(main->findChild<QWidget*>("Image_PlugOff"));
        EXPECT_EQ(ui.messages.size(), 1u);
        main->close();
    });
    OpenMain();
}

TEST_F(ViewsTest, TheUnitsPopUpMenuFollowsTheState) {
    script.when("User_Main", [&](QWidget* main) {
        auto* menu = static_cast<User_Main*>(main)->PopUpMenu();
        auto visible = [menu] {
            QStringList texts;
            for (QAction* a : menu->actions()) {
                if (a->isVisible()) texts << a->text();
            }
            return texts;
        };
        QTest::mouseClick(main->findChild<QWidget*>("Image_Device"), Qt::RightButton);
        EXPECT_TRUE(menu->isVisible());
        EXPECT_EQ(visible(), QStringList{"&Connection"});
        menu->close();
        Connect(main);
        QTest::mouseClick(main->findChild<QWidget*>("Image_Device"), Qt::RightButton);
        EXPECT_EQ(visible(), (QStringList{"&Device Info", "&Reprogram"}));
        menu->close();
        main->close();
    });
    OpenMain();
}

TEST_F(ViewsTest, DeviceInformationShowsTheUnitsIdentity) {
    script.when("User_Main", [&](QWidget* main) {
        Connect(main);
        ClickOn(main->findChild<QWidget*>("Image_Device"));  // opens Device Info
        main->close();
    });
    script.when("System_Info", [](QWidget* info) {
        EXPECT_EQ(info->windowTitle(), "  Device Information");
        EXPECT_EQ(info->findChild<QLabel*>("Label_Name")->text(), "DMX-QEL");
        EXPECT_EQ(info->findChild<QLabel*>("Label_Serial")->text(), "20071234");
        EXPECT_EQ(info->findChild<QLabel*>("Label_Hardware")->text(), "Rev C");
        EXPECT_EQ(info->findChild<QLabel*>("Label_Firmware")->text(), "2.4.17\n  Build 1187");
        EXPECT_EQ(info->findChild<QLabel*>("Label_UID")->text(), "7F F0 : 01 32 43 42");
        test::SaveShot(*info, "core", "System_Info");
        QTest::mouseClick(info, Qt::LeftButton);  // a click anywhere closes it
    });
    OpenMain();
    EXPECT_TRUE(script.seen.contains("System_Info"));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ViewsTest, DeviceInformationOfAUnitThatStopsAnswering) {
    script.when("User_Main", [&](QWidget* main) {
        Connect(main);
        unit.Unplug();
        ui.answers = {MsgAnswer::Cancel};
        Choose(main, "Menu_DeviceInfo");
        // The view closed itself, and the window said why.
        ASSERT_GE(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, "Local Device Information");
        main->close();
    });
    OpenMain();
}

TEST_F(ViewsTest, TheConnectionWindowConnectsThroughTheMainWindow) {
    script.when("User_Main", [](QWidget* main) { Choose(main, "Menu_Settings"); });
    script.when("Config_Port", [&](QWidget* port) {
        EXPECT_EQ(port->windowTitle(), "  Connect to Equipment");
        auto* kind = port->findChild<QComboBox*>("Combo_Connection");
        EXPECT_EQ(kind->currentText(), "USB Port");
        auto* list = port->findChild<QComboBox*>("Combo_Port");
        EXPECT_EQ(list->count(), 1);
        EXPECT_EQ(list->currentIndex(), -1);
        auto* plug = port->findChild<QWidget*>("Image_Disconnected");
        EXPECT_FALSE(plug->isEnabled());
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        EXPECT_TRUE(plug->isEnabled());
        test::SaveShot(*port, "core", "Config_Port");
        ClickOn(plug);
        EXPECT_TRUE(control.Port().InUse());
        EXPECT_TRUE(port->findChild<QWidget*>("Image_Connected")->isVisible());
        EXPECT_FALSE(plug->isVisible());
        EXPECT_FALSE(list->isEnabled());
        // The main window behind it already says so.
        EXPECT_EQ(Status(qobject_cast<QWidget*>(HCF_Form::LoadedView("User_Main"))), "Connected");
        ClickOn(port->findChild<QWidget*>("Image_Connected"));
        EXPECT_FALSE(control.Port().InUse());
        EXPECT_TRUE(list->isEnabled());
        ClickOn(port->findChild<QWidget*>("Image_Exit"));
    });
    script.when("User_Main", [](QWidget* main) { main->close(); });
    OpenMain();
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ViewsTest, TheConnectionWindowRefusesOtherData) {
    script.when("User_Main", [&](QWidget* main) {
        HCF_Form::FormOf(main)->OpenForm("Config_Port", true, &control);
        main->close();
    });
    // Refused, it shows nothing to connect.
    script.when("Config_Port", [](QWidget* port) {
        EXPECT_EQ(port->findChild<QComboBox*>("Combo_Port")->count(), 0);
        EXPECT_FALSE(port->findChild<QWidget*>("Image_Disconnected")->isEnabled());
        port->close();
    });
    OpenMain();
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages[0].title, "Config_Port.Control (Set)");
    EXPECT_EQ(ui.messages[0].text, "Class Object \"UDC_Control\" not handled");
}

TEST_F(ViewsTest, CancellingTheFirmwareFileChangesNothing) {
    script.when("User_Main", [&](QWidget* main) {
        Connect(main);
        Choose(main, "Menu_FileOpen");
        main->close();
    });
    script.when("CDW_FileFind", [](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Firmware Program File");
        static_cast<QFileDialog*>(dialog)->reject();
    });
    OpenMain();
    EXPECT_EQ(AUF_Registry::LoadText("SourceDir"), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ViewsTest, WindowsThatAreNotThereAreReportedNotFatal) {
    script.when("User_Main", [&](QWidget* main) {
        Connect(main);
        ClickOn(main->findChild<QPushButton*>("Command_RDM"));
        Choose(main, "Menu_HelpAbout");
        ClickOn(main->findChild<QWidget*>("Image_FrameOn"));
        main->close();
    });
    script.when("Help_About", [](QWidget* about) { about->close(); });
    script.when("Config_Frame", [](QWidget* frame) { frame->close(); });
    OpenMain();
    // The missing window was named in a message, and the main window went on.
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(ViewsTest, TheWebSiteLinkOpensTheProductPage) {
    script.when("User_Main", [&](QWidget* main) {
        auto* link = main->findChild<QLabel*>("Label_WebSite");
        EXPECT_TRUE(link->text().contains("Norvane Web Site"));
        emit link->linkActivated("product");
        main->close();
    });
    OpenMain();
    EXPECT_EQ(links.opened, QStringList{"https://www.norvane.co.uk/product/"});
}

}  // namespace
}  // namespace qel
