// The client against the real device-interface library, found beside the test program,
// on a machine without units.
#include "core/Client.h"
#include "core/ErrTrap.h"
#include "core/SharedLibraryBinding.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace qel {
namespace {

class ClientLibraryTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // Before the library is loaded: the serial backend with no ports at all.
        setenv("QELIO32_DRIVER", "serial", 1);
        setenv("QELIO32_PORTS", "", 1);
    }

    test::ScriptedUi ui;
};

TEST_F(ClientLibraryTest, LibraryBesideThePluginAnswers) {
    EXPECT_FALSE(Client::API_Version().isEmpty());
    EXPECT_EQ(Client::API_GetPortCount(), 0);
}

TEST_F(ClientLibraryTest, FailuresBecomePluginErrorsWithTheLibrarysText) {
    try {
        Client::USB_OpenPort(1);
        FAIL() << "a port that does not exist was opened";
    } catch (const PluginError& e) {
        EXPECT_GT(e.number(), ErrTrap::kLibraryBase);
        EXPECT_LE(e.number(), ErrTrap::ErrAPI_Unexpected);
        EXPECT_EQ(e.source(), QStringLiteral("USB-OpenPort"));
    }
    EXPECT_TRUE(Client::API_LastError().contains(QStringLiteral("\n\r")))
        << Client::API_LastError().toStdString();

    try {
        Client::QEL_GetName();
        FAIL() << "a command went through without an open port";
    } catch (const PluginError& e) {
        EXPECT_TRUE(ErrTrap::IsPluginNumber(e.number())) << e.number();
        EXPECT_GT(e.number(), ErrTrap::kLibraryBase);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST(LibraryMessageTest, LibrarysOwnMessagesAreShown) {
    test::ScriptedUi ui;
    ShowLibraryMessage("USB_IO", "PortClose Handle Error", nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("USB_IO"));
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("PortClose Handle Error"));
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::Ok);
}

}  // namespace
}  // namespace qel
