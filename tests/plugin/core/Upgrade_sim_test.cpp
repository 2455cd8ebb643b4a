// The whole firmware upgrade as a person runs it from the main window: File / Load, the
// image file made by qel-sim, the upgrade window following the simulated unit, and the
// unit running the new firmware afterwards. The frame-timing, update and About windows
// open from their menu items too.
#include "core/AUF_Registry.h"
#include "core/Client.h"
#include "core/CoreViews.h"
#include "core/HostSettings.h"
#include "core/UDC_Control.h"
#include "core/UpdateServer.h"
#include "forms/HCF_Form.h"
#include "simsupport/SimUnitLibrary.h"
#include "support/ModalScript.h"
#include "support/OpenedLinks.h"
#include "support/ScriptedUi.h"
#include "support/ViewSession.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace qel {
namespace {

using test::Choose;
using test::ClickOn;

const QString kHost = QStringLiteral("UpgradeHost");
const QString kSection = QStringLiteral("Plugins\\Norvane-QEL.out.so");

class UpgradeTest : public ::testing::Test {
  protected:
    // The unit takes a little time over each reply, as a unit writing its flash does.
    UpgradeTest() : unit("unit \"DMX-QEL\"\ndisturb delay=2ms\n") {
        RegisterCoreViews();
        for (const char* name : {"PortUsed", "Latest_Software", "SourceDir"})
            AUF_Registry::SaveValue(name, QString());
        HostSettings::SaveSetting(kHost, kSection, "DMXInActive", "False");
        control.Initialise(nullptr, kHost, kSection);
    }

    void OpenMain() {
        HCF_Form root;
        root.OpenForm("User_Main", true, &control);
    }
    void Connect(QWidget* main) {
        control.Port().SetIndex(1);
        ClickOn(main->findChild<QWidget*>("Image_PlugOff"));
    }

    QTemporaryDir folder;
    test::ScriptedUi ui;
    test::SimUnitLibrary unit;
    UDC_Control control;
    test::ModalScript script;
    test::OpenedLinks links;
};

TEST_F(UpgradeTest, FileLoadRunsTheWholeUpgrade) {
    const QString image = folder.filePath("upgrade.FUD");
    QProcess tool;
    tool.start(QCoreApplication::applicationDirPath() + "/qel-sim",
               {"make-image", "--records", "80", "--version", "2.6.1", image});
    ASSERT_TRUE(tool.waitForFinished(20000) && tool.exitCode() == 0)
        << tool.readAllStandardError().toStdString();

    QString status;
    script.when("User_Main", [&](QWidget* main) {
        Connect(main);
        Choose(main, "Menu_FileOpen");
        main->close();
    });
    script.when("CDW_FileFind", [&](QWidget* dialog) {
        // The person types the file's name and presses Enter.
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(image);
        QTest::keyClick(name, Qt::Key_Return);
    });
    script.when("Config_Prog", [&](QWidget* view) {
        auto* close = view->findChild<QPushButton*>("Button_Close");
        EXPECT_FALSE(close->isEnabled());
        ASSERT_TRUE(QTest::qWaitFor([&] { return close->isEnabled(); }, 20000));
        status = view->findChild<QLabel*>("Label_Status")->text();
        ClickOn(close);
    });
    OpenMain();
    EXPECT_EQ(status, "Success ");
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(AUF_Registry::LoadText("SourceDir"), folder.path());
    EXPECT_EQ(Client::QEL_GetFirmwareRev(), "2.6.1");
    for (const auto& m : ui.messages)
        ADD_FAILURE() << m.title.toStdString() << ": " << m.text.toStdString();
}

TEST_F(UpgradeTest, TheOtherWindowsOpenFromTheMainWindow) {
    setenv(kUpdateServerVariable, "no-such-host.invalid:80", 1);
    script.when("User_Main", [&](QWidget* main) {
        Connect(main);
        ClickOn(main->findChild<QWidget*>("Image_FrameOn"));
        Choose(main, "Menu_HelpUpdate");
        Choose(main, "Menu_HelpAbout");
        main->close();
    });
    script.when("Config_Frame", [](QWidget* view) {
        EXPECT_EQ(view->findChild<QLineEdit*>("Input_FrameRate")->text().trimmed(), "40");
        ClickOn(view->findChild<QPushButton*>("Button_OK"));
    });
    script.when("Help_Update", [&](QWidget* view) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !ui.busyPointer(); }, 20000));
        EXPECT_TRUE(view->findChild<QLabel*>("Label_Advice")->text().startsWith("Server could"));
        ClickOn(view->findChild<QPushButton*>("Button_Exit"));
    });
    script.when("Help_About", [](QWidget* view) {
        EXPECT_TRUE(view->findChild<QLabel*>("LabelInfo_3")->text().startsWith("API Version: "));
        ClickOn(view->findChild<QLabel*>("LabelInfo_1"));
    });
    OpenMain();
    unsetenv(kUpdateServerVariable);
    EXPECT_EQ(script.seen, (QStringList{"User_Main", "Config_Frame", "Help_Update", "Help_About"}));
    for (const auto& m : ui.messages)
        ADD_FAILURE() << m.title.toStdString() << ": " << m.text.toStdString();
}

}  // namespace
}  // namespace qel
