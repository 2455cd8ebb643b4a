// The whole firmware upgrade as a person runs it from the main window: File / Load, the
// image file made by qel-sim, the upgrade window following the simulated unit, and the
// unit running the new firmware afterwards. The frame-timing, update and About windows
// open from their menu items too.
#include "core/AUF_Registry.h"
#include "core/Client.h"
#include "core/UpdateServer.h"
#include "simsupport/MainWindowTest.h"
#include "support/FirmwareImage.h"
#include "support/ViewSession.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace qel {
namespace {

using test::Choose;
using test::ClickOn;

class UpgradeTest : public test::MainWindowTest {
  protected:
    UpgradeTest() : MainWindowTest(QStringLiteral("UpgradeHost")) {}

    // An image file written by the simulator's own tool.
    QString MakeImage(const QStringList& options) {
        return test::MakeFirmwareImage(folder.filePath(QStringLiteral("image%1.FUD").arg(++images)),
                                       options);
    }

    // Connects, chooses File / Load, types the image's name into the file dialog, and
    // leaves the upgrade window to `watch`; the main window closes after it.
    void LoadFromFileMenu(const QString& image, std::function<void(QWidget*)> watch) {
        script.when("User_Main", [&](QWidget* main) {
            Connect(main);
            Choose(main, "Menu_FileOpen");
            main->close();
        });
        script.when("CDW_FileFind", [&](QWidget* dialog) {
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            name->setText(image);
            QTest::keyClick(name, Qt::Key_Return);
        });
        script.when("Config_Prog", std::move(watch));
        OpenMain();
        EXPECT_EQ(script.pending(), 0u);
    }

    QTemporaryDir folder;
    int images = 0;
};

TEST_F(UpgradeTest, FileLoadRunsTheWholeUpgrade) {
    const QString image = MakeImage({"--records", "80", "--version", "2.6.1"});
    QString status;
    LoadFromFileMenu(image, [&](QWidget* view) {
        auto* close = view->findChild<QPushButton*>("Button_Close");
        EXPECT_FALSE(close->isEnabled());
        ASSERT_TRUE(QTest::qWaitFor([&] { return close->isEnabled(); }, 20000));
        status = view->findChild<QLabel*>("Label_Status")->text();
        ClickOn(close);
    });
    EXPECT_EQ(status, "Success ");
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(AUF_Registry::LoadText("SourceDir"), folder.path());
    EXPECT_EQ(Client::QEL_GetFirmwareRev(), "2.6.1");
    for (const auto& m : ui.messages)
        ADD_FAILURE() << m.title.toStdString() << ": " << m.text.toStdString();
}

// The upgrade window shows why the unit refused the image and closes; the main window,
// which opened it, does not show the same failure a second time.
TEST_F(UpgradeTest, ARefusedImageIsShownOnce) {
    const struct {
        const char* option;
        const char* text;
    } cases[] = {
        {"--corrupt", "Binary File failed Integrity Check"},
        {"--foreign", "Binary File not compatible with this device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option);
        ui.messages.clear();
        const QString image = MakeImage({"--records", "20", c.option});
        LoadFromFileMenu(image, [](QWidget*) {});
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].title, "Firmware image upload");
        EXPECT_EQ(ui.messages[0].text, c.text);
        EXPECT_EQ(Client::QEL_GetFirmwareRev(), "2.4.17") << "the unit keeps its firmware";
        control.Port().Release();  // the next case connects again
    }
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
